// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/network_comm_port.h"

#include <QDeadlineTimer>

#include <utility>

namespace {

bool lineConfirmed(const TelnetCodec::Line &line)
{
    return line.baud && line.dataSize && line.parity && line.stopSize && line.control;
}

} // namespace

NetworkCommPort::NetworkCommPort(AddressResolver resolver, QObject *parent)
    : CommPort(parent), m_socket(this), m_resolver(std::move(resolver))
{
    connect(&m_socket, &QTcpSocket::readyRead, this, &NetworkCommPort::receive);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &NetworkCommPort::onErrorOccurred);
}

bool NetworkCommPort::setPortOpen(bool open)
{
    m_lost = false;
    if (!open) {
        m_open = false;
        m_socket.abort();
        return true;
    }
    return this->open();
}

bool NetworkCommPort::open()
{
    const QString name = m_resolver(commPort());
    if (m_open) {
        setFailure({PortFailure::Kind::Busy, name, QStringLiteral("The port is already open")});
        return false;
    }
    const PortAddress address = parsePortAddress(name);
    if (!address.isNetwork()) {
        setFailure({PortFailure::Kind::Unusable, name, address.problem});
        return false;
    }
    const QDeadlineTimer deadline(networkOpenTimeoutMs);
    PortFailure failure = connectTo(address, name, deadline);
    if (failure.kind == PortFailure::Kind::None && m_telnet)
        failure = negotiate(address, name, deadline);
    if (failure.kind != PortFailure::Kind::None) {
        m_socket.abort();
        setFailure(failure);
        return false;
    }
    setFailure({});
    m_open = true;
    // Whatever the projector said while the link was being set up is news.
    if (!m_received.isEmpty())
        QMetaObject::invokeMethod(
            this, [this] { receive(); }, Qt::QueuedConnection);
    return true;
}

PortFailure NetworkCommPort::connectTo(const PortAddress &address, const QString &name,
                                       QDeadlineTimer deadline)
{
    m_telnet = address.kind == PortAddress::Kind::Rfc2217;
    m_codec = TelnetCodec();
    m_received.clear();
    m_socket.abort();
    m_socket.connectToHost(address.host, address.port);
    if (m_socket.waitForConnected(int(deadline.remainingTime()))) {
        // A command is a handful of bytes that must leave at once.
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return {};
    }
    switch (m_socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
        return {PortFailure::Kind::Refused, name, m_socket.errorString()};
    case QAbstractSocket::HostNotFoundError:
        return {PortFailure::Kind::HostNotFound, name, m_socket.errorString()};
    case QAbstractSocket::SocketTimeoutError:
        return {PortFailure::Kind::NoAnswer, name, {}};
    default:
        return {PortFailure::Kind::Other, name, m_socket.errorString()};
    }
}

PortFailure NetworkCommPort::negotiate(const PortAddress &address, const QString &name,
                                       QDeadlineTimer deadline)
{
    m_socket.write(TelnetCodec::hello());
    // Plain data before any Telnet at all means a raw port: no use waiting.
    waitForServer(deadline, [this] {
        return m_codec.comPort() != TelnetCodec::ComPort::Asked ||
               (!m_codec.heardTelnet() && !m_received.isEmpty());
    });
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return {PortFailure::Kind::Other, name, QStringLiteral("The server closed the connection")};
    if (m_codec.comPort() != TelnetCodec::ComPort::Accepted)
        return {PortFailure::Kind::NotRfc2217, name, {}};
    const quint32 baud = this->baud();
    m_socket.write(TelnetCodec::lineRequest(baud));
    if (!waitForServer(deadline, [this] { return lineConfirmed(m_codec.confirmed()); }))
        return {PortFailure::Kind::NoAnswer, name, {}};
    if (*m_codec.confirmed().baud != baud)
        return {PortFailure::Kind::Other, name,
                QStringLiteral("%1 set %2 baud instead of %3")
                    .arg(address.hostAndPort())
                    .arg(*m_codec.confirmed().baud)
                    .arg(baud)};
    return {};
}

bool NetworkCommPort::waitForServer(const QDeadlineTimer &deadline, const std::function<bool()> &done)
{
    // Blocking, like opening a device: the window must not take clicks that
    // would start a second open while this one is under way.
    while (!done()) {
        if (deadline.hasExpired() || !m_socket.waitForReadyRead(int(deadline.remainingTime())))
            return done();
    }
    return true;
}

void NetworkCommPort::receive()
{
    const QByteArray bytes = m_socket.readAll();
    if (m_telnet) {
        m_received += m_codec.decode(bytes);
        if (const QByteArray answers = m_codec.takeAnswers(); !answers.isEmpty())
            m_socket.write(answers);
    } else {
        m_received += bytes;
    }
    if (!m_open || m_received.isEmpty())
        return;
    m_event = comEvReceive;
    Q_EMIT onComm();
}

QByteArray NetworkCommPort::input()
{
    return std::exchange(m_received, {});
}

void NetworkCommPort::setOutput(const QByteArray &bytes)
{
    if (!m_open && (!m_lost || !open()))
        return;
    m_socket.write(m_telnet ? TelnetCodec::escape(bytes) : bytes);
    // The command must be on its way before the views are redrawn.
    m_socket.flush();
}

void NetworkCommPort::onErrorOccurred(QAbstractSocket::SocketError error)
{
    // A server that closes, resets or restarts is an unplugged adapter: the
    // port closes at once and the next transmit connects again.
    if (!m_open || error == QAbstractSocket::SocketTimeoutError)
        return;
    m_open = false;
    m_lost = true;
    m_socket.abort();
}
