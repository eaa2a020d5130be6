// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_comm_port.h"
#include "fakes/modal_watcher.h"
#include "fakes/private_settings_store.h"
#include "panel/form1.h"
#include "panel/panel_builder.h"
#include "port_settings/form2.h"

#include <QButtonGroup>
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

// Refuses every open with the failure a test sets.
class RefusingPort : public FakeCommPort
{
public:
    PortFailure failure;
    bool setPortOpen(bool open) override
    {
        if (!open)
            return FakeCommPort::setPortOpen(false);
        setFailure(failure);
        return false;
    }
};

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT
public:
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void shouldHaveTheDesignLayout_data();
    void shouldHaveTheDesignLayout();
    void shouldBeAFixedDialogThatNeitherEnterNorEscAnswers();
    void shouldShowEachPortOptionsDevice();
    void shouldStartTheFirstTimeWithNothingChosen();
    void shouldTakeATypedPortNumber_data();
    void shouldTakeATypedPortNumber();
    void shouldLetTheLastChoiceSetThePort();
    void shouldOpenAndStoreOnlyOnASuccessfulOk_data();
    void shouldOpenAndStoreOnlyOnASuccessfulOk();
    void shouldTryTheCurrentPortOnOkWithoutANewChoice_data();
    void shouldTryTheCurrentPortOnOkWithoutANewChoice();
    void shouldExplainWhyThePortFailed_data();
    void shouldExplainWhyThePortFailed();
    void shouldReopenThePreviousPortOnCancel();
    void shouldGoBackOnCancelAfterAFailedOk();
    void shouldKeepTheChoiceWhenCancelHasNothingToGoBackTo();
    void shouldLeaveThePortClosedWhenClosedByItsCloseBox();
    void shouldOnlyRaiseAnOpenDialogOnCom();
    void shouldReportAFailedSaveAndLetTheOperatorGoOn_data();
    void shouldReportAFailedSaveAndLetTheOperatorGoOn();
    void shouldDoNothingOnceTheMainWindowHasClosed_data();
    void shouldDoNothingOnceTheMainWindowHasClosed();

private:
    void makeForm(FakeCommPort *port);
    Form2 *openAtStart();
    Form2 *openFromComWithPortInUse(qint16 port, quint8 baudCode);
    static bool isGone(QPointer<Form2> &dialog);
    static QRadioButton *option(Form2 *dialog, int number);
    static int checkedPortOption(Form2 *dialog);
    void verifyRetryMessages(int count);

    PrivateSettingsStore m_settings;
    Module1 m_module;
    FakeCommPort *m_port = nullptr;
    Form1 *m_form = nullptr;
    ModalWatcher *m_watcher = nullptr;
};

void TestForm2::initTestCase()
{
    QVERIFY(m_settings.isInUse());
}

void TestForm2::init()
{
    repairSettingsStore();
    QSettings store(u"VORN"_s, u"VORN"_s);
    store.clear();
    store.sync();
    m_module = {};
    makeForm(new FakeCommPort);
    m_watcher = new ModalWatcher;
}

void TestForm2::cleanup()
{
    delete m_watcher;
    delete m_form;
    m_form = nullptr;
    repairSettingsStore();
}

void TestForm2::makeForm(FakeCommPort *port)
{
    delete m_form;
    m_port = port;
    m_form = new Form1(m_module, m_port);
}

// As start-up opens it, but without the nested event loop.
Form2 *TestForm2::openAtStart()
{
    auto *dialog = new Form2(m_module, *m_form);
    dialog->show();
    return dialog;
}

Form2 *TestForm2::openFromComWithPortInUse(qint16 port, quint8 baudCode)
{
    m_module.PortNumber = port;
    m_module.BaudCode = baudCode;
    m_port->setSettings(baudCode == 96 ? u"9600,N,8,1"_s : u"19200,N,8,1"_s);
    m_port->setCommPort(port);
    if (!m_port->setPortOpen(true))
        return nullptr;
    m_port->opens = 0;
    m_form->show();
    m_form->Command33_Click();
    return m_form->portDialog();
}

