// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The serial control's settings text for a speed code: 96 runs the line at
// 9600 baud, any other code at 19200; always no parity, 8 data bits, 1 stop bit.
inline QString speedSettings(quint8 baudCode)
{
    return baudCode == 96 ? QStringLiteral("9600,N,8,1") : QStringLiteral("19200,N,8,1");
}
