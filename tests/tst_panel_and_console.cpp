// SPDX-License-Identifier: GPL-3.0-or-later
// The panel as built from its table, and the command console it opens.
#include "fakes/fake_panel.h"
#include "panel/panel_table.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

using namespace Qt::StringLiterals;

// Those of the controls named (separated by spaces) that show on their window.
static QString shown(const QWidget *window, const QString &names)
{
    QStringList visible = names.split(u' ');
    visible.removeIf([window](const QString &name) { return !control(window, name)->isVisibleTo(window); });
    return visible.join(u' ');
}

// The main window shown as in use, with the console opened by COMMANDTABLE.
struct Console : FakePanel {
    Console() { form.show(), open(); }
    void open() { QTest::mouseClick(button(74), Qt::LeftButton); }
    QComboBox *list(int n) const { return control<QComboBox>(console(), u"Combo%1"_s.arg(n)); }
    QLineEdit *box() const { return control<QLineEdit>(console(), u"Text1"_s); }
    void click(int n) const { QTest::mouseClick(control(console(), u"Command%1"_s.arg(n)), Qt::LeftButton); }
    // Shows the list by its button, then the operator chooses an item of it.
    void pick(int n, int entry) const
    {
        click(n + 2);
        list(n)->setCurrentIndex(entry - 1);
        Q_EMIT list(n)->activated(entry - 1);
    }
    // The list shown, the [CR] legend Label2 and the parameter legend Label1 if shown; the text box.
    QString state() { return shown(console(), "Combo1 Combo2 Combo3 Label2 Label1") + " | " + box()->text(); }
    // The main window's status line Frame15 if shown, its no-reply and view-clearing intervals.
    auto main() { return std::tuple(shown(&form, "Frame15"), timer(2)->interval(), timer(4)->interval()); }
};

class TestPanelAndConsole : public QObject
{
    Q_OBJECT
    FakePanel p; // one panel for the panel's tests; END, which ends it, comes last

private Q_SLOTS:
    // Each button sends a code of its own (eleven read "ON" or "OFF") and a CR: a click button at a
    // click, the space bar or a program's click; a hold button on the press, at each tick, and once
    // for a tap of the space bar and for a program's click.
    void shouldSendEachButtonsOwnCode()
    {
        for (const PanelButton &row : kPanelButtons) {
            if (!row.code)
                continue;
            const QByteArray command = QByteArray(row.code) + '\r';
            p.port->written.clear();
            QTest::keyClick(p.button(row.number), Qt::Key_Space);
            p.button(row.number)->click();
            QTest::mousePress(p.button(row.number), Qt::LeftButton);
            if (row.action == Action::Hold)
                p.form.Timer1_Timer();
            QTest::mouseRelease(p.button(row.number), Qt::LeftButton);
            QCOMPARE(p.port->written, command.repeated(row.action == Action::Hold ? 4 : 3));
        }
    }

    // Every control inside its parent (the window's client area: 10380 by
    // 7620 twips) and clear of its siblings, hidden ones too.
    void shouldKeepEveryControlClearOfItsSiblings()
    {
        for (QWidget *parent : p.form.findChildren<QWidget *>() + QList<QWidget *>{&p.form}) {
            QList<QWidget *> siblings = parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
            // The lines are decoration around the cursor pad.
            siblings.removeIf([](auto *w) { return w->isWindow() || w->objectName().startsWith("Line"_L1); });
            for (qsizetype i = 0; i < siblings.size(); ++i) {
                const QRect place = siblings[i]->geometry();
                QVERIFY((parent == &p.form ? QRect(0, 0, 692, 508) : parent->rect()).contains(place));
                for (QWidget *other : siblings.sliced(i + 1))
                    QVERIFY2(!other->geometry().intersects(place), qPrintable(other->objectName()));
            }
        }
    }

    // An arrow points the way its name ends in: turned to point up, its black
    // pixels grow 1, 3, ... 17 line by line.
    void shouldPaintEachArrowsTriangle()
    {
        const QStringList ways{u"up"_s, u"left"_s, u"down"_s, u"right"_s}; // clockwise quarter turns to up
        for (const PanelButton &row : kPanelButtons) {
            const qsizetype turns = ways.indexOf(QString::fromLatin1(row.accessibleName).section(u' ', -1));
            if (turns < 0)
                continue;
            const QTransform turn = QTransform().rotate(90 * turns);
            const QImage image = p.button(row.number)->grab().toImage().transformed(turn);
            QList<int> stripes(image.height());
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    stripes[y] += image.pixel(x, y) == qRgb(0, 0, 0);
            stripes.removeAll(0);
            QCOMPARE(stripes, QList<int>({1, 3, 5, 7, 9, 11, 13, 15, 17}));
        }
    }

    // COMMANDTABLE and COM open their windows (COM closing the port), END ends them all.
    void shouldOpenTheConsoleAndTheDialogAndEnd()
    {
        p.form.show();
        for (int number : {74, 33})
            QTest::mouseClick(p.button(number), Qt::LeftButton);
        QVERIFY(p.console() && p.dialog() && !p.port->portOpen());
        QTest::mouseClick(p.button(16), Qt::LeftButton);
        QVERIFY(!p.form.isVisible() && !p.console() && !p.dialog());
    }

