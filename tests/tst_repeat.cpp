// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_comm_port.h"
#include "panel/form1.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestRepeat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
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

private:
    QPushButton *button(int number) const;
    int sends(const QByteArray &command) const { return int(m_port->written.count(command)); }

    Module1 m_module;
    FakeCommPort *m_port = nullptr;
    Form1 *m_form = nullptr;
};

void TestRepeat::init()
{
    m_module = {};
    m_port = new FakeCommPort;
    m_form = new Form1(m_module, m_port);
    m_port->setCommPort(1);
    QVERIFY(m_port->setPortOpen(true));
}

void TestRepeat::cleanup()
{
    delete m_form;
}

QPushButton *TestRepeat::button(int number) const
{
    return m_form->findChild<QPushButton *>(QStringLiteral("Command%1").arg(number));
}

void TestRepeat::shouldStartARepeatWithAnyMouseButton_data()
{
    QTest::addColumn<Qt::MouseButton>("mouseButton");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestRepeat::shouldStartARepeatWithAnyMouseButton()
{
    QFETCH(Qt::MouseButton, mouseButton);
    QTest::mousePress(button(1), mouseButton); // volume up
    QCOMPARE(m_port->written, QByteArray("C09\r"));
    QCOMPARE(m_form->repeatKey(), quint8(1));
    QCOMPARE(m_module.PendingCommand, QByteArray("C09\r"));
    QCOMPARE(m_form->Label11->text(), QStringLiteral(" C 0 9  [CR] "));
    QVERIFY(m_form->Timer1->isActive());
    QCOMPARE(m_form->Timer1->interval(), 100);
    QCOMPARE(m_form->Timer2->interval(), 150);
    QCOMPARE(m_form->Timer4->interval(), 200);

    m_form->Timer1_Timer();
    QCOMPARE(m_port->written, QByteArray("C09\rC09\r"));

    QTest::mouseRelease(button(1), mouseButton);
    QCOMPARE(m_form->repeatKey(), quint8(0));
    QVERIFY(!m_form->Timer1->isActive());
}

void TestRepeat::shouldSendOnceForAPressAndReleaseWithinATick()
{
    QTest::mousePress(button(7), Qt::LeftButton); // cursor down
    QTest::mouseRelease(button(7), Qt::LeftButton);
    QVERIFY(!m_form->Timer1->isActive());
    m_form->Timer1_Timer(); // a tick that was already due
    QCOMPARE(m_port->written, QByteArray("C3D\r"));
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
    QFETCH(int, number);
    QFETCH(int, key);
    QFETCH(QByteArray, command);
    m_module.PendingCommand = "CR0\r"; // a status read made before the hold
    QTest::mousePress(button(number), Qt::LeftButton);
    QCOMPARE(int(m_form->repeatKey()), key);
    for (int tick = 1; tick <= 3; ++tick) {
        m_form->Timer1_Timer();
        QCOMPARE(m_port->written, command.repeated(tick + 1));
        QCOMPARE(m_module.PendingCommand, command);
        QVERIFY(m_form->Timer1->isActive());
    }
    QCOMPARE(m_form->Timer1->interval(), 100);
    QTest::mouseRelease(button(number), Qt::LeftButton);
}

void TestRepeat::shouldEmptyTheReplyAtEveryResend()
{
    QTest::mousePress(button(48), Qt::LeftButton);
    m_port->receive("\x06");
    QCOMPARE(m_form->Label12->text(), QStringLiteral("  [ACK] "));
    m_form->Timer1_Timer();
    QVERIFY(m_form->Label12->text().isEmpty());
    QVERIFY(m_form->receiveBuffer().isEmpty());
    QCOMPARE(m_form->Label11->text(), QStringLiteral(" C 3 0  [CR] "));
    QTest::mouseRelease(button(48), Qt::LeftButton);
}

void TestRepeat::shouldEndTheHoldAtTheRelease()
{
    QTest::mousePress(button(30), Qt::LeftButton);
    m_form->Timer1_Timer();
    m_port->receive("\x06");
    QVERIFY(m_form->Timer2->isActive());
    const QByteArray sent = m_port->written;

    QTest::mouseRelease(button(30), Qt::LeftButton);
    QCOMPARE(m_port->written, sent); // nothing is sent at the release
    QCOMPARE(m_form->repeatKey(), quint8(0));
    QVERIFY(!m_form->Timer1->isActive());
    QVERIFY(!m_form->Timer2->isActive());
    QVERIFY(m_form->Timer4->isActive());
    QVERIFY(m_form->Label11->text().isEmpty());
    QVERIFY(m_form->Label12->text().isEmpty());
    QVERIFY(m_form->receiveBuffer().isEmpty());
    QCOMPARE(m_form->Timer2->interval(), 500);
    QCOMPARE(m_form->Timer4->interval(), 1000);
}

void TestRepeat::shouldSendNothingAtATickAfterTheRelease()
{
    QTest::mousePress(button(2), Qt::LeftButton);
    QTest::mouseRelease(button(2), Qt::LeftButton);
    m_form->Timer1_Timer();
    m_form->Timer1_Timer();
    QCOMPARE(m_port->written, QByteArray("C0A\r"));
    QVERIFY(!m_form->Timer1->isActive());
}

void TestRepeat::shouldLeaveTheHoldIntervalsForLaterCommands()
{
    QTest::mousePress(button(10), Qt::LeftButton);
    QTest::mouseRelease(button(10), Qt::LeftButton);
    m_form->Timer4_Timer();

    QTest::mouseClick(button(17), Qt::LeftButton); // power ON, no projector attached
    QCOMPARE(m_form->Timer2->interval(), 500);
    QCOMPARE(m_form->Timer4->interval(), 1000);
    QVERIFY(m_form->Timer2->isActive());
    m_form->Timer2_Timer();
    QCOMPARE(m_form->Label12->text(), QStringLiteral(" X X X X"));
    m_form->Timer4_Timer();
    QVERIFY(m_form->Label11->text().isEmpty());
    QVERIFY(m_form->Label12->text().isEmpty());
}

void TestRepeat::shouldShowAReplyArrivingAfterTheRelease()
{
    QTest::mousePress(button(1), Qt::LeftButton);
    QTest::mouseRelease(button(1), Qt::LeftButton);
    m_port->receive("\x06");
    QCOMPARE(m_form->Label12->text(), QStringLiteral("  [ACK] "));
    m_form->Timer4_Timer();
    QVERIFY(m_form->Label12->text().isEmpty());
}

// Through the window, as the platform delivers it: the pressed button keeps
// the mouse while the pointer wanders off, and gets the release.
void TestRepeat::shouldStopWhenReleasedOffTheButton()
{
    m_form->setHeightTwips(Form1::expandedHeight);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    QWindow *window = m_form->windowHandle();
    QPushButton *up = button(5); // cursor up
    const QPoint onButton = up->mapTo(m_form, up->rect().center());
    const QPoint away(m_form->width() - 5, m_form->height() - 5);
    QVERIFY(m_form->childAt(away) != up);

    QTest::mousePress(window, Qt::LeftButton, {}, onButton);
    QCOMPARE(m_form->repeatKey(), quint8(3));
    QTest::mouseMove(window, away);
    QVERIFY(m_form->Timer1->isActive()); // leaving the button does not stop the repeat
    m_form->Timer1_Timer();
    QCOMPARE(m_port->written, QByteArray("C3C\rC3C\r"));

    QTest::mouseRelease(window, Qt::LeftButton, {}, away);
    QCOMPARE(m_form->repeatKey(), quint8(0));
    QVERIFY(!m_form->Timer1->isActive());
    m_form->Timer1_Timer();
    QCOMPARE(m_port->written, QByteArray("C3C\rC3C\r"));
}

void TestRepeat::shouldGiveTimer1ItsIntervalAtEveryPress()
{
    QCOMPARE(m_form->Timer1->timerType(), Qt::PreciseTimer);
    m_form->Timer1->setInterval(700);
    QTest::mousePress(button(9), Qt::RightButton);
    QCOMPARE(m_form->Timer1->interval(), 100);
    QCOMPARE(m_form->Timer1->timerType(), Qt::PreciseTimer);
    QTest::mouseRelease(button(9), Qt::RightButton);
}

QTEST_MAIN(TestRepeat)
#include "tst_repeat.moc"
