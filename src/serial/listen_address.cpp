// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/listen_address.h"

#include <algorithm>

namespace {

// Digits only: toUInt alone would take a sign or spaces too.
bool isPort(QStringView text, quint16 &port)
{
    const bool digits =
        !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    bool ok = false;
    const uint value = text.toUInt(&ok);
    port = quint16(value);
    return digits && ok && value <= 65535;
}

} // namespace

std::optional<ListenAddress> parseListenAddress(const QString &text, const QString &defaultHost)
{
    ListenAddress address{defaultHost, 0};
    if (isPort(text, address.port))
        return address;
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon <= 0 || !isPort(QStringView(text).mid(colon + 1), address.port))
        return std::nullopt;
    address.host = text.left(colon);
    if (address.host.startsWith(u'[') && address.host.endsWith(u']'))
        address.host = address.host.mid(1, address.host.size() - 2);
    else if (address.host.contains(u':')) // a bare IPv6 address: which colon ends it?
        return std::nullopt;
    if (address.host.isEmpty() || address.host.contains(u'[') || address.host.contains(u']'))
        return std::nullopt;
    return address;
}
