// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <chrono>
#include <deque>
#include <optional>

// Replies waiting for their time on the line, sent strictly in order: a piece
// that falls due early still waits for the ones queued before it.
class OutputQueue
{
public:
    using Clock = std::chrono::steady_clock;
    // Nobody reads the line beyond this; later replies are dropped.
    static constexpr qsizetype kMaxQueued = 64 * 1024;

    // `byteTime` paces the bytes one by one, as a real line would; zero sends
    // each piece as fast as the descriptor takes it.
    OutputQueue(int fd, std::chrono::microseconds byteTime);

    // Forgets what is queued and writes to `fd` from now on: a new line, or
    // none (-1) for the time being.
    void restart(int fd);
    // False when the queue is full and the bytes were dropped.
    bool push(Clock::time_point due, const QByteArray &bytes);
    // Writes what is due. Returns false on a write error other than a full buffer.
    bool send(Clock::time_point now);
    // When send() has something to do next; nothing when the queue is empty.
    std::optional<Clock::time_point> nextDue() const;
    // The descriptor took no more; wait until it is writable again.
    bool blocked() const { return m_blocked; }

private:
    struct Piece {
        Clock::time_point due;
        QByteArray bytes;
    };

    int m_fd;
    std::chrono::microseconds m_byteTime;
    std::deque<Piece> m_pieces;
    qsizetype m_queued = 0;
    Clock::time_point m_lineFree{}; // when the previous byte has left, under pacing
    bool m_blocked = false;
};
