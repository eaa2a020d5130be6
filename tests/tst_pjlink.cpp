// SPDX-License-Identifier: GPL-3.0-or-later
// The PJLink bridge without a network: sessions, answers, the shared line.
#include "fakes/fake_comm_port.h"
#include "pjlink/pjlink_session.h"
#include "pjlink/projector_bridge.h"

#include <QTest>
#include <QTimer>

using Replies = QByteArrayList;

// A bridge over the fake line, with a clock the test moves.
struct Rig {
    qint64 now = 0;
    FakeCommPort *port = new FakeCommPort;
    ExchangeQueue queue{port, [this] { return now; }};
    ProjectorBridge bridge{queue, {"Room 4", "tallis-pjlink 2.0.0 COM1"}, [this] { return now; }};

    std::unique_ptr<PjlinkSession> session(const QByteArray &password = {}, QByteArray *out = nullptr)
    {
        auto s = std::make_unique<PjlinkSession>(bridge, password, "a572f60c");
        if (out)
            QObject::connect(s.get(), &PjlinkSession::send, s.get(),
                             [out](const QByteArray &b) { *out += b; });
        return s;
    }
    // The projector answers each command on the line with the next reply;
    // an empty one lets the reply time run out.
    void reply(const Replies &replies)
    {
        for (const QByteArray &r : replies)
            r.isEmpty() ? queue.replyTimer_Timer() : port->receive(r);
    }
};

