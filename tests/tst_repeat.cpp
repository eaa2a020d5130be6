// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_panel.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestRepeat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldStartARepeatWithAnyMouseButton_data();
    void shouldStartARepeatWithAnyMouseButton();
    void shouldSendOnceForAPressAndReleaseWithinATick();
    void shouldResendTheKeysCodeAtEveryTick_data();
    void shouldResendTheKeysCodeAtEveryTick();
    void shouldEmptyTheReplyAtEveryResend();
    void shouldEndTheHoldAtTheRelease();
    void shouldSendNothingAtATickAfterTheRelease();
    void shouldLeaveTheHoldIntervalsForLaterCommands();
    void shouldShowAReplyArrivingAfterTheRelease();
    void shouldStopWhenReleasedOffTheButton();
    void shouldGiveTimer1ItsIntervalAtEveryPress();
};

void TestRepeat::shouldStartARepeatWithAnyMouseButton_data()
{
    QTest::addColumn<Qt::MouseButton>("mouseButton");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestRepeat::shouldStartARepeatWithAnyMouseButton()
{
    FakePanel p;
    QFETCH(Qt::MouseButton, mouseButton);
    QTest::mousePress(p.button(1), mouseButton); // volume up
    QCOMPARE(p.port->written, QByteArray("C09\r"));
    QCOMPARE(p.form.repeatKey(), quint8(1));
    QCOMPARE(p.module.PendingCommand, QByteArray("C09\r"));
    QCOMPARE(p.form.Label11->text(), QStringLiteral(" C 0 9  [CR] "));
    QVERIFY(p.form.Timer1->isActive());
    QCOMPARE(p.form.Timer1->interval(), 100);
    QCOMPARE(p.form.Timer2->interval(), 150);
    QCOMPARE(p.form.Timer4->interval(), 200);

    p.form.Timer1_Timer();
    QCOMPARE(p.port->written, QByteArray("C09\rC09\r"));

    QTest::mouseRelease(p.button(1), mouseButton);
    QCOMPARE(p.form.repeatKey(), quint8(0));
    QVERIFY(!p.form.Timer1->isActive());
}

void TestRepeat::shouldSendOnceForAPressAndReleaseWithinATick()
{
    FakePanel p;
    QTest::mousePress(p.button(7), Qt::LeftButton); // cursor down
    QTest::mouseRelease(p.button(7), Qt::LeftButton);
    QVERIFY(!p.form.Timer1->isActive());
    p.form.Timer1_Timer(); // a tick that was already due
    QCOMPARE(p.port->written, QByteArray("C3D\r"));
}

void TestRepeat::shouldResendTheKeysCodeAtEveryTick_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("volume up") << 1 << 1 << QByteArray("C09\r");
    QTest::newRow("volume down") << 2 << 2 << QByteArray("C0A\r");
    QTest::newRow("cursor up") << 5 << 3 << QByteArray("C3C\r");
    QTest::newRow("cursor down") << 7 << 4 << QByteArray("C3D\r");
    QTest::newRow("cursor left") << 9 << 5 << QByteArray("C3B\r");
    QTest::newRow("cursor right") << 8 << 6 << QByteArray("C3A\r");
    QTest::newRow("brightness up") << 30 << 7 << QByteArray("C20\r");
    QTest::newRow("brightness down") << 42 << 8 << QByteArray("C21\r");
    QTest::newRow("digital zoom up") << 48 << 9 << QByteArray("C30\r");
    QTest::newRow("digital zoom down") << 49 << 10 << QByteArray("C31\r");
    QTest::newRow("keystone up") << 10 << 11 << QByteArray("C8E\r");
    QTest::newRow("keystone down") << 35 << 12 << QByteArray("C8F\r");
}

