// SPDX-License-Identifier: GPL-3.0-or-later
// A held arrow: the intervals between its sends on the wire, their count, and
// the processor time the hold costs, against a bare precise timer writing the
// same bytes on the same line.
#include "event_loop.h"
#include "families.h"
#include "form_rig.h"
#include "report.h"
#include "wire_watcher.h"

#include "panel/panel_table.h"

#include <QAbstractButton>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int arrowButton = 1; // volume up
constexpr int period = 100;    // ms

struct Hold {
    std::vector<double> intervals;
    long sends = 0;
    double cpuPercent = 0;
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Presses, keeps the event loop running for holdMs, releases, and collects
// what reached the wire (late stragglers included).
Hold hold(FormRig &rig, WireWatcher &wire, int holdMs, const std::function<void()> &press,
          const std::function<void()> &release)
{
    rig.settle();
    wire.clear();
    Hold result;
    QEventLoop loop;
    const double cpuAtPress = cpuSeconds();
    const auto pressedAt = BenchClock::now();
    press();
    QTimer::singleShot(holdMs, Qt::PreciseTimer, &loop, [&] {
        const double busy = cpuSeconds() - cpuAtPress;
        result.cpuPercent = 100 * busy / (msBetween(pressedAt, BenchClock::now()) / 1000);
        release();
        QTimer::singleShot(3 * period, &loop, &QEventLoop::quit);
    });
    loop.exec();
    const auto marks = wire.marks();
    result.sends = long(marks.size());
    for (std::size_t i = 1; i < marks.size(); ++i)
        result.intervals.push_back(msBetween(marks[i - 1], marks[i]));
    return result;
}

void append(std::vector<double> &to, const std::vector<double> &from)
{
    to.insert(to.end(), from.begin(), from.end());
}

} // namespace

void benchRepeatCadence(const BenchOptions &options, Report &report)
{
    FormRig rig;
    QAbstractButton *arrow = rig.button(arrowButton);
    if (!rig.isReady() || !arrow) {
        report.skip(QStringLiteral("cadence"),
                    QStringLiteral("no window with an open port and button Command1"));
        return;
    }
    WireWatcher wire(rig.pty().masterFd());
    const QByteArray command = QByteArray(findPanelButton(arrowButton)->code) + '\r';

    const auto pressArrow = [&] { QTest::mousePress(arrow, Qt::LeftButton); };
    const auto releaseArrow = [&] { QTest::mouseRelease(arrow, Qt::LeftButton); };
    // The floor: a bare precise timer sending the same bytes on the same line.
    QTimer bareTimer;
    bareTimer.setTimerType(Qt::PreciseTimer);
    bareTimer.setInterval(period);
    const auto bareSend = [&] {
        if (::write(rig.floorFd(), command.constData(), size_t(command.size())) != command.size())
            qWarning("short write on the floor descriptor");
    };
    QObject::connect(&bareTimer, &QTimer::timeout, &bareTimer, bareSend);
    const auto pressBare = [&] {
        bareSend();
        bareTimer.start();
    };
    const auto releaseBare = [&] { bareTimer.stop(); };

    // Long holds for the cadence, short ones for the count rule:
    // pressed at 0 and released at k * 100 + 50 ms, k + 1 sends.
    const std::vector<int> longHolds = options.quick ? std::vector{10} : std::vector{30, 30, 30};
    const std::vector<int> shortHolds = options.quick ? std::vector{0, 1, 2} : std::vector{0, 1, 2, 3, 5, 8};
    hold(rig, wire, 2 * period + period / 2, pressArrow, releaseArrow); // warm-up

    std::vector<double> intervals, bareIntervals, cpu, bareCpu, countErrors;
    QStringList counts;
    const auto countHold = [&](int k, const Hold &h) {
        countErrors.push_back(double(h.sends - (k + 1)));
        counts << QStringLiteral("%1/%2").arg(h.sends).arg(k + 1);
    };
    for (int k : longHolds) {
        const int holdMs = k * period + period / 2;
        const Hold held = hold(rig, wire, holdMs, pressArrow, releaseArrow);
        const Hold bare = hold(rig, wire, holdMs, pressBare, releaseBare);
        append(intervals, held.intervals);
        append(bareIntervals, bare.intervals);
        cpu.push_back(held.cpuPercent);
        bareCpu.push_back(bare.cpuPercent);
        countHold(k, held);
    }
    for (int k : shortHolds)
        countHold(k, hold(rig, wire, k * period + period / 2, pressArrow, releaseArrow));

    std::vector<double> deviation, bareDeviation;
    for (double interval : intervals)
        deviation.push_back(std::fabs(interval - period));
    for (double interval : bareIntervals)
        bareDeviation.push_back(std::fabs(interval - period));

    const QString family = QStringLiteral("cadence");
    Figure cadence(family, QStringLiteral("repeat interval"), QStringLiteral("ms"), summarize(intervals),
                   summarize(bareIntervals), QStringLiteral("median 100 +- 1"));
    cadence.met = std::fabs(cadence.value.median - period) <= 1;
    cadence.note =
        QStringLiteral("Command1 held %1 x %2 ms, each send's CR timed on the pty master by a "
                       "separate thread; floor: a bare 100 ms precise QTimer writing the same bytes")
            .arg(longHolds.size())
            .arg(longHolds.front() * period + period / 2);
    Figure jitter(family, QStringLiteral("repeat interval |off 100 ms|"), QStringLiteral("ms"),
                  summarize(deviation), summarize(bareDeviation), QStringLiteral("p99 <= 2, max <= 5"));
    jitter.met = jitter.value.p99 <= 2 && jitter.value.max <= 5;
    Figure count(family, QStringLiteral("repeat count error"), QStringLiteral("sends"),
                 summarize(countErrors), {}, QStringLiteral("0 (k*100+50 ms -> k+1)"));
    count.met = std::ranges::all_of(countErrors, [](double error) { return error == 0; });
    count.note = QStringLiteral("sends/expected per hold: ") + counts.join(QStringLiteral(", "));
    Figure load(family, QStringLiteral("CPU while held"), QStringLiteral("%"), summarize(cpu),
                summarize(bareCpu), QStringLiteral("< 1"));
    load.met = load.value.max < 1;
    load.note = QStringLiteral("getrusage of the whole bench process (the wire thread included), per hold");
    for (const Figure &figure : {cadence, jitter, count, load})
        report.add(figure);
}
