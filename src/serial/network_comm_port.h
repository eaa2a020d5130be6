// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/comm_port.h"
#include "serial/port_address.h"
#include "serial/telnet_codec.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

#include <functional>

// The line through a serial device server on the network: raw TCP, or Telnet
// with the COM-PORT option so that the speed and framing are set from here.
// Opening is synchronous, like a device's, but never takes longer than
// networkOpenTimeoutMs.
class NetworkCommPort : public CommPort
{
    Q_OBJECT
public:
    using AddressResolver = std::function<QString(qint16)>;

    explicit NetworkCommPort(AddressResolver resolver, QObject *parent = nullptr);

    bool portOpen() const override { return m_open; }
    bool setPortOpen(bool open) override;
    void setOutput(const QByteArray &bytes) override;
    QByteArray input() override;
    int commEvent() const override { return m_event; }

private:
    bool open();
    PortFailure connectTo(const PortAddress &address, const QString &name, QDeadlineTimer deadline);
    PortFailure negotiate(const PortAddress &address, const QString &name, QDeadlineTimer deadline);
    bool waitForServer(const QDeadlineTimer &deadline, const std::function<bool()> &done);
    void receive();
    void onErrorOccurred(QAbstractSocket::SocketError error);

    QTcpSocket m_socket;
    AddressResolver m_resolver;
    TelnetCodec m_codec;
    bool m_telnet = false;
    bool m_open = false;
    // Set when the server went away under us; the next transmit connects
    // again with the same settings. A deliberate close clears it.
    bool m_lost = false;
    int m_event = 0;
    QByteArray m_received;
};
