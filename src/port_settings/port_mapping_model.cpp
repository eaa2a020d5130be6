// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/port_mapping_model.h"

#include "port_settings/port_mapping.h"
#include "serial/port_address.h"
#include "serial/port_failure_text.h"

#include <QFileInfo>
#include <QSettings>

#include <algorithm>

PortMappingModel::PortMappingModel(const QSettings &store, QObject *parent) : QAbstractTableModel(parent)
{
    for (int row = 0; row < portCount; ++row) {
        Port &port = m_ports[size_t(row)];
        port.stored = store.value(portMappingKey(portNumber(row)));
        // As opening reads it: what is no text leads to the built-in port.
        const QString mapped = storedMapping(portNumber(row), store);
        if (!mapped.isEmpty())
            port.mapping = mapped;
    }
}

int PortMappingModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : portCount;
}

int PortMappingModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PortMappingModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const int row = index.row();
    switch (index.column()) {
    case PortColumn:
        return QStringLiteral("COM%1").arg(portNumber(row));
    case TargetColumn:
        return m_ports[size_t(row)].mapping ? target(row) : target(row) + QStringLiteral(" (built-in)");
    default:
        return state(row);
    }
}

QVariant PortMappingModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const char *const titles[] = {"Port", "Leads to", "State"};
    return QLatin1String(titles[section]);
}

QString PortMappingModel::target(int row) const
{
    return m_ports[size_t(row)].mapping.value_or(builtInPortDevice(portNumber(row)));
}

std::optional<QString> PortMappingModel::map(int row, const QString &typed)
{
    // Blanks around a pasted name are no part of it.
    const QString text = typed.trimmed();
    const PortAddress address = parsePortAddress(text);
    if (address.kind == PortAddress::Kind::Unusable)
        return portFailureText({PortFailure::Kind::Unusable, text, address.problem}, portNumber(row));
    setMapping(row, text);
    return std::nullopt;
}

void PortMappingModel::setDefault(int row)
{
    setMapping(row, std::nullopt);
}

void PortMappingModel::setFoundDevices(const QList<FoundDevice> &devices)
{
    m_found.clear();
    for (const FoundDevice &device : devices)
        m_found.insert(device.path);
    Q_EMIT dataChanged(index(0, StateColumn), index(portCount - 1, StateColumn));
}

bool PortMappingModel::hasChanges() const
{
    return std::any_of(m_ports.cbegin(), m_ports.cend(),
                       [this](const Port &port) { return isChanged(port); });
}

void PortMappingModel::writeChanges(QSettings &store) const
{
    for (int row = 0; row < portCount; ++row) {
        const Port &port = m_ports[size_t(row)];
        if (!isChanged(port))
            continue;
        const QString key = portMappingKey(portNumber(row));
        port.mapping ? store.setValue(key, *port.mapping) : store.remove(key);
    }
}

bool PortMappingModel::isChanged(const Port &port) const
{
    if (!port.touched)
        return false;
    if (!port.mapping)
        return port.stored.isValid();
    return port.stored.typeId() != QMetaType::QString || port.stored.toString() != *port.mapping;
}

void PortMappingModel::setMapping(int row, std::optional<QString> mapping)
{
    Port &port = m_ports[size_t(row)];
    port.mapping = std::move(mapping);
    port.touched = true;
    Q_EMIT dataChanged(index(row, TargetColumn), index(row, StateColumn));
}

QString PortMappingModel::state(int row) const
{
    const PortAddress address = parsePortAddress(target(row));
    if (address.isNetwork())
        return QStringLiteral("network address");
    if (address.kind == PortAddress::Kind::Unusable)
        return QStringLiteral("unusable");
    // A built-in port's device file is there whether the port is or not.
    const QString name = target(row);
    const bool present = m_found.contains(name) || m_found.contains(QFileInfo(name).canonicalFilePath()) ||
                         (m_ports[size_t(row)].mapping && QFileInfo::exists(name));
    return present ? QStringLiteral("present") : QStringLiteral("absent");
}
