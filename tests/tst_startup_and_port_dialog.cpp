// SPDX-License-Identifier: GPL-3.0-or-later
// The main window from start-up to END, the port dialog that start-up and
// "COM" fall back on, and what its Ports window stands on: the mapping kept
// in the store and the folders watched for adapters.
#include "fakes/fake_panel.h"
#include "fakes/modal_watcher.h"
#include "fakes/private_settings_store.h"
#include "fakes/pty_pair.h"
#include "port_settings/device_watcher.h"
#include "port_settings/port_mapping.h"
#include "port_settings/port_mapping_model.h"
#include "port_settings/port_settings_store.h"

#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <termios.h>

using namespace Qt::StringLiterals;

namespace {

const auto settingsPath = [] { return QSettings(u"VORN"_s, u"VORN"_s).fileName(); };
const auto text1 = [](const QWidget *dialog) { return control<QLineEdit>(dialog, u"Text1"_s); };

// The dialog and the choice: "Text1|PortNumber BaudCode|selected options".
QString chosen(const QWidget *dialog, const Module1 &module)
{
    QString state = u"%1|%2 %3|"_s.arg(text1(dialog)->text()).arg(module.PortNumber).arg(module.BaudCode);
    for (const QRadioButton *option : dialog->findChildren<QRadioButton *>())
        state += option->isChecked() ? option->text() + u' ' : QString();
    return state.trimmed();
}

// The main window on a closed fake line, a watcher answering the messages,
// and an operator who takes steps.
struct Rig : FakePanel {
    Rig() : FakePanel(Line::Closed) {}

    // The line and what the store holds: "COM7 9600 | 7 96", or "closed 19200" with nothing stored.
    QString line() const
    {
        const QSettings store(u"VORN"_s, u"VORN"_s);
        const QString stored = store.value(u"StartUP/ComPort"_s).toString() + u' ' +
                               store.value(u"StartUP/BaudRate"_s).toString();
        const QString where = port->portOpen() ? u"COM%1 %2"_s.arg(port->openedPort).arg(port->openedSettings)
                                               : u"closed "_s + port->settings();
        return where.section(u',', 0, 0) + (stored == u" "_s ? QString() : u" | "_s + stored);
    }

    // Runs steps separated by "; ". Acting: the caption of a button or option
    // of the dialog or the main window; "close" (the dialog's close box) and
    // "close main"; "type" into the text box, "paste" over it; "start" the
    // dialog as start-up does, without its event loop; "port <PortNumber>
    // <BaudCode>"; "open" the line; "fail <port>" (no such device), "deny" or
    // "busy" <port> <device>; "lock"/"unlock" the store against writing;
    // "show" the main window, "keys" on it; "soon"/"later" (100 ms) a step
    // from the event loop, "exec" that loop until the program ends. Checking:
    // "focus" in the text box, "window shown"/"hidden", the main window's
    // "height", "== " the dialog, "-> " the line, "says " the next message.
    void run(const QString &steps)
    {
        for (const QString &step : steps.split(u"; "_s)) {
            const QString word = step.section(u' ', 0, 0);
            rest = step.section(u' ', 1);
            arg = rest.split(u' ');
            QAbstractButton *button = nullptr;
            for (QAbstractButton *each : form.findChildren<QAbstractButton *>())
                if (each->text() == step && (each->window() == &form || each->window() == dialog()))
                    button = each;
            QVERIFY2(!QTest::currentTestFailed() && (actions.contains(word) || button), qPrintable(step));
            actions.contains(word) ? actions[word]() : button->click();
        }
    }

