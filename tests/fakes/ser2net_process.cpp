// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/ser2net_process.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpServer>

using namespace Qt::StringLiterals;

namespace {

// Wide: the machine may be busy.
constexpr int kWaitMs = 5000;

quint16 freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

} // namespace

Ser2NetProcess::Ser2NetProcess(const QString &device) : m_telnetPort(freePort()), m_rawPort(freePort())
{
    // No UUCP lock: ser2net would lock the device in a directory the whole
    // machine shares, and refuse it where that is not writable. No host access
    // files either: the machine's own must not turn the tests away.
    const QString connector = u"serialdev(nouucplock),%1,9600n81,local"_s.arg(device);
    QFile config(m_dir.filePath(u"ser2net.yaml"_s));
    if (config.open(QIODevice::WriteOnly))
        config.write(
            u"connection: &telnet\n  accepter: telnet(rfc2217),tcp(tcpd=off),127.0.0.1,%1\n  connector: %3\n"
            "connection: &raw\n  accepter: tcp(tcpd=off),127.0.0.1,%2\n  connector: %3\n"_s.arg(m_telnetPort)
                .arg(m_rawPort)
                .arg(connector)
                .toUtf8());
    config.close();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    start();
}

Ser2NetProcess::~Ser2NetProcess()
{
    stop();
}

bool Ser2NetProcess::start()
{
    // -d: stays in the foreground and prints its errors.
    m_process.start(u"ser2net"_s, {u"-d"_s, u"-c"_s, m_dir.filePath(u"ser2net.yaml"_s)});
    const QDeadlineTimer deadline(kWaitMs);
    while (m_process.waitForStarted(kWaitMs) && !deadline.hasExpired() && !m_process.waitForFinished(10)) {
        if (isListening())
            return true;
    }
    qWarning("ser2net did not start: %s", m_process.readAll().constData());
    return false;
}

void Ser2NetProcess::stop()
{
    // It may ignore the first SIGTERM while it retries a port it could not take.
    m_process.terminate();
    if (!m_process.waitForFinished(kWaitMs)) {
        m_process.kill();
        m_process.waitForFinished(kWaitMs);
    }
}

// A port we cannot take is ser2net's. Connecting to find out would open the
// device and could turn away the test's own client for a moment.
bool Ser2NetProcess::isListening() const
{
    for (const quint16 port : {m_telnetPort, m_rawPort}) {
        if (QTcpServer probe; probe.listen(QHostAddress::LocalHost, port))
            return false;
    }
    return true;
}

QString Ser2NetProcess::rfc2217Address() const
{
    return u"rfc2217://127.0.0.1:%1"_s.arg(m_telnetPort);
}

QString Ser2NetProcess::tcpAddress() const
{
    return u"tcp://127.0.0.1:%1"_s.arg(m_rawPort);
}
