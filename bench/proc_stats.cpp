// SPDX-License-Identifier: GPL-3.0-or-later
#include "proc_stats.h"

#include <QDir>
#include <QFile>

namespace {

QByteArray readProcFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

long statusField(const QByteArray &status, QByteArrayView key)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(key) && line.size() > key.size() && line[key.size()] == ':')
            return line.mid(key.size() + 1).trimmed().split(' ').front().toLong();
    }
    return -1;
}

QStringList threadDirectories(pid_t pid)
{
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    QStringList out;
    for (const QString &tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        out << tasks + u'/' + tid;
    return out;
}

} // namespace

long ProcStats::statusKiB(pid_t pid, const char *key)
{
    return statusField(readProcFile(QStringLiteral("/proc/%1/status").arg(pid)), key);
}

long ProcStats::contextSwitches(pid_t pid)
{
    long total = 0;
    for (const QString &thread : threadDirectories(pid)) {
        const QByteArray status = readProcFile(thread + QStringLiteral("/status"));
        total += statusField(status, "voluntary_ctxt_switches") +
                 statusField(status, "nonvoluntary_ctxt_switches");
    }
    return total;
}

long long ProcStats::cpuNanoseconds(pid_t pid)
{
    long long total = 0;
    for (const QString &thread : threadDirectories(pid))
        total += readProcFile(thread + QStringLiteral("/schedstat")).split(' ').front().toLongLong();
    return total;
}