class TestPjlink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldSendTheTableCodesAndAnswer_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<Replies>("replies");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QByteArray>("answers");
        const QByteArray ack("\x06");
        QTest::newRow("power on") << QByteArray("%1POWR 1\r") << Replies{ack} << QByteArray("C00\r")
                                  << QByteArray("%1POWR=OK\r");
        QTest::newRow("power off") << QByteArray("%1POWR 0\r") << Replies{ack} << QByteArray("C01\r")
                                   << QByteArray("%1POWR=OK\r");
        QTest::newRow("refused") << QByteArray("%1POWR 1\r") << Replies{"?\r"} << QByteArray("C00\r")
                                 << QByteArray("%1POWR=ERR3\r");
        QTest::newRow("no reply") << QByteArray("%1POWR 1\r") << Replies{""} << QByteArray("C00\r")
                                  << QByteArray("%1POWR=ERR4\r");
        // One read each: the command, the code on the line, the reply (before its CR) and the answer.
        for (const char *row :
             {"POWR CR0 00 1", "POWR CR0 80 0", "POWR CR0 40 3", "POWR CR0 20 2", "POWR CR0 81 0",
              "POWR CR0 48 3", "POWR CR0 10 ERR4", "POWR CR0 01 ERR4", "POWR CR0 ? ERR3", "INPT CR1 1 11",
              "INPT CR1 2 12", "INPT CR1 3 21", "INPT CR1 4 51", "INPT CR1 5 52", "INPT CR1 6 ERR4"}) {
            const QByteArrayList f = QByteArray(row).split(' ');
            QTest::newRow(row) << "%1" + f[0] + " ?\r" << Replies{f[2] + '\r'} << f[1] + '\r'
                               << "%1" + f[0] + '=' + f[3] + '\r';
        }
        QTest::newRow("inputs") << QByteArray("%1INPT 11\r%1INPT 12\r%1INPT 21\r%1INPT 22\r")
                                << Replies{ack, ack, ack, ack}
                                << QByteArray("C05\rC06\rCF INPUT VIDEO\rC34\r")
                                << QByteArray("%1INPT=OK\r%1INPT=OK\r%1INPT=OK\r%1INPT=OK\r");
        QTest::newRow("mutes") << QByteArray("%1AVMT ?\r%1AVMT 31\r%1AVMT ?\r%1AVMT 10\r%1AVMT ?\r%1AVMT "
                                             "20\r%1AVMT ?\r%1AVMT 11\r%1AVMT ?\r")
                               << Replies{ack, ack, ack, ack, ack} << QByteArray("C0D\rC0B\rC0E\rC0C\rC0D\r")
                               << QByteArray("%1AVMT=30\r%1AVMT=OK\r%1AVMT=31\r%1AVMT=OK\r%1AVMT=21\r%1AVMT="
                                             "OK\r%1AVMT=30\r%1AVMT=OK\r%1AVMT=11\r");
        QTest::newRow("mutes end in stand-by")
            << QByteArray("%1AVMT 21\r%1POWR ?\r%1AVMT ?\r") << Replies{ack, "80\r"}
            << QByteArray("C0B\rCR0\r") << QByteArray("%1AVMT=OK\r%1POWR=0\r%1AVMT=30\r");
        QTest::newRow("a mute refused") << QByteArray("%1AVMT 30\r%1AVMT ?\r") << Replies{ack, "?\r"}
                                        << QByteArray("C0E\rC0C\r") << QByteArray("%1AVMT=ERR3\r%1AVMT=30\r");
        // Two reads each: the command, the two replies (before their CRs) and the answer.
        for (const char *row :
             {"ERST|00|000 1I|000000", "ERST|81|000 1O|020000", "ERST|08|000 1X|022000",
              "ERST|10|000 1O|000002", "ERST|00|000 1Z|ERR4", "LAMP|00123|000 1I|123 1",
              "LAMP|00000|000 1X|0 0", "LAMP|99999|000 1O|99999 0", "LAMP|0012|000 1I|ERR4"}) {
            const QByteArrayList f = QByteArray(row).split('|');
            QTest::newRow(row) << "%1" + f[0] + " ?\r" << Replies{f[1] + '\r', f[2] + '\r'}
                               << QByteArray(f[0] == "ERST" ? "CR0\rCR LAMPSTS\r" : "CR3\rCR LAMPSTS\r")
                               << "%1" + f[0] + '=' + f[3] + '\r';
        }
        QTest::newRow("facts") << QByteArray("%1INST ?\r%1NAME ?\r%1INF1 ?\r%1INF2 ?\r%1INFO ?\r%1CLSS ?\r")
                               << Replies{} << QByteArray()
                               << QByteArray("%1INST=11 12 21 22\r%1NAME=Room 4\r%1INF1=VORN\r%1INF2=TALLIS\r"
                                             "%1INFO=tallis-pjlink 2.0.0 COM1\r%1CLSS=1\r");
        QTest::newRow("class 2")
            << QByteArray("%2INPT ?\r%2INST ?\r%2POWR ?\r%2INPT 12\r%3CLSS ?\r") << Replies{"2\r", ack}
            << QByteArray("CR1\rC06\r")
            << QByteArray("%2INPT=12\r%2INST=11 12 21 22\r%2POWR=ERR1\r%2INPT=OK\r%3CLSS=ERR1\r");
        QTest::newRow("bad commands")
            << QByteArray("%1XXXX ?\r%1POWR 2\r%1POWR\r%1POWR?\r%1powr ?\r%1INPT 31\r%1NAME \x01\r")
            << Replies{} << QByteArray()
            << QByteArray("%1XXXX=ERR1\r%1POWR=ERR2\r%1POWR=ERR2\r%1POWR=ERR2\r%1powr=ERR1\r%1INPT=ERR2\r%"
                          "1NAME=ERR2\r");
        QTest::newRow("overlong") << "%1XXXX " + QByteArray(300, '1') + "\r%1CLSS ?\r" << Replies{}
                                  << QByteArray() << QByteArray("%1XXXX=ERR2\r%1CLSS=1\r");
        QTest::newRow("garbage, CR LF") << QByteArray("\x01\xff\r\n%1CLSS ?\r\n%CLSS ?\r%1CL\r\r%1CLSS ?\r")
                                        << Replies{} << QByteArray() << QByteArray("%1CLSS=1\r%1CLSS=1\r");
    }
    void shouldSendTheTableCodesAndAnswer()
    {
        QFETCH(QByteArray, lines);
        QFETCH(Replies, replies);
        QFETCH(QByteArray, wire);
        QFETCH(QByteArray, answers);
        Rig rig;
        QByteArray out;
        const auto session = rig.session({}, &out);
        session->receive(lines);
        rig.reply(replies);
        QCOMPARE(rig.port->written, wire);
        QCOMPARE(out, answers);
    }

    void shouldAnswerErr4WhenThePortWillNotOpen()
    {
        Rig rig;
        rig.port->failPort(1);
        QByteArray out;
        const auto session = rig.session({}, &out);
        session->receive("%1POWR ?\r%1INPT 11\r");
        QCOMPARE(out, QByteArray("%1POWR=ERR4\r%1INPT=ERR4\r"));
    }

    void shouldAuthenticate_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QByteArray>("out");
        const QByteArray right("e3d97429adffa11bce1f7275813d4bde"), wrong("e3d97429adffa11bce1f7275813d4bdf");
        QTest::newRow("none") << QByteArray() << QByteArray("%1CLSS ?\r")
                              << QByteArray("PJLINK 0\r%1CLSS=1\r");
        QTest::newRow("right") << QByteArray("password")
                               << right + "%1CLSS ?\r%1INF1 ?\r" + right.toUpper() + "%1CLSS ?\r"
                               << QByteArray("PJLINK 1 a572f60c\r%1CLSS=1\r%1INF1=VORN\r%1CLSS=1\r");
        QTest::newRow("wrong") << QByteArray("password") << wrong + "%1CLSS ?\r%1CLSS ?\r"
                               << QByteArray("PJLINK 1 a572f60c\rPJLINK ERRA\r");
        QTest::newRow("missing") << QByteArray("password") << QByteArray("%1CLSS ?\r")
                                 << QByteArray("PJLINK 1 a572f60c\rPJLINK ERRA\r");
        QTest::newRow("wrong later") << QByteArray("password") << right + "%1CLSS ?\r" + wrong + "%1CLSS ?\r"
                                     << QByteArray("PJLINK 1 a572f60c\r%1CLSS=1\rPJLINK ERRA\r");
    }
    void shouldAuthenticate()
    {
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, lines);
        QFETCH(QByteArray, out);
        Rig rig;
        QByteArray sent;
        const auto session = rig.session(password, &sent);
        sent = session->greeting();
        auto *idle = session->findChild<QTimer *>(QStringLiteral("idleTimer"));
        idle->stop(); // a command starts the idle count afresh
        session->receive(lines);
        QCOMPARE(sent, out);
        QCOMPARE(session->isClosing(), out.endsWith("ERRA\r"));
        QCOMPARE(idle->isActive(), !session->isClosing());
        QCOMPARE(idle->interval(), 30000);
        session->idleTimer_Timer();
        QVERIFY(session->isClosing());
    }

    void shouldShareStatusReadsForOneSecond()
    {
        Rig rig;
        QByteArray first, second;
        const auto a = rig.session({}, &first), b = rig.session({}, &second);
        a->receive("%1POWR ?\r");
        b->receive("%1POWR ?\r%1ERST ?\r"); // joins the read under way
        rig.reply({"00\r", "000 1I\r"});
        rig.now += 1000;
        a->receive("%1POWR ?\r");
        QCOMPARE(rig.port->written, QByteArray("CR0\rCR LAMPSTS\r"));
        rig.now += 1;
        a->receive("%1POWR ?\r");
        rig.reply({"40\r"});
        b->receive("%1POWR 0\r%1POWR ?\r"); // a command makes the last read stale
        rig.reply({"\x06", "20\r"});
        QCOMPARE(rig.port->written, QByteArray("CR0\rCR LAMPSTS\rCR0\rC01\rCR0\r"));
        QCOMPARE(first, QByteArray("%1POWR=1\r%1POWR=1\r%1POWR=3\r"));
        QCOMPARE(second, QByteArray("%1POWR=1\r%1ERST=000000\r%1POWR=OK\r%1POWR=2\r"));
    }

    void shouldBoundTheQueue()
    {
        Rig rig;
        QList<ExchangeResult::Outcome> outcomes;
        for (int i = 0; i < ExchangeQueue::capacity + 1; ++i) // one on the line, the rest waiting
            rig.queue.enqueue("C09\r", &rig.queue, [&](const ExchangeResult &r) { outcomes << r.outcome; });
        QByteArray out;
        const auto session = rig.session({}, &out);
        session->receive("%1POWR 1\r");
        QCOMPARE(out, QByteArray("%1POWR=ERR3\r"));
        rig.now += ExchangeQueue::startLimitMs;
        rig.queue.startTimer_Timer();
        QCOMPARE(outcomes, QList<ExchangeResult::Outcome>(ExchangeQueue::capacity,
                                                          ExchangeResult::Outcome::NotStarted));
        rig.queue.replyTimer_Timer();
        QCOMPARE(outcomes.last(), ExchangeResult::Outcome::NoReply);
        QCOMPARE(rig.port->written, QByteArray("C09\r"));
    }
};

QTEST_GUILESS_MAIN(TestPjlink)
#include "tst_pjlink.moc"
