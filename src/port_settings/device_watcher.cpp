// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/device_watcher.h"

#include <QFileInfo>

DeviceWatcher::DeviceWatcher(DeviceSources sources, QObject *parent)
    : QObject(parent), m_sources(std::move(sources))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_settle, &QTimer::timeout, this, &DeviceWatcher::rescan);
    rescan();
}

void DeviceWatcher::rescan()
{
    watchFolders();
    QList<FoundDevice> found =
        mergeFoundDevices(m_sources.reported ? m_sources.reported() : QList<FoundDevice>(),
                          readDeviceLinks(m_sources.byIdFolder), readDeviceLinks(m_sources.byPathFolder));
    if (found == m_devices)
        return;
    m_devices = std::move(found);
    Q_EMIT devicesChanged();
}

// The link folders come and go with the first and the last adapter; their
// parent, and the folder of device nodes, tell when.
void DeviceWatcher::watchFolders()
{
    const QStringList folders{m_sources.deviceFolder, QFileInfo(m_sources.byIdFolder).path(),
                              QFileInfo(m_sources.byPathFolder).path(), m_sources.byIdFolder,
                              m_sources.byPathFolder};
    for (const QString &folder : folders) {
        if (!m_watcher.directories().contains(folder) && QFileInfo(folder).isDir())
            m_watcher.addPath(folder);
    }
}
