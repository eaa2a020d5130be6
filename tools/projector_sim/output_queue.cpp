// SPDX-License-Identifier: GPL-3.0-or-later
#include "output_queue.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

OutputQueue::OutputQueue(int fd, std::chrono::microseconds byteTime) : m_fd(fd), m_byteTime(byteTime) {}

void OutputQueue::restart(int fd)
{
    m_fd = fd;
    m_pieces.clear();
    m_queued = 0;
    m_lineFree = {};
    m_blocked = false;
}

bool OutputQueue::push(Clock::time_point due, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return true;
    if (m_queued + bytes.size() > kMaxQueued)
        return false;
    m_pieces.push_back({due, bytes});
    m_queued += bytes.size();
    return true;
}

bool OutputQueue::send(Clock::time_point now)
{
    m_blocked = false;
    while (!m_pieces.empty() && now >= *nextDue()) {
        Piece &head = m_pieces.front();
        const qsizetype chunk = m_byteTime.count() > 0 ? 1 : head.bytes.size();
        const ssize_t n = ::write(m_fd, head.bytes.constData(), size_t(chunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_blocked = errno == EAGAIN || errno == EWOULDBLOCK;
            return m_blocked;
        }
        head.bytes.remove(0, n);
        m_queued -= n;
        if (head.bytes.isEmpty())
            m_pieces.pop_front();
        if (m_byteTime.count() > 0)
            m_lineFree = now + m_byteTime;
    }
    return true;
}

std::optional<OutputQueue::Clock::time_point> OutputQueue::nextDue() const
{
    if (m_pieces.empty())
        return std::nullopt;
    return std::max(m_pieces.front().due, m_lineFree);
}
