// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_panel.h"
#include "fakes/modal_watcher.h"
#include "fakes/private_settings_store.h"
#include "panel/panel_builder.h"
#include "port_settings/form2.h"

#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString settingsPath()
{
    return QSettings(u"VORN"_s, u"VORN"_s).fileName();
}

QVariant stored(const QString &key)
{
    return QSettings(u"VORN"_s, u"VORN"_s).value(u"StartUP/"_s + key);
}

// A directory where the settings file belongs: even root cannot write it.
void breakSettingsStore()
{
    QFile::remove(settingsPath());
    QVERIFY(QDir().mkpath(settingsPath()));
}

void repairSettingsStore()
{
    if (QFileInfo(settingsPath()).isDir())
        QDir(settingsPath()).removeRecursively();
}

QRadioButton *option(Form2 *dialog, int number)
{
    return dialog->findChild<QRadioButton *>(u"Option%1"_s.arg(number));
}

int checkedPortOption(Form2 *dialog)
{
    for (int number = 3; number <= 7; ++number) {
        if (option(dialog, number)->isChecked())
            return number;
    }
    return 0;
}

bool isGone(QPointer<Form2> &dialog)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return dialog.isNull();
}

// The main window on a closed fake line, the two ways the dialog opens, and
// a watcher answering the messages.
struct DialogRig : FakePanel {
    DialogRig() : FakePanel(Line::Closed) {}

    // As start-up opens it, but without the nested event loop.
    Form2 *openAtStart()
    {
        auto *dialog = new Form2(module, form);
        dialog->show();
        return dialog;
    }

    // "COM" with the port open at this number and speed.
    Form2 *openFromCom(qint16 number, quint8 baudCode)
    {
        module.PortNumber = number;
        module.BaudCode = baudCode;
        port->setSettings(baudCode == 96 ? u"9600,N,8,1"_s : u"19200,N,8,1"_s);
        port->setCommPort(number);
        if (!port->setPortOpen(true))
            return nullptr;
        port->opens = 0;
        form.show();
        form.Command33_Click();
        return form.portDialog();
    }

    void verifyRetryMessages(int count)
    {
        QCOMPARE(watcher.messages.size(), count);
        for (const ModalWatcher::Message &message : std::as_const(watcher.messages)) {
            QCOMPARE(message.title, u"Error"_s);
            QCOMPARE(message.text, u"Retry Comport"_s);
            QCOMPARE(message.icon, QMessageBox::Warning);
            QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QVERIFY(!message.informativeText.isEmpty());
        }
    }

