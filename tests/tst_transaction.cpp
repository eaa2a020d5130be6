// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_comm_port.h"
#include "serial/history_model.h"
#include "serial/traffic_display.h"
#include "serial/transaction.h"
#include "serial/transaction_history.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The views as plain values, and which legends show.
struct RecordingDisplay final : TrafficDisplay {
    void setSentView(const QString &text) override { sent = text; }
    void setReplyView(const QString &text) override { reply = text; }
    void setStatusView(const QString &text) override { status = text; }
    void setLegendVisible(Legend legend, bool visible) override { legends[int(legend)] = visible; }

    QString sent, reply, status;
    bool legends[3] = {};
};

} // namespace

class TestTransaction : public QObject
{
    Q_OBJECT

    bool running(int timer) const
    {
        return m_transaction->findChild<QTimer *>(QStringLiteral("Timer%1").arg(timer))->isActive();
    }
    // Everything the operator and the next step can tell: the three views, the
    // legends shown (space, CR, ACK), ReplyPending and the running timers.
    QString state() const
    {
        const RecordingDisplay &d = m_display;
        return QStringList{d.sent,
                           d.reply,
                           d.status,
                           QString::fromLatin1(d.legends[0] ? "_" : "") + (d.legends[1] ? "R" : "") +
                               (d.legends[2] ? "A" : ""),
                           QString::number(m_transaction->replyPending()),
                           QString::fromLatin1(running(2) ? "2" : "") + (running(4) ? "4" : "")}
            .join(u'|');
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

    void shouldTransmitShowAndDecodeAReplyArrivingInPieces()
    {
        QCOMPARE(state(), QStringLiteral("||||0|"));
        m_port->receive("stale");
        m_display.status = QStringLiteral("kept");
        m_transaction->Hyouji("CR LAMPSTS\r", 1);
        QCOMPARE(m_port->written, QByteArray("CR LAMPSTS\r"));
        QCOMPARE(state(), QStringLiteral(" C R _ L A M P S T S  [CR] ||kept|_R|1|24"));
        m_port->raiseEvent(1);
        QCOMPARE(m_transaction->receiveBuffer(), QByteArray());
        QCOMPARE(state(), QStringLiteral(" C R _ L A M P S T S  [CR] ||kept|_R|1|24"));
        m_display.legends[0] = false;
        m_transaction->Hyouji(m_pending, 1);
        m_port->receive("0");
        QCOMPARE(state(), QStringLiteral(" C R 0  [CR] | 0 |kept|R|0|24"));
        m_port->receive("0\r");
        QCOMPARE(state(), QStringLiteral(" C R 0  [CR] | 0 0  [CR] | Power ON|R|0|24"));
        m_port->receive("\x06");
        QCOMPARE(state(), QStringLiteral(" C R 0  [CR] | 0 0  [CR]  [ACK] | Power ON|RA|0|24"));
        QCOMPARE(m_transaction->receiveBuffer(), QByteArray("00\r\x06"));
        // The next decoding replaces the status.
        m_pending = "CR3\r";
        m_transaction->Hyouji(m_pending, 1);
        m_port->receive("00123\r");
        QCOMPARE(m_display.status, QStringLiteral("     1 2 3   Hour Use"));
        // A device that never stops talking: the newest 32767 bytes.
        QByteArray flood(40000, 'x');
        flood[flood.size() - 32767] = 'N';
        m_port->receive(flood.first(100));
        m_port->receive(flood.sliced(100));
        QCOMPARE(m_transaction->receiveBuffer(), flood.right(32767));
    }

    void shouldMarkOnlyAMissingReplyAtTheNoReplyTick_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown");
        QTest::newRow("none") << true << QByteArray() << QStringLiteral(" C 0 0  [CR] | X X X X|||0|4");
        // Not shown as sent, and the views of the last transaction go with it.
        QTest::newRow("port closed after a failed open")
            << false << QByteArray() << QStringLiteral("||Not sent: COM1 → /dev/fake1 · No such device||0|");
        QTest::newRow("acknowledged")
            << true << QByteArray("\x06") << QStringLiteral(" C 0 0  [CR] |  [ACK] |||0|4");
    }
    void shouldMarkOnlyAMissingReplyAtTheNoReplyTick()
    {
        QFETCH(bool, open);
        QFETCH(QByteArray, reply);
        QFETCH(QString, shown);
        m_transaction->Hyouji("C00\r", 1);
        m_port->failPort(1);
        m_port->setPortOpen(open);
        m_port->setPortOpen(true);
        m_transaction->Hyouji("C00\r", 1);
        QCOMPARE(m_port->written, QByteArray("C00\r").repeated(open ? 2 : 1));
        if (!reply.isEmpty())
            m_port->receive(reply);
        m_transaction->Timer2_Timer();
        QCOMPARE(state(), shown);
        QVERIFY(m_transaction->receiveBuffer().isEmpty());
        if (!open)
            return;
        // A late reply starts afresh, is decoded alone, and replaces the mark.
        m_port->receive("00\r");
        QCOMPARE(state(), QStringLiteral(" C 0 0  [CR] | 0 0  [CR] | Power ON|R|0|4"));
        m_transaction->Timer4_Timer();
        QCOMPARE(state(), QStringLiteral("|||R|0|"));
    }

