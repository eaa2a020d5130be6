// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_comm_port.h"
#include "panel/form1.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

class TestForm1Transaction : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
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

private:
    void click(int number);

    Module1 m_module;
    FakeCommPort *m_port = nullptr;
    Form1 *m_form = nullptr;
};

void TestForm1Transaction::init()
{
    m_module = {};
    m_port = new FakeCommPort;
    m_form = new Form1(m_module, m_port);
    m_port->setCommPort(1);
    QVERIFY(m_port->setPortOpen(true));
}

void TestForm1Transaction::cleanup()
{
    delete m_form;
}

void TestForm1Transaction::click(int number)
{
    m_form->Command_Click(number);
}

void TestForm1Transaction::shouldStartInTheDesignState()
{
    QCOMPARE(m_form->Timer2->interval(), 5000);
    QCOMPARE(m_form->Timer4->interval(), 5500);
    QCOMPARE(m_form->Timer1->interval(), 200);
    QVERIFY(!m_form->Timer1->isActive());
    QVERIFY(!m_form->Timer2->isActive());
    QVERIFY(!m_form->Timer4->isActive());
    QVERIFY(m_form->Label11->text().isEmpty());
    QVERIFY(m_form->Label12->text().isEmpty());
    QVERIFY(m_form->Label25->text().isEmpty());
    QVERIFY(!m_form->Label27->isVisibleTo(m_form));
    QVERIFY(!m_form->Label28->isVisibleTo(m_form));
    QVERIFY(m_form->Label29->isVisibleTo(m_form));
    QCOMPARE(m_form->replyPending(), quint8(0));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("VORN   TALLIS  CONTROL  Ver.2.0"));
}

void TestForm1Transaction::shouldTransmitAndShowTheSentText()
{
    m_port->receive("stale");
    m_form->Hyouji("CR LAMPSTS\r", 1);
    QCOMPARE(m_port->written, QByteArray("CR LAMPSTS\r"));
    QCOMPARE(m_form->Label11->text(), QStringLiteral(" C R _ L A M P S T S  [CR] "));
    QVERIFY(m_form->Label12->text().isEmpty());
    QVERIFY(m_form->receiveBuffer().isEmpty());
    QVERIFY(m_form->Label27->isVisibleTo(m_form));
    QVERIFY(m_form->Label28->isVisibleTo(m_form));
    QVERIFY(m_form->Timer2->isActive());
    QVERIFY(m_form->Timer4->isActive());
    QCOMPARE(m_form->replyPending(), quint8(1));
}

void TestForm1Transaction::shouldShowAReplyArrivingInPieces()
{
    click(17);
    m_port->receive("0");
    QCOMPARE(m_form->Label12->text(), QStringLiteral(" 0 "));
    QCOMPARE(m_form->replyPending(), quint8(0));
    m_port->receive("0\r");
    QCOMPARE(m_form->Label12->text(), QStringLiteral(" 0 0  [CR] "));
    QCOMPARE(m_form->receiveBuffer(), QByteArray("00\r"));
    m_port->receive("\x06");
    QCOMPARE(m_form->Label12->text(), QStringLiteral(" 0 0  [CR]  [ACK] "));
}

void TestForm1Transaction::shouldMarkAMissingReplyAtTheNoReplyTick()
{
    click(17);
    m_form->Timer2_Timer();
    QCOMPARE(m_form->Label12->text(), QStringLiteral(" X X X X"));
    QVERIFY(!m_form->Timer2->isActive());
    QVERIFY(m_form->Timer4->isActive());
    QVERIFY(!m_form->Label27->isVisibleTo(m_form));
    QVERIFY(!m_form->Label28->isVisibleTo(m_form));
    QVERIFY(!m_form->Label29->isVisibleTo(m_form));
    QCOMPARE(m_form->replyPending(), quint8(0));
    m_form->Timer4_Timer();
    QVERIFY(m_form->Label12->text().isEmpty());
}

void TestForm1Transaction::shouldKeepAReplyAtTheNoReplyTick()
{
    click(17);
    m_port->receive("\x06");
    m_form->Timer2_Timer();
    QCOMPARE(m_form->Label12->text(), QStringLiteral("  [ACK] "));
    QVERIFY(m_form->receiveBuffer().isEmpty());
}

void TestForm1Transaction::shouldClearTheViewsAtTheClearingTick()
{
    click(44);
    m_port->receive("00\r");
    QCOMPARE(m_form->Label25->text(), QStringLiteral(" Power ON"));
    m_form->Timer4_Timer();
    QVERIFY(m_form->Label11->text().isEmpty());
    QVERIFY(m_form->Label12->text().isEmpty());
    QVERIFY(m_form->Label25->text().isEmpty());
    QVERIFY(!m_form->Timer4->isActive());
}

void TestForm1Transaction::shouldIgnoreOtherLineEvents()
{
    click(17);
    m_port->raiseEvent(1);
    QCOMPARE(m_form->replyPending(), quint8(1));
    QVERIFY(m_form->Label12->text().isEmpty());
    QVERIFY(m_form->receiveBuffer().isEmpty());
}

void TestForm1Transaction::shouldStartAFreshBufferAfterTheNoReplyTick()
{
    click(44);
    m_form->Timer2_Timer();
    m_port->receive("00\r");
    QCOMPARE(m_form->Label12->text(), QStringLiteral(" 0 0  [CR] "));
    QCOMPARE(m_form->Label25->text(), QStringLiteral(" Power ON"));
}

void TestForm1Transaction::shouldDecodeByTheLastPanelCommand()
{
    click(44);
    m_form->Hyouji("CR1\r", 1); // a command that is not a panel sender's
    QCOMPARE(m_module.PendingCommand, QByteArray("CR0\r"));
    m_port->receive("00\r");
    QCOMPARE(m_form->Label25->text(), QStringLiteral(" Power ON"));
}

void TestForm1Transaction::shouldRunTheTransactionOnAClosedPort()
{
    m_port->setPortOpen(false);
    click(17);
    QVERIFY(m_port->written.isEmpty());
    QCOMPARE(m_form->Label11->text(), QStringLiteral(" C 0 0  [CR] "));
    m_form->Timer2_Timer();
    QCOMPARE(m_form->Label12->text(), QStringLiteral(" X X X X"));
}

void TestForm1Transaction::shouldKeepOnlyTheNewestBytesOfAFlood()
{
    click(17);
    QByteArray flood(Form1::receiveLimit, 'a');
    m_port->receive(flood);
    m_port->receive("tail");
    QCOMPARE(m_form->receiveBuffer().size(), Form1::receiveLimit);
    QVERIFY(m_form->receiveBuffer().endsWith("aatail"));
    QVERIFY(m_form->Label12->text().endsWith(QLatin1String(" a t a i l ")));
}

QTEST_MAIN(TestForm1Transaction)
#include "tst_form1_transaction.moc"
