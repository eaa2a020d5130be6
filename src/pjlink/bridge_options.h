// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <variant>

// How the bridge runs, from its command line and the panel's saved port.
struct BridgeOptions {
    qint16 portNumber = 0; // through the [Ports] mapping; 0 with a device
    QString device;        // --device: this device or address, whatever the mapping
    quint8 baudCode = 192; // 96: 9600 baud, else 19200
    QHostAddress listenAddress{QHostAddress::Any};
    quint16 listenPort = 4352;
    QByteArray password; // empty: none
    QByteArray name;
    bool verbose = false;

    // The port as the log and INFO name it: "COM3" or the device.
    QString portName() const;
};

// The end of the program instead of a run: --help, --version or a bad option.
struct OptionsExit {
    int status;   // 0, or 2 for a bad option
    QString text; // for standard output, or the one line for standard error
};

std::variant<BridgeOptions, OptionsExit> parseBridgeOptions(const QStringList &arguments);
