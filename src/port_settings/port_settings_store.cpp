// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/port_settings_store.h"

#include <QSettings>

namespace {

QString read(const char *key, const char *fallback)
{
    const QSettings store(QStringLiteral("VORN"), QStringLiteral("VORN"));
    // A corrupt or unreadable file reads as absent keys; only text counts.
    const QVariant value = store.value(QStringLiteral("StartUP/") + QLatin1String(key));
    if (value.typeId() == QMetaType::QStringList) // an unquoted comma splits the text
        return value.toStringList().join(u',');
    if (value.typeId() != QMetaType::QString)
        return QString::fromLatin1(fallback);
    return value.toString();
}

} // namespace

namespace PortSettingsStore {

QString readComPort()
{
    return read("ComPort", "DATAC");
}

QString readBaudRate()
{
    return read("BaudRate", "DATAb");
}

bool write(qint16 portNumber, quint8 baudCode, QString *reason)
{
    return update(
        [&](QSettings &store) {
            store.beginGroup(QStringLiteral("StartUP"));
            store.setValue(QStringLiteral("ComPort"), QString::number(portNumber));
            store.setValue(QStringLiteral("BaudRate"), QString::number(baudCode));
            store.endGroup();
        },
        reason);
}

bool update(const std::function<void(QSettings &)> &edit, QString *reason)
{
    QSettings store(QStringLiteral("VORN"), QStringLiteral("VORN"));
    if (!store.isWritable()) {
        *reason = QStringLiteral("The settings file %1 cannot be written").arg(store.fileName());
        return false;
    }
    edit(store);
    store.sync();
    if (store.status() != QSettings::NoError) {
        *reason = QStringLiteral("The settings file %1 could not be saved").arg(store.fileName());
        return false;
    }
    return true;
}

} // namespace PortSettingsStore
