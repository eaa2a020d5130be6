// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <atomic>
#include <thread>

// A device that never stops talking: writes printable bytes on the far end
// of the line from its own thread, at the line's pace or as fast as the line
// takes them.
class FloodWriter
{
public:
    // bytesPerSecond 0: unthrottled.
    FloodWriter(int fd, int bytesPerSecond);
    ~FloodWriter();
    FloodWriter(const FloodWriter &) = delete;
    FloodWriter &operator=(const FloodWriter &) = delete;

    // Stops writing and returns how many bytes went out.
    long long stop();

private:
    void run();
    bool writeAll(const char *data, std::size_t size);

    int m_fd;
    int m_bytesPerSecond;
    std::atomic<bool> m_stop = false;
    long long m_written = 0;
    std::thread m_thread;
};
