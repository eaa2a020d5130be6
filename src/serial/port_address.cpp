// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_address.h"

#include <QUrl>

#include <algorithm>

namespace {

const QString addressForms = QStringLiteral("Write rfc2217://HOST:PORT or tcp://HOST:PORT.");

PortAddress unusable(const QString &problem)
{
    PortAddress address;
    address.problem = problem;
    return address;
}

// An IPv6 address, with a zone after "%" or after "%25" as in a URL; empty
// when it is none.
QString ipv6Host(QString inBrackets)
{
    const qsizetype zone = inBrackets.indexOf(u'%');
    if (zone >= 0 && !QStringView(inBrackets).sliced(zone + 1).startsWith(u"25"))
        inBrackets.insert(zone + 1, QLatin1String("25"));
    QUrl url;
    url.setHost(inBrackets, QUrl::StrictMode);
    return url.isValid() && url.host().contains(u':') ? url.host() : QString();
}

// 1 to 65535 from decimal digits, leading zeros allowed; 0 for anything else.
int tcpPort(QStringView digits)
{
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
    }
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.sliced(1);
    const int port = digits.size() <= 5 ? digits.toInt() : 0;
    return port <= 65535 ? port : 0;
}

// HOST:PORT after the scheme: a name, an IPv4 address or a bracketed IPv6 address.
PortAddress parseHostAndPort(PortAddress::Kind kind, QStringView rest)
{
    const auto tail =
        std::find_if(rest.begin(), rest.end(), [](QChar c) { return QStringView(u"/?#").contains(c); });
    if (tail != rest.end())
        return unusable(QStringLiteral("Nothing may follow the port, but \"%1\" does. ")
                            .arg(rest.sliced(tail - rest.begin())) +
                        addressForms);
    const bool bracketed = rest.startsWith(u'[');
    const qsizetype close = rest.indexOf(u"]:");
    const qsizetype colon = !bracketed ? rest.lastIndexOf(u':') : close < 0 ? -1 : close + 1;
    if (colon < 0)
        return unusable(
            QStringLiteral("HOST:PORT is missing or malformed (an IPv6 address goes in brackets). ") +
            addressForms);
    const QString given = (bracketed ? rest.sliced(1, colon - 2) : rest.first(colon)).toString();
    const QString host = bracketed ? ipv6Host(given) : given;
    if (given.isEmpty())
        return unusable(QStringLiteral("The host is missing before the port. ") + addressForms);
    if (bracketed && host.isEmpty())
        return unusable(QStringLiteral("[%1] is not an IPv6 address.").arg(given));
    if (!bracketed && host.contains(u':'))
        return unusable(QStringLiteral("An IPv6 address goes in brackets: [%1].").arg(host));
    // Internationalised names are checked as they will be looked up.
    if (!bracketed && QUrl::toAce(host).isEmpty())
        return unusable(QStringLiteral("\"%1\" is not a host name.").arg(host));
    const int port = tcpPort(rest.sliced(colon + 1));
    if (port == 0)
        return unusable(QStringLiteral("The TCP port must be a number from 1 to 65535."));
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

PortAddress parsePortAddress(const QString &given)
{
    // Blanks around a name copied from elsewhere are no part of it.
    const QString name = given.trimmed();
    const qsizetype schemeEnd = name.indexOf(QLatin1String("://"));
    if (schemeEnd >= 0) {
        const QString scheme = name.left(schemeEnd).toLower();
        const QStringView rest = QStringView(name).sliced(schemeEnd + 3);
        if (scheme == QLatin1String("rfc2217"))
            return parseHostAndPort(PortAddress::Kind::Rfc2217, rest);
        if (scheme == QLatin1String("tcp"))
            return parseHostAndPort(PortAddress::Kind::RawTcp, rest);
        return unusable(QStringLiteral("Unknown kind of address \"%1://\". ").arg(scheme) + addressForms);
    }
    // A device is a path or a bare name the serial layer looks up; a colon
    // outside a path is a network address that lacks its scheme.
    if (name.isEmpty() || (!name.startsWith(u'/') && name.contains(u':')))
        return unusable(QStringLiteral("Neither a device nor a network address. ") + addressForms);
    PortAddress address;
    address.kind = PortAddress::Kind::Device;
    address.device = name;
    return address;
}
