// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_panel.h"

#include <QAccessible>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

} // namespace

class TestForm1Transaction : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldStartInTheDesignState()
    {
        FakePanel p;
        QCOMPARE(p.form.windowTitle(), QStringLiteral("VORN   TALLIS  CONTROL  Ver.2.0"));
        QCOMPARE(p.form.Timer2->interval(), 5000);
        QCOMPARE(p.form.Timer4->interval(), 5500);
        QVERIFY(!p.form.Timer1->isActive() && !p.form.Timer2->isActive() && !p.form.Timer4->isActive());
        QVERIFY(p.form.Label11->text().isEmpty());
        QVERIFY(p.form.Label12->text().isEmpty());
        QVERIFY(p.form.Label25->text().isEmpty());
        QCOMPARE(p.form.replyPending(), quint8(0));
    }

    void shouldTransmitAndShowTheSentText()
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

    // A second click sends again and the sent view shows the command once.
    void shouldSendAgainAtASecondClick()
    {
        FakePanel p;
        QTest::mouseClick(p.button(17), Qt::LeftButton);
        QTest::mouseClick(p.button(17), Qt::LeftButton);
        QCOMPARE(p.port->written, QByteArray("C00\rC00\r"));
        QCOMPARE(p.form.Label11->text(), QStringLiteral(" C 0 0  [CR] "));
    }

    // Screen readers hear the views: their accessible names follow their text.
    void shouldShowAReplyArrivingInPieces()
    {
        FakePanel p;
        p.form.Command_Click(44);
        p.port->receive("0");
        QCOMPARE(p.form.Label12->text(), QStringLiteral(" 0 "));
        QCOMPARE(p.form.replyPending(), quint8(0));
        p.port->receive("0\r");
        QCOMPARE(p.form.Label12->text(), QStringLiteral(" 0 0  [CR] "));
        QCOMPARE(p.form.receiveBuffer(), QByteArray("00\r"));
        QCOMPARE(accessibleName(p.form.Label11), QStringLiteral(" C R 0  [CR] "));
        QCOMPARE(accessibleName(p.form.Label12), QStringLiteral(" 0 0  [CR] "));
        QCOMPARE(accessibleName(p.form.Label25), QStringLiteral(" Power ON"));
        p.port->receive("\x06");
        QCOMPARE(p.form.Label12->text(), QStringLiteral(" 0 0  [CR]  [ACK] "));
    }

    // The no-reply tick marks a missing reply and starts a fresh buffer for a late one.
    void shouldMarkAMissingReplyAtTheNoReplyTick()
    {
        FakePanel p;
        p.form.Command_Click(44);
        p.form.Timer2_Timer();
        QCOMPARE(p.form.Label12->text(), QStringLiteral(" X X X X"));
        QVERIFY(!p.form.Timer2->isActive());
        QVERIFY(p.form.Timer4->isActive());
        QVERIFY(!p.form.Label27->isVisibleTo(&p.form));
        QVERIFY(!p.form.Label28->isVisibleTo(&p.form));
        QVERIFY(!p.form.Label29->isVisibleTo(&p.form));
        QCOMPARE(p.form.replyPending(), quint8(0));
        p.port->receive("00\r");
        QCOMPARE(p.form.Label12->text(), QStringLiteral(" 0 0  [CR] "));
        QCOMPARE(p.form.Label25->text(), QStringLiteral(" Power ON"));
    }

    // Two transactions must not mix in one status line.
    void shouldReplaceTheStatusViewWithEachDecoding()
    {
        FakePanel p;
        p.form.Command_Click(44);
        p.port->receive("00\r");
        p.form.Timer2_Timer();
        p.form.Command_Click(46);
        p.port->receive("00123\r");
        QCOMPARE(p.form.Label25->text(), QStringLiteral("     1 2 3   Hour Use"));
    }

    void shouldKeepAReplyAtTheNoReplyTick()
    {
        FakePanel p;
        p.form.Command_Click(17);
        p.port->receive("\x06");
        p.form.Timer2_Timer();
        QCOMPARE(p.form.Label12->text(), QStringLiteral("  [ACK] "));
        QVERIFY(p.form.receiveBuffer().isEmpty());
    }

    void shouldClearTheViewsAtTheClearingTick()
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

    void shouldIgnoreOtherLineEvents()
    {
        FakePanel p;
        p.form.Command_Click(17);
        p.port->raiseEvent(1);
        QCOMPARE(p.form.replyPending(), quint8(1));
        QVERIFY(p.form.Label12->text().isEmpty());
        QVERIFY(p.form.receiveBuffer().isEmpty());
    }

    void shouldRunTheTransactionOnAClosedPort()
    {
        FakePanel p(FakePanel::Line::Closed);
        p.form.Command_Click(17);
        QVERIFY(p.port->written.isEmpty());
        QCOMPARE(p.form.Label11->text(), QStringLiteral(" C 0 0  [CR] "));
        p.form.Timer2_Timer();
        QCOMPARE(p.form.Label12->text(), QStringLiteral(" X X X X"));
    }
};

QTEST_MAIN(TestForm1Transaction)
#include "tst_form1_transaction.moc"
