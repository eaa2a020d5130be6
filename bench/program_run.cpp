// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_run.h"

#include "families.h"
#include "report.h"
#include "virtual_display.h"
#include "window_watch.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QThread>

#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

ProgramRun::ProgramRun(const QString &path, Kind kind, const VirtualDisplay &display, WindowWatch &watch)
    : m_watch(watch)
{
    if (!m_pty.isValid() || !m_config.isValid() || !writeSettings(kind)) {
        m_failure = QStringLiteral("no pseudo-terminal or settings folder");
        return;
    }
    // Opening the device is what "port open" looks like from outside.
    m_inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify < 0 ||
        inotify_add_watch(m_inotify, m_pty.slavePath().toLocal8Bit().constData(), IN_OPEN) < 0) {
        m_failure = QStringLiteral("inotify failed on %1").arg(m_pty.slavePath());
        return;
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display.name());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    std::vector<QByteArray> storage;
    for (const QString &entry : environment.toStringList())
        storage.push_back(entry.toLocal8Bit());
    std::vector<char *> envp;
    for (QByteArray &entry : storage)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    QByteArray program = path.toLocal8Bit();
    QByteArray device = m_pty.slavePath().toLocal8Bit();
    std::vector<char *> argv{program.data()};
    if (kind == Kind::BareWindow)
        argv.push_back(device.data());
    argv.push_back(nullptr);

    m_watch.take(); // what earlier runs left behind
    m_launchedAt = BenchClock::now();
    if (posix_spawn(&m_pid, program.constData(), nullptr, nullptr, argv.data(), envp.data()) != 0) {
        m_pid = -1;
        m_failure = QStringLiteral("could not start %1").arg(path);
    }
}

ProgramRun::~ProgramRun()
{
    quit();
    if (m_inotify >= 0)
        ::close(m_inotify);
}

bool ProgramRun::writeSettings(Kind kind)
{
    if (kind != Kind::Product)
        return true;
    QDir().mkpath(m_config.filePath(QStringLiteral("VORN")));
    QFile file(m_config.filePath(QStringLiteral("VORN/VORN.conf")));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("[StartUP]\nComPort=1\nBaudRate=96\n\n[Ports]\nCOM1=" + m_pty.slavePath().toLocal8Bit() +
               '\n');
    return true;
}

bool ProgramRun::exited()
{
    if (m_pid < 0)
        return true;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) != m_pid)
        return false;
    m_pid = -1;
    return true;
}

std::optional<ProgramRun::Shown> ProgramRun::waitUntilShown(int timeoutMs)
{
    if (m_pid < 0)
        return std::nullopt;
    std::optional<BenchClock::time_point> openedAt;
    std::optional<BenchClock::time_point> mappedAt;
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        char buffer[4096];
        if (::read(m_inotify, buffer, sizeof buffer) > 0 && !openedAt)
            openedAt = BenchClock::now();
        for (const WindowEvent &event : m_watch.take()) {
            if (event.kind == WindowEvent::Kind::Mapped && !mappedAt) {
                mappedAt = event.at;
                m_window = event.window;
            }
        }
        if (openedAt && mappedAt)
            break;
        if (deadline.hasExpired() || exited()) {
            m_failure =
                !mappedAt ? QStringLiteral("no window was shown") : QStringLiteral("the port was not opened");
            return std::nullopt;
        }
        pollfd sources[2] = {{m_inotify, POLLIN, 0}, {m_watch.fd(), POLLIN, 0}};
        poll(sources, 2, int(std::min<qint64>(deadline.remainingTime(), 100)));
    }
    const double mapped = msBetween(m_launchedAt, std::max(*openedAt, *mappedAt));
    // A light poll: one pixel a millisecond, only until the first paint.
    while (!m_watch.isDrawnAt(m_window, 2, 2)) {
        if (deadline.hasExpired() || exited()) {
            m_failure = QStringLiteral("the window was never drawn");
            return std::nullopt;
        }
        usleep(1000);
    }
    return Shown{mapped, msBetween(m_launchedAt, BenchClock::now())};
}

void ProgramRun::quit()
{
    if (m_pid < 0)
        return;
    if (m_window)
        m_watch.requestClose(m_window);
    const QDeadlineTimer deadline(3000);
    while (!exited() && !deadline.hasExpired())
        QThread::msleep(5);
    if (m_pid >= 0) {
        ::kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

ProgramStage prepareProgramStage(const QString &family, const BenchOptions &options, Report &report)
{
    if (!QFileInfo(options.program).isExecutable() || !QFileInfo(options.bareWindow).isExecutable()) {
        report.skip(family, QStringLiteral("%1 or %2 is not built").arg(options.program, options.bareWindow));
        return {};
    }
    QString error;
    ProgramStage stage;
    stage.display = VirtualDisplay::start(&error);
    if (!stage.display) {
        report.skip(family, error);
        return {};
    }
    stage.watch = std::make_unique<WindowWatch>(stage.display->name());
    if (!stage.watch->isValid()) {
        report.skip(family, QStringLiteral("cannot connect to the display %1").arg(stage.display->name()));
        return {};
    }
    return stage;
}
