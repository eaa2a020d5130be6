// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/port_mapping.h"

#include <QSettings>

QString portMappingKey(qint16 number)
{
    return QStringLiteral("Ports/COM%1").arg(number);
}

QString storedMapping(qint16 number, const QSettings &store)
{
    // A value written by hand with an unquoted comma reads back as a list;
    // it still names one device.
    const QVariant value = store.value(portMappingKey(number));
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(u',') : value.toString();
}

QString builtInPortDevice(qint16 number)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QString portDeviceName(qint16 number, const QSettings &store)
{
    if (number < 1)
        return {};
    const QString mapped = storedMapping(number, store);
    if (!mapped.isEmpty())
        return mapped;
    return builtInPortDevice(number);
}

QString storedPortDevice(qint16 number)
{
    const QSettings store(QStringLiteral("VORN"), QStringLiteral("VORN"));
    return portDeviceName(number, store);
}
