// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_framer.h"

QList<ReceivedCommand> CommandFramer::feed(QByteArrayView bytes)
{
    QList<ReceivedCommand> commands;
    for (const char c : bytes) {
        const bool lineFeedAfterEnd = c == '\n' && m_afterCarriageReturn;
        m_afterCarriageReturn = c == '\r';
        if (lineFeedAfterEnd)
            continue;
        if (c == '\r') {
            commands.append({m_line, m_overlong});
            m_line.clear();
            m_overlong = false;
        } else if (m_line.size() < kMaxLength) {
            m_line.append(c);
        } else {
            m_overlong = true;
        }
    }
    return commands;
}
