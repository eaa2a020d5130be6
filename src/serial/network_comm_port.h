// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/comm_port.h"
#include "serial/port_address.h"
#include "serial/telnet_codec.h"

#include <QTcpSocket>
#include <QTimer>

#include <functional>

// The line through a serial device server on the network: raw TCP, or Telnet
// with the COM-PORT option so that the speed and framing are set from here.
// Opening runs on the event loop, name lookup and negotiation included, and
// gives up after networkOpenTimeoutMs.
class NetworkCommPort : public CommPort
{
    Q_OBJECT
public:
    using AddressResolver = std::function<QString(qint16)>;

    explicit NetworkCommPort(AddressResolver resolver, QObject *parent = nullptr);

    bool portOpen() const override { return m_stage == Stage::Open; }
    // Opening waits for the end of beginOpen() in an event loop of its own that
    // takes no user input, for callers that cannot go on without the answer.
    bool setPortOpen(bool open) override;
    void beginOpen() override;
    bool isOpening() const override { return m_stage != Stage::Closed && m_stage != Stage::Open; }
    void setOutput(const QByteArray &bytes) override;
    QByteArray input() override;
    int commEvent() const override { return m_event; }

private:
    // Lookup and connect, then for RFC 2217 the option offers and the line settings.
    enum class Stage { Closed, Connecting, Offering, Setting, Open };

    void onConnected();
    void receive();
    void negotiate();
    void onErrorOccurred(QAbstractSocket::SocketError error);
    void onDeadline();
    void fail(PortFailure::Kind kind, const QString &reason = {});
    void finishOpen(PortFailure failure);
    QString serverClosed();

    QTcpSocket m_socket;
    QTimer m_deadline;
    AddressResolver m_resolver;
    PortAddress m_address;
    QString m_name;
    TelnetCodec m_codec;
    Stage m_stage = Stage::Closed;
    // Set when the server went away under us; the next transmit connects
    // again with the same settings. A deliberate close clears it.
    bool m_lost = false;
    int m_event = 0;
    QByteArray m_received;
};
