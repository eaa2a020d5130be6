// SPDX-License-Identifier: GPL-3.0-or-later
// The headless demo: the tour program against the simulator, as the demo
// script runs it where there is no display.
#include "fakes/simulator_process.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDemoTour : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldPassEveryStepAndWriteTheScreenshot()
    {
        SimulatorProcess sim(QStringLiteral(TALLIS_PROJECTOR_SIM), {u"--count-down"_s, u"500"_s});
        QVERIFY(!sim.device().isEmpty());
        QTemporaryDir dir;
        const QString png = dir.filePath(u"panel.png"_s);

        QProcess tour;
        tour.start(QStringLiteral(TALLIS_DEMO_TOUR), {u"--screenshot"_s, png, sim.device()});
        QVERIFY(tour.waitForFinished(120000));
        const QString out = QString::fromLocal8Bit(tour.readAllStandardOutput());
        QVERIFY2(tour.exitStatus() == QProcess::NormalExit && tour.exitCode() == 0, qPrintable(out));
        QVERIFY2(!out.contains(u"FAILED"_s), qPrintable(out));
        QVERIFY(out.contains(u"STATUS  \" Lamp Mode is Eco\""_s));
        QVERIFY(out.endsWith(u"screenshot: "_s + png + u'\n'));
        // The whole panel: its width, and more than the compact height.
        const QImage image(png);
        QCOMPARE(image.width(), 692);
        QVERIFY(image.height() > 500);
    }

    void shouldRefuseAMissingDevice()
    {
        QProcess tour;
        tour.start(QStringLiteral(TALLIS_DEMO_TOUR), {u"/dev/tallis-no-such-device"_s});
        QVERIFY(tour.waitForFinished(30000));
        QCOMPARE(tour.exitCode(), 1);
        QVERIFY(tour.readAllStandardError().contains("cannot open /dev/tallis-no-such-device"));
    }
};

QTEST_GUILESS_MAIN(TestDemoTour)
#include "tst_demo_tour.moc"
