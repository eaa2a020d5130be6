// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator.h"

#include "serial_endpoint.h"
#include "tcp_endpoint.h"

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

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
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
    : Simulator(&endpoint, nullptr, options)
{}

Simulator::Simulator(TcpEndpoint &endpoint, const SimOptions &options)
    : Simulator(nullptr, &endpoint, options)
{}

Simulator::Simulator(const SerialEndpoint *serial, TcpEndpoint *tcp, const SimOptions &options)
    : m_serial(serial), m_tcp(tcp), m_options(options), m_model(options.setup),
      m_shaper(options.faults, options.seed), m_output(lineFd(), byteTime(options))
{}

int Simulator::lineFd() const
{
    return m_serial ? m_serial->fd() : m_tcp->clientFd();
}

int Simulator::run()
{
    while (!g_stopRequested) {
        // A negative descriptor is left out of the poll: no client yet, or no listener.
        pollfd fds[2] = {{lineFd(), short(POLLIN | (m_output.blocked() ? POLLOUT : 0)), 0},
                         {m_tcp ? m_tcp->listenFd() : -1, POLLIN, 0}};
        timespec wait{};
        const timespec *timeout = nullptr;
        if (const auto due = m_output.nextDue(); due && !m_output.blocked()) {
            wait = toTimespec(std::max(Clock::duration{0}, *due - Clock::now()));
            timeout = &wait;
        }
        if (ppoll(fds, 2, timeout, &g_waitMask) < 0 && errno != EINTR) {
            log(QStringLiteral("poll failed: ") + errnoText());
            return 1;
        }
        if (g_stopRequested)
            break;
        // The line before the newcomers: a client that left before the next
        // one came is gone by the time that one is taken.
        const Clock::time_point now = Clock::now();
        const short line = fds[0].revents;
        if ((line & POLLIN) && !receive(now))
            return 1;
        if ((line & (POLLERR | POLLHUP | POLLNVAL)) && lineFd() >= 0 && !lineEnded(QStringLiteral("hung up")))
            return 1;
        if (!m_output.send(Clock::now()) && !lineEnded(QStringLiteral("write failed: %1").arg(errnoText())))
            return 1;
        if ((fds[1].revents & POLLIN) && !takeNewcomers())
            return 1;
    }
    if (m_options.verbose)
        log(QStringLiteral("stopped"));
    return 0;
}

bool Simulator::receive(Clock::time_point now)
{
    char buffer[4096];
    while (lineFd() >= 0) {
        const ssize_t n = ::read(lineFd(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        if (n < 0)
            return lineEnded(QStringLiteral("read failed: %1").arg(errnoText()));
        if (n == 0)
            return lineEnded(QStringLiteral("closed"));
        for (const ReceivedCommand &command : m_framer.feed(QByteArrayView(buffer, n)))
            answer(command, now);
    }
    return true;
}

// A serial line that ends ends the run. A client that leaves takes its
// unfinished command and its pending replies with it, so that none of it
// reaches the next one; the projector stays as it was.
bool Simulator::lineEnded(const QString &why)
{
    if (m_serial) {
        log(QStringLiteral("the line to %1: %2").arg(m_serial->devicePath(), why));
        return false;
    }
    if (m_options.verbose)
        log(QStringLiteral("client %1 left (%2)").arg(m_tcp->clientAddress(), why));
    m_tcp->dropClient();
    m_framer = CommandFramer();
    m_output.restart(-1);
    return true;
}

// One client at a time: a newcomer while one is served is closed at once, so
// that it knows, and the one being served notices nothing.
bool Simulator::takeNewcomers()
{
    QString peer;
    for (;;) {
        switch (m_tcp->acceptOne(peer)) {
        case TcpEndpoint::Arrival::None:
            return true;
        case TcpEndpoint::Arrival::Served:
            m_output.restart(m_tcp->clientFd());
            if (m_options.verbose)
                log(QStringLiteral("client %1 connected").arg(peer));
            break;
        case TcpEndpoint::Arrival::Refused:
            if (m_options.verbose)
                log(QStringLiteral("client %1 refused: %2 is served").arg(peer, m_tcp->clientAddress()));
            break;
        case TcpEndpoint::Arrival::Failed:
            log(QStringLiteral("accept failed: ") + errnoText());
            return false;
        }
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
