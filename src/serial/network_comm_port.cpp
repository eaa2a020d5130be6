// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/network_comm_port.h"

#include <QEventLoop>

#include <optional>
#include <utility>

namespace {

bool lineConfirmed(const TelnetCodec::Line &line)
{
    return line.baud && line.dataSize && line.parity && line.stopSize && line.control;
}

// The first line of what a server said, as plain text and not too long.
QString firstLine(const QByteArray &said)
{
    for (QString line : QString::fromUtf8(said).split(u'\n')) {
        line.removeIf([](QChar c) { return !c.isPrint(); });
        line = line.simplified();
        if (line.size() > 120)
            line = line.left(119) + u'…';
        if (!line.isEmpty())
            return line;
    }
    return {};
}

} // namespace

NetworkCommPort::NetworkCommPort(AddressResolver resolver, QObject *parent)
    : CommPort(parent), m_socket(this), m_deadline(this), m_resolver(std::move(resolver))
{
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(networkOpenTimeoutMs);
    connect(&m_deadline, &QTimer::timeout, this, &NetworkCommPort::onDeadline);
    connect(&m_socket, &QTcpSocket::connected, this, &NetworkCommPort::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &NetworkCommPort::receive);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &NetworkCommPort::onErrorOccurred);
}

bool NetworkCommPort::setPortOpen(bool open)
{
    if (!open) {
        m_lost = false;
        // An open under way ends too, with its answer, so no caller waits in vain.
        if (isOpening()) {
            fail(PortFailure::Kind::Other, QStringLiteral("The port was closed before it had opened"));
            return true;
        }
        m_stage = Stage::Closed;
        m_socket.abort();
        setFailure({});
        return true;
    }
    std::optional<bool> opened;
    QEventLoop loop;
    connect(this, &CommPort::openFinished, &loop, [&](bool result) {
        opened = result;
        loop.quit();
    });
    beginOpen(); // or the open under way, which this one waits for
    if (!opened)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // Left early: the program is on its way out.
    if (!opened)
        setPortOpen(false);
    return opened.value_or(false);
}

void NetworkCommPort::beginOpen()
{
    if (isOpening())
        return;
    const QString name = m_resolver(commPort()).trimmed();
    if (portOpen()) {
        setFailure({PortFailure::Kind::Other, name, QStringLiteral("The port is already open")});
        Q_EMIT openFinished(false);
        return;
    }
    m_name = name;
    m_address = parsePortAddress(name);
    m_codec = TelnetCodec();
    m_received.clear();
    if (!m_address.isNetwork()) {
        fail(PortFailure::Kind::Unusable, m_address.problem);
        return;
    }
    // One deadline from the name lookup to the confirmed line.
    m_stage = Stage::Connecting;
    m_deadline.start();
    m_socket.abort();
    m_socket.connectToHost(m_address.host, m_address.port);
}

void NetworkCommPort::onConnected()
{
    if (m_stage != Stage::Connecting)
        return;
    // A command is a handful of bytes that must leave at once.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (m_address.kind != PortAddress::Kind::Rfc2217) {
        finishOpen({});
        return;
    }
    m_stage = Stage::Offering;
    m_socket.write(TelnetCodec::hello());
}

void NetworkCommPort::receive()
{
    const QByteArray bytes = m_socket.readAll();
    if (m_address.kind == PortAddress::Kind::Rfc2217) {
        m_received += m_codec.decode(bytes);
        if (const QByteArray answers = m_codec.takeAnswers(); !answers.isEmpty())
            m_socket.write(answers);
    } else {
        m_received += bytes;
    }
    if (isOpening())
        negotiate();
    if (m_stage != Stage::Open || m_received.isEmpty())
        return;
    m_event = comEvReceive;
    Q_EMIT onComm();
}

