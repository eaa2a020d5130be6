// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_panel.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

class TestForm1Transaction : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldStartInTheDesignState();
    void shouldTransmitAndShowTheSentText();
    void shouldShowAReplyArrivingInPieces();
    void shouldMarkAMissingReplyAtTheNoReplyTick();
    void shouldKeepAReplyAtTheNoReplyTick();
    void shouldClearTheViewsAtTheClearingTick();
    void shouldIgnoreOtherLineEvents();
    void shouldStartAFreshBufferAfterTheNoReplyTick();
    void shouldDecodeByTheLastPanelCommand();
    void shouldRunTheTransactionOnAClosedPort();
    void shouldKeepOnlyTheNewestBytesOfAFlood();
};

void TestForm1Transaction::shouldStartInTheDesignState()
{
    FakePanel p;
    QCOMPARE(p.form.Timer2->interval(), 5000);
    QCOMPARE(p.form.Timer4->interval(), 5500);
    QCOMPARE(p.form.Timer1->interval(), 200);
    QVERIFY(!p.form.Timer1->isActive());
    QVERIFY(!p.form.Timer2->isActive());
    QVERIFY(!p.form.Timer4->isActive());
    QVERIFY(p.form.Label11->text().isEmpty());
    QVERIFY(p.form.Label12->text().isEmpty());
    QVERIFY(p.form.Label25->text().isEmpty());
    QVERIFY(!p.form.Label27->isVisibleTo(&p.form));
    QVERIFY(!p.form.Label28->isVisibleTo(&p.form));
    QVERIFY(p.form.Label29->isVisibleTo(&p.form));
    QCOMPARE(p.form.replyPending(), quint8(0));
    QCOMPARE(p.form.windowTitle(), QStringLiteral("VORN   TALLIS  CONTROL  Ver.2.0"));
}

void TestForm1Transaction::shouldTransmitAndShowTheSentText()
{
    FakePanel p;
    p.port->receive("stale");
    p.form.Hyouji("CR LAMPSTS\r", 1);
    QCOMPARE(p.port->written, QByteArray("CR LAMPSTS\r"));
    QCOMPARE(p.form.Label11->text(), QStringLiteral(" C R _ L A M P S T S  [CR] "));
    QVERIFY(p.form.Label12->text().isEmpty());
    QVERIFY(p.form.receiveBuffer().isEmpty());
    QVERIFY(p.form.Label27->isVisibleTo(&p.form));
    QVERIFY(p.form.Label28->isVisibleTo(&p.form));
    QVERIFY(p.form.Timer2->isActive());
    QVERIFY(p.form.Timer4->isActive());
    QCOMPARE(p.form.replyPending(), quint8(1));
}

void TestForm1Transaction::shouldShowAReplyArrivingInPieces()
{
    FakePanel p;
    p.form.Command_Click(17);
    p.port->receive("0");
    QCOMPARE(p.form.Label12->text(), QStringLiteral(" 0 "));
    QCOMPARE(p.form.replyPending(), quint8(0));
    p.port->receive("0\r");
    QCOMPARE(p.form.Label12->text(), QStringLiteral(" 0 0  [CR] "));
    QCOMPARE(p.form.receiveBuffer(), QByteArray("00\r"));
    p.port->receive("\x06");
    QCOMPARE(p.form.Label12->text(), QStringLiteral(" 0 0  [CR]  [ACK] "));
}

void TestForm1Transaction::shouldMarkAMissingReplyAtTheNoReplyTick()
{
    FakePanel p;
    p.form.Command_Click(17);
    p.form.Timer2_Timer();
    QCOMPARE(p.form.Label12->text(), QStringLiteral(" X X X X"));
    QVERIFY(!p.form.Timer2->isActive());
    QVERIFY(p.form.Timer4->isActive());
    QVERIFY(!p.form.Label27->isVisibleTo(&p.form));
    QVERIFY(!p.form.Label28->isVisibleTo(&p.form));
    QVERIFY(!p.form.Label29->isVisibleTo(&p.form));
    QCOMPARE(p.form.replyPending(), quint8(0));
    p.form.Timer4_Timer();
    QVERIFY(p.form.Label12->text().isEmpty());
}

void TestForm1Transaction::shouldKeepAReplyAtTheNoReplyTick()
{
    FakePanel p;
    p.form.Command_Click(17);
    p.port->receive("\x06");
    p.form.Timer2_Timer();
    QCOMPARE(p.form.Label12->text(), QStringLiteral("  [ACK] "));
    QVERIFY(p.form.receiveBuffer().isEmpty());
}

void TestForm1Transaction::shouldClearTheViewsAtTheClearingTick()
{
    FakePanel p;
    p.form.Command_Click(44);
    p.port->receive("00\r");
    QCOMPARE(p.form.Label25->text(), QStringLiteral(" Power ON"));
    p.form.Timer4_Timer();
    QVERIFY(p.form.Label11->text().isEmpty());
    QVERIFY(p.form.Label12->text().isEmpty());
    QVERIFY(p.form.Label25->text().isEmpty());
    QVERIFY(!p.form.Timer4->isActive());
}

void TestForm1Transaction::shouldIgnoreOtherLineEvents()
{
    FakePanel p;
    p.form.Command_Click(17);
    p.port->raiseEvent(1);
    QCOMPARE(p.form.replyPending(), quint8(1));
    QVERIFY(p.form.Label12->text().isEmpty());
    QVERIFY(p.form.receiveBuffer().isEmpty());
}

void TestForm1Transaction::shouldStartAFreshBufferAfterTheNoReplyTick()
{
    FakePanel p;
    p.form.Command_Click(44);
    p.form.Timer2_Timer();
    p.port->receive("00\r");
    QCOMPARE(p.form.Label12->text(), QStringLiteral(" 0 0  [CR] "));
    QCOMPARE(p.form.Label25->text(), QStringLiteral(" Power ON"));
}

void TestForm1Transaction::shouldDecodeByTheLastPanelCommand()
{
    FakePanel p;
    p.form.Command_Click(44);
    p.form.Hyouji("CR1\r", 1); // a command that is not a panel sender's
    QCOMPARE(p.module.PendingCommand, QByteArray("CR0\r"));
    p.port->receive("00\r");
    QCOMPARE(p.form.Label25->text(), QStringLiteral(" Power ON"));
}

void TestForm1Transaction::shouldRunTheTransactionOnAClosedPort()
{
    FakePanel p;
    p.port->setPortOpen(false);
    p.form.Command_Click(17);
    QVERIFY(p.port->written.isEmpty());
    QCOMPARE(p.form.Label11->text(), QStringLiteral(" C 0 0  [CR] "));
    p.form.Timer2_Timer();
    QCOMPARE(p.form.Label12->text(), QStringLiteral(" X X X X"));
}

void TestForm1Transaction::shouldKeepOnlyTheNewestBytesOfAFlood()
{
    FakePanel p;
    p.form.Command_Click(17);
    QByteArray flood(Form1::receiveLimit, 'a');
    p.port->receive(flood);
    p.port->receive("tail");
    QCOMPARE(p.form.receiveBuffer().size(), Form1::receiveLimit);
    QVERIFY(p.form.receiveBuffer().endsWith("aatail"));
    QVERIFY(p.form.Label12->text().endsWith(QLatin1String(" a t a i l ")));
}

QTEST_MAIN(TestForm1Transaction)
#include "tst_form1_transaction.moc"