    // SEND and the list buttons through a session. SEND leaves PendingCommand
    // alone, so a reply reads as the answer to the panel's last command: here
    // a status read, decoded out of sight.
    void shouldRunAConsoleSession()
    {
        Console c;
        QTest::mouseClick(c.button(44), Qt::LeftButton);
        c.click(1);
        c.click(1);
        QCOMPARE(c.port->written, "CR0\rC00\rC00\r"_ba);
        QCOMPARE(c.state(), u"Combo1 | C00[CR]"_s);
        // The main window's space, [CR] and [ACK] legends: each follows its own token.
        QCOMPARE(shown(&c.form, u"Label27 Label28 Label29"_s), u"Label28 Label29"_s);
        c.port->receive("00\r");
        QCOMPARE(c.view(25), u" Power ON"_s);
        c.click(3); // the current first item again, as a fresh choice
        QCOMPARE(c.state(), u"Combo1 Label2 | C00[CR]"_s);
        c.pick(2, 115);
        c.pick(1, 3); // the parameter legend stays through choices in the other lists
        c.pick(3, 4);
        QTest::keyClicks(c.box(), u"7"_s);
        c.click(5); // the list and the text start afresh
        QCOMPARE(c.state(), u"Combo3 Label2 Label1 | CR STATUS[CR]"_s);
        c.click(4);
        c.click(1);
        Q_EMIT c.list(2)->activated(0); // the current item chosen again
        QCOMPARE(c.state(), u"Combo2 Label2 | CF KEYEMU RIGHT[CR]"_s);
    }

    // An item chosen (entry 0: none, the box emptied instead), then keys
    // typed: what shows, whether the focus went to the text box ("%" items,
    // "%1" group heads among them), and that SEND transmits the text before
    // its first "[" and a CR.
    void shouldSendTheCommandPartOfTheText()
    {
        const std::tuple<int, int, QString, QString> cases[] = {
            {1, 56, {}, u"Combo1 Label2 | CR0[CR]"_s},
            {2, 22, {}, u"Combo2 Label2 Label1 | CF VOLUME 0%%[CR]"_s},
            {2, 40, {}, u"Combo2 Label2 Label1 | CF INPUT1 ANALOG[CR]"_s},
            {2, 26, {}, u"Combo2 Label2 | CF INPUT COMPUTER2[CR]"_s},
            {3, 83, {}, u"Combo3 Label2 |  [CR]"_s},
            {2, 22, u"\b\b\b\b\b\b15"_s, u"Combo2 Label2 Label1 | CF VOLUME 015"_s}, // marker deleted too
            {1, 0, u"[CR]C00"_s, u"Combo1 Label2 | [CR]C00"_s},
            {1, 0, u"C00[CR]C01"_s, u"Combo1 Label2 | C00[CR]C01"_s},
            {1, 0, {}, u"Combo1 Label2 | "_s},
        };
        for (const auto &[list, entry, keys, state] : cases) {
            Console c;
            entry > 0 ? c.pick(list, entry) : c.box()->clear();
            QTest::keyClicks(c.box(), keys);
            QCOMPARE(c.state(), state);
            QCOMPARE(c.console()->focusWidget() == c.box(), state.contains("Label1"_L1));
            c.click(1);
            QCOMPARE(c.port->written, state.section(u" | "_s, 1).section(u'[', 0, 0).toLatin1() + '\r');
        }
    }

    // COMMANDTABLE hides the status line and slows the timing each time, but
    // keeps one console until CLOSE (0) or the title bar (1); the main window
    // then comes back and the next console starts afresh. With the main window
    // closed (2) the program is ending, and closing the console restores nothing.
    void shouldKeepOneConsoleUntilItCloses()
    {
        const auto opened = std::tuple(QString(), 5000, 5500);
        for (const int way : {0, 1, 2}) {
            Console c;
            c.pick(3, 20);
            c.form.setTransactionIntervals(1000, 1200);
            c.open();
            QCOMPARE(c.form.findChildren<Form3 *>(), QList<Form3 *>({c.console()}));
            QCOMPARE(c.state(), u"Combo3 Label2 | CR SERSYS[CR]"_s);
            QCOMPARE(c.main(), opened);
            way == 2 ? void(c.form.close()) : c.form.hide();
            way == 0 ? c.click(2) : void(c.console()->windowHandle()->close());
            QCOMPARE(c.form.isVisible(), way < 2);
            QCOMPARE(c.main(), way < 2 ? std::tuple(u"Frame15"_s, 1000, 1200) : opened);
            c.open();
            QCOMPARE(c.state(), u"Combo1 Label2 | C00[CR]"_s);
        }
    }
};

QTEST_MAIN(TestPanelAndConsole)
#include "tst_panel_and_console.moc"