bool TestForm2::isGone(QPointer<Form2> &dialog)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return dialog.isNull();
}

QRadioButton *TestForm2::option(Form2 *dialog, int number)
{
    return dialog->findChild<QRadioButton *>(u"Option%1"_s.arg(number));
}

int TestForm2::checkedPortOption(Form2 *dialog)
{
    for (int number = 3; number <= 7; ++number) {
        if (option(dialog, number)->isChecked())
            return number;
    }
    return 0;
}

void TestForm2::verifyRetryMessages(int count)
{
    QCOMPARE(m_watcher->messages.size(), count);
    for (const ModalWatcher::Message &message : std::as_const(m_watcher->messages)) {
        QCOMPARE(message.title, u"Error"_s);
        QCOMPARE(message.text, u"Retry Comport"_s);
        QCOMPARE(message.icon, QMessageBox::Warning);
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(!message.informativeText.isEmpty());
    }
}

void TestForm2::shouldHaveTheDesignLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");

    QTest::newRow("Frame1") << u"Frame1"_s << u"Form2"_s << u"Baud Rate"_s << QRect(360, 240, 2415, 615);
    QTest::newRow("Option1") << u"Option1"_s << u"Frame1"_s << u"9600"_s << QRect(120, 180, 1575, 375);
    QTest::newRow("Option2") << u"Option2"_s << u"Frame1"_s << u"19200"_s << QRect(1320, 240, 975, 255);
    QTest::newRow("Frame2") << u"Frame2"_s << u"Form2"_s << u"Com Port"_s << QRect(360, 1200, 1455, 2535);
    QTest::newRow("Option3") << u"Option3"_s << u"Frame2"_s << u"COM1"_s << QRect(180, 180, 1155, 315);
    QTest::newRow("Option4") << u"Option4"_s << u"Frame2"_s << u"COM2"_s << QRect(180, 540, 1095, 255);
    QTest::newRow("Option5") << u"Option5"_s << u"Frame2"_s << u"COM3"_s << QRect(180, 900, 975, 255);
    QTest::newRow("Option6") << u"Option6"_s << u"Frame2"_s << u"COM4"_s << QRect(180, 1260, 1215, 255);
    QTest::newRow("Option7") << u"Option7"_s << u"Frame2"_s << u"COM5"_s << QRect(180, 1620, 1335, 255);
    QTest::newRow("Text1") << u"Text1"_s << u"Frame2"_s << u"0"_s << QRect(180, 2040, 375, 270);
    QTest::newRow("Label1") << u"Label1"_s << u"Frame2"_s << u"OTHER"_s << QRect(600, 2100, 615, 255);
    QTest::newRow("Command1") << u"Command1"_s << u"Form2"_s << u"OK"_s << QRect(2040, 1320, 735, 615);
    QTest::newRow("Command2") << u"Command2"_s << u"Form2"_s << u"Cancel"_s << QRect(2040, 2160, 735, 615);
}

void TestForm2::shouldHaveTheDesignLayout()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);

    Form2 *dialog = openAtStart();
    auto *widget = dialog->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    const QVariant title = widget->property("title");
    QCOMPARE(title.isValid() ? title.toString() : widget->property("text").toString(), caption);
    QCOMPARE(widget->geometry(), fromTwips(twips));
    QVERIFY(widget->isVisible());
}

