// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/port_mapping.h"

#include <QSettings>

QString portMappingKey(qint16 number)
{
    return QStringLiteral("Ports/COM%1").arg(number);
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
    QString mapped = store.value(portMappingKey(number)).toString();
    if (!mapped.isEmpty())
        return mapped;
    return builtInPortDevice(number);
}

QString storedPortDevice(qint16 number)
{
    const QSettings store(QStringLiteral("VORN"), QStringLiteral("VORN"));
    return portDeviceName(number, store);
}
