// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "port_settings/serial_devices.h"

#include <QAbstractTableModel>
#include <QSet>
#include <QVariant>

#include <array>
#include <optional>

class QSettings;

// The fifteen port numbers and what each leads to, as read from the store
// and changed since. Only the numbers changed here are ever written back, so
// keys written by hand, usable or not, stay as they are.
class PortMappingModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int portCount = 15;
    enum Column { PortColumn, TargetColumn, StateColumn, ColumnCount };

    explicit PortMappingModel(const QSettings &store, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    static qint16 portNumber(int row) { return qint16(row + 1); }
    // The device or address the row's number leads to now.
    QString target(int row) const;
    // Leads the row's number to the typed device or address. Returns why it
    // cannot be used, or nothing when it is mapped.
    std::optional<QString> map(int row, const QString &typed);
    // Leads the row's number to its built-in port again.
    void setDefault(int row);
    // Present devices are those found, and mapped device files that exist.
    void setFoundDevices(const QList<FoundDevice> &devices);

    bool hasChanges() const;
    // Writes the changed numbers' keys, and nothing else.
    void writeChanges(QSettings &store) const;

private:
    struct Port {
        QVariant stored;                // the key as read: invalid when absent
        std::optional<QString> mapping; // none: the built-in port
        bool touched = false;
    };
    bool isChanged(const Port &port) const;
    void setMapping(int row, std::optional<QString> mapping);
    QString state(int row) const;

    std::array<Port, portCount> m_ports;
    QSet<QString> m_found;
};
