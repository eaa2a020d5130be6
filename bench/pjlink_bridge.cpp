// SPDX-License-Identifier: GPL-3.0-or-later
// The PJLink bridge: what a POWR ? over loopback adds to the serial exchange
// it makes, and how many power reads a crowd of polling controllers sends
// down the line.
#include "clock.h"
#include "event_loop.h"
#include "fakes/pty_pair.h"
#include "families.h"
#include "pjlink/bridge_server.h"
#include "pjlink/projector_bridge.h"
#include "report.h"
#include "serial/routing_comm_port.h"

#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTimer>

#include <arpa/inet.h>
#include <atomic>
#include <cmath>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// The projector at the far end of a pseudo-terminal, on its own thread:
// answers every command at once ("00" to CR0, an acknowledgement to the
// rest) and notes when each CR0 arrived.
class InstantProjector
{
public:
    explicit InstantProjector(int fd) : m_fd(fd), m_thread([this] { run(); }) {}
    ~InstantProjector()
    {
        m_stop = true;
        m_thread.join();
    }
    std::vector<BenchClock::time_point> powerReads() const
    {
        const std::lock_guard lock(m_mutex);
        return m_powerReads;
    }

private:
    void run()
    {
        QByteArray pending;
        while (!m_stop) {
            pollfd line{m_fd, POLLIN, 0};
            if (::poll(&line, 1, 50) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            pending.append(buffer, n);
            for (qsizetype end = pending.indexOf('\r'); end >= 0; end = pending.indexOf('\r')) {
                const bool powerRead = pending.first(end) == "CR0";
                pending.remove(0, end + 1);
                if (powerRead) {
                    const std::lock_guard lock(m_mutex);
                    m_powerReads.push_back(BenchClock::now());
                }
                const QByteArray reply = powerRead ? QByteArray("00\r") : QByteArray("\x06");
                if (::write(m_fd, reply.constData(), size_t(reply.size())) != reply.size())
                    return;
            }
        }
    }

    int m_fd;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<BenchClock::time_point> m_powerReads;
    std::thread m_thread;
};

// The bridge in this process, on a pseudo-terminal, listening on loopback.
struct BridgeRig {
    PtyPair pty;
    InstantProjector projector{pty.masterFd()};
    ExchangeQueue queue;
    ProjectorBridge bridge;
    BridgeServer server{bridge, {}, false};

    explicit BridgeRig(MonotonicClock clock)
        : queue(new RoutingCommPort([device = pty.devicePath()](qint16) { return device; })),
          bridge(queue, {"bench", "tallis-pjlink bench"}, std::move(clock))
    {
        queue.port().setSettings(QStringLiteral("19200,N,8,1"));
        server.listen(QHostAddress::LocalHost, 0);
    }
    quint16 port() const { return quint16(server.address().section(u':', -1).toUInt()); }
};

bool readLine(int fd)
{
    char c = 0;
    while (::read(fd, &c, 1) == 1) {
        if (c == '\r')
            return true;
    }
    return false;
}

// A controller on its own thread with a blocking socket: sends POWR ? and
// times each answer.
std::vector<double> timePowerReads(quint16 port, int count)
{
    std::vector<double> times;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || !readLine(fd)) {
        ::close(fd);
        return times;
    }
    const char ask[] = "%1POWR ?\r";
    for (int i = 0; i < count; ++i) {
        const auto start = BenchClock::now();
        if (::write(fd, ask, sizeof ask - 1) != sizeof ask - 1 || !readLine(fd))
            break;
        times.push_back(msBetween(start, BenchClock::now()));
    }
    ::close(fd);
    return times;
}

// The serial exchange alone: CR0 written on the device, "00" read back.
std::vector<double> timeBareExchanges(const QString &device, int count)
{
    std::vector<double> times;
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    for (int i = 0; fd >= 0 && i < count; ++i) {
        const auto start = BenchClock::now();
        if (::write(fd, "CR0\r", 4) != 4 || !readLine(fd))
            break;
        times.push_back(msBetween(start, BenchClock::now()));
    }
    if (fd >= 0)
        ::close(fd);
    return times;
}

