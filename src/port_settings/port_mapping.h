// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QSettings;

// Where the store keeps port N's mapping: key "COM<N>" of group "Ports".
QString portMappingKey(qint16 number);

// The text the store keeps for port N; empty when there is none.
QString storedMapping(qint16 number, const QSettings &store);

// The platform's own name for port N, used where no mapping names another.
QString builtInPortDevice(qint16 number);

// The device a port number stands for on this machine: key "COM<N>" in group
// "Ports" of the store when present, else the platform's own name for port N.
// Numbers below 1 name no device (empty result). The store is only read.
QString portDeviceName(qint16 number, const QSettings &store);

// The same for the per-user store, read afresh at each call so that a mapping
// edited while the program runs takes effect at the next open.
QString storedPortDevice(qint16 number);
