// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clock.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

struct xcb_connection_t;

// What an X client sees of another program's top-level windows: each one
// mapped, unmapped or resized, timed as it arrives.
struct WindowEvent {
    enum class Kind { Mapped, Unmapped, Configured };
    Kind kind;
    quint32 window;
    int width = 0;
    int height = 0;
    BenchClock::time_point at;
};

class WindowWatch
{
public:
    explicit WindowWatch(const QString &display);
    ~WindowWatch();
    WindowWatch(const WindowWatch &) = delete;
    WindowWatch &operator=(const WindowWatch &) = delete;

    bool isValid() const;
    // Becomes readable when events wait; for poll() next to other sources.
    int fd() const;
    // The events that have arrived, without blocking.
    std::vector<WindowEvent> take();
    // Blocks until an event matches or the timeout passes.
    std::optional<WindowEvent> waitFor(const std::function<bool(const WindowEvent &)> &match, int timeoutMs);
    // Asks the window to close as its close box would.
    void requestClose(quint32 window);
    // Whether the window's pixel at (x, y) has been drawn: a fresh window
    // shows the black root behind it until the program paints.
    bool isDrawnAt(quint32 window, int x, int y);

private:
    xcb_connection_t *m_connection = nullptr;
    quint32 m_wmProtocols = 0;
    quint32 m_wmDeleteWindow = 0;
};
