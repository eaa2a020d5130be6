// SPDX-License-Identifier: GPL-3.0-or-later
#include "wire_watcher.h"

#include <cerrno>
#include <system_error>

#include <poll.h>
#include <unistd.h>

WireWatcher::WireWatcher(std::vector<int> fds, Notify notify)
    : m_fds(std::move(fds)), m_notify(std::move(notify))
{
    if (pipe(m_stop) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
    m_thread = std::thread(&WireWatcher::run, this);
}

WireWatcher::~WireWatcher()
{
    const char stop = 0;
    while (write(m_stop[1], &stop, 1) < 0 && errno == EINTR) {
    }
    m_thread.join();
    close(m_stop[0]);
    close(m_stop[1]);
}

void WireWatcher::run()
{
    // The stop pipe first, then the lines.
    std::vector<pollfd> fds{{m_stop[0], POLLIN, 0}};
    for (const int fd : m_fds)
        fds.push_back({fd, POLLIN, 0});
    while (poll(fds.data(), fds.size(), -1) >= 0 && !(fds[0].revents & POLLIN)) {
        // The moment the bytes became readable, before reading costs anything.
        const auto at = BenchClock::now();
        for (std::size_t line = 1; line < fds.size(); ++line) {
            if (fds[line].revents)
                readLine(fds[line], at);
        }
    }
}

void WireWatcher::readLine(const pollfd &line, BenchClock::time_point at)
{
    char buffer[4096];
    const ssize_t n = read(line.fd, buffer, sizeof buffer);
    if (n <= 0) {
        if (line.revents & (POLLHUP | POLLERR))
            usleep(1000); // far end closed: don't spin until told to stop
        return;
    }
    std::size_t carriageReturns = 0;
    {
        const std::lock_guard lock(m_mutex);
        m_received.append(buffer, n);
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == '\r') {
                m_marks.push_back(at);
                ++carriageReturns;
            }
        }
    }
    if (carriageReturns && m_notify)
        m_notify();
}

std::vector<BenchClock::time_point> WireWatcher::marks() const
{
    const std::lock_guard lock(m_mutex);
    return m_marks;
}

std::size_t WireWatcher::markCount() const
{
    const std::lock_guard lock(m_mutex);
    return m_marks.size();
}

QByteArray WireWatcher::received() const
{
    const std::lock_guard lock(m_mutex);
    return m_received;
}

void WireWatcher::clear()
{
    const std::lock_guard lock(m_mutex);
    m_marks.clear();
    m_received.clear();
}
