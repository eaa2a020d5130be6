// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/catalog.h"
#include "console/form3.h"
#include "fakes/fake_panel.h"
#include "panel/panel_builder.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <span>

using namespace Qt::StringLiterals;

namespace {

// The main window shown as in use (the console takes its frame size from it)
// with the console open.
struct PanelWithConsole : FakePanel {
    PanelWithConsole()
    {
        form.show();
        reopen();
    }
    void reopen()
    {
        form.Command74_Click();
        console = form.console();
    }
    // As the operator does it: the item becomes current, then the choice is reported.
    void choose(int list, int entry)
    {
        console->findChild<QComboBox *>(u"Combo%1"_s.arg(list))->setCurrentIndex(entry - 1);
        console->Combo_Click(list);
    }
    // Whether the carriage-return and the parameter legends show.
    std::pair<bool, bool> legends() const
    {
        return {console->Label2->isVisibleTo(console), console->Label1->isVisibleTo(console)};
    }

    Form3 *console = nullptr;
};

using Legends = std::pair<bool, bool>;

} // namespace

class TestForm3 : public QObject
{
    Q_OBJECT
public:
    TestForm3() { QStandardPaths::setTestModeEnabled(true); }

private Q_SLOTS:
    void shouldLoadWithTheBasicListsFirstItem()
    {
        PanelWithConsole p;
        QVERIFY(p.console);
        QCOMPARE(p.console->windowTitle(), u"Command List"_s);
        QCOMPARE(p.console->frameGeometry().height(), qRound(Form3::outerHeight / 15.0));
        QCOMPARE(p.console->width(), qRound(Form3::clientWidth / 15.0));
        QVERIFY(p.console->Combo1->isVisibleTo(p.console));
        QVERIFY(!p.console->Combo2->isVisibleTo(p.console));
        QVERIFY(!p.console->Combo3->isVisibleTo(p.console));
        QCOMPARE(p.console->Combo1->currentIndex(), 0);
        QCOMPARE(p.console->Text1->text(), u"C00[CR]"_s);
        QCOMPARE(p.console->consoleCommand(), "C00\r"_ba);
        QCOMPARE(p.legends(), Legends(true, false));
        QVERIFY(p.port->written.isEmpty());

        // The opening steps on the main window: status line away, slow timing, timers untouched.
        QVERIFY(!p.form.Frame15->isVisibleTo(&p.form));
        QCOMPARE(p.form.Timer2->interval(), 5000);
        QCOMPARE(p.form.Timer4->interval(), 5500);
        QVERIFY(!p.form.Timer2->isActive());
        QVERIFY(!p.form.Timer4->isActive());
    }