    ModalWatcher watcher;
    QString rest;
    QStringList arg;
    qsizetype said = -1;
    void refuse(PortFailure::Kind kind) { port->failPort(arg[0].toShort(), {kind, arg[1], {}}); }
    const QHash<QString, std::function<void()>> actions{
        {u"close"_s, [this] { rest.isEmpty() ? dialog()->close() : form.close(); }},
        {u"type"_s, [this] { QTest::keyClicks(text1(dialog()), rest); }},
        {u"paste"_s, [this] { text1(dialog())->setText(rest); }},
        {u"start"_s, [this] { (new Form2(module, form, &form))->show(); }},
        {u"port"_s, [this] { module = Module1(QByteArray(), arg[0].toShort(), quint8(arg[1].toUShort())); }},
        {u"open"_s, [this] { QVERIFY(port->setPortOpen(true)); }},
        {u"fail"_s, [this] { port->failPort(arg[0].toShort()); }},
        {u"deny"_s, [this] { refuse(PortFailure::Kind::PermissionDenied); }},
        {u"busy"_s, [this] { refuse(PortFailure::Kind::Busy); }},
        {u"lock"_s, [] { QVERIFY(QDir().mkpath(settingsPath())); }},
        {u"unlock"_s, [] { QVERIFY(QDir().rmdir(settingsPath())); }},
        {u"show"_s, [this] { form.show(); }},
        {u"keys"_s, [this] { QTest::keySequence(form.windowHandle(), QKeySequence(rest)); }},
        {u"soon"_s, [this] { QTimer::singleShot(0, &form, [this, step = rest] { run(step); }); }},
        {u"later"_s, [this] { QTimer::singleShot(100, &form, [this, step = rest] { run(step); }); }},
        {u"exec"_s, [] { QCOMPARE(QApplication::exec(), 0); }},
        {u"focus"_s, [this] { QTRY_VERIFY(text1(dialog())->hasFocus()); }},
        {u"window"_s, [this] { QCOMPARE(form.isVisible() ? u"shown"_s : u"hidden"_s, rest); }},
        {u"height"_s, [this] { QCOMPARE(form.frameGeometry().height(), rest.toInt()); }},
        {u"=="_s, [this] { QCOMPARE(dialog() ? chosen(dialog(), module) : u"no dialog"_s, rest); }},
        {u"->"_s, [this] { QCOMPARE(line(), rest); }},
        {u"says"_s, [this] { QVERIFY(watcher.messages.value(++said).informativeText.contains(rest)); }}};
};

} // namespace