void benchLatency(const BenchOptions &options, Report &report)
{
    // Every read is an exchange: the clock moves on 2 s a look, past any shared reply.
    qint64 now = 0;
    BridgeRig rig([&now] { return now += 2000; });
    PtyPair bare;
    const InstantProjector bareProjector(bare.masterFd());
    const int samples = options.quick ? 200 : 1000;
    std::vector<double> bridged;
    std::atomic<bool> done{false};
    std::thread controller([&] {
        bridged = timePowerReads(rig.port(), samples);
        done = true;
        wakeMainThread();
    });
    spinUntil([&] { return done.load(); }, 120000);
    controller.join();
    const std::vector<double> floor = timeBareExchanges(bare.devicePath(), samples);
    if (bridged.size() < std::size_t(samples) / 2 || floor.empty()) {
        report.skip(QStringLiteral("pjlink"), QStringLiteral("the bridge or the bare line did not answer"));
        return;
    }
    Figure figure(QStringLiteral("pjlink"), QStringLiteral("POWR ? over loopback"), QStringLiteral("ms"),
                  summarize(bridged), summarize(floor), QStringLiteral("median ≤ floor + 2 ms"));
    figure.met = figure.value.median <= figure.floor->median + 2;
    figure.note = QStringLiteral("a controller's POWR ? to its answer, each one a CR0 exchange; floor: CR0 "
                                 "written and \"00\" read back across a pty");
    report.add(figure);
}

void benchCrowd(const BenchOptions &options, Report &report)
{
    BridgeRig rig(steadyMs);
    constexpr int controllers = 100;
    constexpr int pollMs = 3000;
    const int runMs = options.quick ? 15000 : 60000;
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    std::vector<std::unique_ptr<QTimer>> timers;
    long answers = 0, powerOn = 0;
    for (int i = 0; i < controllers; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        auto timer = std::make_unique<QTimer>();
        QTcpSocket *s = socket.get();
        s->connectToHost(QHostAddress::LocalHost, rig.port());
        QObject::connect(s, &QTcpSocket::readyRead, s, [s, &answers, &powerOn] {
            const QByteArray got = s->readAll();
            answers += got.count("%1POWR=");
            powerOn += got.count("%1POWR=1\r");
        });
        QObject::connect(timer.get(), &QTimer::timeout, s, [s] { s->write("%1POWR ?\r"); });
        // Each controller polls on its own phase, as independent ones would.
        QTimer::singleShot(int(QRandomGenerator::global()->bounded(pollMs)), timer.get(),
                           [t = timer.get(), s] {
                               t->start(pollMs);
                               s->write("%1POWR ?\r");
                           });
        sockets.push_back(std::move(socket));
        timers.push_back(std::move(timer));
    }
    const auto start = BenchClock::now();
    runEventLoopFor(runMs);
    const std::vector<BenchClock::time_point> reads = rig.projector.powerReads();
    std::vector<double> gaps;
    for (std::size_t i = 1; i < reads.size(); ++i)
        gaps.push_back(msBetween(reads[i - 1], reads[i]));
    if (gaps.empty()) {
        report.skip(QStringLiteral("pjlink"), QStringLiteral("no power read reached the line"));
        return;
    }
    const double seconds = msBetween(start, BenchClock::now()) / 1000;
    Figure figure(QStringLiteral("pjlink"),
                  QStringLiteral("gap between CR0s, 100 controllers polling every 3 s"), QStringLiteral("ms"),
                  summarize(gaps), std::nullopt, QStringLiteral("every gap ≥ 1000 ms"));
    const double shortest = *std::min_element(gaps.begin(), gaps.end());
    figure.met = shortest >= 1000;
    figure.note =
        QStringLiteral("shortest gap %6 ms; %1 CR0 in %2 s (%3 a second) for %4 POWR ? answered, %5 "
                       "of them 1")
            .arg(reads.size())
            .arg(seconds, 0, 'f', 1)
            .arg(double(reads.size()) / seconds, 0, 'f', 2)
            .arg(answers)
            .arg(powerOn)
            .arg(shortest, 0, 'f', 1);
    report.add(figure);
}

} // namespace

void benchPjlink(const BenchOptions &options, Report &report)
{
    benchLatency(options, report);
    benchCrowd(options, report);
}
