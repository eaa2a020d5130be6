// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clock.h"
#include "fakes/pty_pair.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <sys/types.h>

class Report;
class VirtualDisplay;
class WindowWatch;
struct BenchOptions;

// The private display, and its watcher, that a family launching the real
// program and its floor runs on. Empty, with the family skipped in the
// report, when either program is not built or the display cannot be had.
struct ProgramStage {
    std::unique_ptr<VirtualDisplay> display;
    std::unique_ptr<WindowWatch> watch;
    explicit operator bool() const { return display && watch; }
};
ProgramStage prepareProgramStage(const QString &family, const BenchOptions &options, Report &report);

// One launch of a window program on the private display, its serial line a
// fresh pseudo-terminal, its settings a private folder. It is watched from
// outside only: the line's device being opened, its window being mapped.
class ProgramRun
{
public:
    enum class Kind {
        Product,   // finds its port in the settings, as an operator's would
        BareWindow // the floor: takes the device as its argument
    };

    ProgramRun(const QString &path, Kind kind, const VirtualDisplay &display, WindowWatch &watch);
    ~ProgramRun();
    ProgramRun(const ProgramRun &) = delete;
    ProgramRun &operator=(const ProgramRun &) = delete;

    // Times since the launch, in ms.
    struct Shown {
        double mapped;     // port open and main window mapped
        double firstFrame; // and its first frame drawn
    };
    // Blocks until the port is open and the main window mapped and drawn,
    // or returns nothing (see failure()).
    std::optional<Shown> waitUntilShown(int timeoutMs);
    pid_t pid() const { return m_pid; }
    quint32 mainWindow() const { return m_window; }
    QString failure() const { return m_failure; }
    // Closes the main window as its close box would; kills it if it lingers.
    void quit();

private:
    bool writeSettings(Kind kind);
    bool exited();

    WindowWatch &m_watch;
    PtyPair m_pty;
    QTemporaryDir m_config;
    int m_inotify = -1;
    pid_t m_pid = -1;
    quint32 m_window = 0;
    BenchClock::time_point m_launchedAt;
    QString m_failure;
};
