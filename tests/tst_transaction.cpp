// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_comm_port.h"
#include "serial/traffic_display.h"
#include "serial/transaction.h"

#include <QTest>
#include <QTimer>

namespace {

// The views as plain values, and which legends show.
struct RecordingDisplay final : TrafficDisplay {
    void setSentView(const QString &text) override { sent = text; }
    void setReplyView(const QString &text) override { reply = text; }
    void setStatusView(const QString &text) override { status = text; }
    void setLegendVisible(Legend legend, bool visible) override { legends[int(legend)] = visible; }
    QString shownLegends() const
    {
        return QString::fromLatin1(legends[0] ? "_" : "") + (legends[1] ? "R" : "") + (legends[2] ? "A" : "");
    }

    QString sent, reply, status;
    bool legends[3] = {};
};

} // namespace

class TestTransaction : public QObject
{
    Q_OBJECT

    QTimer *timer(int number) const
    {
        return m_transaction->findChild<QTimer *>(QStringLiteral("Timer%1").arg(number));
    }

private Q_SLOTS:
    // A fresh transaction on an open fake line for every test.
    void init()
    {
        m_display = RecordingDisplay{};
        m_pending = "CR0\r";
        m_port = new FakeCommPort;
        m_port->setPortOpen(true);
        m_transaction = std::make_unique<Transaction>(m_port, m_display, m_pending);
    }

    void shouldTransmitAndShowTheSentText()
    {
        QCOMPARE(timer(2)->interval(), 5000);
        QCOMPARE(timer(4)->interval(), 5500);
        QVERIFY(!timer(2)->isActive() && !timer(4)->isActive());
        m_port->receive("stale");
        m_display.status = QStringLiteral("kept");
        m_transaction->Hyouji("CR LAMPSTS\r", 1);
        QCOMPARE(m_port->written, QByteArray("CR LAMPSTS\r"));
        QCOMPARE(m_display.sent, QStringLiteral(" C R _ L A M P S T S  [CR] "));
        QVERIFY(m_display.reply.isEmpty());
        QCOMPARE(m_display.status, QStringLiteral("kept"));
        QVERIFY(m_transaction->receiveBuffer().isEmpty());
        QCOMPARE(m_display.shownLegends(), QStringLiteral("_R"));
        QVERIFY(timer(2)->isActive() && timer(4)->isActive());
        QCOMPARE(m_transaction->replyPending(), quint8(1));
    }

    void shouldShowAReplyArrivingInPiecesAndDecodeIt()
    {
        m_transaction->Hyouji(m_pending, 1);
        m_port->receive("0");
        QCOMPARE(m_display.reply, QStringLiteral(" 0 "));
        QCOMPARE(m_transaction->replyPending(), quint8(0));
        QVERIFY(m_display.status.isEmpty());
        m_port->receive("0\r");
        QCOMPARE(m_display.reply, QStringLiteral(" 0 0  [CR] "));
        QCOMPARE(m_display.status, QStringLiteral(" Power ON"));
        m_port->receive("\x06");
        QCOMPARE(m_display.reply, QStringLiteral(" 0 0  [CR]  [ACK] "));
        QCOMPARE(m_transaction->receiveBuffer(), QByteArray("00\r\x06"));
        QCOMPARE(m_display.shownLegends(), QStringLiteral("RA"));
    }

    void shouldMarkOnlyAMissingReplyAtTheNoReplyTick_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown");
        QTest::newRow("none") << QByteArray() << QStringLiteral(" X X X X");
        QTest::newRow("acknowledged") << QByteArray("\x06") << QStringLiteral("  [ACK] ");
    }
    void shouldMarkOnlyAMissingReplyAtTheNoReplyTick()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, shown);
        m_transaction->Hyouji("C00\r", 1);
        if (!reply.isEmpty())
            m_port->receive(reply);
        m_transaction->Timer2_Timer();
        QCOMPARE(m_display.reply, shown);
        QVERIFY(!timer(2)->isActive() && timer(4)->isActive());
        QCOMPARE(m_display.shownLegends(), QString());
        QVERIFY(m_transaction->receiveBuffer().isEmpty());
        QCOMPARE(m_transaction->replyPending(), quint8(0));
        // A late reply starts afresh, is decoded alone, and replaces the mark.
        m_port->receive("00\r");
        QCOMPARE(m_display.reply, QStringLiteral(" 0 0  [CR] "));
        QCOMPARE(m_display.status, QStringLiteral(" Power ON"));
        m_transaction->Timer4_Timer();
        QVERIFY(m_display.sent.isEmpty() && m_display.reply.isEmpty() && m_display.status.isEmpty());
        QVERIFY(!timer(4)->isActive());
    }

    void shouldReplaceTheStatusWithEachDecoding()
    {
        m_transaction->Hyouji(m_pending, 1);
        m_port->receive("00\r");
        m_pending = "CR3\r";
        m_transaction->Hyouji(m_pending, 1);
        m_port->receive("00123\r");
        QCOMPARE(m_display.status, QStringLiteral("     1 2 3   Hour Use"));
    }

    void shouldIgnoreOtherLineEvents()
    {
        m_transaction->Hyouji("C00\r", 1);
        m_port->raiseEvent(1);
        QCOMPARE(m_transaction->replyPending(), quint8(1));
        QVERIFY(m_display.reply.isEmpty());
    }

    void shouldRunTheWholeTransactionOnAClosedPort()
    {
        m_port->setPortOpen(false);
        m_transaction->Hyouji("C00\r", 1);
        QVERIFY(m_port->written.isEmpty());
        QCOMPARE(m_display.sent, QStringLiteral(" C 0 0  [CR] "));
        m_transaction->Timer2_Timer();
        QCOMPARE(m_display.reply, QStringLiteral(" X X X X"));
    }

    // A device that never stops talking: the newest bytes stay.
    void shouldKeepTheNewestBytesOfAnEndlessReply()
    {
        m_port->receive(QByteArray(Transaction::receiveLimit, 'a'));
        m_port->receive("bc");
        QCOMPARE(m_transaction->receiveBuffer().size(), Transaction::receiveLimit);
        QVERIFY(m_transaction->receiveBuffer().endsWith("abc"));
        QVERIFY(m_display.reply.endsWith(QStringLiteral("a b c ")));
    }

    void shouldRestartBothTimersForAFreshTransmit()
    {
        m_transaction->setIntervals(150, 200);
        m_transaction->transmitAfresh("C00\r");
        QCOMPARE(m_port->written, QByteArray("C00\r"));
        QVERIFY(timer(2)->isActive() && timer(4)->isActive());
        QCOMPARE(timer(2)->interval(), 150);
        QCOMPARE(timer(4)->interval(), 200);
    }

    void shouldClearSentAndReplyButWaitToClearTheStatusAtTheEndOfARepeat()
    {
        m_transaction->Hyouji(m_pending, 1);
        m_port->receive("00\r");
        m_transaction->endRepeat();
        QVERIFY(m_display.sent.isEmpty() && m_display.reply.isEmpty());
        QCOMPARE(m_display.status, QStringLiteral(" Power ON"));
        QVERIFY(m_transaction->receiveBuffer().isEmpty());
        QVERIFY(!timer(2)->isActive() && timer(4)->isActive());
    }

private:
    RecordingDisplay m_display;
    QByteArray m_pending;
    FakeCommPort *m_port = nullptr;
    std::unique_ptr<Transaction> m_transaction;
};

QTEST_GUILESS_MAIN(TestTransaction)
#include "tst_transaction.moc"
