// SPDX-License-Identifier: GPL-3.0-or-later
// The real program from its launch to its window shown with the port open,
// and its peak memory, against a bare window of 70 buttons with a port open.
#include "families.h"
#include "panel_driver.h"
#include "proc_stats.h"
#include "program_run.h"
#include "report.h"
#include "virtual_display.h"
#include "window_watch.h"

#include <QThread>

namespace {

constexpr int settleMs = 300; // the first paint and whatever follows it

struct Launch {
    std::optional<ProgramRun::Shown> shown;
    double peakMiB = 0;
    std::optional<double> peakAfterDialogsMiB;
    QString failure;
};

double peakMiB(pid_t pid)
{
    return double(ProcStats::statusKiB(pid, "VmHWM")) / 1024;
}

Launch launch(const QString &path, ProgramRun::Kind kind, const VirtualDisplay &display, WindowWatch &watch,
              const std::optional<ClickTargets> &targets)
{
    Launch result;
    ProgramRun run(path, kind, display, watch);
    result.shown = run.waitUntilShown(10000);
    if (!result.shown) {
        result.failure = run.failure();
        return result;
    }
    QThread::msleep(settleMs);
    result.peakMiB = peakMiB(run.pid());
    if (targets) {
        if (openAndCloseDialogs(display.name(), watch, run.mainWindow(), *targets, &result.failure)) {
            QThread::msleep(settleMs);
            result.peakAfterDialogsMiB = peakMiB(run.pid());
        }
    }
    return result;
}

} // namespace

void benchStartUp(const BenchOptions &options, Report &report)
{
    const QString family = QStringLiteral("startup");
    const ProgramStage stage = prepareProgramStage(family, options, report);
    if (!stage)
        return;
    const VirtualDisplay *display = stage.display.get();
    WindowWatch &watch = *stage.watch;
    const std::optional<ClickTargets> targets = findClickTargets();

    // The first launch of each warms the file cache and is not counted.
    const int runs = options.quick ? 3 : 11;
    std::vector<double> shown, bareShown, drawn, bareDrawn, peak, barePeak, peakAfterDialogs;
    QStringList failures;
    for (int i = 0; i <= runs; ++i) {
        const Launch product = launch(options.program, ProgramRun::Kind::Product, *display, watch, targets);
        const Launch bare =
            launch(options.bareWindow, ProgramRun::Kind::BareWindow, *display, watch, std::nullopt);
        if (!product.failure.isEmpty())
            failures << product.failure;
        if (!bare.failure.isEmpty())
            failures << QStringLiteral("floor: ") + bare.failure;
        if (i == 0)
            continue;
        if (product.shown) {
            shown.push_back(product.shown->mapped);
            drawn.push_back(product.shown->firstFrame);
            peak.push_back(product.peakMiB);
        }
        if (product.peakAfterDialogsMiB)
            peakAfterDialogs.push_back(*product.peakAfterDialogsMiB);
        if (bare.shown) {
            bareShown.push_back(bare.shown->mapped);
            bareDrawn.push_back(bare.shown->firstFrame);
            barePeak.push_back(bare.peakMiB);
        }
    }
    failures.removeDuplicates();

    Figure time(family, QStringLiteral("start-up to shown, port open"), QStringLiteral("ms"),
                summarize(shown), summarize(bareShown), QStringLiteral("warm median < 70"));
    time.met = !shown.empty() && time.value.median < 70;
    time.note =
        QStringLiteral("%1 warm launches under Xvfb (xcb), from posix_spawn to both the pty slave opened "
                       "(inotify) and the main window mapped (X MapNotify); floor: a bare Qt window of 70 "
                       "buttons opening the same kind of port")
            .arg(runs);
    Figure frame(family, QStringLiteral("start-up to first frame"), QStringLiteral("ms"), summarize(drawn),
                 summarize(bareDrawn), QStringLiteral("warm median < 70"));
    frame.met = !drawn.empty() && frame.value.median < 70;
    frame.note = QStringLiteral("until the window's pixel (2,2) is no longer the black behind a fresh window "
                                "(X GetImage each ms after the map)");
    Figure memory(family, QStringLiteral("start-up peak memory (VmHWM)"), QStringLiteral("MiB"),
                  summarize(peak), summarize(barePeak), QStringLiteral("<= 36"));
    memory.met = !peak.empty() && memory.value.max <= 36;
    memory.note = QStringLiteral("VmHWM %1 ms after shown").arg(settleMs);
    report.add(time);
    report.add(frame);
    report.add(memory);
    if (!peakAfterDialogs.empty()) {
        Figure after(family, QStringLiteral("peak memory after dialog+console"), QStringLiteral("MiB"),
                     summarize(peakAfterDialogs), summarize(barePeak), QStringLiteral("<= 42"));
        after.met = after.value.max <= 42;
        after.note = QStringLiteral("VmHWM after Ctrl+H, COM, Cancel, COMMANDTABLE, CLOSE driven by xdotool");
        report.add(after);
    }
    if (!failures.isEmpty())
        report.skip(family + QStringLiteral(" (some launches)"), failures.join(QStringLiteral("; ")));
}
