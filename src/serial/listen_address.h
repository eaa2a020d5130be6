// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// Where a server listens for TCP clients.
struct ListenAddress {
    QString host;     // an address or a name, as given; IPv6 without its brackets; empty: every address
    quint16 port = 0; // 0: any free port
};

// PORT (on defaultHost), HOST:PORT or [IPv6]:PORT; nothing when it is none of these.
std::optional<ListenAddress> parseListenAddress(const QString &text, const QString &defaultHost);
