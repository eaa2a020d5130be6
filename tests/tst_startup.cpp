// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_panel.h"
#include "fakes/modal_watcher.h"
#include "fakes/private_settings_store.h"
#include "fakes/pty_pair.h"
#include "panel/panel_table.h"
#include "port_settings/form2.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void store(const QString &key, const QString &value)
{
    if (!value.isNull())
        QSettings(u"VORN"_s, u"VORN"_s).setValue(key, value);
}

QString stored(const QString &key)
{
    return QSettings(u"VORN"_s, u"VORN"_s).value(u"StartUP/"_s + key).toString();
}

int pixels(int twips)
{
    return qRound(twips / 15.0);
}

// The line settings of a terminal as the device itself holds them.
struct LineSettings {
    speed_t speed = 0;
    bool eightBits = false;
    bool parity = true;
    bool twoStopBits = true;
};

LineSettings lineSettings(int fd)
{
    termios tio{};
    tcgetattr(fd, &tio);
    return {cfgetospeed(&tio), (tio.c_cflag & CSIZE) == CS8, bool(tio.c_cflag & PARENB),
            bool(tio.c_cflag & CSTOPB)};
}

QString checkedOption(QDialog *dialog, int first, int last)
{
    for (int number = first; number <= last; ++number) {
        auto *option = dialog->findChild<QRadioButton *>(u"Option%1"_s.arg(number));
        if (option->isChecked())
            return option->text();
    }
    return {};
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(m_settings.isInUse()); }
    void init() { QSettings(u"VORN"_s, u"VORN"_s).clear(); }

    void shouldOpenTheStoredPortWithoutADialog_data()
    {
        QTest::addColumn<QString>("comPort");
        QTest::addColumn<QString>("baudRate");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("baudCode");
        QTest::newRow("COM3 at 9600") << u"3"_s << u"96"_s << 3 << 96;
        QTest::newRow("COM15, no speed stored") << u"15"_s << QString() << 15 << 192;
        QTest::newRow("19200") << u"1"_s << u"192"_s << 1 << 192;
        QTest::newRow("another speed code") << u"2"_s << u"97"_s << 2 << 192;
        QTest::newRow("rounded halves") << u"2.5"_s << u"95.5"_s << 2 << 96;
    }
    void shouldOpenTheStoredPortWithoutADialog()
    {
        QFETCH(QString, comPort);
        QFETCH(QString, baudRate);
        QFETCH(int, port);
        QFETCH(int, baudCode);

        PtyPair pty;
        QVERIFY(pty.isValid());
        // Held open from before the program takes the device exclusively.
        const int device = ::open(pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(device >= 0);
        store(u"Ports/COM%1"_s.arg(port), pty.devicePath());
        store(u"StartUP/ComPort"_s, comPort);
        store(u"StartUP/BaudRate"_s, baudRate);

        ModalWatcher watcher;
        Module1 module;
        Form1 form(module);
        form.Form_Load();
        QCOMPARE(watcher.dialogCount, 0);
        QVERIFY(!form.portDialog());
        QVERIFY(form.MSComm1->portOpen());
        QCOMPARE(form.MSComm1->commPort(), qint16(port));
        QCOMPARE(module.PortNumber, qint16(port));
        QCOMPARE(module.BaudCode, quint8(baudCode));
        const LineSettings line = lineSettings(device);
        ::close(device);
        QCOMPARE(line.speed, baudCode == 96 ? speed_t(B9600) : speed_t(B19200));
        QVERIFY(line.eightBits && !line.parity && !line.twoStopBits);

        QCOMPARE(form.Timer2->interval(), 1000);
        QCOMPARE(form.Timer4->interval(), 1200);
        QVERIFY(!form.Timer2->isActive() && !form.Timer4->isActive());
        QCOMPARE(form.height(), pixels(Form1::compactHeight));
        const QRect screen = form.screen()->geometry();
        QVERIFY(form.testAttribute(Qt::WA_Moved));
        QCOMPARE(form.pos(),
                 QPoint(screen.x() + (screen.width() - form.frameGeometry().width()) / 2,
                        screen.y() + (screen.height() - pixels(Form1::compactHeight)) / 2 - pixels(1350)));
        // Stored only by the dialog's OK.
        QCOMPARE(stored(u"ComPort"_s), comPort);
    }

    void shouldFallBackToTheDialogWithoutAMessage_data()
    {
        QTest::addColumn<QString>("comPort");
        QTest::addColumn<QString>("baudRate");
        QTest::addColumn<int>("port");          // PortNumber when the dialog comes up
        QTest::addColumn<QString>("portShown"); // the port option the dialog selects
        QTest::addColumn<QString>("speedShown");

        // A stored 9600 that the dialog does not show proves the speed was never read.
        QTest::newRow("first start") << QString() << QString() << 0 << QString() << u"19200"_s;
        QTest::newRow("zero") << u"0"_s << u"96"_s << 0 << QString() << u"19200"_s;
        QTest::newRow("no number") << u"COM3"_s << u"96"_s << 0 << QString() << u"19200"_s;
        QTest::newRow("above 15") << u"16"_s << u"96"_s << 16 << QString() << u"19200"_s;
        QTest::newRow("negative") << u"-3"_s << u"96"_s << 0 << QString() << u"19200"_s;
        QTest::newRow("beyond 16 bits") << u"99999"_s << u"96"_s << 0 << QString() << u"19200"_s;
        QTest::newRow("speed beyond a byte") << u"4"_s << u"300"_s << 4 << u"COM4"_s << u"19200"_s;
        QTest::newRow("port that does not open") << u"5"_s << u"96"_s << 5 << u"COM5"_s << u"9600"_s;
    }
    void shouldFallBackToTheDialogWithoutAMessage()
    {
        QFETCH(QString, comPort);
        QFETCH(QString, baudRate);
        QFETCH(int, port);
        QFETCH(QString, portShown);
        QFETCH(QString, speedShown);

        PtyPair pty;
        store(u"Ports/COM4"_s, pty.devicePath());
        store(u"Ports/COM5"_s, u"/nonexistent/tty"_s);
        store(u"StartUP/ComPort"_s, comPort);
        store(u"StartUP/BaudRate"_s, baudRate);

        ModalWatcher watcher;
        Module1 module;
        Form1 form(module);
        bool modal = false;
        int portNumber = -1;
        QString portOption, speedOption;
        watcher.onDialog = [&](QDialog *dialog) {
            modal = dialog == form.portDialog() && dialog->isModal();
            portNumber = module.PortNumber;
            portOption = checkedOption(dialog, 3, 7);
            speedOption = checkedOption(dialog, 1, 2);
            dialog->close();
        };
        form.Form_Load();

        QCOMPARE(watcher.dialogCount, 1);
        QVERIFY(modal);
        QVERIFY(watcher.messages.isEmpty());
        QCOMPARE(portNumber, port);
        QCOMPARE(portOption, portShown);
        QCOMPARE(speedOption, speedShown);
        QVERIFY(!form.portDialog());
        QVERIFY(!form.MSComm1->portOpen());
        // The rest of the start-up never ran.
        QCOMPARE(form.Timer2->interval(), 5000);
        QCOMPARE(form.Timer4->interval(), 5500);
        QVERIFY(!form.testAttribute(Qt::WA_Moved));
        QCOMPARE(form.height(), pixels(Form1::compactHeight)); // set before the frame is known
        QCOMPARE(stored(u"ComPort"_s), comPort);
    }

    // The start-up dialog stays through failed attempts until a port opens,
    // then the panel runs on that port.
    void shouldRunTheStartupDialogUntilAPortOpens()
    {
        PtyPair pty;
        store(u"Ports/COM7"_s, pty.devicePath());
        ModalWatcher watcher;
        Module1 module;
        Form1 form(module);
        watcher.onDialog = [&](QDialog *dialog) {
            auto *form2 = static_cast<Form2 *>(dialog);
            form2->Command1->click(); // no port chosen
            form2->Command2->click(); // nothing to go back to
            QTest::keyClicks(form2->Text1, u"7"_s);
            form2->Command1->click();
        };
        form.Form_Load();

        QCOMPARE(watcher.messages.size(), 2);
        QVERIFY(form.MSComm1->portOpen());
        QCOMPARE(form.MSComm1->settings(), u"19200,N,8,1"_s);
        QCOMPARE(stored(u"ComPort"_s), u"7"_s);
        QCOMPARE(stored(u"BaudRate"_s), u"192"_s);
        QVERIFY(form.isVisible());
        QCOMPARE(form.Timer2->interval(), 5000);
        QCOMPARE(form.Timer4->interval(), 5500);
        QVERIFY(!form.testAttribute(Qt::WA_Moved));

        form.Command_Click(17);
        QCOMPARE(pty.read(4), QByteArray("C00\r"));
    }

    void shouldToggleTheHeightWithCtrlHAlone_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("toggles");
        QTest::newRow("Ctrl+H") << int(Qt::Key_H) << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
        QTest::newRow("H") << int(Qt::Key_H) << Qt::KeyboardModifiers() << false;
        QTest::newRow("Shift+H") << int(Qt::Key_H) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
        QTest::newRow("Alt+H") << int(Qt::Key_H) << Qt::KeyboardModifiers(Qt::AltModifier) << false;
        QTest::newRow("Ctrl+Shift+H") << int(Qt::Key_H) << (Qt::ControlModifier | Qt::ShiftModifier) << false;
        QTest::newRow("Ctrl+Alt+H") << int(Qt::Key_H) << (Qt::ControlModifier | Qt::AltModifier) << false;
        QTest::newRow("Ctrl+G") << int(Qt::Key_G) << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
    }
    void shouldToggleTheHeightWithCtrlHAlone()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, toggles);
        FakePanel p;
        p.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.form));
        p.form.buttons->buttons().first()->setFocus(); // any control may hold the focus
        const int start = p.form.frameGeometry().height();
        QVERIFY(p.form.heightTwips() < 7000);

        QTest::keyClick(p.form.windowHandle(), Qt::Key(key), modifiers);
        QCOMPARE(p.form.frameGeometry().height(), toggles ? pixels(Form1::expandedHeight) : start);
        QTest::keyClick(p.form.windowHandle(), Qt::Key(key), modifiers);
        QCOMPARE(p.form.frameGeometry().height(), toggles ? pixels(Form1::compactHeight) : start);
    }

    // With the port open and with none; closing stores nothing.
    void shouldCloseThePortWithTheWindow()
    {
        PtyPair pty;
        for (const bool open : {false, true}) {
            if (open) {
                store(u"Ports/COM2"_s, pty.devicePath());
                store(u"StartUP/ComPort"_s, u"2"_s);
            }
            ModalWatcher watcher; // closes the dialog where no port opens
            Module1 module;
            Form1 form(module);
            form.Form_Load();
            QCOMPARE(form.MSComm1->portOpen(), open);
            form.show();
            QVERIFY(form.close());
            QVERIFY(!form.MSComm1->portOpen());
            QVERIFY(!form.isVisible());
            QVERIFY(watcher.messages.isEmpty());
            QVERIFY(!QSettings(u"VORN"_s, u"VORN"_s).contains(u"StartUP/BaudRate"_s));
        }
    }

    void shouldEndEverythingOnEnd()
    {
        FakePanel p;
        p.form.show();
        p.form.Command33_Click();
        QPointer<Form2> dialog = p.form.portDialog();
        QVERIFY(p.port->setPortOpen(true)); // as after the dialog's OK
        QTimer::singleShot(0, &p.form, &Form1::Command16_Click);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!p.form.isVisible());
        QVERIFY(dialog && !dialog->isVisible());
        QVERIFY(!p.port->portOpen());
    }

    void shouldEndWhenTheLastWindowCloses()
    {
        FakePanel p;
        p.form.show();
        p.form.Command33_Click();
        QPointer<Form2> dialog = p.form.portDialog();
        bool runningWithoutMainWindow = false;
        QTimer::singleShot(0, &p.form, &QWidget::close);
        QTimer::singleShot(100, dialog, [&] {
            runningWithoutMainWindow = dialog->isVisible();
            dialog->close();
        });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(runningWithoutMainWindow);
    }

private:
    PrivateSettingsStore m_settings;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
