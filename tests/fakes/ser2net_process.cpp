// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/ser2net_process.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTcpServer>

using namespace Qt::StringLiterals;

namespace {

// Wide: the machine may be busy.
constexpr int kWaitMs = 5000;

// The inodes of the sockets process `pid` holds, as /proc/net/tcp writes them.
QSet<QByteArray> socketInodes(qint64 pid)
{
    QSet<QByteArray> inodes;
    for (const QFileInfo &fd :
         QDir(u"/proc/%1/fd"_s.arg(pid)).entryInfoList(QDir::System | QDir::NoDotAndDotDot)) {
        const QString link = fd.symLinkTarget().section(u'/', -1); // "socket:[1234]"
        if (link.startsWith(u"socket:["))
            inodes.insert(link.mid(8).chopped(1).toLatin1());
    }
    return inodes;
}

} // namespace

Ser2NetProcess::Ser2NetProcess(const QString &device, const QString &lineSettings)
{
    {
        // Free now; ser2net takes them a moment later and keeps them across restarts.
        QTcpServer telnet, raw;
        telnet.listen(QHostAddress::LocalHost);
        raw.listen(QHostAddress::LocalHost);
        m_telnetPort = telnet.serverPort();
        m_rawPort = raw.serverPort();
    }
    // No UUCP lock: ser2net would lock the device by name in the directory the
    // whole machine shares and refuse it where that is not writable. No host
    // access files either: the machine's own must not turn the tests away.
    const QString connector = u"serialdev(nouucplock),%1,%2,local"_s.arg(device, lineSettings);
    QFile config(m_dir.filePath(u"ser2net.yaml"_s));
    if (config.open(QIODevice::WriteOnly)) {
        config.write(
            u"%YAML 1.1\n---\n"
            "connection: &telnet\n  accepter: telnet(rfc2217),tcp(tcpd=off),127.0.0.1,%1\n  connector: %3\n"
            "connection: &raw\n  accepter: tcp(tcpd=off),127.0.0.1,%2\n  connector: %3\n"_s.arg(m_telnetPort)
                .arg(m_rawPort)
                .arg(connector)
                .toUtf8());
        config.close();
    }
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    start();
}

Ser2NetProcess::~Ser2NetProcess()
{
    stop();
}

bool Ser2NetProcess::start()
{
    stop();
    // -d: stay in the foreground and print errors instead of logging them.
    m_process.start(u"ser2net"_s, {u"-d"_s, u"-c"_s, m_dir.filePath(u"ser2net.yaml"_s)});
    m_process.waitForStarted(kWaitMs);
    const QDeadlineTimer deadline(kWaitMs);
    while (isRunning() && !deadline.hasExpired()) {
        if (listening())
            return true;
        m_process.waitForFinished(10);
    }
    qWarning("ser2net did not start: %s", qPrintable(output()));
    return false;
}

void Ser2NetProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    // It may ignore the first SIGTERM while retrying a port it could not take.
    m_process.terminate();
    if (!m_process.waitForFinished(kWaitMs)) {
        m_process.kill();
        m_process.waitForFinished(kWaitMs);
    }
}

QString Ser2NetProcess::rfc2217Address() const
{
    return u"rfc2217://127.0.0.1:%1"_s.arg(m_telnetPort);
}

QString Ser2NetProcess::tcpAddress() const
{
    return u"tcp://127.0.0.1:%1"_s.arg(m_rawPort);
}

QString Ser2NetProcess::output()
{
    m_output += QString::fromLocal8Bit(m_process.readAll());
    return m_output;
}

// Both ports listening in ser2net's own sockets. Read from the kernel's table
// rather than by connecting: a connection opens the device, and a client on
// the other port in the moment it takes to close again is turned away.
bool Ser2NetProcess::listening() const
{
    QFile table(u"/proc/net/tcp"_s);
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QSet<QByteArray> inodes = socketInodes(m_process.processId());
    int found = 0;
    for (const QByteArray &line : table.readAll().split('\n')) {
        // "sl local_address rem_address st ... uid timeout inode"; 0A is LISTEN.
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 10 || fields[3] != "0A" || !inodes.contains(fields[9]))
            continue;
        const quint16 port = fields[1].mid(fields[1].indexOf(':') + 1).toUShort(nullptr, 16);
        found += port == m_telnetPort || port == m_rawPort ? 1 : 0;
    }
    return found == 2;
}
