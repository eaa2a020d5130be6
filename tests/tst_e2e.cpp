// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program against the projector simulator, a separate process on a
// real pseudo-terminal: the real main window, the real serial port, the real
// far end. The simulator's log shows what really went over the line.
#include "console/form3.h"
#include "fakes/simulator_process.h"
#include "panel/form1.h"
#include "serial/serial_comm_port.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Wide margins: the machine may be busy, and nothing here measures speed.
constexpr int kReplyMs = 5000;

// The main window wired to the simulator through the real serial port.
class PanelOnSimulator
{
public:
    explicit PanelOnSimulator(const QStringList &arguments)
        : sim(QStringLiteral(TALLIS_PROJECTOR_SIM), arguments),
          form(module, new SerialCommPort(nullptr, [device = sim.device()](qint16) { return device; }))
    {}

    bool open() { return !sim.device().isEmpty() && form.MSComm1->setPortOpen(true); }

    QAbstractButton *button(int number) const { return form.buttons->button(number); }

    // Clicks as the operator does once the last transaction's views are gone,
    // so that appending decoders start from an empty status view.
    void click(int number)
    {
        if (form.Timer2->isActive())
            form.Timer2_Timer();
        if (form.Timer4->isActive())
            form.Timer4_Timer();
        QTest::mouseClick(button(number), Qt::LeftButton);
    }

    // Clicks and waits until the reply view shows a complete reply.
    bool clickAndAwaitReply(int number)
    {
        click(number);
        return QTest::qWaitFor(
            [this] {
                const QString reply = form.Label12->text();
                return reply.endsWith(" [CR] "_L1) || reply.endsWith(" [ACK] "_L1);
            },
            kReplyMs);
    }

    // The status view after a complete reply to the button's command.
    QString statusAfter(int number)
    {
        return clickAndAwaitReply(number) ? form.Label25->text() : u"(no reply)"_s;
    }

    SimulatorProcess sim;
    Module1 module;
    Form1 form;
};

constexpr int kOn = 17;
constexpr int kStatus = 44;
constexpr int kMode = 45;
constexpr int kTemp = 54;
constexpr int kLampMode = 76;
constexpr int kVolumeUp = 1;

const QString kAck = u"  [ACK] "_s;

} // namespace

class TestE2E : public QObject
{
    Q_OBJECT
public:
    TestE2E() { QStandardPaths::setTestModeEnabled(true); }

private Q_SLOTS:
    void shouldCountDownAfterPowerOn()
    {
        PanelOnSimulator rig({u"--count-down"_s, u"3000"_s});
        QVERIFY2(rig.open(), qPrintable(rig.form.MSComm1->lastFailure().reason));

        QCOMPARE(rig.statusAfter(kStatus), u" Stand by"_s);
        QVERIFY(rig.clickAndAwaitReply(kOn));
        QCOMPARE(rig.form.Label12->text(), kAck);
        QCOMPARE(rig.statusAfter(kStatus), u" Count down"_s);
        QTRY_COMPARE_WITH_TIMEOUT(rig.statusAfter(kStatus), u" Power ON"_s, 20000);
    }

    // After power on; LAMP-MODE is the read-back test's.
    void shouldDecodeEveryStatusRead_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("status");