    // What the History window lists after the steps: ">CODE" the panel sends
    // CODE, "<BYTES" they arrive, "!" the no-reply tick, "x" C00 meets a port
    // that would not open. The list follows the ring from the start, as an open window does.
    void shouldRecordEachTransactionInPlainWords_data()
    {
        QTest::addColumn<QByteArrayList>("steps");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("answered in pieces; no reply, then a late one")
            << QByteArrayList{">CR0", "<0", "<0\r", ">C00", "!", "<\x06", "!"}
            << QStringList{u"sent CR0, reply 00 CR, Power ON"_s, u"sent C00, no reply"_s, u"reply ACK"_s};
        QTest::newRow("hours and temperatures read as words")
            << QByteArrayList{">CR3", "<00123\r", ">CR6", "<035.0 036.0 040.0\r"}
            << QStringList{u"sent CR3, reply 00123 CR, 123 Hour Use"_s,
                           u"sent CR6, reply 035.0 036.0 040.0 CR, 035.0 deg C 036.0 deg C 040.0 deg C"_s};
        QTest::newRow("odd bytes, a console command flooded, one not sent")
            << QByteArrayList{">CF VOLUME 015", QByteArray("<\0\xff\x7f\n", 5), ">",
                              "<" + QByteArray(600, 'z'), "x"}
            << QStringList{u"sent CF VOLUME 015, reply NUL 0xFF DEL LF"_s,
                           u"sent CR, reply "_s + QString(512, u'z') + u" … (600 bytes)"_s,
                           u"not sent C00: COM1 → /dev/fake1 · No such device"_s};
        QByteArrayList many;
        QStringList newest;
        for (int i = 0; i <= TransactionHistory::capacity; ++i)
            many << ">C" + QByteArray::number(i), newest << u"sent C%1"_s.arg(i);
        QTest::newRow("the newest 1000") << many << newest.sliced(1);
    }
    void shouldRecordEachTransactionInPlainWords()
    {
        QFETCH(QByteArrayList, steps);
        TransactionHistory history;
        HistoryModel list(history);
        QSignalSpy removed(&list, &QAbstractItemModel::rowsRemoved); // the oldest, from an open window too
        m_transaction->setRecorder(&history);
        for (const QByteArray &step : steps) {
            if (step[0] == '>')
                m_transaction->Hyouji(m_pending = step.sliced(1) + '\r', 1);
            else if (step[0] == '<')
                m_port->receive(step.sliced(1));
            else if (step[0] == 'x') {
                m_port->failPort(1);
                m_port->setPortOpen(false);
                m_port->setPortOpen(true);
                m_transaction->Hyouji("C00\r", 1);
            } else
                m_transaction->Timer2_Timer();
        }
        QStringList lines; // each after its time, "hh:mm:ss ", nine characters
        for (int row = 0; row < list.rowCount(); ++row)
            lines << list.index(row).data().toString().sliced(9);
        QTEST(lines, "lines");
        QCOMPARE(quint64(removed.size()), history.dropped());
    }

private:
    RecordingDisplay m_display;
    QByteArray m_pending;
    FakeCommPort *m_port = nullptr;
    std::unique_ptr<Transaction> m_transaction;
};

QTEST_GUILESS_MAIN(TestTransaction)
#include "tst_transaction.moc"
