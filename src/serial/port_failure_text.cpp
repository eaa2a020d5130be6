// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_failure_text.h"

#include "serial/port_address.h"

#include <QFileInfo>

namespace {

// A port given by its device rather than by a number is named by the device.
QString where(const PortFailure &failure, qint16 number)
{
    if (number == 0 && !failure.device.isEmpty())
        return failure.device;
    QString where = QStringLiteral("COM%1").arg(number);
    if (!failure.device.isEmpty())
        where += QStringLiteral(" → ") + failure.device;
    return where;
}

// Joining the device's group helps only when that group is not root's.
QString permissionDenied(const QString &device)
{
    const QFileInfo file(device);
    if (!file.exists())
        return QStringLiteral("Permission denied.");
    if (file.groupId() == 0)
        return QStringLiteral(
                   "Permission denied. %1 belongs to the group root, which is not one to join: ask "
                   "the administrator to give it a group of its own, such as dialout.")
            .arg(device);
    if (file.group().isEmpty())
        return QStringLiteral("Permission denied. Ask the administrator for access to %1.").arg(device);
    return QStringLiteral("Permission denied. %1 belongs to the group %2: join it (sudo usermod -aG %2 "
                          "$USER), then log out and in again.")
        .arg(device, file.group());
}

QString sentence(const QString &text)
{
    return text.endsWith(u'.') ? text : text + u'.';
}

// Each kind in the program's own words; the system's words only where they are all there is.
QString what(const PortFailure &failure)
{
    switch (failure.kind) {
    case PortFailure::Kind::NoDevice:
    case PortFailure::Kind::NotFound:
        return QStringLiteral("No such device.");
    case PortFailure::Kind::Busy:
        return QStringLiteral("The port is in use by another program.");
    case PortFailure::Kind::PermissionDenied:
        return permissionDenied(failure.device);
    case PortFailure::Kind::Unusable:
        return QStringLiteral("Not a port that can be used. ") + failure.reason;
    case PortFailure::Kind::Refused:
        return QStringLiteral("Connection refused.");
    case PortFailure::Kind::HostNotFound:
        return QStringLiteral("Host not found.");
    case PortFailure::Kind::NoAnswer:
        return QStringLiteral("No answer from %1 within %2 s.")
            .arg(parsePortAddress(failure.device).hostAndPort())
            .arg(networkOpenTimeoutMs / 1000);
    case PortFailure::Kind::NotRfc2217:
        return QStringLiteral("%1 does not speak RFC 2217 (Telnet with the COM-PORT option). "
                              "If it is a raw TCP port, write tcp://%1.")
            .arg(parsePortAddress(failure.device).hostAndPort());
    case PortFailure::Kind::None:
    case PortFailure::Kind::Other:
        break;
    }
    return failure.reason.isEmpty() ? QStringLiteral("The port could not be opened.")
                                    : sentence(failure.reason);
}

} // namespace

QString portFailureText(const PortFailure &failure, qint16 number)
{
    return where(failure, number) + u'\n' + what(failure);
}

QString portFailureLine(const PortFailure &failure, qint16 number)
{
    QString line = where(failure, number) + QStringLiteral(" · ") + what(failure);
    line.chop(line.endsWith(u'.') ? 1 : 0);
    return line;
}
