// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "port_settings/serial_devices.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <functional>

// Where serial devices are looked for: what the serial layer reports, and
// the folders of links and of device nodes.
struct DeviceSources {
    std::function<QList<FoundDevice>()> reported;
    QString byIdFolder = QStringLiteral("/dev/serial/by-id");
    QString byPathFolder = QStringLiteral("/dev/serial/by-path");
    QString deviceFolder = QStringLiteral("/dev");
};

// Keeps the list of serial devices current: the folders are watched, and a
// change in them lists the devices afresh. Nothing is polled.
class DeviceWatcher : public QObject
{
    Q_OBJECT
public:
    // How long a burst of changes (a device node, then its links) may take.
    static constexpr int settleMs = 250;

    explicit DeviceWatcher(DeviceSources sources, QObject *parent = nullptr);

    const QList<FoundDevice> &devices() const { return m_devices; }
    // Lists the devices now; devicesChanged() follows when the list changed.
    void rescan();

Q_SIGNALS:
    void devicesChanged();

private:
    void watchFolders();

    DeviceSources m_sources;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QList<FoundDevice> m_devices;
};
