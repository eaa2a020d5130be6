// SPDX-License-Identifier: GPL-3.0-or-later
// The real panel and serial port on a real line: a pseudo-terminal whose far
// end is the test itself or the projector simulator, a separate process whose
// log shows what really went over the line. The panel is put on the line
// directly rather than through start-up, so the design intervals of the
// no-reply and clearing timers keep their real ticks out of the checks.
#include "fakes/fake_panel.h"
#include "fakes/modal_watcher.h"
#include "fakes/private_settings_store.h"
#include "fakes/pty_pair.h"
#include "fakes/simulator_process.h"
#include "panel/panel_table.h"
#include "port_settings/port_mapping.h"
#include "serial/render.h"
#include "serial/serial_comm_port.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <functional>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

// Wide margins: the machine may be busy, and nothing here measures speed.
constexpr int kReplyMs = 5000;

// The main window on the simulator's line.
struct PanelOnSimulator {
    explicit PanelOnSimulator(const QStringList &arguments)
        : sim(QStringLiteral(TALLIS_PROJECTOR_SIM), arguments)
    {}
    bool open() { return !sim.device().isEmpty() && form.commPort().setPortOpen(true); }
    QString view(int number) const { return control<QLabel>(&form, u"Label%1"_s.arg(number))->text(); }
    QPushButton *button(int number) const { return control<QPushButton>(&form, u"Command%1"_s.arg(number)); }
    QTimer *timer(int number) const { return form.findChild<QTimer *>(u"Timer%1"_s.arg(number)); }
    QList<int> cadence() const { return {timer(1)->interval(), timer(2)->interval(), timer(4)->interval()}; }

    SimulatorProcess sim;
    Module1 module;
    Form1 form{module, new SerialCommPort([device = sim.device()](qint16) { return device; })};
};

} // namespace

