// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// A serial device on this computer, as the Ports window lists it.
struct FoundDevice {
    QString path;       // the device node, "/dev/ttyUSB0"
    QString stableName; // what a mapping stores: a by-id or by-path link, else the path
    QString description;
    QString manufacturer;
    QString serialNumber;
    QString vidPid; // "0403:6001" where known

    bool operator==(const FoundDevice &) const = default;
};

// A link in /dev/serial/by-id or /dev/serial/by-path.
struct DeviceLink {
    QString name;   // the link itself, a full path
    QString device; // the terminal device it leads to; empty when it leads to anything else
};

// The serial layer's report merged with the links, one entry per device,
// ordered by path. `reported` carries no stable names; links that lead to no
// terminal device are left out.
QList<FoundDevice> mergeFoundDevices(const QList<FoundDevice> &reported, const QList<DeviceLink> &byId,
                                     const QList<DeviceLink> &byPath);

// The links in a folder, by name; none when the folder does not exist.
QList<DeviceLink> readDeviceLinks(const QString &folder);
