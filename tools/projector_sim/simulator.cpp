// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator.h"

#include "serial_endpoint.h"

#include <QTextStream>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;
sigset_t g_waitMask; // the mask ppoll waits with: stop signals let through

void requestStop(int)
{
    g_stopRequested = 1;
}

// Ten bits a byte on the wire: start, eight data, stop.
std::chrono::microseconds byteTime(const SimOptions &options)
{
    if (!options.wireTime)
        return std::chrono::microseconds{0};
    return std::chrono::microseconds{10'000'000 / options.baud};
}

QString readable(const QByteArray &bytes)
{
    QString out;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r')
            out += QLatin1String("[CR]");
        else if (c == '\n')
            out += QLatin1String("[LF]");
        else if (c == 0x06)
            out += QLatin1String("[ACK]");
        else if (c >= 0x20 && c < 0x7F)
            out += QLatin1Char(ch);
        else
            out += QStringLiteral("[%1]").arg(c, 2, 16, QLatin1Char('0'));
    }
    return out;
}

void log(const QString &text)
{
    QTextStream(stderr) << text << Qt::endl;
}

timespec toTimespec(std::chrono::nanoseconds wait)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
    return {time_t(seconds.count()), long((wait - seconds).count())};
}

} // namespace

void catchStopSignals()
{
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&stopSignals, signal);
        struct sigaction action {};
        action.sa_handler = requestStop;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
    // Blocked except inside ppoll, so a signal can never slip in between the
    // check of the flag and the wait.
    sigprocmask(SIG_BLOCK, &stopSignals, &g_waitMask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigdelset(&g_waitMask, signal);
}

Simulator::Simulator(const SerialEndpoint &endpoint, const SimOptions &options)
    : m_endpoint(endpoint), m_options(options), m_model(options.setup),
      m_shaper(options.faults, options.seed), m_output(endpoint.fd(), byteTime(options))
{}

int Simulator::run()
{
    while (!g_stopRequested) {
        pollfd line{m_endpoint.fd(), short(POLLIN | (m_output.blocked() ? POLLOUT : 0)), 0};
        timespec wait{};
        const timespec *timeout = nullptr;
        if (const auto due = m_output.nextDue(); due && !m_output.blocked()) {
            wait = toTimespec(std::max(Clock::duration{0}, *due - Clock::now()));
            timeout = &wait;
        }
        if (ppoll(&line, 1, timeout, &g_waitMask) < 0 && errno != EINTR) {
            log(QStringLiteral("poll failed: ") + QString::fromLocal8Bit(std::strerror(errno)));
            return 1;
        }
        if (g_stopRequested)
            break;
        if (line.revents & (POLLERR | POLLHUP | POLLNVAL)) {
            log(QStringLiteral("the line to %1 hung up").arg(m_endpoint.devicePath()));
            return 1;
        }
        const Clock::time_point now = Clock::now();
        if ((line.revents & POLLIN) && !receive(now))
            return 1;
        if (!m_output.send(Clock::now())) {
            log(QStringLiteral("write failed: ") + QString::fromLocal8Bit(std::strerror(errno)));
            return 1;
        }
    }
    if (m_options.verbose)
        log(QStringLiteral("stopped"));
    return 0;
}

bool Simulator::receive(Clock::time_point now)
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_endpoint.fd(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        if (n < 0) {
            log(QStringLiteral("read failed: ") + QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (n == 0) {
            log(QStringLiteral("the line to %1 closed").arg(m_endpoint.devicePath()));
            return false;
        }
        for (const ReceivedCommand &command : m_framer.feed(QByteArrayView(buffer, n)))
            answer(command, now);
    }
}

void Simulator::answer(const ReceivedCommand &command, Clock::time_point now)
{
    const auto elapsed = std::chrono::duration_cast<ProjectorModel::Time>(now - m_start);
    const QByteArray reply = m_model.reply(command, elapsed);
    if (m_options.verbose) {
        log(QStringLiteral("%1%2 -> %3%4")
                .arg(readable(command.text + '\r'),
                     command.overlong ? QStringLiteral(" (overlong)") : QString(), readable(reply),
                     m_options.silent ? QStringLiteral(" (not sent)") : QString()));
    }
    if (m_options.silent)
        return;
    for (const TimedPiece &piece : m_shaper.shape(command.text, reply)) {
        if (!m_output.push(now + piece.at, piece.bytes) && m_options.verbose)
            log(QStringLiteral("nobody reads the line: reply dropped"));
    }
}
