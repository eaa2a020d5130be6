// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim_options.h"

#include <QString>

#include <memory>

// The simulator's end as a projector's own LAN port: a listening TCP socket
// and the one client it serves at a time, raw bytes both ways.
class TcpEndpoint
{
public:
    static std::unique_ptr<TcpEndpoint> listen(const ListenAddress &address, QString &error);
    ~TcpEndpoint();
    TcpEndpoint(const TcpEndpoint &) = delete;
    TcpEndpoint &operator=(const TcpEndpoint &) = delete;

    // Non-blocking descriptors: the listening one, and the client's (-1 while
    // there is none) to read commands from and write replies to.
    int listenFd() const { return m_listenFd; }
    int clientFd() const { return m_clientFd; }
    // Where it listens, with the port it got: HOST:PORT, or [HOST]:PORT for IPv6.
    QString address() const { return m_address; }
    // The client's address, for the log.
    QString clientAddress() const { return m_clientAddress; }

    enum class Arrival {
        None,    // nobody waits
        Served,  // the newcomer is the client now
        Refused, // a client is already served: the newcomer was closed at once
        Failed,  // the listening socket failed; errno says why
    };
    // Takes one waiting connection. `peer` names it for the log.
    Arrival acceptOne(QString &peer);
    // Closes the client's connection, if any.
    void dropClient();

private:
    TcpEndpoint() = default;

    int m_listenFd = -1;
    int m_clientFd = -1;
    QString m_address;
    QString m_clientAddress;
};