class TestE2E : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A port number names the device mapped to it in the store, read at each
    // open, or else the platform's own; numbers below 1 name none.
    void shouldOpenTheMappedDeviceAndCarryExactBytesBothWaysAt8N1()
    {
        PtyPair pty;
        SerialCommPort port(&storedPortDevice);
        QSettings store(u"VORN"_s, u"VORN"_s);
        store.setValue(u"Ports/COM2"_s, pty.devicePath());
        store.setValue(u"Ports/COM0"_s, u"/dev/never"_s);
        QCOMPARE(QStringList(
                     {storedPortDevice(1), storedPortDevice(15), storedPortDevice(0), storedPortDevice(-4)}),
                 QStringList({u"/dev/ttyS0"_s, u"/dev/ttyS14"_s, QString(), QString()}));
        port.setSettings(u"19200,N,8,1"_s);
        port.setCommPort(2);
        QVERIFY2(port.setPortOpen(true), qPrintable(port.lastFailure().reason));
        // Asked of the port object: a pseudo-terminal forces eight bits and no parity, whatever it is told.
        const auto *line = port.findChild<QSerialPort *>();
        QCOMPARE(QList<int>({line->baudRate(), line->dataBits(), line->parity(), line->stopBits(),
                             line->flowControl()}),
                 QList<int>({19200, 8, QSerialPort::NoParity, 1, QSerialPort::NoFlowControl}));

        port.setOutput("CF INPUT VIDEO\r");
        QCOMPARE(pty.read(16, 500), QByteArray("CF INPUT VIDEO\r")); // and nothing added
        QByteArray every(256, '\0'), received;
        std::iota(every.begin(), every.end(), '\0');
        connect(&port, &CommPort::onComm, this, [&] {
            received += port.commEvent() == CommPort::comEvReceive ? port.input() : "(another event)";
        });
        pty.write(every);
        QTRY_COMPARE_WITH_TIMEOUT(received, every, kReplyMs);
    }

    void shouldTellWhyAnOpenFailed()
    {
        PtyPair pty;
        SerialCommPort other([&](qint16) { return pty.devicePath(); });
        QVERIFY(other.setPortOpen(true));
        const std::pair<QString, PortFailure::Kind> failures[] = {
            {QString(), PortFailure::Kind::NoDevice},
            {pty.devicePath() + u"-unplugged"_s, PortFailure::Kind::NotFound}, // a name of this test's own
            {pty.devicePath(), PortFailure::Kind::Busy}};                      // in use by another program
        for (const auto &[device, kind] : failures) {
            SerialCommPort port([&](qint16) { return device; });
            QVERIFY(!port.setPortOpen(true) && !port.portOpen());
            QCOMPARE(port.lastFailure().device, device);
            QCOMPARE(int(port.lastFailure().kind), int(kind));
            QVERIFY(!port.lastFailure().reason.isEmpty());
        }
    }

    void shouldCarryOnWithoutTheDeviceAndReopenIt_data()
    {
        QTest::addColumn<QString>("moment");
        QTest::newRow("lost during a transaction") << u"transaction"_s;
        QTest::newRow("lost during a held arrow") << u"hold"_s;
        QTest::newRow("lost, then closed by COM") << u"COM"_s;
    }
    void shouldCarryOnWithoutTheDeviceAndReopenIt()
    {
        QFETCH(QString, moment);
        auto pty = std::make_unique<PtyPair>();
        Module1 module;
        Form1 form(module, new SerialCommPort([&](qint16) { return pty->devicePath(); }));
        QVERIFY(form.commPort().setPortOpen(true));
        auto *arrow = control<QPushButton>(&form, u"Command1"_s);
        if (moment == u"transaction"_s)
            form.Command_Click(44);
        if (moment == u"hold"_s)
            QTest::mousePress(arrow, Qt::LeftButton);

        pty->closeMaster(); // the line hangs up
        QTRY_VERIFY_WITH_TIMEOUT(!form.commPort().portOpen(), kReplyMs);
        // A hung-up line stays readable; reading it in a loop would eat a core.
        const std::clock_t busy = std::clock();
        QTest::qWait(500);
        QVERIFY2(std::clock() - busy < CLOCKS_PER_SEC / 10, "busy after the line hung up");
        // Meanwhile the panel works as with a closed port.
        form.Command_Click(17);
        form.transaction().Timer2_Timer();
        QCOMPARE(control<QLabel>(&form, u"Label12"_s)->text(), u" X X X X"_s);
        if (moment == u"hold"_s)
            QTest::mouseRelease(arrow, Qt::LeftButton);
        QCOMPARE(form.repeatKey(), quint8(0));
        if (moment == u"COM"_s)
            form.Command33_Click();

        pty = std::make_unique<PtyPair>(); // the adapter is plugged in again
        form.Command_Click(18);
        // A port closed on purpose is never reopened behind the operator's back.
        const bool reopened = moment != u"COM"_s;
        QCOMPARE(form.commPort().portOpen(), reopened);
        QCOMPARE(pty->read(4, reopened ? 2000 : 200), reopened ? QByteArray("C01\r") : QByteArray());
    }

    // Whatever comes, in whatever pieces: the newest 32767 bytes, shown whole.
    void shouldShowAnyReplyInAnySplit()
    {
        FakePanel p;
        QList<quint32> random(10000);
        QRandomGenerator(20261206).fillRange(random.data(), random.size());
        const QByteArray reply(reinterpret_cast<const char *>(random.constData()), 40000);
        p.form.Command_Click(44);
        for (qsizetype at = 0, piece = 1; at < reply.size(); at += piece, piece = piece * 7 % 1009)
            p.port->receive(reply.mid(at, piece));
        QCOMPARE(p.transaction().receiveBuffer(), reply.right(32767));
        QCOMPARE(p.view(12), renderTokens(reply.right(32767)).text);
    }

    // Seeded random operator and device events on the real windows, with the
    // invariants checked after every step. Replay a failure with the printed
    // seed in TALLIS_MONKEY_SEED (and TALLIS_MONKEY_STEPS).
    void shouldKeepItsInvariantsUnderRandomEvents()
    {
        const auto system = QString::number(QRandomGenerator::system()->generate());
        const quint32 seed = qEnvironmentVariable("TALLIS_MONKEY_SEED", system).toUInt();
        const int steps = qEnvironmentVariable("TALLIS_MONKEY_STEPS", u"2000"_s).toInt();
        qInfo("monkey seed %u, %d steps (replay with TALLIS_MONKEY_SEED=%u)", seed, steps, seed);
        QRandomGenerator random(seed);
        const auto pick = [&random](qsizetype count) { return int(random.bounded(int(count))); };
        // Typed into the text boxes, and sent by the projector with a carriage return.
        const QStringList texts =
            u"|00|7|16|256|-1|x| 3 |2.5|CF VOLUME 015[CR]|[|%%%%|\u0006|\u00ff"_s.split(u'|');

        QSettings store(u"VORN"_s, u"VORN"_s);
        store.setValue(u"StartUP/ComPort"_s, u"1"_s);
        store.setValue(u"StartUP/BaudRate"_s, u"96"_s);
        ModalWatcher watcher; // answers "Retry Comport"
        auto pty = std::make_unique<PtyPair>();
        Module1 module;
        Form1 form(module, new SerialCommPort(
                               [&](qint16 n) { return n == 1 && pty ? pty->devicePath() : QString(); }));
        form.Form_Load();
        form.show();
        QVERIFY(form.commPort().portOpen());
        QPushButton *heldArrow = nullptr;

        // Closes, types, picks from a list or clicks in the port dialog or the console.
        const auto operate = [&](QWidget *window) {
            const auto buttons = window->findChildren<QAbstractButton *>();
            QComboBox *list = window->findChildren<QComboBox *>().value(pick(4)); // none in the dialog
            if (pick(8) == 0)
                return void(window->close()); // as by the title bar
            if (pick(4) == 0)
                return window->findChild<QLineEdit *>()->setText(texts[pick(texts.size())]);
            if (!list || pick(2))
                return buttons[pick(buttons.size())]->click();
            list->setCurrentIndex(pick(list->count()));
            Q_EMIT list->activated(list->currentIndex());
        };
        const std::function<void()> actions[] = {
            [&] { // any mouse button holds an arrow; the operator lets go before the next click
                const PanelButton &row = kPanelButtons[size_t(pick(kPanelButtons.size()))];
                auto *button = control<QPushButton>(&form, u"Command%1"_s.arg(row.number));
                const auto mouse = Qt::MouseButton(1 << pick(3));
                if (heldArrow) // released anywhere
                    QTest::mouseRelease(std::exchange(heldArrow, nullptr), mouse, {}, QPoint(-5, -5));
                else if (row.action == Action::Hold)
                    QTest::mousePress(heldArrow = button, mouse);
                else if (row.action != Action::End)
                    button->click();
            },
            [&] { openWindow<Form2>(form) ? operate(openWindow<Form2>(form)) : form.Command33_Click(); },
            [&] { openWindow<Form3>(form) ? operate(openWindow<Form3>(form)) : form.Command74_Click(); },
            [&] { form.Timer1_Timer(); },
            [&] { pick(2) ? form.transaction().Timer2_Timer() : form.transaction().Timer4_Timer(); },
            [&] { pty ? pty->write(texts[pick(texts.size())].toLatin1() + '\r') : void(); },
            // The adapter is pulled out or plugged in again.
            [&] { pty = pty ? nullptr : std::make_unique<PtyPair>(); }, [&] { QTest::qWait(pick(3)); }};

        // From "COM" on the port is closed on purpose, and only the dialog's OK or Cancel may open it.
        bool closedOnPurpose = false;
        for (int step = 0; step < steps; ++step) {
            const bool dialogWasOpen = openWindow<Form2>(form);
            // Clicks on the panel come four times as often as the other actions.
            actions[std::max(0, pick(std::size(actions) + 3) - 3)]();
            QCoreApplication::processEvents();
            const bool open = form.commPort().portOpen();
            closedOnPurpose = openWindow<Form2>(form) || (closedOnPurpose && !(dialogWasOpen && open));
            const QByteArray wire = pty ? pty->read(1 << 16, 0) : QByteArray();
            QVERIFY2(heldArrow || form.repeatKey() == 0, "step " + QByteArray::number(step));
            QVERIFY2(!closedOnPurpose || (!open && wire.isEmpty()), "step " + QByteArray::number(step));
        }
    }

    // The tour clicks through power-on, every status read, a lamp mode and its
    // read-back, a held arrow and the console with a typed parameter, and
    // fails unless each step shows the views it should.
    void shouldPassEveryStepOfTheDemoTour()
    {
        SimulatorProcess sim(QStringLiteral(TALLIS_PROJECTOR_SIM), {u"--count-down"_s, u"500"_s});
        QTemporaryDir dir;
        const QString png = dir.filePath(u"panel.png"_s);
        QProcess tour;
        tour.start(QStringLiteral(TALLIS_DEMO_TOUR), {u"--screenshot"_s, png, sim.device()});
        QVERIFY(!sim.device().isEmpty() && tour.waitForFinished(120000));
        const QString out = QString::fromLocal8Bit(tour.readAllStandardOutput());
        QVERIFY2(tour.exitStatus() == QProcess::NormalExit && tour.exitCode() == 0, qPrintable(out));
        QVERIFY2(!out.contains(u"FAILED"_s) && out.contains(u"\" Lamp Mode is Eco\""_s), qPrintable(out));
        QVERIFY(QImage(png).width() == 692 && QImage(png).height() > 500); // the whole panel, expanded
    }

    // As the platform delivers it: the pressed arrow keeps the mouse, whichever
    // button pressed it, while the pointer wanders off, and gets the release.
    void shouldRepeatAHeldArrowUntilReleasedAnywhere()
    {
        PanelOnSimulator rig({});
        rig.form.show();
        QVERIFY(rig.open() && QTest::qWaitForWindowExposed(&rig.form));
        int ticks = 0;
        connect(rig.timer(1), &QTimer::timeout, this, [&] { ++ticks; });
        QPushButton *volumeDown = rig.button(2);
        const QPoint away(rig.form.width() - 5, rig.form.height() - 5);
        QVERIFY(rig.form.childAt(away) != volumeDown);

        QTest::mousePress(rig.form.windowHandle(), Qt::RightButton, {},
                          volumeDown->mapTo(&rig.form, volumeDown->rect().center()));
        QCOMPARE(rig.cadence(), QList<int>({100, 150, 200}));
        QTest::mouseMove(rig.form.windowHandle(), away);
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 2, kReplyMs);
        QTest::mouseRelease(rig.form.windowHandle(), Qt::RightButton, {}, away);
        const int sent = ticks + 1;
        QCOMPARE(rig.cadence(), QList<int>({100, 500, 1000}));
        QVERIFY(!rig.timer(1)->isActive() && !rig.timer(2)->isActive() && rig.timer(4)->isActive());
        // A press and release within a tick sends once, even with a tick already due.
        QTest::mouseClick(rig.button(5), Qt::MiddleButton); // cursor up
        rig.form.Timer1_Timer();
        QTest::qWait(300); // a repeat that had not stopped would send again meanwhile

        // The line keeps order: once the next command has arrived, every repeat has.
        QTest::mouseClick(rig.button(44), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(rig.sim.received(u"CR0[CR]"_s), 1, kReplyMs);
        QCOMPARE(rig.sim.received(u"C0A[CR]"_s), sent);
        QCOMPARE(rig.sim.received(u"C3C[CR]"_s), 1);
        QCOMPARE(rig.sim.received(u"[CR]"_s), 0); // not even a bare carriage return from the due tick
    }

    void shouldShowAndDecodeRepliesHoweverTheyCome_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("status"); // shown once the reply is complete, never before

        const QStringList split{u"--split"_s, u"3"_s, u"--split-gap"_s, u"200"_s};
        QTest::newRow("TEMP split: decoded at exactly eighteen bytes")
            << split << 54 << u" 0 2 5 . 0 _ 0 2 4 . 5 _ 0 2 6 . 0  [CR] "_s
            << u" 0 2 5 . 0 deg C 0 2 4 . 5 deg C 0 2 6 . 0 deg C "_s;
        QTest::newRow("LAMP-MODE split: decoded with the carriage return")
            << split << 76 << u" 0 0 0 _ N O R M A L  [CR] "_s << u" Lamp Mode is NORMAL"_s;
        // A stray byte before every reply byte: which stray it is does not show.
        QTest::newRow("garbage") << QStringList{u"--garbage"_s, u"100"_s, u"--seed"_s, u"7"_s} << 44
                                 << u" ? 8 ? 0 ?  [CR] "_s << QString();
        QTest::newRow("silent") << QStringList{u"--silent"_s} << 44 << u" X X X X"_s << QString();
    }
    void shouldShowAndDecodeRepliesHoweverTheyCome()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, reply);
        QFETCH(QString, status);
        PanelOnSimulator rig(arguments);
        QVERIFY(rig.open());
        int pieces = 0, wrong = 0; // counted after the window's own handler: each check follows a decoding
        connect(&rig.form.commPort(), &CommPort::onComm, this, [&] {
            ++pieces;
            wrong +=
                rig.view(25) != (rig.form.transaction().receiveBuffer().endsWith('\r') ? status : QString());
        });
        QFETCH(int, button);
        for (int round = 1; round <= 2; ++round) { // the first reply must not disturb the next transaction
            QTest::mouseClick(rig.button(button), Qt::LeftButton);
            // Once the simulator has logged an unsent answer, no reply can come.
            QTRY_VERIFY_WITH_TIMEOUT(rig.view(12) == reply || rig.sim.hasLogged(u"(not sent)"_s), kReplyMs);
            rig.form.transaction().Timer2_Timer();
            QCOMPARE(rig.view(12), reply);
            QCOMPARE(rig.view(25), status);
            rig.form.transaction().Timer4_Timer();
        }
        QCOMPARE(wrong, 0);
        QVERIFY2(pieces > 2 || !arguments.contains(u"--split"_s), "the pieces arrived together");
    }

private:
    PrivateSettingsStore m_settings;
};

QTEST_MAIN(TestE2E)
#include "tst_e2e.moc"
