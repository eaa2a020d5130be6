// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QTemporaryDir>

// A settings store for this test program alone, removed when it ends. Test
// programs run in parallel, and QStandardPaths' test mode gives all of them
// one shared directory, so clearing or writing it there races the others.
// Make it before the first QSettings of the process, which fixes the paths.
class PrivateSettingsStore
{
public:
    PrivateSettingsStore() { qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit()); }

    bool isInUse() const
    {
        return QSettings(QStringLiteral("VORN"), QStringLiteral("VORN"))
            .fileName()
            .startsWith(m_dir.path() + u'/');
    }

private:
    QTemporaryDir m_dir;
};
