// SPDX-License-Identifier: GPL-3.0-or-later
// The real panel and serial port on a real line: a pseudo-terminal whose far
// end is the test itself or the projector simulator, a separate process whose
// log shows what really went over the line, or the network: Debian's ser2net
// in front of the simulator (RFC 2217 and raw TCP) or the simulator's own TCP
// port, all on loopback. The panel is put on the line
// directly rather than through start-up, so the design intervals of the
// no-reply and clearing timers keep their real ticks out of the checks.
#include "fakes/fake_panel.h"
#include "fakes/modal_watcher.h"
#include "fakes/private_settings_store.h"
#include "fakes/pty_pair.h"
#include "fakes/ser2net_process.h"
#include "fakes/simulator_process.h"
#include "panel/panel_table.h"
#include "port_settings/port_mapping.h"
#include "port_settings/ports_window.h"
#include "serial/routing_comm_port.h"
#include "serial/serial_comm_port.h"

#include <QAccessible>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTableView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <fcntl.h>
#include <functional>
#include <numeric>
#include <optional>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Wide margins: the machine may be busy, and nothing here measures speed.
constexpr int kReplyMs = 5000;

// The main window on the simulator: on its pseudo-terminal ("pty") under a
// name of this rig's own, which goes with the simulator (a pts number is soon
// reused by other programs), on its own TCP port ("own"), or behind ser2net's
// "rfc2217" or "tcp" accepter.
struct PanelOnSimulator {
    explicit PanelOnSimulator(const QString &way, const QStringList &arguments = {})
        : link(dir.filePath(u"projector"_s)),
          sim(QStringLiteral(TALLIS_PROJECTOR_SIM),
              arguments +
                  (way == u"own"_s ? QStringList{u"--listen"_s, u"0"_s} : QStringList{u"--link"_s, link}))
    {
        if (way == u"rfc2217"_s || way == u"tcp"_s)
            ser2net.emplace(sim.device());
        address = way == u"own"_s       ? u"tcp://"_s + sim.address()
                  : way == u"pty"_s     ? link
                  : way == u"rfc2217"_s ? ser2net->rfc2217Address()
                                        : ser2net->tcpAddress();
    }
    bool open() { return !address.isEmpty() && form.commPort().setPortOpen(true); }
    QString view(int number) const { return control<QLabel>(&form, u"Label%1"_s.arg(number))->text(); }
    QPushButton *button(int number) const { return control<QPushButton>(&form, u"Command%1"_s.arg(number)); }
    QTimer *timer(int number) const { return form.findChild<QTimer *>(u"Timer%1"_s.arg(number)); }
    QList<int> cadence() const { return {timer(1)->interval(), timer(2)->interval(), timer(4)->interval()}; }

    QTemporaryDir dir;
    QString link;
    SimulatorProcess sim;
    std::optional<Ser2NetProcess> ser2net;
    QString address;
    Module1 module;
    Form1 form{module, new RoutingCommPort([this](qint16) { return address; })};
};

// The speed a terminal device is set to, read as any program on it would.
speed_t deviceSpeed(const QString &device)
{
    termios settings{};
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ::tcgetattr(fd, &settings);
    ::close(fd);
    return cfgetospeed(&settings);
}

// A port with a full backlog: a connect to it waits for an answer that never comes.
struct DeafPort {
    DeafPort()
    {
        server.setListenBacklogSize(0);
        server.listen(QHostAddress::LocalHost);
        server.pauseAccepting();
        for (QTcpSocket &filler : fillers)
            filler.connectToHost(QHostAddress::LocalHost, server.serverPort());
    }
    QTcpServer server;
    QTcpSocket fillers[3];
};

} // namespace

