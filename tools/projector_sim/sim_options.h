// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "projector_state.h"
#include "reply_shaper.h"
#include "serial/listen_address.h"

#include <QString>
#include <QStringList>

#include <optional>

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
