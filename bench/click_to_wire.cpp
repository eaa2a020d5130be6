// SPDX-License-Identifier: GPL-3.0-or-later
// From a click on a panel button to the command's last byte on the far end,
// against the same bytes written straight onto the same line.
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
    WireWatcher wire(rig.pty().masterFd(), wakeMainThread);
    const QByteArray command = QByteArray(findPanelButton(onButton)->code) + '\r';
    const auto click = [&] { QTest::mouseClick(button, Qt::LeftButton); };
    // The click happens at the release; the press before it is not timed.
    const auto release = [&] { QTest::mouseRelease(button, Qt::LeftButton); };
    const auto bareWrite = [&] {
        if (::write(rig.floorFd(), command.constData(), size_t(command.size())) != command.size())
            qWarning("short write on the floor descriptor");
    };
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
    const auto bareRepaint = [&] {
        QTest::mousePress(bareButton, Qt::LeftButton);
        runEventLoopFor(2);
        const auto start = BenchClock::now();
        QTest::mouseRelease(bareButton, Qt::LeftButton);
        return msBetween(start, bareReleasedAt);
    };

    const int warmUp = 30;
    const int samples = options.quick ? 100 : 400;
    std::vector<double> clicks, releases, repaints, bareRepaints, floor;
    int lost = 0;
    // Interleaved, so that a passing disturbance hits all alike.
    for (int i = 0; i < warmUp + samples; ++i) {
        const double clicked = timeToWire(rig, wire, click);
        QTest::mousePress(button, Qt::LeftButton);
        BenchClock::time_point releaseStart;
        const double released = timeToWire(rig, wire, release, &releaseStart);
        const double bare = timeToWire(rig, wire, bareWrite);
        const double bareRepainted = bareRepaint();
        if (i < warmUp)
            continue;
        if (std::isnan(clicked) || std::isnan(released) || std::isnan(bare)) {
            ++lost;
            continue;
        }
        clicks.push_back(clicked);
        releases.push_back(released);
        repaints.push_back(msBetween(releaseStart, releasedAt));
        bareRepaints.push_back(bareRepainted);
        floor.push_back(bare);
    }

    const QString family = QStringLiteral("click");
    const QString target = QStringLiteral("med <= floor+0.3, p99 < 3");
    Figure full(family, QStringLiteral("click to wire"), QStringLiteral("ms"), summarize(clicks),
                summarize(floor), target);
    full.met = full.value.median <= full.floor->median + 0.3 && full.value.p99 < 3;
    full.note =
        QStringLiteral("QTest::mouseClick (press + release) on %1 (\"%2\") to its CR readable on the pty "
                       "master; floor: write(2) of the same bytes on the same line")
            .arg(button->objectName(), QString::fromLatin1(command.chopped(1)));
    if (lost)
        full.note += QStringLiteral("; %1 samples timed out").arg(lost);
    Figure fromRelease(family, QStringLiteral("release to wire"), QStringLiteral("ms"), summarize(releases),
                       summarize(floor), target);
    fromRelease.met =
        fromRelease.value.median <= fromRelease.floor->median + 0.3 && fromRelease.value.p99 < 3;
    fromRelease.note = QStringLiteral("the same from QTest::mouseRelease alone, the press done beforehand");
    Figure repaint(family, QStringLiteral("release: button repaint first"), QStringLiteral("ms"),
                   summarize(repaints), summarize(bareRepaints));
    repaint.note =
        QStringLiteral("release to QAbstractButton::released: Qt repaints the button synchronously "
                       "before it emits clicked, so before the window can send; floor: the same for a "
                       "default QPushButton of the same size in a bare window");
    for (const Figure &figure : {full, fromRelease, repaint})
        report.add(figure);
}
