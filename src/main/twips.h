// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

// Window measures are kept in twips: 15 to the pixel at 96 dpi, and Qt
// scales from there.
inline QRect fromTwips(const QRect &twips)
{
    return {qRound(twips.x() / 15.0), qRound(twips.y() / 15.0), qRound(twips.width() / 15.0),
            qRound(twips.height() / 15.0)};
}
