// SPDX-License-Identifier: GPL-3.0-or-later
// The real program with its port open and nothing happening: how often it
// wakes up and how much processor time it takes, against a bare window.
#include "families.h"
#include "proc_stats.h"
#include "program_run.h"
#include "report.h"
#include "virtual_display.h"
#include "window_watch.h"

#include <QThread>

namespace {

struct Idle {
    std::vector<double> wakeUps; // a second
    std::vector<double> cpu;     // % of a core, a second
    double totalCpu = 0;         // % of a core over the whole time
    long totalWakeUps = 0;
    QString failure;
};

Idle measureIdle(const QString &path, ProgramRun::Kind kind, const VirtualDisplay &display,
                 WindowWatch &watch, int seconds)
{
    Idle idle;
    ProgramRun run(path, kind, display, watch);
    if (!run.waitUntilShown(10000)) {
        idle.failure = run.failure();
        return idle;
    }
    QThread::sleep(1); // the start-up's last events are not idleness
    const pid_t pid = run.pid();
    const long firstSwitches = ProcStats::contextSwitches(pid);
    const long long firstCpu = ProcStats::cpuNanoseconds(pid);
    long switches = firstSwitches;
    long long cpu = firstCpu;
    for (int i = 0; i < seconds; ++i) {
        QThread::sleep(1);
        const long nowSwitches = ProcStats::contextSwitches(pid);
        const long long nowCpu = ProcStats::cpuNanoseconds(pid);
        idle.wakeUps.push_back(double(nowSwitches - switches));
        idle.cpu.push_back(double(nowCpu - cpu) / 1e9 * 100);
        switches = nowSwitches;
        cpu = nowCpu;
    }
    idle.totalWakeUps = switches - firstSwitches;
    idle.totalCpu = double(cpu - firstCpu) / 1e9 / seconds * 100;
    return idle;
}

} // namespace

void benchIdle(const BenchOptions &options, Report &report)
{
    const QString family = QStringLiteral("idle");
    const ProgramStage stage = prepareProgramStage(family, options, report);
    if (!stage)
        return;
    const VirtualDisplay *display = stage.display.get();
    WindowWatch &watch = *stage.watch;
    const int seconds = options.quick ? 3 : 10;
    const Idle product = measureIdle(options.program, ProgramRun::Kind::Product, *display, watch, seconds);
    const Idle bare = measureIdle(options.bareWindow, ProgramRun::Kind::BareWindow, *display, watch, seconds);
    if (!product.failure.isEmpty() || !bare.failure.isEmpty()) {
        report.skip(family,
                    product.failure.isEmpty() ? QStringLiteral("floor: ") + bare.failure : product.failure);
        return;
    }

    Figure wakeUps(family, QStringLiteral("idle wake-ups"), QStringLiteral("/s"), summarize(product.wakeUps),
                   summarize(bare.wakeUps), QStringLiteral("0"));
    wakeUps.met = product.totalWakeUps == 0;
    wakeUps.note =
        QStringLiteral("context switches of all threads (/proc/<pid>/task/*/status) each second for %1 s "
                       "under Xvfb, port open; %2 in all (floor %3)")
            .arg(seconds)
            .arg(product.totalWakeUps)
            .arg(bare.totalWakeUps);
    Figure cpu(family, QStringLiteral("idle CPU"), QStringLiteral("%"), summarize(product.cpu),
               summarize(bare.cpu), QStringLiteral("< 0.01 over the run"));
    cpu.met = product.totalCpu < 0.01;
    cpu.note = QStringLiteral("schedstat run time of all threads; %1 % over %2 s (floor %3 %)")
                   .arg(product.totalCpu, 0, 'f', 4)
                   .arg(seconds)
                   .arg(bare.totalCpu, 0, 'f', 4);
    report.add(wakeUps);
    report.add(cpu);
}
