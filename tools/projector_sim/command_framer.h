// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// One command as it came off the line, without its carriage return.
struct ReceivedCommand {
    QByteArray text;       // for an overlong line, only its first CommandFramer::kMaxLength bytes
    bool overlong = false; // longer than any command the projector knows
};

// Cuts the incoming bytes into commands at each carriage return, however the
// line delivered them. A line feed straight after a carriage return belongs to
// that end of line; a line that never ends cannot grow past kMaxLength.
class CommandFramer
{
public:
    static constexpr qsizetype kMaxLength = 128;

    QList<ReceivedCommand> feed(QByteArrayView bytes);
    // Bytes of the unfinished line held so far.
    qsizetype buffered() const { return m_line.size(); }

private:
    QByteArray m_line;
    bool m_overlong = false;
    bool m_afterCarriageReturn = false;
};
