// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_panel.h"
#include "fakes/pty_pair.h"
#include "serial/render.h"
#include "serial/serial_comm_port.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

class TestReliability : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldSurviveTheDeviceGoing_data()
    {
        QTest::addColumn<QString>("moment");
        QTest::newRow("idle") << "idle";
        QTest::newRow("during a transaction") << "transaction";
        QTest::newRow("during a held arrow") << "hold";
    }
    void shouldSurviveTheDeviceGoing()
    {
        QFETCH(QString, moment);
        auto pty = std::make_unique<PtyPair>();
        const QString device = pty->devicePath();
        Module1 module;
        Form1 form(module, new SerialCommPort(nullptr, [&](qint16) { return device; }));
        QVERIFY(form.MSComm1->setPortOpen(true));
        auto *arrow = form.findChild<QAbstractButton *>(QStringLiteral("Command1"));
        QVERIFY(arrow);

        if (moment == QLatin1String("transaction"))
            form.Command_Click(44);
        if (moment == QLatin1String("hold"))
            QTest::mousePress(arrow, Qt::LeftButton);
        pty.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!form.MSComm1->portOpen(), 5000);

        // From here on it behaves as with a closed port.
        form.Timer1_Timer();
        form.Timer2_Timer();
        form.Command_Click(17);
        QCOMPARE(form.Label11->text(), QStringLiteral(" C 0 0  [CR] "));
        form.Timer2_Timer();
        QCOMPARE(form.Label12->text(), QStringLiteral(" X X X X"));
        if (moment == QLatin1String("hold")) {
            QTest::mouseRelease(arrow, Qt::LeftButton);
            QCOMPARE(form.repeatKey(), quint8(0));
        }
        QVERIFY(!form.MSComm1->portOpen());
    }

    // A hung-up line keeps the descriptor readable; reading it in a loop would eat a core.
    void shouldNotSpinOnAHungUpLine()
    {
        PtyPair pty;
        Module1 module;
        Form1 form(module, new SerialCommPort(nullptr, [&](qint16) { return pty.devicePath(); }));
        QVERIFY(form.MSComm1->setPortOpen(true));
        pty.closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!form.MSComm1->portOpen(), 5000);
        const double before = cpuSeconds();
        QTest::qWait(500);
        QVERIFY2(cpuSeconds() - before < 0.25, "the event loop kept busy after the line hung up");
    }

    void shouldRenderAnyReplyInAnySplit_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("piece");

        QByteArray every(256, '\0');
        for (int i = 0; i < 256; ++i)
            every[i] = char(i);
        QByteArray random(1 << 20, '\0');
        QRandomGenerator generator(20261206);
        for (char &c : random)
            c = char(generator.bounded(256));
        QTest::newRow("every byte, one by one") << every << 1;
        QTest::newRow("every byte, at once") << every << 256;
        QTest::newRow("a megabyte in one piece") << random << int(random.size());
        QTest::newRow("a megabyte in odd pieces") << random << 4093;
        QTest::newRow("a short reply byte by byte") << random.left(3000) << 1;
        QTest::newRow("past the limit in small pieces") << random.left(Form1::receiveLimit + 500) << 997;
    }
    void shouldRenderAnyReplyInAnySplit()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, piece);
        FakePanel p;
        p.form.Command_Click(44);
        for (qsizetype at = 0; at < reply.size(); at += piece) {
            p.port->receive(reply.mid(at, piece));
            QVERIFY(p.form.receiveBuffer().size() <= Form1::receiveLimit);
        }
        const QByteArray kept = reply.right(Form1::receiveLimit);
        QCOMPARE(p.form.receiveBuffer(), kept);
        QCOMPARE(p.form.Label12->text(), renderTokens(kept).text);
    }
};

QTEST_MAIN(TestReliability)
#include "tst_reliability.moc"
