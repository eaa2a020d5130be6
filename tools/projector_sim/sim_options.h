// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "projector_state.h"
#include "reply_shaper.h"

#include <QString>
#include <QStringList>

#include <optional>

// Where to listen for TCP clients instead of serving a serial line.
struct ListenAddress {
    QString host;     // an address or a name, as given; IPv6 without its brackets
    quint16 port = 0; // 0: any free port
};

struct SimOptions {
    std::optional<ListenAddress> listen; // set: a LAN port instead of a serial line
    QString device;                      // empty: make a pseudo-terminal
    QString link;                        // empty: no symbolic link
    int baud = 9600;
    ProjectorSetup setup;
    ReplyFaults faults;
    quint32 seed = 1;
    bool silent = false;
    bool wireTime = false;
    bool verbose = false;
};

// Reads the command line. Prints the help or the version and exits when asked
// to; returns nothing and sets `error` when an option is wrong.
std::optional<SimOptions> parseSimOptions(const QStringList &arguments, QString &error);