        const QStringList quick{u"--count-down"_s, u"0"_s};
        QTest::newRow("STATUS") << quick << kStatus << u" Power ON"_s;
        QTest::newRow("MODE") << quick << kMode << u" Input 1"_s;
        QTest::newRow("SETTING") << quick << 47 << u" Normally"_s;
        // Leading zeros turn into spaces, zeros between digits stay.
        QTest::newRow("LAMP-TIME") << quick + QStringList{u"--lamp-hours"_s, u"4020"_s} << 46
                                   << u"   4 0 2 0   Hour Use"_s;
        QTest::newRow("TEMP") << quick << kTemp << u" 0 3 5 . 0 deg C 0 4 0 . 5 deg C 0 3 8 . 0 deg C "_s;
        QTest::newRow("LAMP-STATUS") << quick << 55 << u" Lamp is ON"_s;
        QTest::newRow("LAMP-STATUS with a failed lamp")
            << QStringList{u"--lamp-failure"_s} << 55 << u" Lamp is failure"_s;
    }
    void shouldDecodeEveryStatusRead()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, button);
        PanelOnSimulator rig(arguments);
        QVERIFY(rig.open());
        QVERIFY(rig.clickAndAwaitReply(kOn));
        QTEST(rig.statusAfter(button), "status");
    }

    void shouldReadBackTheChosenLampMode()
    {
        PanelOnSimulator rig({});
        QVERIFY(rig.open());
        const struct {
            int button;
            QString status;
        } choices[] = {
            {75, u" Lamp Mode is Eco"_s}, {67, u" Lamp Mode is High"_s}, {68, u" Lamp Mode is NORMAL"_s}};
        for (const auto &choice : choices) {
            QVERIFY(rig.clickAndAwaitReply(choice.button));
            QCOMPARE(rig.form.Label12->text(), kAck);
            QCOMPARE(rig.statusAfter(kLampMode), choice.status);
        }
    }

    void shouldRepeatAHeldArrowUntilRelease()
    {
        PanelOnSimulator rig({});
        QVERIFY(rig.open());
        const QString volumeUp = u"C09[CR]"_s;

        QElapsedTimer held;
        held.start();
        QTest::mousePress(rig.button(kVolumeUp), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(rig.sim.received(volumeUp), 1, kReplyMs);
        QTest::qWait(600);
        QCOMPARE(rig.form.Label11->text(), u" C 0 9  [CR] "_s);
        QTest::mouseRelease(rig.button(kVolumeUp), Qt::LeftButton);
        const qint64 heldMs = held.elapsed();

        QVERIFY(!rig.form.Timer1->isActive());
        QCOMPARE(rig.form.Label11->text(), QString());
        QCOMPARE(rig.form.Label12->text(), QString());

        // The line keeps order: once the next command has arrived, every repeat has.
        QTest::mouseClick(rig.button(kStatus), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(rig.sim.received(u"CR0[CR]"_s), 1, kReplyMs);
        const qsizetype expected = heldMs / 100 + 1;
        const qsizetype sent = rig.sim.received(volumeUp);
        QVERIFY2(qAbs(sent - expected) <= 1,
                 qPrintable(u"%1 sends in a hold of %2 ms"_s.arg(sent).arg(heldMs)));
    }

    void shouldMarkASilentProjector()
    {
        PanelOnSimulator rig({u"--silent"_s});
        QVERIFY(rig.open());
        rig.click(kStatus);
        // Once the simulator has logged its unsent answer, no reply can come.
        QTRY_VERIFY_WITH_TIMEOUT(rig.sim.hasLogged(u"CR0[CR] -> 80[CR] (not sent)"_s), kReplyMs);
        QCoreApplication::processEvents();
        QCOMPARE(rig.form.Label12->text(), QString());
        QCOMPARE(rig.form.replyPending(), quint8(1));

        QVERIFY(rig.form.Timer2->isActive());
        rig.form.Timer2_Timer();
        QCOMPARE(rig.form.Label12->text(), u" X X X X"_s);
        QCOMPARE(rig.form.Label25->text(), QString());
    }

    void shouldDecodeASplitReplyOnceComplete_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("decodedFrom"); // bytes received when the status must show

        QTest::newRow("STATUS: as soon as both digits are there")
            << kStatus << u" 8 0  [CR] "_s << u" Stand by"_s << 2;
        QTest::newRow("TEMP: at exactly eighteen bytes")
            << kTemp << u" 0 2 5 . 0 _ 0 2 4 . 5 _ 0 2 6 . 0  [CR] "_s
            << u" 0 2 5 . 0 deg C 0 2 4 . 5 deg C 0 2 6 . 0 deg C "_s << 18;
        QTest::newRow("LAMP-MODE: with the carriage return")
            << kLampMode << u" 0 0 0 _ N O R M A L  [CR] "_s << u" Lamp Mode is NORMAL"_s << 11;
    }
    void shouldDecodeASplitReplyOnceComplete()
    {
        QFETCH(int, button);
        QFETCH(QString, reply);
        QFETCH(QString, status);
        QFETCH(int, decodedFrom);

        PanelOnSimulator rig({u"--split"_s, u"3"_s, u"--split-gap"_s, u"200"_s});
        QVERIFY(rig.open());
        struct Snapshot {
            qsizetype received;
            QString status;
        };
        QList<Snapshot> snapshots;
        // Connected after the window's own handler, so each snapshot follows its decoding.
        QObject::connect(rig.form.MSComm1, &CommPort::onComm, this, [&] {
            snapshots.append({rig.form.receiveBuffer().size(), rig.form.Label25->text()});
        });

        rig.click(button);
        QTRY_COMPARE_WITH_TIMEOUT(rig.form.Label12->text(), reply, kReplyMs);
        QCOMPARE(rig.form.Label25->text(), status);
        QVERIFY2(snapshots.size() > 1, "the pieces arrived together");
        for (const Snapshot &snapshot : std::as_const(snapshots))
            QCOMPARE(snapshot.status, snapshot.received >= decodedFrom ? status : QString());
    }

    void shouldShowGarbageWithoutBreakingTheNextTransaction()
    {
        // A stray byte before every reply byte: which stray it is does not show.
        PanelOnSimulator rig({u"--garbage"_s, u"100"_s, u"--seed"_s, u"7"_s});
        QVERIFY(rig.open());

        rig.click(kStatus);
        QTRY_COMPARE_WITH_TIMEOUT(rig.form.Label12->text(), u" ? 8 ? 0 ?  [CR] "_s, kReplyMs);
        QCOMPARE(rig.form.Label25->text(), QString());

        rig.click(kMode);
        QTRY_COMPARE_WITH_TIMEOUT(rig.form.Label12->text(), u" ? 1 ?  [CR] "_s, kReplyMs);
        QVERIFY(rig.sim.hasLogged(u"CR1[CR] -> 1[CR]"_s));

        rig.click(kOn);
        QTRY_COMPARE_WITH_TIMEOUT(rig.form.Label12->text(), u" ?  [ACK] "_s, kReplyMs);
    }

    void shouldSendTheConsoleCommandWithItsParameters()
    {
        PanelOnSimulator rig({});
        QVERIFY(rig.open());
        rig.form.Command74_Click();
        Form3 *console = rig.form.console();
        QVERIFY(console);

        // Picks an item of a list as the operator does.
        auto choose = [console](QPushButton *listButton, QComboBox *list, const QString &item) {
            QTest::mouseClick(listButton, Qt::LeftButton);
            const int index = list->findText(item, Qt::MatchStartsWith);
            list->setCurrentIndex(index);
            Q_EMIT list->activated(index);
            return index >= 0;
        };

        QVERIFY(choose(console->Command4, console->Combo2, u"CF VOLUME 0%%[CR]"_s));
        console->Text1->setSelection(11, 2);
        QTest::keyClicks(console->Text1, u"15"_s);
        QCOMPARE(console->Text1->text(), u"CF VOLUME 015[CR]"_s);
        QTest::mouseClick(console->Command1, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(rig.sim.hasLogged(u"CF VOLUME 015[CR] -> [ACK]"_s), kReplyMs);
        QTRY_COMPARE_WITH_TIMEOUT(rig.form.Label12->text(), kAck, kReplyMs);

        QVERIFY(choose(console->Command5, console->Combo3, u"CR VOLUME[CR]"_s));
        QTest::mouseClick(console->Command1, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(rig.form.Label12->text(), u" 0 0 0 _ 0 1 5  [CR] "_s, kReplyMs);
    }
};

QTEST_MAIN(TestE2E)
#include "tst_e2e.moc"
