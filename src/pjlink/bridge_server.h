// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpServer>

class ProjectorBridge;
class QTcpSocket;

// The network edge: takes controllers' connections, hands their bytes to a
// session each and writes back what the session answers. Everything it does
// is wiring and logging.
class BridgeServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int connectionLimit = 128;
    // What is read of a connection before its session takes it, and what may
    // wait to be written before its input is held back.
    static constexpr qint64 readChunk = 512;
    static constexpr qint64 writeBacklog = 4096;

    BridgeServer(ProjectorBridge &bridge, QByteArray password, bool verbose, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    QString errorString() const { return m_server.errorString(); }
    QString address() const;
    int connections() const { return m_connections; }

Q_SIGNALS:
    void logged(const QString &line);

private:
    void accept();
    void serve(QTcpSocket *socket);

    ProjectorBridge &m_bridge;
    QByteArray m_password;
    bool m_verbose;
    QTcpServer m_server;
    int m_connections = 0;
    int m_refused = 0; // connections turned away since the limit was last reached
};