void NetworkCommPort::negotiate()
{
    if (m_stage == Stage::Offering) {
        // Plain data before any Telnet at all means a raw port: no use waiting.
        const bool undecided = m_codec.comPort() == TelnetCodec::ComPort::Asked &&
                               (m_codec.heardTelnet() || m_received.isEmpty());
        if (undecided)
            return;
        if (m_codec.comPort() != TelnetCodec::ComPort::Accepted) {
            fail(PortFailure::Kind::NotRfc2217);
            return;
        }
        m_stage = Stage::Setting;
        m_socket.write(TelnetCodec::lineRequest(baud()));
    }
    if (m_stage != Stage::Setting || !lineConfirmed(m_codec.confirmed()))
        return;
    if (*m_codec.confirmed().baud != baud()) {
        fail(PortFailure::Kind::Other, QStringLiteral("%1 set %2 baud instead of %3")
                                           .arg(m_address.hostAndPort())
                                           .arg(*m_codec.confirmed().baud)
                                           .arg(baud()));
        return;
    }
    finishOpen({});
}

QByteArray NetworkCommPort::input()
{
    return std::exchange(m_received, {});
}

void NetworkCommPort::setOutput(const QByteArray &bytes)
{
    if (m_stage == Stage::Open) {
        m_socket.write(m_address.kind == PortAddress::Kind::Rfc2217 ? TelnetCodec::escape(bytes) : bytes);
        // The command must be on its way before the views are redrawn.
        m_socket.flush();
    } else if (m_lost && m_stage == Stage::Closed) {
        // Connects again in the background; nothing waits here, and nothing
        // goes to a line that is still being set up.
        beginOpen();
    }
}

void NetworkCommPort::onErrorOccurred(QAbstractSocket::SocketError error)
{
    if (isOpening()) {
        switch (error) {
        case QAbstractSocket::ConnectionRefusedError:
            fail(PortFailure::Kind::Refused);
            break;
        case QAbstractSocket::HostNotFoundError:
            fail(PortFailure::Kind::HostNotFound);
            break;
        case QAbstractSocket::RemoteHostClosedError:
            fail(PortFailure::Kind::Other, serverClosed());
            break;
        default:
            fail(PortFailure::Kind::Other, m_socket.errorString());
            break;
        }
        return;
    }
    // A server that closes, resets or restarts is an unplugged adapter: the
    // port closes at once and the next transmit connects again.
    if (m_stage != Stage::Open)
        return;
    m_stage = Stage::Closed;
    m_lost = true;
    m_socket.abort();
}

void NetworkCommPort::onDeadline()
{
    const QString took = QStringLiteral("within %1 s").arg(networkOpenTimeoutMs / 1000);
    switch (m_stage) {
    case Stage::Connecting:
        if (m_socket.state() == QAbstractSocket::HostLookupState)
            fail(PortFailure::Kind::Other,
                 QStringLiteral("No address found for %1 %2").arg(m_address.host, took));
        else
            fail(PortFailure::Kind::NoAnswer);
        break;
    case Stage::Offering:
        fail(PortFailure::Kind::NotRfc2217);
        break;
    case Stage::Setting:
        fail(PortFailure::Kind::Other,
             QStringLiteral("%1 speaks RFC 2217 but did not confirm the line settings %2")
                 .arg(m_address.hostAndPort(), took));
        break;
    case Stage::Closed:
    case Stage::Open:
        break;
    }
}

// Whatever the server said before it went often tells why it turned us away
// (ser2net: "Port already in use").
QString NetworkCommPort::serverClosed()
{
    const QByteArray rest = m_socket.readAll();
    const QString said =
        firstLine(m_received + (m_address.kind == PortAddress::Kind::Rfc2217 ? m_codec.decode(rest) : rest));
    const QString closed = QStringLiteral("The server closed the connection");
    return said.isEmpty() ? closed : closed + QStringLiteral(", saying \"%1\"").arg(said);
}

void NetworkCommPort::fail(PortFailure::Kind kind, const QString &reason)
{
    finishOpen({kind, m_name, reason});
}

void NetworkCommPort::finishOpen(PortFailure failure)
{
    m_deadline.stop();
    const bool opened = failure.kind == PortFailure::Kind::None;
    m_stage = opened ? Stage::Open : Stage::Closed;
    if (opened)
        m_lost = false;
    else
        m_socket.abort();
    setFailure(std::move(failure));
    // Whatever the projector said while the link was being set up is news.
    if (opened && !m_received.isEmpty())
        QMetaObject::invokeMethod(this, &NetworkCommPort::receive, Qt::QueuedConnection);
    Q_EMIT openFinished(opened);
}
