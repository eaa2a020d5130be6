// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_failure_text.h"

#include "serial/port_address.h"

QString portFailureText(const PortFailure &failure, qint16 number)
{
    QString where = QStringLiteral("COM%1").arg(number);
    if (!failure.device.isEmpty())
        where += QStringLiteral(" → ") + failure.device;
    QString what;
    switch (failure.kind) {
    case PortFailure::Kind::NoDevice:
    case PortFailure::Kind::NotFound:
        what = QStringLiteral("No such device.");
        break;
    case PortFailure::Kind::Busy:
        what = QStringLiteral("The port is in use by another program.");
        break;
    case PortFailure::Kind::PermissionDenied:
        what = QStringLiteral("Permission denied. Join the dialout group "
                              "(sudo usermod -aG dialout $USER), then log out and in again.");
        break;
    case PortFailure::Kind::Unusable:
        what = QStringLiteral("Not a port that can be used.");
        break;
    case PortFailure::Kind::Refused:
        what = QStringLiteral("Connection refused.");
        break;
    case PortFailure::Kind::HostNotFound:
        what = QStringLiteral("Host not found.");
        break;
    case PortFailure::Kind::NoAnswer:
        what = QStringLiteral("No answer from %1 within %2 s.")
                   .arg(parsePortAddress(failure.device).hostAndPort())
                   .arg(networkOpenTimeoutMs / 1000);
        break;
    case PortFailure::Kind::NotRfc2217:
        what = QStringLiteral("%1 does not speak RFC 2217 (Telnet with the COM-PORT option). "
                              "If it is a raw TCP port, write tcp://%1.")
                   .arg(parsePortAddress(failure.device).hostAndPort());
        break;
    case PortFailure::Kind::None:
    case PortFailure::Kind::Other:
        what = QStringLiteral("The port could not be opened.");
        break;
    }
    if (!failure.reason.isEmpty())
        what += QStringLiteral("\nSystem: ") + failure.reason;
    return where + u'\n' + what;
}