void TestForm2::shouldBeAFixedDialogThatNeitherEnterNorEscAnswers()
{
    Form2 *dialog = openAtStart();
    QCOMPARE(dialog->windowTitle(), u"  COM PORT"_s);
    QCOMPARE(dialog->parentWidget(), m_form);
    QCOMPARE(dialog->size(), QSize(207, 267));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QVERIFY(!(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(dialog->windowFlags() & Qt::WindowCloseButtonHint);

    QList<QWidget *> tabOrder;
    QWidget *widget = dialog->Text1;
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            tabOrder << widget;
        widget = widget->nextInFocusChain();
    } while (widget != dialog->Text1);
    QStringList names;
    for (QWidget *w : std::as_const(tabOrder))
        names << w->objectName();
    QCOMPARE(names, QStringList({u"Text1"_s, u"Option1"_s, u"Option2"_s, u"Option3"_s, u"Option4"_s,
                                 u"Option5"_s, u"Option6"_s, u"Option7"_s, u"Command1"_s, u"Command2"_s}));

    QVERIFY(!dialog->Command1->isDefault() && !dialog->Command1->autoDefault());
    QVERIFY(!dialog->Command2->isDefault() && !dialog->Command2->autoDefault());
    QTest::keyClick(dialog->Text1, Qt::Key_Return);
    QTest::keyClick(dialog->Text1, Qt::Key_Escape);
    QTest::keyClick(dialog, Qt::Key_Escape);
    QVERIFY(dialog->isVisible());
    QVERIFY(m_watcher->messages.isEmpty());
}

void TestForm2::shouldShowEachPortOptionsDevice()
{
    QSettings(u"VORN"_s, u"VORN"_s).setValue(u"Ports/COM2"_s, u"/dev/ttyUSB0"_s);
    Form2 *dialog = openAtStart();
    QCOMPARE(option(dialog, 3)->toolTip(), u"COM1 → /dev/ttyS0"_s);
    QCOMPARE(option(dialog, 4)->toolTip(), u"COM2 → /dev/ttyUSB0"_s);
    QCOMPARE(option(dialog, 7)->toolTip(), u"COM5 → /dev/ttyS4"_s);
}

void TestForm2::shouldStartTheFirstTimeWithNothingChosen()
{
    auto *dialog = new Form2(m_module, *m_form);
    QCOMPARE(dialog->Text1->selectedText(), u"0"_s); // selected by the load, not by the focus
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QCOMPARE(checkedPortOption(dialog), 0);
    QVERIFY(option(dialog, 2)->isChecked());
    QCOMPARE(m_module.BaudCode, quint8(192));
    QCOMPARE(m_port->settings(), u"19200,N,8,1"_s);
    QCOMPARE(dialog->Text1->text(), u"0"_s);
    QCOMPARE(dialog->Text1->selectedText(), u"0"_s);
    QCOMPARE(QApplication::focusWidget(), dialog->Text1);

    m_port->setSettings(u"9600,N,8,1"_s);
    dialog->Command1->click();
    QCOMPARE(m_port->settings(), u"19200,N,8,1"_s); // OK applies the speed before it gives up
    dialog->Command2->click();
    verifyRetryMessages(2);
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_port->opens, 0);
    QCOMPARE(m_module.PortNumber, qint16(0));
    QVERIFY(!stored(u"ComPort"_s).isValid());
}

void TestForm2::shouldTakeATypedPortNumber_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");

    // The dialog opens with port 4 in force and its "0" selected.
    QTest::newRow("one digit") << u"7"_s << u"7"_s << 7;
    QTest::newRow("two digits") << u"12"_s << u"12"_s << 12;
    QTest::newRow("above 15 resets the text") << u"16"_s << u"0"_s << 1;
    QTest::newRow("20") << u"20"_s << u"0"_s << 2;
    QTest::newRow("zero is no change") << u"0"_s << u"0"_s << 4;
    QTest::newRow("letter") << u"x"_s << u"x"_s << 4;
    QTest::newRow("minus sign") << u"-"_s << u"-"_s << 4;
    QTest::newRow("deleted") << u"\b"_s << QString() << 4;
    QTest::newRow("trailing blank") << u"9 "_s << u"9 "_s << 9;
    QTest::newRow("rounded half") << u"3.5"_s << u"3.5"_s << 4;
}

