// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>

#include <memory>

// An X server of our own (Xvfb), so the real program shows a real window
// that can be watched and driven without disturbing anyone's desktop.
class VirtualDisplay
{
public:
    // Null when Xvfb is missing or did not come up; the reason goes to *error.
    static std::unique_ptr<VirtualDisplay> start(QString *error);
    ~VirtualDisplay();

    QString name() const { return m_name; } // ":N"

private:
    VirtualDisplay() = default;

    QProcess m_server;
    QString m_name;
};
