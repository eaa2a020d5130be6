// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_panel.h"
#include "serial/render.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

// Press-and-hold on the arrows; each arrow's own code and key are checked
// against the panel's list in tst_panel_table.
class TestRepeat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldRepeatAHeldKeyUntilRelease_data()
    {
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("left on volume up") << Qt::LeftButton << 1 << 1 << QByteArray("C09\r");
        QTest::newRow("right on cursor left") << Qt::RightButton << 9 << 5 << QByteArray("C3B\r");
        QTest::newRow("middle on zoom up") << Qt::MiddleButton << 48 << 9 << QByteArray("C30\r");
    }
    void shouldRepeatAHeldKeyUntilRelease()
    {
        QFETCH(Qt::MouseButton, mouseButton);
        QFETCH(int, number);
        QFETCH(int, key);
        QFETCH(QByteArray, command);
        FakePanel p;
        p.module.PendingCommand = "CR0\r"; // a status read made before the hold
        p.form.Timer1->setInterval(700);   // whatever it was, a press sets the cadence

        QTest::mousePress(p.button(number), mouseButton);
        QCOMPARE(p.port->written, command);
        QCOMPARE(int(p.form.repeatKey()), key);
        QCOMPARE(p.module.PendingCommand, command);
        const QString sentView = renderTokens(command).text;
        QCOMPARE(p.form.Label11->text(), sentView);
        QVERIFY(p.form.Timer1->isActive());
        QCOMPARE(p.form.Timer1->interval(), 100);
        QCOMPARE(p.form.Timer1->timerType(), Qt::PreciseTimer);
        QCOMPARE(p.form.Timer2->interval(), 150);
        QCOMPARE(p.form.Timer4->interval(), 200);

        // Every tick sends the key's code again and empties the reply.
        for (int tick = 1; tick <= 2; ++tick) {
            p.port->receive("\x06");
            QCOMPARE(p.form.Label12->text(), QStringLiteral("  [ACK] "));
            p.form.Timer1_Timer();
            QCOMPARE(p.port->written, command.repeated(tick + 1));
            QCOMPARE(p.module.PendingCommand, command);
            QCOMPARE(p.form.Label11->text(), sentView);
            QVERIFY(p.form.Label12->text().isEmpty());
            QVERIFY(p.form.receiveBuffer().isEmpty());
            QVERIFY(p.form.Timer1->isActive());
        }
        p.port->receive("\x06");
        QVERIFY(p.form.Timer2->isActive());

        QTest::mouseRelease(p.button(number), mouseButton);
        QCOMPARE(p.port->written, command.repeated(3)); // nothing is sent at the release
        QCOMPARE(p.form.repeatKey(), quint8(0));
        QVERIFY(!p.form.Timer1->isActive());
        QVERIFY(!p.form.Timer2->isActive());
        QVERIFY(p.form.Timer4->isActive());
        QVERIFY(p.form.Label11->text().isEmpty());
        QVERIFY(p.form.Label12->text().isEmpty());
        QVERIFY(p.form.receiveBuffer().isEmpty());
        QCOMPARE(p.form.Timer2->interval(), 500);
        QCOMPARE(p.form.Timer4->interval(), 1000);
    }

    // Ticks already due when the key comes up send nothing.
    void shouldSendOnceForAPressAndReleaseWithinATick()
    {
        FakePanel p;
        QTest::mousePress(p.button(7), Qt::LeftButton); // cursor down
        QTest::mouseRelease(p.button(7), Qt::LeftButton);
        QVERIFY(!p.form.Timer1->isActive());
        p.form.Timer1_Timer();
        p.form.Timer1_Timer();
        QCOMPARE(p.port->written, QByteArray("C3D\r"));
    }

    // A reply after the release still shows; later commands keep the hold's
    // quicker intervals.
    void shouldLeaveTheHoldIntervalsForLaterCommands()
    {
        FakePanel p;
        QTest::mousePress(p.button(10), Qt::LeftButton);
        QTest::mouseRelease(p.button(10), Qt::LeftButton);
        p.port->receive("\x06");
        QCOMPARE(p.form.Label12->text(), QStringLiteral("  [ACK] "));
        p.form.Timer4_Timer();
        QVERIFY(p.form.Label12->text().isEmpty());

        QTest::mouseClick(p.button(17), Qt::LeftButton); // power ON, no projector attached
        QCOMPARE(p.form.Timer2->interval(), 500);
        QCOMPARE(p.form.Timer4->interval(), 1000);
        QVERIFY(p.form.Timer2->isActive());
        p.form.Timer2_Timer();
        QCOMPARE(p.form.Label12->text(), QStringLiteral(" X X X X"));
        p.form.Timer4_Timer();
        QVERIFY(p.form.Label11->text().isEmpty());
        QVERIFY(p.form.Label12->text().isEmpty());
    }

    // Through the window, as the platform delivers it: the pressed button keeps
    // the mouse while the pointer wanders off, and gets the release.
    void shouldStopWhenReleasedOffTheButton()
    {
        FakePanel p;
        p.form.setHeightTwips(Form1::expandedHeight);
        p.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.form));
        QWindow *window = p.form.windowHandle();
        QPushButton *up = p.button(5); // cursor up
        const QPoint onButton = up->mapTo(&p.form, up->rect().center());
        const QPoint away(p.form.width() - 5, p.form.height() - 5);
        QVERIFY(p.form.childAt(away) != up);

        QTest::mousePress(window, Qt::LeftButton, {}, onButton);
        QCOMPARE(p.form.repeatKey(), quint8(3));
        QTest::mouseMove(window, away);
        QVERIFY(p.form.Timer1->isActive()); // leaving the button does not stop the repeat
        p.form.Timer1_Timer();
        QCOMPARE(p.port->written, QByteArray("C3C\rC3C\r"));

        QTest::mouseRelease(window, Qt::LeftButton, {}, away);
        QCOMPARE(p.form.repeatKey(), quint8(0));
        QVERIFY(!p.form.Timer1->isActive());
        p.form.Timer1_Timer();
        QCOMPARE(p.port->written, QByteArray("C3C\rC3C\r"));
    }
};

QTEST_MAIN(TestRepeat)
#include "tst_repeat.moc"