class TestE2E : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A port number names the device or address mapped to it in the store,
    // read at each open, or else the platform's own; numbers below 1 name none.
    // Every byte value crosses the line unchanged, whatever carries it.
    void shouldOpenTheMappedPortAndCarryExactBytesBothWaysAt8N1_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("device") << u"pty"_s;
        QTest::newRow("RFC 2217 through ser2net") << u"rfc2217"_s;
        QTest::newRow("raw TCP through ser2net") << u"tcp"_s;
    }
    void shouldOpenTheMappedPortAndCarryExactBytesBothWaysAt8N1()
    {
        QFETCH(QString, way);
        PtyPair pty;
        Ser2NetProcess ser2net(pty.devicePath());
        RoutingCommPort port(&storedPortDevice);
        QSettings store(u"VORN"_s, u"VORN"_s);
        store.setValue(u"Ports/COM2"_s, way == u"pty"_s       ? pty.devicePath()
                                        : way == u"rfc2217"_s ? ser2net.rfc2217Address()
                                                              : ser2net.tcpAddress());
        store.setValue(u"Ports/COM0"_s, u"/dev/never"_s);
        QCOMPARE(QStringList(
                     {storedPortDevice(1), storedPortDevice(15), storedPortDevice(0), storedPortDevice(-4)}),
                 QStringList({u"/dev/ttyS0"_s, u"/dev/ttyS14"_s, QString(), QString()}));
        port.setCommPort(0);
        QVERIFY(!port.setPortOpen(true) && port.lastFailure().kind == PortFailure::Kind::NoDevice);
        port.setSettings(u"19200,N,8,1"_s);
        port.setCommPort(2);
        // Closing ends an open under way, which still gives its answer.
        QSignalSpy ended(&port, &CommPort::openFinished);
        port.beginOpen();
        port.setPortOpen(false);
        QCOMPARE(ended.size(), 1);
        QVERIFY2(port.setPortOpen(true), qPrintable(port.lastFailure().reason));
        // Asked of the port object: a pseudo-terminal forces eight bits and no parity, whatever it is told.
        if (const auto *line = port.findChild<QSerialPort *>(); line->isOpen())
            QCOMPARE(QList<int>({line->baudRate(), line->dataBits(), line->parity(), line->stopBits(),
                                 line->flowControl()}),
                     QList<int>({19200, 8, QSerialPort::NoParity, 1, QSerialPort::NoFlowControl}));

        QByteArray every(256, '\0'), received;
        std::iota(every.begin(), every.end(), '\0');
        port.setOutput("CF INPUT VIDEO\r" + every);
        QCOMPARE(pty.read(15 + 256, 2000), "CF INPUT VIDEO\r" + every); // and nothing added
        connect(&port, &CommPort::onComm, this, [&] {
            received += port.commEvent() == CommPort::comEvReceive ? port.input() : "(another event)";
        });
        pty.write(every);
        QTRY_COMPARE_WITH_TIMEOUT(received, every, kReplyMs);
    }

    // The line goes away under the panel: the pseudo-terminal hangs up, or
    // ser2net stops. The port closes at once, without spinning, the panel works
    // as with a closed port, and the next click opens it again, unless the
    // operator closed it with "COM" meanwhile.
    void shouldCarryOnWithoutTheLineAndReopenIt_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("moment");
        QTest::newRow("hang-up during a transaction") << u"pty"_s << u"transaction"_s;
        QTest::newRow("hang-up during a held arrow") << u"pty"_s << u"hold"_s;
        QTest::newRow("hang-up, then COM") << u"pty"_s << u"COM"_s;
        QTest::newRow("RFC 2217 server restarts") << u"rfc2217"_s << u"transaction"_s;
        QTest::newRow("raw TCP server restarts during a held arrow") << u"tcp"_s << u"hold"_s;
        QTest::newRow("RFC 2217 server restarts, then COM") << u"rfc2217"_s << u"COM"_s;
    }
    void shouldCarryOnWithoutTheLineAndReopenIt()
    {
        QFETCH(QString, way);
        QFETCH(QString, moment);
        PanelOnSimulator rig(way);
        QVERIFY(rig.open());
        if (moment == u"transaction"_s)
            rig.form.Command_Click(44);
        if (moment == u"hold"_s)
            QTest::mousePress(rig.button(1), Qt::LeftButton);

        way == u"pty"_s ? rig.sim.process().terminate() : rig.ser2net->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.form.commPort().portOpen(), kReplyMs);
        const std::clock_t busy = std::clock();
        QTest::qWait(300);
        QVERIFY2(std::clock() - busy < CLOCKS_PER_SEC / 10, "busy after the line went away");
        // Nor did the repeat ticks meanwhile try the line again.
        QVERIFY(moment != u"hold"_s || rig.view(25).isEmpty());
        // Nothing shows as sent, and once the line is found gone, or a server refuses, the status line says
        // so.
        rig.form.Command_Click(17);
        const QString why = way == u"pty"_s ? u"No such device"_s : u"Connection refused"_s;
        QTRY_COMPARE_WITH_TIMEOUT(rig.view(25), u"Not sent: COM1 → %1 · %2"_s.arg(rig.address, why),
                                  kReplyMs);
        QCOMPARE(rig.view(11) + rig.view(12), QString());
        if (moment == u"hold"_s)
            QTest::mouseRelease(rig.button(1), Qt::LeftButton);
        QCOMPARE(rig.form.repeatKey(), quint8(0));
        if (moment == u"COM"_s)
            rig.form.Command33_Click();

        std::optional<SimulatorProcess> again; // the adapter is plugged in again
        if (way == u"pty"_s)
            again.emplace(QStringLiteral(TALLIS_PROJECTOR_SIM), QStringList{u"--link"_s, rig.link});
        else
            QVERIFY(rig.ser2net->start());
        rig.form.Command_Click(18);
        // A port closed on purpose is never reopened behind the operator's back.
        const bool reopened = moment != u"COM"_s;
        QTRY_COMPARE_WITH_TIMEOUT(rig.form.commPort().portOpen(), reopened, kReplyMs);
        QVERIFY(reopened || rig.view(25) == u"Not sent: the port is closed; COM opens one"_s);
        SimulatorProcess &sim = again ? *again : rig.sim;
        QTRY_COMPARE_WITH_TIMEOUT(sim.received(u"C01[CR]"_s), reopened ? 1 : 0, kReplyMs);
        QCOMPARE(sim.received(u"C00[CR]"_s), 0);
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

    // As the platform delivers it: the pressed arrow keeps the mouse, whichever
    // button pressed it, while the pointer wanders off, and gets the release.
    void shouldRepeatAHeldArrowUntilReleasedAnywhere()
    {
        PanelOnSimulator rig(u"pty"_s);
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

    // The demo tour: power-on, every status read decoded, a lamp mode read
    // back, a held arrow and a console command with a typed parameter; some
    // replies come in pieces.
    void shouldPassTheDemoTourThroughEachServer_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QStringList>("arguments");
        const QStringList split{u"--split"_s, u"3"_s, u"--split-gap"_s, u"100"_s};
        QTest::newRow("pseudo-terminal, replies in pieces") << u"pty"_s << split;
        QTest::newRow("RFC 2217 through ser2net, replies in pieces") << u"rfc2217"_s << split;
        QTest::newRow("raw TCP through ser2net") << u"tcp"_s << QStringList();
        QTest::newRow("the simulator's own port") << u"own"_s << QStringList();
    }
    void shouldPassTheDemoTourThroughEachServer()
    {
        QFETCH(QString, way);
        QFETCH(QStringList, arguments);
        PanelOnSimulator projector(way, arguments);
        QTemporaryDir dir;
        const QString png = dir.filePath(u"panel.png"_s);
        QProcess tour;
        tour.start(QStringLiteral(TALLIS_DEMO_TOUR), {u"--screenshot"_s, png, projector.address});
        QVERIFY(tour.waitForFinished(120000));
        const QString out =
            QString::fromLocal8Bit(tour.readAllStandardOutput() + tour.readAllStandardError());
        QVERIFY2(tour.exitStatus() == QProcess::NormalExit && tour.exitCode() == 0, qPrintable(out));
        QVERIFY2(!out.contains(u"FAILED"_s) && out.contains(u"\" Lamp Mode is Eco\""_s), qPrintable(out));
        QVERIFY(QImage(png).width() == 692 && QImage(png).height() > 500); // the whole panel, expanded
        QTRY_VERIFY_WITH_TIMEOUT(projector.sim.received(u"C09[CR]"_s) >= 2, kReplyMs); // held arrow repeats
    }

    // Through the dialog: the speed chosen reaches the device behind the
    // server, and a device or a network port that will not open says why.
    // Meanwhile the window goes on with its work: a probe timer keeps time.
    void shouldOpenWhatTheDialogChoosesOrSayWhyNot_data()
    {
        // Filled in by the test: RFC2217 (an address), RAW (its host and port), DEAF and SILENT (ports),
        // BUSY (a device), HELD (the RFC 2217 address, taken by another client).
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("says");
        QTest::newRow("opens at 19200") << u"RFC2217"_s << QString();
        QTest::newRow("closed by its close box meanwhile") << u"RFC2217"_s << u"(closed)"_s;
        QTest::newRow("refused") << u"tcp://127.0.0.1:1"_s << u"\nConnection refused."_s;
        QTest::newRow("host not found") << u"tcp://no-such-host.invalid:23"_s << u"\nHost not found."_s;
        QTest::newRow("no answer") << u"tcp://127.0.0.1:DEAF"_s
                                   << u"\nNo answer from 127.0.0.1:DEAF within 3 s."_s;
        const QString notRfc2217 =
            u"\n%1 does not speak RFC 2217 (Telnet with the COM-PORT option). If it is "
            "a raw TCP port, write tcp://%1."_s;
        QTest::newRow("not RFC 2217") << u"rfc2217://RAW"_s << notRfc2217.arg(u"RAW"_s);
        QTest::newRow("silent") << u"rfc2217://127.0.0.1:SILENT"_s << notRfc2217.arg(u"127.0.0.1:SILENT"_s);
        QTest::newRow("ser2net's port in use")
            << u"HELD"_s << u"\nThe server closed the connection, saying \"Port already in use\"."_s;
        QTest::newRow("not an address")
            << u" tcp://projector "_s
            << u"\nNot a port that can be used. HOST:PORT is missing or malformed "
               "(an IPv6 address goes in brackets). Write rfc2217://HOST:PORT or "
               "tcp://HOST:PORT."_s;
        QTest::newRow("no such device") << u"/dev/tallis-unplugged"_s << u"\nNo such device."_s;
        QTest::newRow("device in use") << u"BUSY"_s << u"\nThe port is in use by another program."_s;
    }
    void shouldOpenWhatTheDialogChoosesOrSayWhyNot()
    {
        PanelOnSimulator projector(u"rfc2217"_s);
        const DeafPort deaf;
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        PtyPair pty;
        SerialCommPort otherProgram([&](qint16) { return pty.devicePath(); });
        RoutingCommPort otherClient([&](qint16) { return projector.address; });
        const auto fill = [&](QString text) {
            return text.replace(u"BUSY"_s, pty.devicePath())
                .replace(u"HELD"_s, projector.address)
                .replace(u"RFC2217"_s, projector.address)
                .replace(u"RAW"_s, projector.ser2net->tcpAddress().mid(6))
                .replace(u"DEAF"_s, QString::number(deaf.server.serverPort()))
                .replace(u"SILENT"_s, QString::number(silent.serverPort()));
        };
        QFETCH(QString, address);
        QFETCH(QString, says);
        QVERIFY(address != u"BUSY"_s || otherProgram.setPortOpen(true));
        QVERIFY(address != u"HELD"_s || otherClient.setPortOpen(true));
        address = fill(address);
        QSettings(u"VORN"_s, u"VORN"_s).setValue(u"Ports/COM3"_s, address);
        ModalWatcher watcher;
        Module1 module;
        Form1 form(module, new RoutingCommPort(&storedPortDevice));
        form.Command33_Click();
        Form2 *dialog = openWindow<Form2>(form);
        QVERIFY(dialog);
        QCOMPARE(control<QRadioButton>(dialog, u"Option5"_s)->toolTip(), u"COM3 → "_s + address);
        QElapsedTimer clock;
        qint64 longestGap = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, this, [&] { longestGap = std::max(longestGap, clock.restart()); });
        probe.start(20);
        clock.start();
        for (const QString &option : {u"Option2"_s, u"Option5"_s, u"Command1"_s})
            control<QAbstractButton>(dialog, option)->click();
        // While a server takes its time, OK and Cancel do not act again, and the close box ends it.
        for (const QString &button : {u"Command1"_s, u"Command2"_s}) {
            if (dialog->isOpening() && dialog->cursor().shape() == Qt::BusyCursor)
                control<QAbstractButton>(dialog, button)->click();
        }
        if (says == u"(closed)"_s)
            dialog->close();
        QTRY_VERIFY_WITH_TIMEOUT(!form.findChild<Form2 *>() || !watcher.messages.isEmpty(), 3 * kReplyMs);
        QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap))); // the open takes up to 3 s
        QTest::qWait(says == u"(closed)"_s ? 300 : 0); // for an open that was not ended to finish
        QCOMPARE(form.commPort().portOpen(), says.isEmpty());
        QCOMPARE(watcher.messages.size(), says.startsWith(u'\n') ? 1 : 0);
        if (says.isEmpty())
            QCOMPARE(deviceSpeed(projector.sim.device()), speed_t(B19200));
        else if (!watcher.messages.isEmpty())
            QCOMPARE(watcher.messages[0].informativeText, u"COM3 → "_s + address.trimmed() + fill(says));
    }

    // Without editing a file: "COM", "Ports…", pick the adapter, "Test" shows
    // the projector's power state, Enter maps it to COM7, OK, OK; a click then
    // reaches the projector. Tab reaches every control of the Ports window; OK
    // keeps it while the store cannot be written; Esc leaves without writing.
    void shouldReachAnAdapterThroughThePortsWindow()
    {
        QTemporaryDir dev;
        const QString byId = dev.filePath(u"serial/by-id"_s), plugged = dev.filePath(u"serial/new"_s),
                      store = QSettings(u"VORN"_s, u"VORN"_s).fileName();
        QVERIFY(QDir().mkpath(plugged));
        SimulatorProcess sim(QStringLiteral(TALLIS_PROJECTOR_SIM),
                             {u"--link"_s, plugged + u"/usb-Beamer Kabel_é"_s});
        const auto key = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
        ModalWatcher watcher;
        watcher.onDialog = [&](QDialog *dialog) {
            auto *ports = qobject_cast<PortsWindow *>(dialog);
            QVERIFY(QTest::qWaitForWindowActive(ports));
            if (watcher.dialogCount == 2)
                return ports->Default_Click(), key(Qt::Key_Escape);
            ports->setDeviceSources({{}, byId, dev.filePath(u"serial/by-path"_s), dev.path()});
            QVERIFY(QDir().rename(plugged, byId)); // the adapter comes while the window is open
            QTRY_COMPARE_WITH_TIMEOUT(ports->findChild<QTableView *>(u"FoundDevices"_s)->model()->rowCount(),
                                      1, kReplyMs);
            QStringList reached;
            for (int tab = 0; tab < 10; ++tab, key(Qt::Key_Tab))
                reached << QAccessible::queryAccessibleInterface(QApplication::focusWidget())
                               ->text(QAccessible::Name);
            QCOMPARE(reached.join(u", "_s),
                     u"Port numbers, Found on this computer, Device or address, Map, Default, "
                     u"Test, Result, OK, Cancel, Port numbers"_s);
            key(Qt::Key_Space); // picks the adapter, the one device found
            ports->Test_Click();
            QCOMPARE(deviceSpeed(sim.device()), speed_t(B19200)); // the dialog's speed
            const auto *result = ports->findChild<QPlainTextEdit *>(u"Result"_s);
            QTRY_VERIFY_WITH_TIMEOUT(result->toPlainText().endsWith(u"Power state: Stand by"_s), kReplyMs);
            key(Qt::Key_Return);
            auto *mapping = ports->findChild<QTableView *>(u"PortNumbers"_s);
            mapping->selectRow(1);
            ports->findChild<QLineEdit *>(u"Target"_s)->setText(u"tcp://127.0.0.1:1"_s);
            ports->Map_Click();
            const auto state = [&](int row) { return mapping->model()->index(row, 2).data().toString(); };
            QCOMPARE(QStringList({state(0), state(1), state(6)}),
                     QStringList({u"absent"_s, u"network address"_s, u"present"_s}));
            // A folder where the file belongs, as rows before may have written it.
            QVERIFY(QDir().mkpath(store) || (QFile::remove(store) && QDir().mkpath(store)));
            ports->accept();
            QVERIFY(QDir().rmdir(store) && ports->isVisible() && watcher.messages.size() == 1);
            ports->accept();
        };
        Module1 module;
        Form1 form(module, new RoutingCommPort(&storedPortDevice));
        form.Command33_Click();
        Form2 *dialog = openWindow<Form2>(form);
        QTest::keyClicks(control<QLineEdit>(dialog, u"Text1"_s), u"7"_s);
        control<QAbstractButton>(dialog, u"Command3"_s)->click();
        QCOMPARE(control<QRadioButton>(dialog, u"Option4"_s)->toolTip(), u"COM2 → tcp://127.0.0.1:1"_s);
        control<QAbstractButton>(dialog, u"Command3"_s)->click();
        control<QAbstractButton>(dialog, u"Command1"_s)->click();
        form.Command_Click(44);
        QTRY_COMPARE_WITH_TIMEOUT(sim.received(u"CR0[CR]"_s), 2, kReplyMs);
    }

private:
    PrivateSettingsStore m_settings;
};

QTEST_MAIN(TestE2E)
#include "tst_e2e.moc"
