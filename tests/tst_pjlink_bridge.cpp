// SPDX-License-Identifier: GPL-3.0-or-later
// The real tallis-pjlink over a pseudo-terminal to the simulator, with real
// TCP controllers.
#include "fakes/simulator_process.h"
#include "pjlink/bridge_server.h"
#include "pjlink/pjlink_auth.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QTest>

namespace {

// The bridge as a child process; port() is where it listens, 0 if it did not start.
struct Bridge {
    QProcess process;
    QString log;
    quint16 port = 0;
    explicit Bridge(const QStringList &arguments)
    {
        process.setReadChannel(QProcess::StandardError);
        process.start(QStringLiteral(TALLIS_PJLINK), arguments + QStringList{"--listen", "127.0.0.1:0"});
        const QDeadlineTimer deadline(10000);
        while (port == 0 && process.waitForReadyRead(int(deadline.remainingTime()))) {
            log += QString::fromLatin1(process.readAllStandardError());
            port =
                quint16(log.section(QStringLiteral("listening: 127.0.0.1:"), 1).section(u',', 0, 0).toUInt());
        }
    }
    ~Bridge() { process.kill(), process.waitForFinished(); }
};

// A controller: its greeting, then one line at a time.
struct Controller {
    QTcpSocket socket;
    QByteArray greeting;
    explicit Controller(quint16 port)
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        greeting = line();
    }
    QByteArray line()
    {
        QByteArray got;
        while (!got.endsWith('\r') && (socket.bytesAvailable() > 0 || socket.waitForReadyRead(5000)))
            got += socket.read(1);
        return got;
    }
    QByteArray ask(const QByteArray &command)
    {
        socket.write(command + '\r');
        return line();
    }
};

} // namespace

class TestPjlinkBridge : public QObject
{
    Q_OBJECT

    SimulatorProcess m_sim{QStringLiteral(TALLIS_PROJECTOR_SIM),
                           {"--count-down", "600", "--cool-down", "600"}};

private Q_SLOTS:
    void shouldSwitchOnThroughWarmUp()
    {
        Bridge bridge({"--device", m_sim.device(), "--speed", "9600"});
        Controller c(bridge.port);
        QCOMPARE(c.greeting, QByteArray("PJLINK 0\r"));
        QCOMPARE(c.ask("%1POWR 1"), QByteArray("%1POWR=OK\r"));
        QByteArrayList seen{c.ask("%1POWR ?")};
        for (QDeadlineTimer deadline(10000); seen.last() != "%1POWR=1\r" && !deadline.hasExpired();
             QTest::qWait(200))
            seen << c.ask("%1POWR ?");
        QCOMPARE(seen.first(), QByteArray("%1POWR=3\r"));
        QCOMPARE(seen.last(), QByteArray("%1POWR=1\r"));
    }

    // It keeps listening without its port, answers ERR4 and says why once.
    void shouldSayWhyItsPortWouldNotOpen()
    {
        Bridge bridge({"--device", "/nonexistent/tty"});
        Controller c(bridge.port);
        QCOMPARE(c.ask("%1POWR ?"), QByteArray("%1POWR=ERR4\r"));
        QTRY_VERIFY((bridge.log += QString::fromUtf8(bridge.process.readAllStandardError()))
                        .contains(QStringLiteral(
                            "cannot open the projector's port: /nonexistent/tty · No such device")));
        QCOMPARE(bridge.log.count(QStringLiteral("cannot open")), 1);
    }

    void shouldServeSixteenControllersAtOnceAndTurnAwayOneTooMany()
    {
        QTemporaryFile password;
        QVERIFY(password.open());
        password.write("secret\n");
        password.flush();
        Bridge bridge({"--device", m_sim.device(), "--password-file", password.fileName(), "--name", "Hall"});
        const QByteArrayList asks{"INPT 12", "INPT ?", "INF1 ?", "NAME ?",
                                  "CLSS ?",  "INST ?", "AVMT ?", "XXXX ?"};
        const QByteArrayList answers{"INPT=OK", "INPT=12",          "INF1=VORN", "NAME=Hall",
                                     "CLSS=1",  "INST=11 12 21 22", "AVMT=30",   "XXXX=ERR1"};
        std::vector<std::unique_ptr<Controller>> controllers;
        for (int i = 0; i < 16; ++i) {
            controllers.push_back(std::make_unique<Controller>(bridge.port));
            const QByteArray challenge = controllers.back()->greeting.mid(9, 8);
            controllers.back()->socket.write(pjlinkDigest(challenge, "secret") + "%1" + asks[i % 8] + '\r');
        }
        for (int i = 0; i < 16; ++i)
            QCOMPARE(controllers[std::size_t(i)]->line(), "%1" + answers[i % 8] + '\r');
        Controller intruder(bridge.port);
        QCOMPARE(intruder.ask(QByteArray(32, '0') + "%1POWR 0"), QByteArray("PJLINK ERRA\r"));
        QVERIFY(intruder.socket.state() == QAbstractSocket::UnconnectedState ||
                intruder.socket.waitForDisconnected(5000));
        std::vector<std::unique_ptr<QTcpSocket>> crowd(BridgeServer::connectionLimit - 16);
        for (auto &socket : crowd) {
            socket = std::make_unique<QTcpSocket>();
            socket->connectToHost(QHostAddress::LocalHost, bridge.port);
            QVERIFY(socket->waitForReadyRead(5000));
        }
        Controller late(bridge.port);
        QVERIFY(late.greeting.isEmpty() && (late.socket.state() == QAbstractSocket::UnconnectedState ||
                                            late.socket.waitForDisconnected(5000)));
    }

    void shouldRefuseBadOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("speed") << QStringList{"--port", "1", "--speed", "4800"}
                               << "--speed wants 9600 or 19200";
        QTest::newRow("port") << QStringList{"--port", "COM16"} << "--port wants COM1 to COM15";
        QTest::newRow("both") << QStringList{"--port", "1", "--device", "/dev/null"}
                              << "--port and --device exclude each other";
        QTest::newRow("address") << QStringList{"--device", "ftp://host:1"}
                                 << "--device: Unknown kind of address";
        QTest::newRow("listen") << QStringList{"--port", "1", "--listen", "host:"} << "--listen wants PORT";
        QTest::newRow("password") << QStringList{"--port", "1", "--password-file", "/nonexistent"}
                                  << "--password-file: cannot read";
        QTest::newRow("name") << QStringList{"--port", "1", "--name", QString(65, u'x')}
                              << "--name wants at most 64 bytes";
        QTest::newRow("unknown") << QStringList{"--colour"} << "Unknown option 'colour'";
    }
    void shouldRefuseBadOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QProcess process;
        process.start(QStringLiteral(TALLIS_PJLINK), arguments);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 2);
        const QString error = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(error.startsWith(QStringLiteral("tallis-pjlink: ") + message) && error.count(u'\n') == 1,
                 qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestPjlinkBridge)
#include "tst_pjlink_bridge.moc"
