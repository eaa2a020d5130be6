// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/port_mapping.h"

#include <QSettings>

QString portDeviceName(qint16 number, const QSettings &store)
{
    if (number < 1)
        return {};
    const QString key = QStringLiteral("Ports/COM%1").arg(number);
    QString mapped = store.value(key).toString();
    if (!mapped.isEmpty())
        return mapped;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QString storedPortDevice(qint16 number)
{
    const QSettings store(QStringLiteral("VORN"), QStringLiteral("VORN"));
    return portDeviceName(number, store);
}
