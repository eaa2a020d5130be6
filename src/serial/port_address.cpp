// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_address.h"

#include <QRegularExpression>

namespace {

const QString addressForms = QStringLiteral("Write rfc2217://HOST:PORT or tcp://HOST:PORT.");

PortAddress unusable(const QString &problem)
{
    PortAddress address;
    address.problem = problem;
    return address;
}

// HOST:PORT after the scheme: a name, an IPv4 address or a bracketed IPv6 address.
PortAddress parseHostAndPort(PortAddress::Kind kind, QStringView rest)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^(?:\[([0-9A-Fa-f:.]+)\]|([A-Za-z0-9._-]+)):(\d{1,5})$)"));
    const auto match = form.match(rest.toString());
    if (!match.hasMatch())
        return unusable(
            QStringLiteral("HOST:PORT is missing or malformed (an IPv6 address goes in brackets). ") +
            addressForms);
    const QString host = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
    if (!match.captured(1).isEmpty() && !host.contains(u':'))
        return unusable(QStringLiteral("[%1] is not an IPv6 address.").arg(host));
    const int port = match.captured(3).toInt();
    if (port < 1 || port > 65535)
        return unusable(QStringLiteral("The TCP port must be from 1 to 65535."));
    PortAddress address;
    address.kind = kind;
    address.host = host;
    address.port = quint16(port);
    return address;
}

} // namespace

QString PortAddress::hostAndPort() const
{
    const bool ipv6 = host.contains(u':');
    return (ipv6 ? u'[' + host + u']' : host) + u':' + QString::number(port);
}

PortAddress parsePortAddress(const QString &name)
{
    const qsizetype schemeEnd = name.indexOf(QLatin1String("://"));
    if (schemeEnd >= 0) {
        const QString scheme = name.left(schemeEnd).toLower();
        const QStringView rest = QStringView(name).mid(schemeEnd + 3);
        if (scheme == QLatin1String("rfc2217"))
            return parseHostAndPort(PortAddress::Kind::Rfc2217, rest);
        if (scheme == QLatin1String("tcp"))
            return parseHostAndPort(PortAddress::Kind::RawTcp, rest);
        return unusable(QStringLiteral("Unknown kind of address \"%1://\". ").arg(scheme) + addressForms);
    }
    // A device is a path or a bare name the serial layer looks up; a colon
    // outside a path is a network address that lacks its scheme.
    if (name.trimmed().isEmpty() || (!name.startsWith(u'/') && name.contains(u':')))
        return unusable(QStringLiteral("Neither a device nor a network address. ") + addressForms);
    PortAddress address;
    address.kind = PortAddress::Kind::Device;
    address.device = name;
    return address;
}