void TestRepeat::shouldResendTheKeysCodeAtEveryTick()
{
    FakePanel p;
    QFETCH(int, number);
    QFETCH(int, key);
    QFETCH(QByteArray, command);
    p.module.PendingCommand = "CR0\r"; // a status read made before the hold
    QTest::mousePress(p.button(number), Qt::LeftButton);
    QCOMPARE(int(p.form.repeatKey()), key);
    for (int tick = 1; tick <= 3; ++tick) {
        p.form.Timer1_Timer();
        QCOMPARE(p.port->written, command.repeated(tick + 1));
        QCOMPARE(p.module.PendingCommand, command);
        QVERIFY(p.form.Timer1->isActive());
    }
    QCOMPARE(p.form.Timer1->interval(), 100);
    QTest::mouseRelease(p.button(number), Qt::LeftButton);
}

void TestRepeat::shouldEmptyTheReplyAtEveryResend()
{
    FakePanel p;
    QTest::mousePress(p.button(48), Qt::LeftButton);
    p.port->receive("\x06");
    QCOMPARE(p.form.Label12->text(), QStringLiteral("  [ACK] "));
    p.form.Timer1_Timer();
    QVERIFY(p.form.Label12->text().isEmpty());
    QVERIFY(p.form.receiveBuffer().isEmpty());
    QCOMPARE(p.form.Label11->text(), QStringLiteral(" C 3 0  [CR] "));
    QTest::mouseRelease(p.button(48), Qt::LeftButton);
}

void TestRepeat::shouldEndTheHoldAtTheRelease()
{
    FakePanel p;
    QTest::mousePress(p.button(30), Qt::LeftButton);
    p.form.Timer1_Timer();
    p.port->receive("\x06");
    QVERIFY(p.form.Timer2->isActive());
    const QByteArray sent = p.port->written;

    QTest::mouseRelease(p.button(30), Qt::LeftButton);
    QCOMPARE(p.port->written, sent); // nothing is sent at the release
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

void TestRepeat::shouldSendNothingAtATickAfterTheRelease()
{
    FakePanel p;
    QTest::mousePress(p.button(2), Qt::LeftButton);
    QTest::mouseRelease(p.button(2), Qt::LeftButton);
    p.form.Timer1_Timer();
    p.form.Timer1_Timer();
    QCOMPARE(p.port->written, QByteArray("C0A\r"));
    QVERIFY(!p.form.Timer1->isActive());
}

void TestRepeat::shouldLeaveTheHoldIntervalsForLaterCommands()
{
    FakePanel p;
    QTest::mousePress(p.button(10), Qt::LeftButton);
    QTest::mouseRelease(p.button(10), Qt::LeftButton);
    p.form.Timer4_Timer();

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

void TestRepeat::shouldShowAReplyArrivingAfterTheRelease()
{
    FakePanel p;
    QTest::mousePress(p.button(1), Qt::LeftButton);
    QTest::mouseRelease(p.button(1), Qt::LeftButton);
    p.port->receive("\x06");
    QCOMPARE(p.form.Label12->text(), QStringLiteral("  [ACK] "));
    p.form.Timer4_Timer();
    QVERIFY(p.form.Label12->text().isEmpty());
}

// Through the window, as the platform delivers it: the pressed button keeps
// the mouse while the pointer wanders off, and gets the release.
void TestRepeat::shouldStopWhenReleasedOffTheButton()
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

void TestRepeat::shouldGiveTimer1ItsIntervalAtEveryPress()
{
    FakePanel p;
    QCOMPARE(p.form.Timer1->timerType(), Qt::PreciseTimer);
    p.form.Timer1->setInterval(700);
    QTest::mousePress(p.button(9), Qt::RightButton);
    QCOMPARE(p.form.Timer1->interval(), 100);
    QCOMPARE(p.form.Timer1->timerType(), Qt::PreciseTimer);
    QTest::mouseRelease(p.button(9), Qt::RightButton);
}

QTEST_MAIN(TestRepeat)
#include "tst_repeat.moc"