    ModalWatcher watcher;
};

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(m_settings.isInUse()); }
    void init()
    {
        repairSettingsStore();
        QSettings store(u"VORN"_s, u"VORN"_s);
        store.clear();
        store.sync();
    }
    void cleanup() { repairSettingsStore(); }

    void shouldHaveTheDesignLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twips");
        const auto add = [](const QString &name, const QString &parent, const QString &caption,
                            const QRect &twips) {
            QTest::newRow(qPrintable(name)) << name << parent << caption << twips;
        };
        add(u"Frame1"_s, u"Form2"_s, u"Baud Rate"_s, QRect(360, 240, 2415, 615));
        add(u"Option1"_s, u"Frame1"_s, u"9600"_s, QRect(120, 180, 1575, 375));
        add(u"Option2"_s, u"Frame1"_s, u"19200"_s, QRect(1320, 240, 975, 255));
        add(u"Frame2"_s, u"Form2"_s, u"Com Port"_s, QRect(360, 1200, 1455, 2535));
        add(u"Option3"_s, u"Frame2"_s, u"COM1"_s, QRect(180, 180, 1155, 315));
        add(u"Option4"_s, u"Frame2"_s, u"COM2"_s, QRect(180, 540, 1095, 255));
        add(u"Option5"_s, u"Frame2"_s, u"COM3"_s, QRect(180, 900, 975, 255));
        add(u"Option6"_s, u"Frame2"_s, u"COM4"_s, QRect(180, 1260, 1215, 255));
        add(u"Option7"_s, u"Frame2"_s, u"COM5"_s, QRect(180, 1620, 1335, 255));
        add(u"Text1"_s, u"Frame2"_s, u"0"_s, QRect(180, 2040, 375, 270));
        add(u"Label1"_s, u"Frame2"_s, u"OTHER"_s, QRect(600, 2100, 615, 255));
        add(u"Command1"_s, u"Form2"_s, u"OK"_s, QRect(2040, 1320, 735, 615));
        add(u"Command2"_s, u"Form2"_s, u"Cancel"_s, QRect(2040, 2160, 735, 615));
    }
    void shouldHaveTheDesignLayout()
    {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QString, caption);
        QFETCH(QRect, twips);
        DialogRig r;
        auto *widget = r.openAtStart()->findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget()->objectName(), parent);
        const QVariant title = widget->property("title");
        QCOMPARE(title.isValid() ? title.toString() : widget->property("text").toString(), caption);
        QCOMPARE(widget->geometry(), fromTwips(twips));
        QVERIFY(widget->isVisible());
    }

    void shouldBeAFixedDialogThatNeitherEnterNorEscAnswers()
    {
        DialogRig r;
        Form2 *dialog = r.openAtStart();
        QCOMPARE(dialog->windowTitle(), u"  COM PORT"_s);
        QCOMPARE(dialog->parentWidget(), &r.form);
        QCOMPARE(dialog->size(), QSize(207, 267));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QVERIFY(!(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(dialog->windowFlags() & Qt::WindowCloseButtonHint);

        QStringList tabOrder;
        QWidget *widget = dialog->Text1;
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                tabOrder << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != dialog->Text1);
        QCOMPARE(tabOrder,
                 QStringList({u"Text1"_s, u"Option1"_s, u"Option2"_s, u"Option3"_s, u"Option4"_s,
                              u"Option5"_s, u"Option6"_s, u"Option7"_s, u"Command1"_s, u"Command2"_s}));

        QVERIFY(!dialog->Command1->isDefault() && !dialog->Command1->autoDefault());
        QVERIFY(!dialog->Command2->isDefault() && !dialog->Command2->autoDefault());
        QTest::keyClick(dialog->Text1, Qt::Key_Return);
        QTest::keyClick(dialog->Text1, Qt::Key_Escape);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QVERIFY(r.watcher.messages.isEmpty());
    }

    void shouldShowEachPortOptionsDevice()
    {
        QSettings(u"VORN"_s, u"VORN"_s).setValue(u"Ports/COM2"_s, u"/dev/ttyUSB0"_s);
        DialogRig r;
        Form2 *dialog = r.openAtStart();
        QCOMPARE(option(dialog, 3)->toolTip(), u"COM1 → /dev/ttyS0"_s);
        QCOMPARE(option(dialog, 4)->toolTip(), u"COM2 → /dev/ttyUSB0"_s);
        QCOMPARE(option(dialog, 7)->toolTip(), u"COM5 → /dev/ttyS4"_s);
    }

    void shouldStartTheFirstTimeWithNothingChosen()
    {
        DialogRig r;
        QPointer<Form2> dialog = new Form2(r.module, r.form);
        QCOMPARE(dialog->Text1->selectedText(), u"0"_s); // selected by the load, not by the focus
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QCOMPARE(checkedPortOption(dialog), 0);
        QVERIFY(option(dialog, 2)->isChecked());
        QCOMPARE(r.module.BaudCode, quint8(192));
        QCOMPARE(r.port->settings(), u"19200,N,8,1"_s);
        QCOMPARE(dialog->Text1->text(), u"0"_s);
        QCOMPARE(dialog->Text1->selectedText(), u"0"_s);
        QCOMPARE(QApplication::focusWidget(), dialog->Text1);

        r.port->setSettings(u"9600,N,8,1"_s);
        dialog->Command1->click();
        QCOMPARE(r.port->settings(), u"19200,N,8,1"_s); // OK applies the speed before it gives up
        dialog->Command2->click();
        r.verifyRetryMessages(2);
        QVERIFY(dialog->isVisible());
        QCOMPARE(r.port->opens, 0);
        QCOMPARE(r.module.PortNumber, qint16(0));
        QVERIFY(!stored(u"ComPort"_s).isValid());

        // Cancel with nothing to go back to keeps the port the dialog shows chosen.
        option(dialog, 5)->click();
        dialog->Command2->click();
        r.verifyRetryMessages(3);
        QVERIFY(dialog->isVisible());
        QCOMPARE(r.module.PortNumber, qint16(3));
        QCOMPARE(r.port->opens, 0);
        dialog->Command1->click();
        QCOMPARE(r.watcher.messages.size(), 3);
        QCOMPARE(r.port->openedPort, qint16(3));
        QVERIFY(isGone(dialog));
    }

    void shouldTakeATypedPortNumber_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");

        // The dialog opens with port 4 in force and its "0" selected.
        QTest::newRow("one digit") << u"7"_s << u"7"_s << 7;
        QTest::newRow("two digits") << u"12"_s << u"12"_s << 12;
        QTest::newRow("above 15 resets the text, its first digit stays") << u"16"_s << u"0"_s << 1;
        QTest::newRow("zero is no change") << u"0"_s << u"0"_s << 4;
        QTest::newRow("letter") << u"x"_s << u"x"_s << 4;
        QTest::newRow("minus sign") << u"-"_s << u"-"_s << 4;
        QTest::newRow("deleted") << u"\b"_s << QString() << 4;
        QTest::newRow("trailing blank") << u"9 "_s << u"9 "_s << 9;
    }
    void shouldTakeATypedPortNumber()
    {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, port);
        DialogRig r;
        r.module.PortNumber = 4;
        Form2 *dialog = r.openAtStart();
        QTest::keyClicks(dialog->Text1, keys);
        QCOMPARE(dialog->Text1->text(), text);
        QCOMPARE(r.module.PortNumber, qint16(port));
        QCOMPARE(checkedPortOption(dialog), 6); // typing leaves the option alone
        QVERIFY(r.watcher.messages.isEmpty());
    }

    void shouldLetTheLastChoiceSetThePort()
    {
        DialogRig r;
        Form2 *dialog = r.openAtStart();
        option(dialog, 4)->click();
        QCOMPARE(r.module.PortNumber, qint16(2));
        QTest::keyClicks(dialog->Text1, u"9"_s);
        QCOMPARE(r.module.PortNumber, qint16(9));
        QCOMPARE(checkedPortOption(dialog), 4);

        option(dialog, 5)->click();
        QCOMPARE(r.module.PortNumber, qint16(3));
        QCOMPARE(dialog->Text1->text(), u"9"_s);

        option(dialog, 1)->click();
        QCOMPARE(r.module.BaudCode, quint8(96));
        QCOMPARE(r.module.PortNumber, qint16(3));
        QCOMPARE(r.port->settings(), u"19200,N,8,1"_s); // choices touch no port
    }

    void shouldOpenAndStoreOnlyOnASuccessfulOk_data()
    {
        QTest::addColumn<int>("speedOption");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("baudRate");
        QTest::newRow("typed 7 at 19200") << 2 << u"7"_s << u"19200,N,8,1"_s << u"192"_s;
        QTest::newRow("typed 12 at 9600") << 1 << u"12"_s << u"9600,N,8,1"_s << u"96"_s;
    }
    void shouldOpenAndStoreOnlyOnASuccessfulOk()
    {
        QFETCH(int, speedOption);
        QFETCH(QString, keys);
        QFETCH(QString, settings);
        QFETCH(QString, baudRate);
        DialogRig r;
        const auto port = qint16(keys.toInt());
        r.port->failPort(port);
        QPointer<Form2> dialog = r.openAtStart();
        option(dialog, speedOption)->click();
        QTest::keyClicks(dialog->Text1, keys);
        dialog->Command1->click();
        r.verifyRetryMessages(1);
        QVERIFY(r.watcher.messages[0].informativeText.contains(u"/dev/fake"_s + keys));
        QVERIFY(dialog->isVisible());
        QVERIFY(!r.port->portOpen());
        QVERIFY(!stored(u"ComPort"_s).isValid());
        QVERIFY(!stored(u"BaudRate"_s).isValid());

        r.port->unfailPort(port);
        dialog->Command1->click();
        QCOMPARE(r.watcher.messages.size(), 1);
        QCOMPARE(r.port->opens, 1);
        QCOMPARE(r.port->openedPort, port);
        QCOMPARE(r.port->openedSettings, settings);
        QCOMPARE(stored(u"ComPort"_s).toString(), keys);
        QCOMPARE(stored(u"BaudRate"_s).toString(), baudRate);
        QVERIFY(r.form.isVisible());
        QVERIFY(isGone(dialog));
    }

    void shouldTryTheCurrentPortOnOkWithoutANewChoice_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("fromCom");
        QTest::newRow("typed port in use, from COM") << 7 << true;
        QTest::newRow("stored port above 15, at start") << 16 << false;
    }
    void shouldTryTheCurrentPortOnOkWithoutANewChoice()
    {
        QFETCH(int, port);
        QFETCH(bool, fromCom);
        DialogRig r;
        r.module.PortNumber = qint16(port);
        Form2 *dialog = fromCom ? r.openFromCom(qint16(port), 192) : r.openAtStart();
        QCOMPARE(checkedPortOption(dialog), 0);
        QCOMPARE(dialog->Text1->text(), u"0"_s);
        dialog->Command1->click();
        QVERIFY(r.watcher.messages.isEmpty());
        QCOMPARE(r.port->openedPort, qint16(port));
        QCOMPARE(stored(u"ComPort"_s).toString(), QString::number(port));
    }

    void shouldExplainWhyThePortFailed_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("expected");

        using Kind = PortFailure::Kind;
        QTest::newRow("no such device")
            << int(Kind::NotFound) << u"/dev/ttyS6"_s << u"No such file or directory"_s
            << QStringList{u"COM7 → /dev/ttyS6"_s, u"No such device"_s, u"No such file or directory"_s};
        QTest::newRow("busy") << int(Kind::Busy) << u"/dev/ttyS6"_s << u"Device or resource busy"_s
                              << QStringList{u"/dev/ttyS6"_s, u"in use by another program"_s,
                                             u"Device or resource busy"_s};
        QTest::newRow("permission") << int(Kind::PermissionDenied) << u"/dev/ttyUSB0"_s
                                    << u"Permission denied"_s
                                    << QStringList{u"/dev/ttyUSB0"_s, u"Permission denied"_s, u"dialout"_s,
                                                   u"log out and in again"_s};
        QTest::newRow("unmapped") << int(Kind::NoDevice) << QString() << u"No device for port number 7"_s
                                  << QStringList{u"COM7\n"_s, u"No device for port number 7"_s};
    }
    void shouldExplainWhyThePortFailed()
    {
        QFETCH(int, kind);
        QFETCH(QString, device);
        QFETCH(QString, reason);
        QFETCH(QStringList, expected);
        DialogRig r;
        r.port->failPort(7, {PortFailure::Kind(kind), device, reason});
        r.module.PortNumber = 7;
        r.openAtStart()->Command1->click();
        r.verifyRetryMessages(1);
        for (const QString &part : std::as_const(expected))
            QVERIFY2(r.watcher.messages[0].informativeText.contains(part), qPrintable(part));
    }

    // "COM" then Cancel, after a failed OK too: the previous port reopens at
    // its speed and nothing is stored.
    void shouldReopenThePreviousPortOnCancel()
    {
        DialogRig r;
        r.port->failPort(4);
        QPointer<Form2> dialog = r.openFromCom(3, 96);
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        QVERIFY(!r.port->portOpen());
        QCOMPARE(r.module.SavedPortNumber, qint16(3));
        QCOMPARE(r.module.SavedBaudCode, quint8(96));
        QCOMPARE(checkedPortOption(dialog), 5);
        QVERIFY(option(dialog, 1)->isChecked());

        option(dialog, 6)->click();
        option(dialog, 2)->click();
        dialog->Command1->click();
        r.verifyRetryMessages(1);
        QVERIFY(dialog->isVisible());
        QVERIFY(!r.port->portOpen());
        QCOMPARE(r.module.PortNumber, qint16(4));

        dialog->Command2->click();
        QCOMPARE(r.watcher.messages.size(), 1);
        QVERIFY(r.port->portOpen());
        QCOMPARE(r.port->openedPort, qint16(3));
        QCOMPARE(r.port->openedSettings, u"9600,N,8,1"_s);
        QCOMPARE(r.module.PortNumber, qint16(3));
        QCOMPARE(r.module.BaudCode, quint8(96));
        QVERIFY(!stored(u"ComPort"_s).isValid());
        QVERIFY(isGone(dialog));
    }

    void shouldLeaveThePortClosedWhenClosedByItsCloseBox()
    {
        DialogRig r;
        QPointer<Form2> dialog = r.openFromCom(3, 192);
        option(dialog, 6)->click();
        QVERIFY(dialog->close());
        QVERIFY(isGone(dialog));
        QVERIFY(!r.port->portOpen());
        QCOMPARE(r.port->opens, 0);
        QVERIFY(!stored(u"ComPort"_s).isValid());
        QCOMPARE(r.module.PortNumber, qint16(4));

        r.form.Command33_Click();
        QCOMPARE(r.module.SavedPortNumber, qint16(4));
        QCOMPARE(checkedPortOption(r.form.portDialog()), 6); // a fresh load
        QVERIFY(r.watcher.messages.isEmpty());
    }

    void shouldOnlyRaiseAnOpenDialogOnCom()
    {
        DialogRig r;
        Form2 *dialog = r.openFromCom(3, 192);
        option(dialog, 7)->click();
        QTest::keyClicks(dialog->Text1, u"x"_s);
        r.form.Command33_Click();
        QCOMPARE(r.form.portDialog(), dialog);
        QCOMPARE(dialog->Text1->text(), u"x"_s); // not loaded again
        QCOMPARE(r.module.SavedPortNumber, qint16(5));

        dialog->Command2->click();
        QCOMPARE(r.port->openedPort, qint16(5));
    }

    void shouldReportAFailedSaveAndLetTheOperatorGoOn_data() { okOrCancel_data(); }
    void shouldReportAFailedSaveAndLetTheOperatorGoOn()
    {
        QFETCH(bool, cancel);
        DialogRig r;
        QPointer<Form2> dialog = r.openFromCom(3, 192);
        breakSettingsStore();
        option(dialog, 6)->click();
        dialog->Command1->click();
        r.verifyRetryMessages(1);
        QVERIFY(r.watcher.messages[0].informativeText.contains(u"not saved"_s));
        QVERIFY(r.watcher.messages[0].informativeText.contains(settingsPath()));
        QVERIFY(r.port->portOpen());
        QVERIFY(dialog->isVisible());

        dialog->Command1->click(); // still unwritable: the same report, not an "already open"
        r.verifyRetryMessages(2);
        QVERIFY(r.watcher.messages[1].informativeText.contains(u"not saved"_s));
        QCOMPARE(r.port->opens, 2);

        repairSettingsStore();
        (cancel ? dialog->Command2 : dialog->Command1)->click();
        QCOMPARE(r.watcher.messages.size(), 2);
        QVERIFY(r.port->portOpen());
        QCOMPARE(r.port->openedPort, qint16(cancel ? 3 : 4));
        QCOMPARE(stored(u"ComPort"_s), cancel ? QVariant() : QVariant(u"4"_s));
        QVERIFY(isGone(dialog));
    }

    void shouldDoNothingOnceTheMainWindowHasClosed_data() { okOrCancel_data(); }
    void shouldDoNothingOnceTheMainWindowHasClosed()
    {
        QFETCH(bool, cancel);
        DialogRig r;
        QPointer<Form2> dialog = r.openFromCom(3, 192);
        option(dialog, 6)->click();
        QVERIFY(r.form.close());
        QVERIFY(dialog->isVisible());
        (cancel ? dialog->Command2 : dialog->Command1)->click();
        QVERIFY(isGone(dialog));
        QCOMPARE(r.port->opens, 0);
        QVERIFY(!r.port->portOpen());
        QVERIFY(!r.form.isVisible());
        QVERIFY(!stored(u"ComPort"_s).isValid());
        QVERIFY(r.watcher.messages.isEmpty());
    }

private:
    static void okOrCancel_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("OK") << false;
        QTest::newRow("Cancel") << true;
    }

    PrivateSettingsStore m_settings;
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
