// SPDX-License-Identifier: GPL-3.0-or-later
#include "flood_writer.h"

#include <cerrno>
#include <ctime>
#include <poll.h>
#include <unistd.h>

namespace {

// No CR and no space: the view's rendering stays one token a byte.
constexpr char pattern[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr std::size_t patternSize = sizeof pattern - 1;

long long nanosecondsNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

} // namespace

FloodWriter::FloodWriter(int fd, int bytesPerSecond)
    : m_fd(fd), m_bytesPerSecond(bytesPerSecond), m_thread(&FloodWriter::run, this)
{}

FloodWriter::~FloodWriter()
{
    stop();
}

long long FloodWriter::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    return m_written;
}

bool FloodWriter::writeAll(const char *data, std::size_t size)
{
    while (size > 0 && !m_stop) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n > 0) {
            data += n;
            size -= std::size_t(n);
            m_written += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        // The line is full: wait until the program has read some.
        pollfd writable{m_fd, POLLOUT, 0};
        poll(&writable, 1, 50);
    }
    return true;
}

void FloodWriter::run()
{
    // A block of the pattern long enough for any write, cut at any offset.
    QByteArray block;
    while (block.size() < 8192 + qsizetype(patternSize))
        block.append(pattern, patternSize);
    const long long start = nanosecondsNow();
    while (!m_stop) {
        std::size_t due = 4096;
        if (m_bytesPerSecond > 0) {
            // Each byte leaves when the line would have sent it; a late
            // wake-up sends what is due at once, as a UART's FIFO would.
            const long long next = start + (m_written + 1) * 1'000'000'000LL / m_bytesPerSecond;
            const timespec at{time_t(next / 1'000'000'000LL), long(next % 1'000'000'000LL)};
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
            due = std::size_t((nanosecondsNow() - start) * m_bytesPerSecond / 1'000'000'000LL - m_written);
        }
        const std::size_t offset = std::size_t(m_written % patternSize);
        if (due > 0 && !writeAll(block.constData() + offset, std::min<std::size_t>(due, 8192)))
            return;
    }
}
