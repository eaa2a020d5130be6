// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/routing_comm_port.h"

#include "serial/network_comm_port.h"
#include "serial/port_address.h"
#include "serial/serial_comm_port.h"

RoutingCommPort::RoutingCommPort(const Resolver &resolver, QObject *parent)
    : CommPort(parent), m_resolver(resolver), m_device(new SerialCommPort(resolver, this)),
      m_network(new NetworkCommPort(resolver, this)), m_active(m_device)
{
    m_device->setObjectName(QStringLiteral("device"));
    m_network->setObjectName(QStringLiteral("network"));
    for (CommPort *line : {static_cast<CommPort *>(m_device), static_cast<CommPort *>(m_network)})
        connect(line, &CommPort::onComm, this, &CommPort::onComm);
}

bool RoutingCommPort::portOpen() const
{
    return m_active->portOpen();
}

bool RoutingCommPort::setPortOpen(bool open)
{
    if (!open) {
        m_device->setPortOpen(false);
        m_network->setPortOpen(false);
        return true;
    }
    if (m_active->portOpen()) {
        // Opening an open port fails the same way whatever the line.
        m_active->setPortOpen(true);
        setFailure(m_active->lastFailure());
        return false;
    }
    const QString name = m_resolver(commPort());
    const PortAddress address = parsePortAddress(name);
    if (!name.isEmpty() && address.kind == PortAddress::Kind::Unusable) {
        setFailure({PortFailure::Kind::Unusable, name, address.problem});
        return false;
    }
    m_active = address.isNetwork() ? static_cast<CommPort *>(m_network) : static_cast<CommPort *>(m_device);
    m_active->setSettings(settings());
    m_active->setCommPort(commPort());
    const bool opened = m_active->setPortOpen(true);
    setFailure(m_active->lastFailure());
    return opened;
}

void RoutingCommPort::setOutput(const QByteArray &bytes)
{
    m_active->setOutput(bytes);
}

QByteArray RoutingCommPort::input()
{
    return m_active->input();
}

int RoutingCommPort::commEvent() const
{
    return m_active->commEvent();
}
