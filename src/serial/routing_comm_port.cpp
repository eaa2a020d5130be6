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
    for (CommPort *line : {static_cast<CommPort *>(m_device), static_cast<CommPort *>(m_network)}) {
        connect(line, &CommPort::onComm, this, &CommPort::onComm);
        // Every open of a line ends here too, the reconnects it starts itself included.
        connect(line, &CommPort::openFinished, this, [this, line](bool opened) {
            setFailure(line->lastFailure());
            Q_EMIT openFinished(opened);
        });
    }
}

bool RoutingCommPort::portOpen() const
{
    return m_active->portOpen();
}

bool RoutingCommPort::isOpening() const
{
    return m_active->isOpening();
}

bool RoutingCommPort::route()
{
    if (m_active->portOpen() || m_active->isOpening())
        return true;
    const QString name = m_resolver(commPort()).trimmed();
    const PortAddress address = parsePortAddress(name);
    if (!name.isEmpty() && address.kind == PortAddress::Kind::Unusable) {
        setFailure({PortFailure::Kind::Unusable, name, address.problem});
        return false;
    }
    m_active = address.isNetwork() ? static_cast<CommPort *>(m_network) : static_cast<CommPort *>(m_device);
    m_active->setSettings(settings());
    m_active->setCommPort(commPort());
    return true;
}

bool RoutingCommPort::setPortOpen(bool open)
{
    if (!open) {
        m_device->setPortOpen(false);
        m_network->setPortOpen(false);
        // Closed on purpose: no failure is news any more.
        setFailure({});
        return true;
    }
    if (!route())
        return false;
    // An open line fails a second open, whatever the line.
    const bool opened = m_active->setPortOpen(true);
    setFailure(m_active->lastFailure());
    return opened;
}

void RoutingCommPort::beginOpen()
{
    if (route())
        m_active->beginOpen();
    else
        Q_EMIT openFinished(false);
}

void RoutingCommPort::setOutput(const QByteArray &bytes)
{
    m_active->setOutput(bytes);
    // A lost device that did not come back says why.
    if (!m_active->portOpen())
        setFailure(m_active->lastFailure());
}

QByteArray RoutingCommPort::input()
{
    return m_active->input();
}

int RoutingCommPort::commEvent() const
{
    return m_active->commEvent();
}
