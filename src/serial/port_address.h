// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What a port number maps to: a serial device, or a serial device server on
// the network ("rfc2217://HOST:PORT" or "tcp://HOST:PORT").
struct PortAddress {
    enum class Kind { Device, Rfc2217, RawTcp, Unusable };
    Kind kind = Kind::Unusable;
    QString device; // Device: the name as given
    QString host;   // network: a name or an address, without brackets
    quint16 port = 0;
    QString problem; // Unusable: what is wrong with it

    bool isNetwork() const { return kind == Kind::Rfc2217 || kind == Kind::RawTcp; }
    // "HOST:PORT", an IPv6 address in brackets.
    QString hostAndPort() const;
};

PortAddress parsePortAddress(const QString &name);
