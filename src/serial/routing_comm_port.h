// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/comm_port.h"

#include <functional>

class NetworkCommPort;
class SerialCommPort;

// The main window's serial control: at each open it reads what the port
// number maps to and drives a device or a serial device server accordingly.
class RoutingCommPort : public CommPort
{
    Q_OBJECT
public:
    using Resolver = std::function<QString(qint16)>;

    explicit RoutingCommPort(const Resolver &resolver, QObject *parent = nullptr);

    bool portOpen() const override;
    bool setPortOpen(bool open) override;
    void beginOpen() override;
    bool isOpening() const override;
    void setOutput(const QByteArray &bytes) override;
    QByteArray input() override;
    int commEvent() const override;

private:
    // Picks the line for the port number; false, with the reason, when none will do.
    bool route();

    Resolver m_resolver;
    SerialCommPort *m_device;
    NetworkCommPort *m_network;
    CommPort *m_active;
};
