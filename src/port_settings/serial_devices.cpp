// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/serial_devices.h"

#include <QDir>
#include <QMap>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// The first link, by name, that leads to the device.
QString linkTo(const QString &device, const QList<DeviceLink> &links)
{
    QString first;
    for (const DeviceLink &link : links) {
        if (link.device == device && (first.isEmpty() || link.name < first))
            first = link.name;
    }
    return first;
}

// Adapters of one make and model that report the same serial number, or
// none, are told apart by nothing udev can name them after.
bool lookAlike(const FoundDevice &a, const FoundDevice &b)
{
    return !a.vidPid.isEmpty() && a.vidPid == b.vidPid && a.serialNumber == b.serialNumber &&
           a.manufacturer == b.manufacturer && a.description == b.description;
}

bool isTerminal(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat status {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &status) == 0 &&
           S_ISCHR(status.st_mode);
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace

QList<FoundDevice> mergeFoundDevices(const QList<FoundDevice> &reported, const QList<DeviceLink> &byId,
                                     const QList<DeviceLink> &byPath)
{
    QMap<QString, FoundDevice> devices;
    for (const FoundDevice &device : reported)
        devices.insert(device.path, device);
    // Devices the serial layer does not report (a pseudo-terminal, say) count when a link names them.
    for (const QList<DeviceLink> *links : {&byId, &byPath}) {
        for (const DeviceLink &link : *links) {
            if (!link.device.isEmpty() && !devices.contains(link.device))
                devices[link.device].path = link.device;
        }
    }

    // Look-alike adapters share one by-id name, which udev points at one of
    // them only: a look-alike without a by-id link gives the name away.
    QList<FoundDevice> found = devices.values();
    for (FoundDevice &device : found) {
        const bool shared = std::any_of(found.cbegin(), found.cend(), [&](const FoundDevice &other) {
            return other.path != device.path && lookAlike(device, other) &&
                   linkTo(other.path, byId).isEmpty();
        });
        const QString id = shared ? QString() : linkTo(device.path, byId);
        const QString path = linkTo(device.path, byPath);
        device.stableName = !id.isEmpty() ? id : !path.isEmpty() ? path : device.path;
    }
    return found;
}

QList<DeviceLink> readDeviceLinks(const QString &folder)
{
    QList<DeviceLink> links;
    // Broken links count as system entries.
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (!entry.isSymLink())
            continue;
        const QString device = entry.canonicalFilePath();
        links.append({entry.absoluteFilePath(), isTerminal(device) ? device : QString()});
    }
    return links;
}