void TestForm2::shouldTakeATypedPortNumber()
{
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, port);

    m_module.PortNumber = 4;
    Form2 *dialog = openAtStart();
    QTest::keyClicks(dialog->Text1, keys);
    QCOMPARE(dialog->Text1->text(), text);
    QCOMPARE(m_module.PortNumber, qint16(port));
    QCOMPARE(checkedPortOption(dialog), 6); // typing leaves the option alone
    QVERIFY(m_watcher->messages.isEmpty());
}

void TestForm2::shouldLetTheLastChoiceSetThePort()
{
    Form2 *dialog = openAtStart();
    option(dialog, 4)->click();
    QCOMPARE(m_module.PortNumber, qint16(2));
    QTest::keyClicks(dialog->Text1, u"9"_s);
    QCOMPARE(m_module.PortNumber, qint16(9));
    QCOMPARE(checkedPortOption(dialog), 4);

    option(dialog, 5)->click();
    QCOMPARE(m_module.PortNumber, qint16(3));
    QCOMPARE(dialog->Text1->text(), u"9"_s);

    option(dialog, 1)->click();
    QCOMPARE(m_module.BaudCode, quint8(96));
    QCOMPARE(m_module.PortNumber, qint16(3));
    QCOMPARE(m_port->settings(), u"19200,N,8,1"_s); // choices touch no port
}

void TestForm2::shouldOpenAndStoreOnlyOnASuccessfulOk_data()
{
    QTest::addColumn<int>("speedOption");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("baudRate");

    QTest::newRow("typed 7 at 19200") << 2 << u"7"_s << u"19200,N,8,1"_s << u"192"_s;
    QTest::newRow("typed 12 at 9600") << 1 << u"12"_s << u"9600,N,8,1"_s << u"96"_s;
}

void TestForm2::shouldOpenAndStoreOnlyOnASuccessfulOk()
{
    QFETCH(int, speedOption);
    QFETCH(QString, keys);
    QFETCH(QString, settings);
    QFETCH(QString, baudRate);

    const auto port = qint16(keys.toInt());
    m_port->failPort(port);
    QPointer<Form2> dialog = openAtStart();
    option(dialog, speedOption)->click();
    QTest::keyClicks(dialog->Text1, keys);
    dialog->Command1->click();
    verifyRetryMessages(1);
    QVERIFY(m_watcher->messages[0].informativeText.contains(u"/dev/fake"_s + keys));
    QVERIFY(dialog->isVisible());
    QVERIFY(!m_port->portOpen());
    QVERIFY(!stored(u"ComPort"_s).isValid());
    QVERIFY(!stored(u"BaudRate"_s).isValid());

    m_port->unfailPort(port);
    dialog->Command1->click();
    QCOMPARE(m_watcher->messages.size(), 1);
    QCOMPARE(m_port->opens, 1);
    QCOMPARE(m_port->openedPort, port);
    QCOMPARE(m_port->openedSettings, settings);
    QCOMPARE(stored(u"ComPort"_s).toString(), keys);
    QCOMPARE(stored(u"BaudRate"_s).toString(), baudRate);
    QVERIFY(m_form->isVisible());
    QVERIFY(isGone(dialog));
}

void TestForm2::shouldTryTheCurrentPortOnOkWithoutANewChoice_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("fromCom");
    QTest::newRow("typed port in use, from COM") << 7 << true;
    QTest::newRow("stored port above 15, at start") << 16 << false;
}

void TestForm2::shouldTryTheCurrentPortOnOkWithoutANewChoice()
{
    QFETCH(int, port);
    QFETCH(bool, fromCom);

    m_module.PortNumber = qint16(port);
    Form2 *dialog = fromCom ? openFromComWithPortInUse(qint16(port), 192) : openAtStart();
    QCOMPARE(checkedPortOption(dialog), 0);
    QCOMPARE(dialog->Text1->text(), u"0"_s);
    dialog->Command1->click();
    QVERIFY(m_watcher->messages.isEmpty());
    QCOMPARE(m_port->openedPort, qint16(port));
    QCOMPARE(stored(u"ComPort"_s).toString(), QString::number(port));
}

