// SPDX-License-Identifier: GPL-3.0-or-later
// A device that floods the line, first at its full speed, then as fast as the
// line takes it: how late the window's event loop gets, whether its memory
// stays bounded and whether the reply view ends on the newest bytes.
#include "clock.h"
#include "event_loop.h"
#include "families.h"
#include "flood_writer.h"
#include "form_rig.h"
#include "proc_stats.h"
#include "report.h"

#include "panel/traffic_view.h"
#include "serial/render.h"

#include <QLabel>
#include <QTimer>

#include <unistd.h>

namespace {

constexpr int probeInterval = 10;              // ms
constexpr int lineBytesPerSecond = 19200 / 10; // 8N1: ten bits a byte
const QByteArray endMarker("!END!");

// A single-shot precise timer re-armed at each expiry: how late each comes.
class LatenessProbe
{
public:
    LatenessProbe()
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            m_lateness.push_back(msBetween(m_armedAt, BenchClock::now()) - probeInterval);
            arm();
        });
        arm();
    }
    std::vector<double> lateness() const { return m_lateness; }

private:
    void arm()
    {
        m_armedAt = BenchClock::now();
        m_timer.start(probeInterval);
    }

    QTimer m_timer;
    BenchClock::time_point m_armedAt;
    std::vector<double> m_lateness;
};

double residentMiB()
{
    return double(ProcStats::statusKiB(getpid(), "VmRSS")) / 1024;
}

struct Phase {
    std::vector<double> lateness;
    std::vector<double> rss; // MiB, every 250 ms
    long long written = 0;
    bool newestShown = false;   // the view's text ends with the newest bytes
    bool newestVisible = false; // and they are inside what the view paints
    double catchUp = 0;         // ms from the last byte written to the view showing it
};

// bytesPerSecond < 0: no flood, the probe alone.
Phase runPhase(FormRig &rig, int bytesPerSecond, int ms)
{
    Phase phase;
    QTimer rssSampler;
    QObject::connect(&rssSampler, &QTimer::timeout, &rssSampler, [&] { phase.rss.push_back(residentMiB()); });
    rssSampler.start(250);
    {
        const LatenessProbe probe;
        std::optional<FloodWriter> writer;
        if (bytesPerSecond >= 0)
            writer.emplace(rig.pty().masterFd(), bytesPerSecond);
        runEventLoopFor(ms);
        if (writer)
            phase.written = writer->stop();
        phase.lateness = probe.lateness();
    }
    rssSampler.stop();
    if (bytesPerSecond < 0)
        return phase;
    rig.pty().write(endMarker);
    phase.written += endMarker.size();
    const auto stoppedAt = BenchClock::now();
    const QString newest = renderTokens(endMarker).text;
    auto *view = rig.form().findChild<QLabel *>(QStringLiteral("Label12"));
    phase.newestShown = spinUntil([&] { return view->text().endsWith(newest); }, 10000);
    phase.catchUp = msBetween(stoppedAt, BenchClock::now());
    // A single line: its right end shows if the view draws its newest part,
    // if it fits, or if it is aligned there.
    phase.newestVisible = qobject_cast<TrafficView *>(view) || (view->alignment() & Qt::AlignRight) ||
                          view->fontMetrics().horizontalAdvance(view->text()) <= view->contentsRect().width();
    return phase;
}

QString outcome(const Phase &phase)
{
    return QStringLiteral(
               "%1 bytes; the reply view's text ended with the newest bytes %2 ms after the last write%3")
        .arg(phase.written)
        .arg(phase.catchUp, 0, 'f', 1)
        .arg(!phase.newestShown    ? QStringLiteral(" - NOT SHOWN")
             : phase.newestVisible ? QString()
                                   : QStringLiteral(", but beyond the part of the view that is drawn"));
}

} // namespace

void benchFlood(const BenchOptions &options, Report &report)
{
    FormRig rig;
    if (!rig.isReady()) {
        report.skip(QStringLiteral("flood"), QStringLiteral("no window with an open port"));
        return;
    }
    const int floodMs = options.quick ? 2000 : 10000;
    const Phase idle = runPhase(rig, -1, options.quick ? 1000 : 2000);
    const double before = residentMiB();
    const Phase line = runPhase(rig, lineBytesPerSecond, floodMs);
    const double afterLine = residentMiB();
    const Phase unthrottled = runPhase(rig, 0, floodMs);
    const double after = residentMiB();
    // The same with the window compact, its traffic views out of sight.
    rig.form().setHeightTwips(Form1::compactHeight);
    const Phase compact = runPhase(rig, 0, floodMs);
    rig.form().setHeightTwips(Form1::expandedHeight);
    rig.settle();

    const QString family = QStringLiteral("flood");
    const Summary floor = summarize(idle.lateness);
    const auto latenessFigure = [&](const QString &name, const Phase &phase) {
        Figure f(family, QStringLiteral("flood lateness, %1").arg(name), QStringLiteral("ms"),
                 summarize(phase.lateness), floor, QStringLiteral("max < 50"));
        f.met = f.value.max < 50;
        f.note = outcome(phase);
        return f;
    };
    Figure lineFigure = latenessFigure(QStringLiteral("19200 baud"), line);
    lineFigure.note +=
        QStringLiteral(" (%1 s each, window expanded); floor: the same 10 ms probe, line quiet")
            .arg(floodMs / 1000);
    Figure fullFigure = latenessFigure(QStringLiteral("unthrottled"), unthrottled);
    Figure compactFigure = latenessFigure(QStringLiteral("unthrottled, compact"), compact);
    compactFigure.note += QStringLiteral(" (views out of sight)");

    // Bounded: the second half of the unthrottled flood grows no more than
    // noise over the first half.
    const auto &samples = unthrottled.rss;
    const auto half = samples.begin() + qsizetype(samples.size() / 2);
    const double firstHalf = samples.empty() ? 0 : *std::max_element(samples.begin(), half);
    const double secondHalf = samples.empty() ? 0 : *std::max_element(half, samples.end());
    std::vector<double> rss = line.rss;
    rss.insert(rss.end(), samples.begin(), samples.end());
    Figure memory(family, QStringLiteral("flood resident memory"), QStringLiteral("MiB"), summarize(rss),
                  summarize(idle.rss), QStringLiteral("bounded (flat in 2nd half)"));
    memory.met = secondHalf <= firstHalf + 1;
    memory.note = QStringLiteral("VmRSS of the bench process: %1 before, %2 after 19200 baud, %3 after "
                                 "unthrottled (MiB); max %4 in the 1st half, %5 in the 2nd")
                      .arg(before, 0, 'f', 1)
                      .arg(afterLine, 0, 'f', 1)
                      .arg(after, 0, 'f', 1)
                      .arg(firstHalf, 0, 'f', 1)
                      .arg(secondHalf, 0, 'f', 1);
    const std::vector<const Phase *> floods{&line, &unthrottled, &compact};
    std::vector<double> catchUps;
    for (const Phase *phase : floods)
        catchUps.push_back(phase->catchUp);
    Figure newest(family, QStringLiteral("flood: view to newest bytes"), QStringLiteral("ms"),
                  summarize(catchUps), {}, QStringLiteral("newest bytes shown"));
    newest.met =
        std::ranges::all_of(floods, [](const Phase *p) { return p->newestShown && p->newestVisible; });
    newest.note = QStringLiteral("from the flood's last write until Label12's text ends with it, per flood; "
                                 "met only if those bytes are also inside the label's painted part");
    for (const Figure &figure : {lineFigure, fullFigure, compactFigure, newest, memory})
        report.add(figure);
}
