// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_info.h"

#include <QDateTime>
#include <QFile>
#include <QSysInfo>
#include <QThread>

namespace {

QString cpuModel()
{
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("model name"))
            return QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
    }
    return {};
}

} // namespace

double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').front().toDouble() : 0;
}

QJsonObject describeRun()
{
    return {{QStringLiteral("date"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
            {QStringLiteral("cpu"), cpuModel()},
            {QStringLiteral("cores"), QThread::idealThreadCount()},
            {QStringLiteral("kernel"), QSysInfo::kernelVersion()},
            {QStringLiteral("qt"), QString::fromLatin1(qVersion())},
            {QStringLiteral("build"), QStringLiteral(TALLIS_BUILD_TYPE)},
            {QStringLiteral("load average"), loadAverage()}};
}