void TestForm2::shouldExplainWhyThePortFailed_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QStringList>("expected");

    using Kind = PortFailure::Kind;
    QTest::newRow("no such device") << int(Kind::NotFound) << u"/dev/ttyS6"_s
                                    << u"No such file or directory"_s
                                    << QStringList{u"COM7 → /dev/ttyS6"_s, u"No such device"_s,
                                                   u"No such file or directory"_s};
    QTest::newRow("busy") << int(Kind::Busy) << u"/dev/ttyS6"_s << u"Device or resource busy"_s
                          << QStringList{u"/dev/ttyS6"_s, u"in use by another program"_s,
                                         u"Device or resource busy"_s};
    QTest::newRow("permission") << int(Kind::PermissionDenied) << u"/dev/ttyUSB0"_s << u"Permission denied"_s
                                << QStringList{u"/dev/ttyUSB0"_s, u"Permission denied"_s, u"dialout"_s,
                                               u"log out and in again"_s};
    QTest::newRow("unmapped") << int(Kind::NoDevice) << QString() << u"No device for port number 7"_s
                              << QStringList{u"COM7\n"_s, u"No device for port number 7"_s};
}

void TestForm2::shouldExplainWhyThePortFailed()
{
    QFETCH(int, kind);
    QFETCH(QString, device);
    QFETCH(QString, reason);
    QFETCH(QStringList, expected);

    auto *port = new RefusingPort;
    port->failure = {PortFailure::Kind(kind), device, reason};
    makeForm(port);
    m_module.PortNumber = 7;
    openAtStart()->Command1->click();
    verifyRetryMessages(1);
    for (const QString &part : std::as_const(expected))
        QVERIFY2(m_watcher->messages[0].informativeText.contains(part), qPrintable(part));
}

void TestForm2::shouldReopenThePreviousPortOnCancel()
{
    QPointer<Form2> dialog = openFromComWithPortInUse(3, 96);
    QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
    QVERIFY(!m_port->portOpen());
    QCOMPARE(m_module.SavedPortNumber, qint16(3));
    QCOMPARE(m_module.SavedBaudCode, quint8(96));
    QCOMPARE(checkedPortOption(dialog), 5);
    QVERIFY(option(dialog, 1)->isChecked());

    option(dialog, 6)->click();
    option(dialog, 2)->click();
    dialog->Command2->click();
    QVERIFY(m_watcher->messages.isEmpty());
    QCOMPARE(m_port->openedPort, qint16(3));
    QCOMPARE(m_port->openedSettings, u"9600,N,8,1"_s);
    QCOMPARE(m_module.PortNumber, qint16(3));
    QCOMPARE(m_module.BaudCode, quint8(96));
    QVERIFY(!stored(u"ComPort"_s).isValid());
    QVERIFY(isGone(dialog));
}

void TestForm2::shouldGoBackOnCancelAfterAFailedOk()
{
    m_port->failPort(4);
    QPointer<Form2> dialog = openFromComWithPortInUse(3, 192);
    option(dialog, 6)->click();
    dialog->Command1->click();
    verifyRetryMessages(1);
    QVERIFY(dialog->isVisible());
    QVERIFY(!m_port->portOpen());
    QCOMPARE(m_module.PortNumber, qint16(4));

    dialog->Command2->click();
    QCOMPARE(m_watcher->messages.size(), 1);
    QVERIFY(m_port->portOpen());
    QCOMPARE(m_port->openedPort, qint16(3));
    QVERIFY(!stored(u"ComPort"_s).isValid());
    QVERIFY(isGone(dialog));
}

void TestForm2::shouldKeepTheChoiceWhenCancelHasNothingToGoBackTo()
{
    QPointer<Form2> dialog = openAtStart();
    option(dialog, 5)->click();
    dialog->Command2->click();
    verifyRetryMessages(1);
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_module.PortNumber, qint16(3)); // what the dialog shows chosen
    QCOMPARE(m_port->opens, 0);

    dialog->Command1->click();
    QCOMPARE(m_watcher->messages.size(), 1);
    QCOMPARE(m_port->openedPort, qint16(3));
    QVERIFY(isGone(dialog));
}