    void shouldPlaceEveryControl_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<bool>("bold");
        const auto add = [](const QString &name, const QString &caption, const QRect &twips, bool bold) {
            QTest::newRow(qPrintable(name)) << name << caption << twips << bold;
        };
        add(u"Command1"_s, u"SEND"_s, QRect(9000, 680, 855, 375), true);
        add(u"Command2"_s, u"CLOSE"_s, QRect(9000, 1320, 855, 375), true);
        add(u"Command3"_s, u"Basic Command List"_s, QRect(120, 120, 2415, 375), true);
        add(u"Command4"_s, u"Expand Command List"_s, QRect(2760, 120, 2655, 375), true);
        add(u"Command5"_s, u"Expand Read Command List"_s, QRect(5760, 120, 3015, 375), true);
        add(u"Text1"_s, u"C00[CR]"_s, QRect(120, 720, 8655, 300), false);
        add(u"Label1"_s, u"% :Parameter (0-9)."_s, QRect(4560, 1200, 2895, 300), true);
        add(u"Label2"_s, u"[CR] :Carriage Return Code (0x0D)"_s, QRect(240, 1200, 3975, 300), true);
        add(u"Combo1"_s, QString(), QRect(120, 1560, 5055, 300), false);
        add(u"Combo2"_s, QString(), QRect(120, 1560, 8655, 300), false);
        add(u"Combo3"_s, QString(), QRect(120, 1560, 8655, 300), false);
    }
    void shouldPlaceEveryControl()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(bool, bold);
        PanelWithConsole p;
        auto *control = p.console->findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), fromTwips(twips));
        if (!qobject_cast<QComboBox *>(control))
            QTEST(control->property("text").toString(), "caption");
        QCOMPARE(control->font().bold(), bold);
        if (bold)
            QCOMPARE(control->font().pointSizeF(), 9.75);
        if (qobject_cast<QLabel *>(control))
            QCOMPARE(control->palette().color(QPalette::WindowText), QColor(Qt::red));
    }

    void shouldFollowTheTabOrder()
    {
        PanelWithConsole p;
        QStringList order;
        for (QWidget *w = p.console->nextInFocusChain(); w != p.console; w = w->nextInFocusChain()) {
            if (w->parentWidget() == p.console && (w->focusPolicy() & Qt::TabFocus))
                order << w->objectName();
        }
        QCOMPARE(order, QStringList({u"Combo1"_s, u"Command1"_s, u"Command2"_s, u"Command3"_s, u"Text1"_s,
                                     u"Command4"_s, u"Command5"_s, u"Combo2"_s, u"Combo3"_s}));
    }

    // The shown text may lay the tabs out, the item's data is the entry itself.
    void shouldHoldTheCatalogueInEachList()
    {
        PanelWithConsole p;
        const std::span<const std::string_view> entries[] = {kBasicCommands, kExpandCommands,
                                                             kExpandReadCommands};
        for (int list = 1; list <= 3; ++list) {
            const auto *combo = p.console->findChild<QComboBox *>(u"Combo%1"_s.arg(list));
            QCOMPARE(std::size_t(combo->count()), entries[list - 1].size());
            for (int i = 0; i < combo->count(); ++i) {
                const std::string_view e = entries[list - 1][std::size_t(i)];
                QCOMPARE(combo->itemData(i).toString(), QString::fromLatin1(e.data(), qsizetype(e.size())));
                QVERIFY(!combo->itemText(i).contains(u'\t'));
            }
        }
        QCOMPARE(p.console->Combo2->itemText(21), u"CF VOLUME 0%%[CR]       :% = 0-9"_s);
    }

    void shouldTakeTheChosenItem_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<bool>("parameter");

        // Every entry here ends in its marker: the text before it goes on the line.
        const auto add = [](const char *name, int list, int entry, const QString &text, bool parameter) {
            QTest::newRow(name) << list << entry << text << (text.chopped(4).toLatin1() + '\r') << parameter;
        };
        add("basic status read", 1, 56, u"CR0[CR]"_s, false);
        add("expand volume digits", 2, 22, u"CF VOLUME 0%%[CR]"_s, true);
        add("expand digits mid-command", 2, 237, u"CF LOGO %%%% DFLT[CR]"_s, true);
        add("expand %1 description", 2, 40, u"CF INPUT1 ANALOG[CR]"_s, true);
        add("expand trailing blanks", 2, 26, u"CF INPUT COMPUTER2[CR]"_s, false);
        add("read trailing space", 3, 8, u"CR TEMPFAIL[CR]"_s, false);
        add("read single space", 3, 83, u" [CR]"_s, false);
    }
    void shouldTakeTheChosenItem()
    {
        QFETCH(int, list);
        QFETCH(int, entry);
        QFETCH(QString, text);
        QFETCH(QByteArray, wire);
        QFETCH(bool, parameter);
        PanelWithConsole p;
        const QList<QPushButton *> listButtons = {p.console->Command3, p.console->Command4,
                                                  p.console->Command5};
        listButtons[list - 1]->click();
        QWidget *focusBefore = p.console->focusWidget();

        p.choose(list, entry);
        QCOMPARE(p.console->Text1->text(), text);
        QCOMPARE(p.console->consoleCommand(), wire);
        QCOMPARE(p.legends(), Legends(true, parameter));
        QCOMPARE(p.console->focusWidget(), parameter ? p.console->Text1 : focusBefore);

        p.console->Command1->click();
        QCOMPARE(p.port->written, wire);
    }

    void shouldTakeAnItemChosenByKeyboard()
    {
        PanelWithConsole p;
        p.console->Command4->click();
        QTest::keyClick(p.console->Combo2, Qt::Key_End);
        QCOMPARE(p.console->Text1->text(), u"CF FDEFAULT RST[CR]"_s);
        QCOMPARE(p.console->consoleCommand(), "CF FDEFAULT RST\r"_ba);

        // Choosing the current item again is a choice too.
        p.console->Command1->click();
        QCOMPARE(p.legends(), Legends(false, false));
        Q_EMIT p.console->Combo2->activated(p.console->Combo2->currentIndex());
        QCOMPARE(p.legends(), Legends(true, false));
    }

    void shouldSendOvertypedDigits()
    {
        PanelWithConsole p;
        p.console->Command4->click();
        p.choose(2, 22);
        p.console->Text1->setSelection(11, 2);
        QTest::keyClicks(p.console->Text1, u"15"_s);
        QCOMPARE(p.console->Text1->text(), u"CF VOLUME 015[CR]"_s);

        QTest::mouseClick(p.console->Command1, Qt::LeftButton);
        QCOMPARE(p.port->written, "CF VOLUME 015\r"_ba);
        QCOMPARE(p.form.Label11->text(), u" C F _ V O L U M E _ 0 1 5  [CR] "_s);
        QCOMPARE(p.legends(), Legends(false, false));
        QVERIFY(p.form.Timer2->isActive());
        QVERIFY(p.form.Timer4->isActive());
        QCOMPARE(p.form.Timer2->interval(), 5000);
        QCOMPARE(p.form.Timer4->interval(), 5500);
        QVERIFY(p.module.PendingCommand.isEmpty());

        // The transaction runs as for a panel command: no reply, the mark comes.
        p.form.Timer2_Timer();
        QCOMPARE(p.form.Label12->text(), u" X X X X"_s);
    }

    // The cut rule itself is tst_catalog's; here what the text box leaves to send.
    void shouldSendTheCommandPartOfAnyText_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("marker deleted") << u"C00[CR]\b\b\b\b"_s << "C00\r"_ba;
        QTest::newRow("starts with bracket") << u"[CR]C00"_s << "\r"_ba;
        QTest::newRow("empty") << QString() << "\r"_ba;
        QTest::newRow("placeholder left in") << u"CF LOGO 12%% OFF[CR]"_s << "CF LOGO 12%% OFF\r"_ba;
    }
    void shouldSendTheCommandPartOfAnyText()
    {
        QFETCH(QString, keys);
        QFETCH(QByteArray, wire);
        PanelWithConsole p;
        p.console->Text1->clear();
        QTest::keyClicks(p.console->Text1, keys);
        QCOMPARE(p.console->consoleCommand(), wire);
        QCOMPARE(p.legends(), Legends(true, false)); // editing leaves the legends as they were
        p.console->Command1->click();
        QCOMPARE(p.port->written, wire);
    }

    void shouldResetTheListOnItsButton()
    {
        PanelWithConsole p;
        p.choose(1, 5);
        p.console->Command5->click();
        p.choose(3, 10);
        QTest::keyClicks(p.console->Text1, u"edited"_s);

        p.console->Command5->click();
        QCOMPARE(p.console->Combo3->currentIndex(), 0);
        QCOMPARE(p.console->Text1->text(), u"CR STATUS[CR]"_s);
        QCOMPARE(p.console->consoleCommand(), "CR STATUS\r"_ba);

        p.console->Command3->click();
        QVERIFY(p.console->Combo1->isVisibleTo(p.console));
        QVERIFY(!p.console->Combo2->isVisibleTo(p.console));
        QVERIFY(!p.console->Combo3->isVisibleTo(p.console));
        QCOMPARE(p.console->Combo1->currentIndex(), 0);
        QCOMPARE(p.console->Text1->text(), u"C00[CR]"_s);
    }

    void shouldShowTheLegendsAfterEachEvent()
    {
        PanelWithConsole p;
        p.console->Command1->click();
        QCOMPARE(p.legends(), Legends(false, false));
        // The list button re-chooses the first item, already current: a fresh choice all the same.
        p.console->Command3->click();
        QCOMPARE(p.legends(), Legends(true, false));
        p.console->Command4->click();
        p.choose(2, 115);
        QCOMPARE(p.legends(), Legends(true, true));
        // The parameter legend stays through choices in the other lists, until the Expand list is reset.
        p.console->Command3->click();
        p.choose(1, 3);
        QCOMPARE(p.legends(), Legends(true, true));
        p.console->Command5->click();
        p.choose(3, 4);
        QCOMPARE(p.legends(), Legends(true, true));
        p.console->Command4->click();
        QCOMPARE(p.legends(), Legends(true, false));
        p.choose(2, 115);
        p.console->Command1->click();
        QCOMPARE(p.legends(), Legends(false, false));
        QTest::keyClicks(p.console->Text1, u"1"_s);
        QCOMPARE(p.legends(), Legends(false, false));
        p.console->Command5->click();
        QCOMPARE(p.legends(), Legends(true, false));
    }

    void shouldSendTheSameCommandTwice()
    {
        PanelWithConsole p;
        p.console->Command1->click();
        p.form.Timer2_Timer();
        p.console->Command1->click();
        QCOMPARE(p.port->written, "C00\rC00\r"_ba);
        QCOMPARE(p.console->Text1->text(), u"C00[CR]"_s);
        QCOMPARE(p.console->Combo1->currentIndex(), 0);
        QVERIFY(p.form.Timer2->isActive());
        QCOMPARE(p.form.replyPending(), quint8(1));
    }

    // By CLOSE or by the title bar: the main window comes back as it was, and
    // the next opening starts afresh.
    void shouldRestoreTheMainWindowOnClose_data()
    {
        QTest::addColumn<bool>("titleBar");
        QTest::newRow("CLOSE") << false;
        QTest::newRow("title bar") << true;
    }
    void shouldRestoreTheMainWindowOnClose()
    {
        QFETCH(bool, titleBar);
        PanelWithConsole p;
        p.console->Command5->click();
        p.choose(3, 20);
        p.form.Timer2->start();
        if (titleBar)
            p.console->windowHandle()->close();
        else
            QTest::mouseClick(p.console->Command2, Qt::LeftButton);
        QVERIFY(p.form.Frame15->isVisibleTo(&p.form));
        QCOMPARE(p.form.Timer2->interval(), 1000);
        QCOMPARE(p.form.Timer4->interval(), 1200);
        QVERIFY(p.form.Timer2->isActive());
        QVERIFY(!p.form.Timer4->isActive());
        QTRY_VERIFY(!p.form.console());

        p.reopen();
        QVERIFY(p.console);
        QVERIFY(!p.form.Frame15->isVisibleTo(&p.form));
        QVERIFY(p.console->Combo1->isVisibleTo(p.console));
        QVERIFY(!p.console->Combo3->isVisibleTo(p.console));
        QCOMPARE(p.console->Text1->text(), u"C00[CR]"_s);
        QCOMPARE(p.console->consoleCommand(), "C00\r"_ba);
    }

    // With the main window closed the program is on its way out: the console
    // going with it must not bring the main window back.
    void shouldLeaveAClosedMainWindowClosed()
    {
        PanelWithConsole p;
        p.form.close();
        QVERIFY(p.console->isVisible());
        p.console->windowHandle()->close();
        QVERIFY(!p.form.isVisible());
    }

    void shouldKeepOneConsole()
    {
        PanelWithConsole p;
        p.console->Command5->click();
        p.choose(3, 20);
        p.form.Timer2->setInterval(1000);
        p.form.Timer4->setInterval(1200);

        p.form.Command_Click(74);
        QCOMPARE(p.form.console(), p.console);
        QCOMPARE(p.form.findChildren<Form3 *>().size(), 1);
        QVERIFY(p.console->Combo3->isVisibleTo(p.console));
        QCOMPARE(p.console->Combo3->currentIndex(), 19);
        QCOMPARE(p.console->Text1->text(), u"CR SERSYS[CR]"_s);
        QVERIFY(!p.form.Frame15->isVisibleTo(&p.form));
        QCOMPARE(p.form.Timer2->interval(), 5000);
        QCOMPARE(p.form.Timer4->interval(), 5500);
    }

    // Console commands leave PendingCommand alone, so the reply is read as the
    // answer to the panel's last status read.
    void shouldDecodeAConsoleReplyByTheLastPanelCommand()
    {
        PanelWithConsole p;
        p.form.Command_Click(44);
        QCOMPARE(p.port->written, "CR0\r"_ba);
        p.form.Timer2_Timer();
        p.form.Timer4_Timer();

        p.console->Command1->click();
        QCOMPARE(p.port->written, "CR0\rC00\r"_ba);
        QCOMPARE(p.module.PendingCommand, "CR0\r"_ba);
        p.port->receive("00\r");
        QCOMPARE(p.form.Label12->text(), u" 0 0  [CR] "_s);
        QCOMPARE(p.form.Label25->text(), u" Power ON"_s);
        QVERIFY(!p.form.Label25->isVisibleTo(&p.form));
    }
};

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
