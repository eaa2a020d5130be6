// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/comm_port.h"

#include <QString>

// What the operator can do about a port that would not open: where port
// number N led, on the first line, and what went wrong, after it.
QString portFailureText(const PortFailure &failure, qint16 number);
// The same words on one line, for a status line: "COM1 → /dev/ttyUSB0 · No such device".
QString portFailureLine(const PortFailure &failure, qint16 number);
