// SPDX-License-Identifier: GPL-3.0-or-later
// From a click on a panel button to the command's last byte on the far end,
// against the same bytes written straight onto a line of the same kind: the
// pseudo-terminal itself, or through ser2net on loopback.
#include "event_loop.h"
#include "families.h"
#include "form_rig.h"
#include "report.h"
#include "wire_watcher.h"

#include "panel/panel_table.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>
#include <unistd.h>

namespace {

constexpr int onButton = 17;

// The time from send() to the first CR reaching the far end, or NaN if none came.
template <typename Send>
double timeToWire(FormRig &rig, WireWatcher &wire, Send send, BenchClock::time_point *startedAt = nullptr)
{
    rig.settle();
    wire.clear();
    const auto start = BenchClock::now();
    send();
    if (!spinUntil([&] { return wire.markCount() >= 1; }, 1000))
        return NAN;
    if (startedAt)
        *startedAt = start;
    return msBetween(start, wire.marks().front());
}

struct ClickSamples {
    std::vector<double> clicks, releases, floor;
    int lost = 0;
};

// Called after each round with whether its sample was kept and when its
// release started, for a measurement that goes along with the clicks.
using Alongside = std::function<void(bool kept, BenchClock::time_point releaseStart)>;

// A full click, a release after an untimed press, and the same bytes written
// on the floor descriptor, interleaved so that a passing disturbance hits all alike.
ClickSamples sampleClicks(FormRig &rig, WireWatcher &wire, QAbstractButton *button, const QByteArray &command,
                          int count, const Alongside &alongside = {})
{
    const auto click = [&] { QTest::mouseClick(button, Qt::LeftButton); };
    // The click happens at the release; the press before it is not timed.
    const auto release = [&] { QTest::mouseRelease(button, Qt::LeftButton); };
    const auto bareWrite = [&] {
        if (::write(rig.floorFd(), command.constData(), size_t(command.size())) != command.size())
            qWarning("short write on the floor descriptor");
    };
    const int warmUp = 30;
    ClickSamples samples;
    for (int i = 0; i < warmUp + count; ++i) {
        const double clicked = timeToWire(rig, wire, click);
        QTest::mousePress(button, Qt::LeftButton);
        BenchClock::time_point releaseStart;
        const double released = timeToWire(rig, wire, release, &releaseStart);
        const double bare = timeToWire(rig, wire, bareWrite);
        const bool timedOut = std::isnan(clicked) || std::isnan(released) || std::isnan(bare);
        if (alongside)
            alongside(i >= warmUp && !timedOut, releaseStart);
        if (i < warmUp)
            continue;
        if (timedOut) {
            ++samples.lost;
            continue;
        }
        samples.clicks.push_back(clicked);
        samples.releases.push_back(released);
        samples.floor.push_back(bare);
    }
    return samples;
}

// "click to wire" and "release to wire" on one line, next to its floor. The
// p99 limit is left out of the target when infinite.
void addWireFigures(Report &report, const QString &family, const QString &over, const ClickSamples &samples,
                    double p99Limit, const QString &clickNote)
{
    QString target = QStringLiteral("med <= floor+0.3");
    if (std::isfinite(p99Limit))
        target += QStringLiteral(", p99 < %1").arg(p99Limit);
    const Summary floor = summarize(samples.floor);
    const auto figure = [&](const QString &name, const std::vector<double> &values, const QString &note) {
        Figure f(family, name + over, QStringLiteral("ms"), summarize(values), floor, target);
        f.met = f.value.median <= floor.median + 0.3 && f.value.p99 < p99Limit;
        f.note = note;
        return f;
    };
    Figure click = figure(QStringLiteral("click to wire"), samples.clicks, clickNote);
    if (samples.lost)
        click.note += QStringLiteral("; %1 samples timed out").arg(samples.lost);
    report.add(click);
    report.add(figure(QStringLiteral("release to wire"), samples.releases,
                      QStringLiteral("the same from QTest::mouseRelease alone, the press done beforehand")));
}

QByteArray commandOf(int buttonNumber)
{
    return QByteArray(findPanelButton(buttonNumber)->code) + '\r';
}

} // namespace