void TestForm2::shouldLeaveThePortClosedWhenClosedByItsCloseBox()
{
    QPointer<Form2> dialog = openFromComWithPortInUse(3, 192);
    option(dialog, 6)->click();
    QVERIFY(dialog->close());
    QVERIFY(isGone(dialog));
    QVERIFY(!m_port->portOpen());
    QCOMPARE(m_port->opens, 0);
    QVERIFY(!stored(u"ComPort"_s).isValid());
    QCOMPARE(m_module.PortNumber, qint16(4));

    m_form->Command33_Click();
    QCOMPARE(m_module.SavedPortNumber, qint16(4));
    QCOMPARE(checkedPortOption(m_form->portDialog()), 6); // a fresh load
    QVERIFY(m_watcher->messages.isEmpty());
}

void TestForm2::shouldOnlyRaiseAnOpenDialogOnCom()
{
    Form2 *dialog = openFromComWithPortInUse(3, 192);
    option(dialog, 7)->click();
    QTest::keyClicks(dialog->Text1, u"x"_s);
    m_form->Command33_Click();
    QCOMPARE(m_form->portDialog(), dialog);
    QCOMPARE(dialog->Text1->text(), u"x"_s); // not loaded again
    QCOMPARE(m_module.SavedPortNumber, qint16(5));

    dialog->Command2->click();
    QCOMPARE(m_port->openedPort, qint16(5));
}

void TestForm2::shouldReportAFailedSaveAndLetTheOperatorGoOn_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("then OK") << false;
    QTest::newRow("then Cancel") << true;
}

void TestForm2::shouldReportAFailedSaveAndLetTheOperatorGoOn()
{
    QFETCH(bool, cancel);

    QPointer<Form2> dialog = openFromComWithPortInUse(3, 192);
    breakSettingsStore();
    option(dialog, 6)->click();
    dialog->Command1->click();
    verifyRetryMessages(1);
    QVERIFY(m_watcher->messages[0].informativeText.contains(u"not saved"_s));
    QVERIFY(m_watcher->messages[0].informativeText.contains(settingsPath()));
    QVERIFY(m_port->portOpen());
    QVERIFY(dialog->isVisible());

    dialog->Command1->click(); // still unwritable: the same report, not an "already open"
    verifyRetryMessages(2);
    QVERIFY(m_watcher->messages[1].informativeText.contains(u"not saved"_s));
    QCOMPARE(m_port->opens, 2);

    repairSettingsStore();
    if (cancel)
        dialog->Command2->click();
    else
        dialog->Command1->click();
    QCOMPARE(m_watcher->messages.size(), 2);
    QVERIFY(m_port->portOpen());
    QCOMPARE(m_port->openedPort, qint16(cancel ? 3 : 4));
    QCOMPARE(stored(u"ComPort"_s), cancel ? QVariant() : QVariant(u"4"_s));
    QVERIFY(isGone(dialog));
}

void TestForm2::shouldDoNothingOnceTheMainWindowHasClosed_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("OK") << false;
    QTest::newRow("Cancel") << true;
}

void TestForm2::shouldDoNothingOnceTheMainWindowHasClosed()
{
    QFETCH(bool, cancel);

    QPointer<Form2> dialog = openFromComWithPortInUse(3, 192);
    option(dialog, 6)->click();
    QVERIFY(m_form->close());
    QVERIFY(dialog->isVisible());
    (cancel ? dialog->Command2 : dialog->Command1)->click();
    QVERIFY(isGone(dialog));
    QCOMPARE(m_port->opens, 0);
    QVERIFY(!m_port->portOpen());
    QVERIFY(!m_form->isVisible());
    QVERIFY(!stored(u"ComPort"_s).isValid());
    QVERIFY(m_watcher->messages.isEmpty());
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