class TestStartupAndPortDialog : public QObject
{
    Q_OBJECT
    PrivateSettingsStore m_settings;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_settings.isInUse()); }
    void init() { QDir().rmdir(settingsPath()) || QFile::remove(settingsPath()); }

    void shouldStartFromWhateverTheSettingsFileHolds_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("outcome");
        const QString firstStart = u"dialog 0 at 192"_s;
        const QByteArray s = "[Ports]\nCOM2=%pty%\nCOM3=%pty%\nCOM5=/nonexistent\nCOM15=%pty%\n[StartUP]\n";
        QTest::newRow("COM3 at 9600") << s + "ComPort=3\nBaudRate=96" << u"COM3 at 96"_s;
        QTest::newRow("COM15, no speed") << s + "ComPort=15" << u"COM15 at 192"_s;
        QTest::newRow("halves to even") << s + "ComPort=2.5\nBaudRate=192" << u"COM2 at 192"_s;
        QTest::newRow("comma, other speed") << s + "ComPort=3, 4\nBaudRate=97" << u"COM3 at 192"_s;
        // A stored 96 that the dialog replaces by 192 proves the speed was never read.
        QTest::newRow("first start") << QByteArray("") << firstStart;
        QTest::newRow("no number") << s + "ComPort=COM3\nBaudRate=96" << firstStart;
        QTest::newRow("above 15") << s + "ComPort=16\nBaudRate=96" << u"dialog 16 at 192"_s;
        QTest::newRow("negative") << s + "ComPort=-3\nBaudRate=96" << firstStart;
        QTest::newRow("beyond 16 bits") << s + "ComPort=99999\nBaudRate=96" << firstStart;
        QTest::newRow("speed beyond a byte") << s + "ComPort=4\nBaudRate=300" << u"dialog 4 at 192"_s;
        QTest::newRow("port that does not open") << s + "ComPort=5\nBaudRate=96" << u"dialog 5 at 96"_s;
        QTest::newRow("binary") << QByteArray(99, '\0') + "\xff[StartUP]\nComPort=\x80\x01=\n[" << firstStart;
        QTest::newRow("not text") << s + "ComPort=@ByteArray(3)" << firstStart;
        QTest::newRow("unreadable") << QByteArray() << firstStart; // a folder where the file belongs
    }
    void shouldStartFromWhateverTheSettingsFileHolds()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, outcome);
        PtyPair pty;
        content.replace("%pty%", pty.devicePath().toLocal8Bit());
        QFile file(settingsPath());
        QVERIFY(QDir().mkpath(content.isNull() ? file.fileName() : QFileInfo(file).path()));
        QVERIFY(content.isNull() ||
                (file.open(QIODevice::WriteOnly) && file.write(content) == content.size()));
        file.close();
        ModalWatcher watcher; // sees a modal dialog and closes it by its close box
        Module1 module;
        Form1 form(module); // on the real serial line
        form.Form_Load();
        CommPort &line = form.commPort();
        const bool opened = line.portOpen();
        const QString port = opened ? u"COM%1"_s.arg(line.commPort()) : u"dialog %1"_s.arg(module.PortNumber);
        QCOMPARE(u"%1 at %2"_s.arg(port).arg(module.BaudCode), outcome);
        QCOMPARE(watcher.dialogCount, opened ? 0 : 1);
        // The rest of the start-up runs only once the port is open.
        const auto *t2 = form.findChild<QTimer *>(u"Timer2"_s), *t4 = form.findChild<QTimer *>(u"Timer4"_s);
        QCOMPARE(QList({t2->interval(), t4->interval(), int(t2->isActive() || t4->isActive()),
                        int(form.testAttribute(Qt::WA_Moved))}),
                 (opened ? QList{1000, 1200, 0, 1} : QList{5000, 5500, 0, 0}));
        if (opened) {
            termios device{};
            QVERIFY(tcgetattr(pty.masterFd(), &device) == 0);
            QCOMPARE(cfgetospeed(&device), module.BaudCode == 96 ? speed_t(B9600) : speed_t(B19200));
            const QRect screen = form.screen()->geometry();
            QCOMPARE(form.pos(), QPoint(screen.x() + (screen.width() - form.frameGeometry().width()) / 2,
                                        screen.y() + (screen.height() - 385) / 2 - 90)); // 5780, 1350 twips
        }
        // Start-up never writes the file.
        QVERIFY(content.isNull() || (file.open(QIODevice::ReadOnly) && file.readAll() == content));
        form.close();
        QVERIFY(!line.portOpen());
    }

    // Steps before "loaded" answer the dialog of a first start; "says" names every message.
    void shouldFollowTheOperatorsSteps_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("first start, until a port opens")
            << u"focus; 9600; OK; says No port; Cancel; says no earlier; COM3; Cancel; says no earlier; == "
               u"0|3 96|9600 COM3; type 12; fail 12; OK; says COM12 → /dev/fake12\nNo such device.; "
               u"COM2; OK; loaded; -> COM2 9600 | 2 96; window shown"_s;
        QTest::newRow("permission and busy") << u"start; type 7; deny 7 /etc/passwd; OK; says COM7 → "
                                                u"/etc/passwd\nPermission denied. /etc/passwd "
                                                u"belongs to the group root, which is not one to join; deny "
                                                u"7 /etc/shadow; OK; says group shadow: "
                                                u"join it (sudo usermod -aG shadow $USER); busy 7 /dev/y; "
                                                u"OK; says COM7 → /dev/y\nThe port is in "
                                                u"use by another program."_s;
        // A typed 1 wins over COM4, the 6 after it is refused, and so on.
        QTest::newRow("typing")
            << u"start; COM4; type 16; == 0|1 192|19200 COM4; type x; == 0x|1 192|19200 COM4; paste 256; == "
               u"256|1 192|19200 COM4; paste 15; == 15|15 192|19200 COM4; COM2; 9600; == 15|2 96|9600 COM2"_s;
        // Port 7 was typed earlier: no option shows it.
        QTest::newRow("COM, then Cancel after a failed OK, then OK without a choice")
            << u"fail 4; port 7 96; open; COM; == 0|7 96|9600; -> closed 9600; COM4; 19200; OK; says COM4; "
               u"-> closed 19200; Cancel; -> COM7 9600; == no dialog; COM; OK; -> COM7 9600 | 7 96"_s;
        QTest::newRow("COM only raises an open dialog; its close box leaves the port closed")
            << u"port 3 96; COM; COM5; type x; COM; == x|5 96|9600 COM5; close; == no dialog; -> closed "
               u"9600; COM; == 0|5 96|9600 COM5; Cancel; -> COM5 9600"_s;
        // The port stays open, and OK works again once the file can be written.
        QTest::newRow("failed save")
            << u"port 3 192; COM; COM4; lock; OK; says not saved; -> COM4 19200; == 0|4 192|19200 COM4; "
               u"unlock; OK; -> COM4 19200 | 4 192; == no dialog"_s;
        QTest::newRow("Ctrl+H alone toggles the height") // of 5780 and 8100 twips
            << u"show; keys H, Shift+H, Ctrl+Shift+H; height 385; keys Alt+H, Ctrl+Alt+H, Ctrl+G; height "
               u"385; keys Ctrl+H; height 540; keys Ctrl+H; height 385"_s;
        QTest::newRow("END ends everything")
            << u"port 3 192; COM; show; open; soon END; exec; window hidden; == no dialog; -> closed 19200"_s;
        // Once the main window has closed, OK and Cancel open no port.
        QTest::newRow("the program ends with its last window")
            << u"port 3 192; COM; show; soon close main; later Cancel; exec; == no dialog; -> closed 19200"_s;
        QTest::newRow("OK, main closed") << u"port 3 96; COM; close main; OK; == no dialog; -> closed 9600"_s;
    }
    void shouldFollowTheOperatorsSteps()
    {
        QFETCH(QString, steps);
        Rig r;
        QTimer::singleShot(20000, &r.form, [] { qApp->exit(1); }); // for a program that does not end
        QStringList parts = steps.split(u"; loaded; "_s);
        r.watcher.onDialog = [&](QDialog *) { r.run(parts.takeFirst()); };
        if (parts.size() > 1)
            r.form.Form_Load();
        r.run(parts.last());
        QCOMPARE(r.watcher.messages.size(), steps.count(u"says"_s));
        for (const ModalWatcher::Message &m : r.watcher.messages)
            QVERIFY(m.title == u"Error"_s && m.text == u"Retry Comport"_s && m.icon == QMessageBox::Warning &&
                    m.buttons == QMessageBox::Ok);
    }

    // An adapter plugged in shows under its link, links to anything but a
    // terminal do not; the link folder goes with the last adapter.
    void shouldNoticeAdaptersComingAndGoing()
    {
        PtyPair adapter;
        QTemporaryDir dev;
        const QString byId = dev.filePath(u"serial/by-id"_s);
        QVERIFY(QDir().mkpath(byId));
        DeviceWatcher watcher({{}, byId, dev.filePath(u"serial/by-path"_s), dev.path()});
        QVERIFY(QFile::link(dev.filePath(u"none"_s), byId + u"/gone"_s) &&
                QFile::link(dev.path(), byId + u"/folder"_s) &&
                QFile::link(adapter.slavePath(), byId + u"/usb-Café Beamer"_s));
        const FoundDevice adapterFound{adapter.slavePath(), byId + u"/usb-Café Beamer"_s, {}, {}, {}, {}};
        QTRY_COMPARE_WITH_TIMEOUT(watcher.devices(), QList<FoundDevice>{adapterFound}, 10000);
        QVERIFY(QDir(byId).removeRecursively());
        QTRY_VERIFY_WITH_TIMEOUT(watcher.devices().isEmpty(), 10000);
    }

    // Steps "N=text" map port N, "N" gives it back its default; "refused"
    // lists the numbers not mapped. The store is read back after OK.
    void shouldWriteOnlyWhatTheWindowChanged_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("stored");
        QTest::newRow("nothing changed")
            << u"1=/dev/x; 1=/dev/ttyUSB0; 6"_s
            << u"COM1=/dev/ttyUSB0 COM2=tcp://beamer:4001 COM4=a, b COM5=telnet://old ComPort=2 (file as it was)"_s;
        QTest::newRow("mapped, defaults, malformed and long entries")
            << u"3= /dev/serial/by-id/usb-Café Beamer ; 2; 4; 7=tcp://projector; 8=/dev/LONG; 9=tcp://LONG"_s
            << u"COM1=/dev/ttyUSB0 COM3=/dev/serial/by-id/usb-Café Beamer COM5=telnet://old COM8=/dev/LONG "
               u"ComPort=2 refused 7 9"_s;
        QTest::newRow("all fifteen")
            << u"1=/a; 2=/a; 3=/a; 4=/a; 5=/a; 6=/a; 7=/a; 8=/a; 9=/a; 10=/a; 11=/a; 12=/a; 13=/a; 14=/a; 15=/a"_s
            << u"COM10=/a COM11=/a COM12=/a COM13=/a COM14=/a COM15=/a COM1=/a COM2=/a COM3=/a COM4=/a COM5=/a COM6=/a COM7=/a COM8=/a COM9=/a ComPort=2"_s;
    }
    void shouldWriteOnlyWhatTheWindowChanged()
    {
        QFETCH(QString, steps);
        const QString longName(10000, u'x');
        const QByteArray file = "; by hand\n[Ports]\nCOM1=/dev/ttyUSB0\nCOM2=tcp://beamer:4001\nCOM4=a, b\n"
                                "COM5=telnet://old\n[StartUP]\nComPort=2\n";
        QFile store(settingsPath());
        QVERIFY(QDir().mkpath(QFileInfo(store).path()) && store.open(QIODevice::WriteOnly) &&
                store.write(file));
        store.close();
        PortMappingModel model{QSettings(u"VORN"_s, u"VORN"_s)};
        QCOMPARE(storedPortDevice(4), u"a,b"_s); // an unquoted comma is no list of devices
        QStringList stored, refused;
        for (const QString &step : steps.replace(u"LONG"_s, longName).split(u"; "_s)) {
            const int row = step.section(u'=', 0, 0).toInt() - 1;
            const QString text = step.section(u'=', 1);
            const auto why =
                step.contains(u'=') ? model.map(row, text) : (model.setDefault(row), std::nullopt);
            if (why.value_or(QString()).startsWith(u"COM%1 → %2\n"_s.arg(row + 1).arg(text)))
                refused << QString::number(row + 1);
        }
        QString reason;
        QVERIFY(!model.hasChanges() ||
                PortSettingsStore::update([&](QSettings &s) { model.writeChanges(s); }, &reason));
        const QSettings written(u"VORN"_s, u"VORN"_s);
        for (const QString &key : written.allKeys())
            stored << key.section(u'/', 1) + u'=' + written.value(key).toStringList().join(u", "_s);
        stored.sort();
        QVERIFY(store.open(QIODevice::ReadOnly));
        stored << (store.readAll() == file ? u"(file as it was)"_s : QString());
        stored << (refused.isEmpty() ? QString() : u"refused "_s + refused.join(u' '));
        QTEST(stored.join(u' ').replace(longName, u"LONG"_s).simplified(), "stored");
    }
};

QTEST_MAIN(TestStartupAndPortDialog)
#include "tst_startup_and_port_dialog.moc"