void benchClickToWire(const BenchOptions &options, Report &report)
{
    FormRig rig;
    QAbstractButton *button = rig.button(onButton);
    if (!rig.isReady() || !button) {
        report.skip(QStringLiteral("click"),
                    QStringLiteral("no window with an open port and button Command17"));
        return;
    }
    const QByteArray command = commandOf(onButton);
    // Qt's button repaints itself at once on release, before it emits clicked.
    BenchClock::time_point releasedAt;
    QObject::connect(button, &QAbstractButton::released, button, [&] { releasedAt = BenchClock::now(); });

    // The floor of that repaint: a default button of the same size and text in a bare window.
    QWidget bareWindow;
    bareWindow.resize(rig.form().size());
    auto *bareButton = new QPushButton(button->text(), &bareWindow);
    bareButton->setGeometry(button->geometry());
    bareWindow.show();
    if (!QTest::qWaitForWindowExposed(&bareWindow))
        qWarning("the bare window was not exposed");
    BenchClock::time_point bareReleasedAt;
    QObject::connect(bareButton, &QAbstractButton::released, bareButton,
                     [&] { bareReleasedAt = BenchClock::now(); });
    std::vector<double> repaints, bareRepaints;
    const auto repaint = [&](bool kept, BenchClock::time_point releaseStart) {
        QTest::mousePress(bareButton, Qt::LeftButton);
        runEventLoopFor(2);
        const auto start = BenchClock::now();
        QTest::mouseRelease(bareButton, Qt::LeftButton);
        if (!kept)
            return;
        repaints.push_back(msBetween(releaseStart, releasedAt));
        bareRepaints.push_back(msBetween(start, bareReleasedAt));
    };

    WireWatcher wire(rig.wireFds(), wakeMainThread);
    const ClickSamples samples = sampleClicks(rig, wire, button, command, options.quick ? 100 : 400, repaint);
    const QString family = QStringLiteral("click");
    addWireFigures(
        report, family, {}, samples, 3,
        QStringLiteral("QTest::mouseClick (press + release) on %1 (\"%2\") to its CR readable on the pty "
                       "master; floor: write(2) of the same bytes on the same line")
            .arg(button->objectName(), QString::fromLatin1(command.chopped(1))));
    Figure repaintFigure(family, QStringLiteral("release: button repaint first"), QStringLiteral("ms"),
                         summarize(repaints), summarize(bareRepaints));
    repaintFigure.note =
        QStringLiteral("release to QAbstractButton::released: Qt repaints the button synchronously "
                       "before it emits clicked, so before the window can send; floor: the same for a "
                       "default QPushButton of the same size in a bare window");
    report.add(repaintFigure);
}

void benchClickOverNetwork(const BenchOptions &options, Report &report)
{
    FormRig rig(FormRig::Line::Rfc2217);
    QAbstractButton *button = rig.button(onButton);
    if (!rig.isReady() || !button) {
        report.skip(QStringLiteral("network"),
                    QStringLiteral("no window with a port open through ser2net, or no raw TCP port for "
                                   "the floor (is ser2net installed?)"));
        return;
    }
    const QByteArray command = commandOf(onButton);
    WireWatcher wire(rig.wireFds(), wakeMainThread);
    // The port alone, without the window's click handling and repaints around it.
    std::vector<double> portWrites;
    const auto portWrite = [&](bool kept, BenchClock::time_point) {
        const double written = timeToWire(rig, wire, [&] { rig.form().commPort().setOutput(command); });
        if (kept && !std::isnan(written))
            portWrites.push_back(written);
    };
    const ClickSamples samples =
        sampleClicks(rig, wire, button, command, options.quick ? 100 : 400, portWrite);
    addWireFigures(
        report, QStringLiteral("network"), QStringLiteral(" over RFC 2217"), samples,
        std::numeric_limits<double>::infinity(),
        QStringLiteral("QTest::mouseClick (press + release) on %1 (\"%2\"), the port %3 (loopback, "
                       "through ser2net), to its CR readable on the pty master behind ser2net; floor: "
                       "write(2) of the same bytes on a socket to a second ser2net's raw TCP port, readable "
                       "on the pty behind that one")
            .arg(button->objectName(), QString::fromLatin1(command.chopped(1)), rig.portName()));
    Figure port(QStringLiteral("network"), QStringLiteral("port write to wire over RFC 2217"),
                QStringLiteral("ms"), summarize(portWrites), summarize(samples.floor));
    port.note = QStringLiteral("CommPort::setOutput() of the same bytes on the window's open port, called "
                               "directly: what the network control itself adds to the floor");
    report.add(port);
}
