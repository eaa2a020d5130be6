// SPDX-License-Identifier: GPL-3.0-or-later
#include "pjlink/bridge_server.h"

#include "pjlink/pjlink_auth.h"
#include "pjlink/pjlink_line.h"
#include "pjlink/pjlink_session.h"

#include <QTcpSocket>

namespace {

QString peerOf(const QTcpSocket &socket)
{
    const QString host = socket.peerAddress().toString();
    return (host.contains(u':') ? u'[' + host + u']' : host) + u':' + QString::number(socket.peerPort());
}

} // namespace

BridgeServer::BridgeServer(ProjectorBridge &bridge, QByteArray password, bool verbose, QObject *parent)
    : QObject(parent), m_bridge(bridge), m_password(std::move(password)), m_verbose(verbose)
{
    m_server.setMaxPendingConnections(connectionLimit);
    connect(&m_server, &QTcpServer::newConnection, this, &BridgeServer::accept);
}

bool BridgeServer::listen(const QHostAddress &address, quint16 port)
{
    return m_server.listen(address, port);
}

QString BridgeServer::address() const
{
    const QString host = m_server.serverAddress().toString();
    return (host.contains(u':') ? u'[' + host + u']' : host) + u':' + QString::number(m_server.serverPort());
}

void BridgeServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (m_connections < connectionLimit) {
            if (m_refused > 0)
                Q_EMIT logged(QStringLiteral("taking connections again (%1 turned away)").arg(m_refused));
            m_refused = 0;
            serve(socket);
            continue;
        }
        if (m_refused++ == 0)
            Q_EMIT logged(QStringLiteral("%1 connections open: turning away %2 and any more")
                              .arg(connectionLimit)
                              .arg(peerOf(*socket)));
        socket->abort();
        socket->deleteLater();
    }
}

void BridgeServer::serve(QTcpSocket *socket)
{
    ++m_connections;
    const QString peer = peerOf(*socket);
    // Bounded: what the controller sends beyond this waits in the kernel.
    socket->setReadBufferSize(readChunk);
    auto *session = new PjlinkSession(m_bridge, m_password,
                                      m_password.isEmpty() ? QByteArray() : pjlinkChallenge(), socket);
    const auto pump = [socket, session] {
        while (!session->isBusy() && !session->isClosing() && socket->bytesAvailable() > 0 &&
               socket->bytesToWrite() < writeBacklog)
            session->receive(socket->read(readChunk));
    };
    connect(session, &PjlinkSession::send, socket,
            [socket](const QByteArray &bytes) { socket->write(bytes); });
    connect(session, &PjlinkSession::closing, socket, &QTcpSocket::disconnectFromHost);
    connect(session, &PjlinkSession::problem, this,
            [this, peer](const QString &what) { Q_EMIT logged(peer + QStringLiteral(": ") + what); });
    if (m_verbose) {
        Q_EMIT logged(peer + QStringLiteral(": connected"));
        connect(session, &PjlinkSession::answered, this,
                [this, peer](const QByteArray &line, const QByteArray &answer) {
                    Q_EMIT logged(
                        QStringLiteral("%1: %2 -> %3").arg(peer, visibleBytes(line), visibleBytes(answer)));
                });
    }
    connect(socket, &QTcpSocket::readyRead, session, pump);
    connect(socket, &QTcpSocket::bytesWritten, session, pump);
    connect(socket, &QTcpSocket::disconnected, this, [this, socket, session, peer] {
        --m_connections;
        const QString why =
            session->isClosing() ? session->closedBecause() : QStringLiteral("closed by the controller");
        Q_EMIT logged(QStringLiteral("%1: %2 command(s), %3").arg(peer).arg(session->commands()).arg(why));
        socket->deleteLater();
    });
    socket->write(session->greeting());
}
