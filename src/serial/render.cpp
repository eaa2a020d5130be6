// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/render.h"

Rendering renderTokens(const QByteArray &bytes)
{
    Rendering r;
    r.text.reserve(1 + 7 * bytes.size());
    r.text += u' ';
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0x06) {
            r.text += QLatin1String(" [ACK] ");
            r.ack = true;
        } else if (c == 0x0D) {
            r.text += QLatin1String(" [CR] ");
            r.carriageReturn = true;
        } else if (c == 0x0A) {
            r.text += QLatin1String(" [LF]  ");
        } else if (c == 0x20) {
            r.text += QLatin1String("_ ");
            r.space = true;
        } else if (c >= 0x21 && c <= 0x7A) {
            r.text += QLatin1Char(ch);
            r.text += u' ';
        } else {
            r.text += QLatin1String("? ");
        }
    }
    return r;
}
