// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clock.h"

#include <QByteArray>

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct pollfd;

// The far end of the line, listening on its own thread: notes the moment each
// command's last byte (the CR) becomes readable, without running in the
// measured program's event loop. It may watch several lines as one, when a
// measurement and its floor go out on lines of their own.
class WireWatcher
{
public:
    // Called on the watcher's thread after each CR has been noted.
    using Notify = std::function<void()>;

    explicit WireWatcher(int fd, Notify notify = {}) : WireWatcher(std::vector{fd}, std::move(notify)) {}
    explicit WireWatcher(std::vector<int> fds, Notify notify = {});
    ~WireWatcher();
    WireWatcher(const WireWatcher &) = delete;
    WireWatcher &operator=(const WireWatcher &) = delete;

    std::vector<BenchClock::time_point> marks() const;
    std::size_t markCount() const;
    QByteArray received() const;
    void clear();

private:
    void run();
    // Reads what `line` has and notes its CRs as arriving `at`.
    void readLine(const pollfd &line, BenchClock::time_point at);

    std::vector<int> m_fds;
    Notify m_notify;
    int m_stop[2] = {-1, -1};
    mutable std::mutex m_mutex;
    std::vector<BenchClock::time_point> m_marks;
    QByteArray m_received;
    std::thread m_thread;
};
