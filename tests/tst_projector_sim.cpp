// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's projector model as a library, then the simulator as a
// separate process, talked to over its pseudo-terminal or its TCP port.
#include "command_framer.h"
#include "console/catalog.h"
#include "fakes/simulator_process.h"
#include "projector_model.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <csignal>
#include <span>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QByteArray kAck("\x06");
const QByteArray kUnknown("?\r");
// Wide margins: the machine may be busy, and nothing here measures speed.
constexpr int kWaitMs = 10000;

// At this time the command goes in and this comes out.
using Step = std::tuple<ProjectorModel::Time, QByteArray, QByteArray>;

} // namespace

// Split replies, silence and stray bytes through the real panel are tst_e2e's.
class ProjectorSimTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Well after the count-down, well before an hour of lamp time.
    void shouldAnswerReadsFromItsState_data()
    {
        QTest::addColumn<QByteArrayList>("before");
        QTest::addColumn<QByteArray>("read");
        QTest::addColumn<QByteArray>("expected");
        const auto add = [](const char *name, const QByteArrayList &before, const char *read,
                            const char *expected) {
            QTest::newRow(name) << before << QByteArray(read) << QByteArray(expected);
        };
        add("input buttons", {"C06", "C34", "C5B"}, "CR1", "2\r");
        add("input by keyword", {"C07", "CF INPUT COMPUTER1 ANALOG"}, "CR1", "1\r");
        add("input down wraps", {"CF INPUT DN"}, "CR1", "5\r");
        add("rear", {"CF REAR ON"}, "CR4", "01\r");
        add("ceiling and rear", {"CF CEIL ON", "CF REAR ON"}, "CR4", "10\r");
        add("lamp mode up wraps", {"CF LAMPMODE ECO", "CF LAMPMODE UP"}, "CR LAMPMODE", "000 HIGH\r");
        add("audio mute button", {"C0B"}, "CR MUTE", "000 ON\r");
        add("step keeps the value", {"CF VOLUME 012", "CF VOLUME UP"}, "CR VOLUME", "000 012\r");
        add("ceiling read back", {"CF CEIL ON"}, "CR CEIL", "000 ON\r");
        add("power read back", {}, "CR STATUS", "000 80\r");
    }
    void shouldAnswerReadsFromItsState()
    {
        QFETCH(QByteArrayList, before);
        QFETCH(QByteArray, read);
        ProjectorModel model;
        for (const QByteArray &command : before)
            QCOMPARE(model.reply(command, 0ms), kAck);
        QTEST(model.reply(read, 60s), "expected");
    }

    // Every command the console offers is taken once its placeholders are
    // filled, but not cut off as overlong; malformed ones are refused.
    void shouldTakeWellFormedCommandsOnly()
    {
        ProjectorModel model;
        for (const auto &list : {std::span<const std::string_view>(kBasicCommands), {kExpandCommands}}) {
            for (const std::string_view entry : list) {
                const QByteArray code = commandPart(QString::fromLatin1(entry)).toLatin1().replace('%', '7');
                QVERIFY2(model.reply(code, 0ms) != kUnknown, code.constData());
                QVERIFY2(model.reply(ReceivedCommand{code, true}, 0ms) == kUnknown, code.constData());
            }
        }
        QCOMPARE(model.reply("C03", 0ms), kAck);
        for (const char *refused :
             {"CR2", "CF VOLUME 0%%", "c00", "C0a", "C000", " ", "CF POWER", "CF  POWER ON", "CF POWER ON ",
              "CF POWER MAYBE", "CF LAMPMODE TURBO", "CR LAMPSTS NOW"})
            QVERIFY2(model.reply(refused, 0ms) == kUnknown, refused);
    }

    // Power on is ignored while cooling down; power off during the count-down
    // cools down too; the lamp-hour counter stops at its last value.
    void shouldFollowPowerAndLampThroughTime_data()
    {
        QTest::addColumn<ProjectorSetup>("setup");
        QTest::addColumn<QList<Step>>("steps");
        QTest::newRow("count-down and cooling") << ProjectorSetup{.countDown = 3000ms, .coolDown = 2000ms}
                                                << QList<Step>{{100ms, "C00", kAck},
                                                               {3099ms, "CR0", "40\r"},
                                                               {3099ms, "CR LAMPSTS", "000 1I\r"},
                                                               {3100ms, "CR0", "00\r"},
                                                               {4000ms, "C00", kAck},
                                                               {4000ms, "CR0", "00\r"},
                                                               {5000ms, "C02", kAck},
                                                               {5000ms, "CR LAMPSTS", "000 1O\r"},
                                                               {6000ms, "C00", kAck},
                                                               {6999ms, "CR0", "20\r"},
                                                               {7000ms, "CF POWER ON", kAck},
                                                               {7500ms, "C01", kAck},
                                                               {9499ms, "CR0", "20\r"},
                                                               {9500ms, "CR0", "80\r"}};
        QTest::newRow("lamp hours while lit")
            << ProjectorSetup{.countDown = 0ms, .lampHours = 99998}
            << QList<Step>{{0ms, "C00", kAck},      {1h - 1ms, "CR3", "99998\r"},    {1h, "CR3", "99999\r"},
                           {3h, "CR3", "99999\r"},  {3h, "CF LAMPH RST", kAck},      {4h, "C02", kAck},
                           {10h, "CR3", "00001\r"}, {10h, "CR LAMPH", "000 00001\r"}};
        QTest::newRow("failed lamp") << ProjectorSetup{.lampFailure = true}
                                     << QList<Step>{{9s, "CR0", "81\r"}, {9s, "CR LAMPSTS", "000 1X\r"}};
    }
    void shouldFollowPowerAndLampThroughTime()
    {
        QFETCH(ProjectorSetup, setup);
        QFETCH(QList<Step>, steps);
        ProjectorModel model(setup);
        for (const auto &[at, command, expected] : steps)
            QVERIFY2(model.reply(command, at) == expected,
                     (command + " at " + QByteArray::number(at.count())).constData());
    }

    // Through the link it makes, opened as the program opens a port; a stop
    // signal ends it cleanly and takes the link away. Bad options: no line.
    void shouldServeTheLineAsItsOptionsSay_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("signal");
        const QByteArray status("CR0\r"), standBy("80\r");
        // Also line feeds after a carriage return and alone, and a line too long for any command.
        QTest::newRow("plain") << QStringList{u"--count-down"_s, u"0"_s}
                               << "CR0\rC00\r\nCR0\r"_ba + QByteArray(200, 'A') + "\r\nCR LAMPSTS\r\n\nCR0\r"
                               << standBy + kAck + "00\r?\r000 1I\r?\r" << SIGTERM;
        QTest::newRow("echo") << QStringList{u"--echo"_s} << status << status + standBy << SIGINT;
        QTest::newRow("wire time") << QStringList{u"--wire-time"_s, u"--baud"_s, u"19200"_s} << status
                                   << standBy << SIGTERM;
        for (const QString &bad : {u"--baud 4800"_s, u"--split 0"_s, u"--garbage 101"_s, u"--delay soon"_s})
            QTest::addRow("refuses %s", qPrintable(bad))
                << bad.split(u' ') << QByteArray() << QByteArray() << 0;
    }
    void shouldServeTheLineAsItsOptionsSay()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, expected);
        QFETCH(int, signal);
        QTemporaryDir dir;
        const QString link = dir.filePath(u"projector"_s);
        SimulatorProcess sim(QStringLiteral(TALLIS_PROJECTOR_SIM), options + QStringList{u"--link"_s, link});
        if (expected.isEmpty()) {
            QCOMPARE(sim.process().exitCode(), 2);
            QVERIFY(sim.device().isEmpty());
            return;
        }
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.device());
        QSerialPort line(link);
        QVERIFY(line.open(QIODevice::ReadWrite));
        line.write(sent);
        QByteArray answer;
        while (answer.size() < expected.size() && line.waitForReadyRead(kWaitMs))
            answer += line.readAll();
        QCOMPARE(answer, expected);
        ::kill(pid_t(sim.process().processId()), signal);
        QVERIFY(sim.process().waitForFinished(kWaitMs));
        QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process().exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    // As a LAN port: one client at a time, a newcomer shut out without
    // disturbing it; a command half-sent by a client that left is dropped,
    // while the projector keeps its state for the next. Bad addresses: no port.
    void shouldServeOneTcpClientAtATime_data()
    {
        QTest::addColumn<QString>("listen");
        QTest::addColumn<QString>("host"); // where it says it listens; empty: refused
        QTest::newRow("address") << u"127.0.0.1:0"_s << u"127.0.0.1"_s;
        QTest::newRow("IPv6") << u"[::1]:0"_s << u"::1"_s;
        for (const QString &bad : {u"127.0.0.1"_s, u"localhost:65536"_s, u"::1:0"_s, u"[::1]0"_s, u":80"_s})
            QTest::addRow("refuses %s", qPrintable(bad)) << bad << QString();
    }
    void shouldServeOneTcpClientAtATime()
    {
        QFETCH(QString, listen);
        SimulatorProcess sim(QStringLiteral(TALLIS_PROJECTOR_SIM), {u"--listen"_s, listen});
        const QUrl url(u"tcp://"_s + sim.address());
        QTEST(url.host(), "host");
        QCOMPARE(sim.process().exitCode(), url.host().isEmpty() ? 2 : 0);
        if (url.host().isEmpty())
            return;
        QTcpSocket first, second, third;
        first.connectToHost(url.host(), url.port());
        QVERIFY(first.waitForConnected(kWaitMs));
        second.connectToHost(url.host(), url.port());
        QVERIFY(second.waitForDisconnected(kWaitMs));
        first.write("CF INPUT DN\rCR");
        QVERIFY(first.waitForReadyRead(kWaitMs));
        QCOMPARE(first.readAll(), kAck);
        first.disconnectFromHost();
        QTRY_VERIFY_WITH_TIMEOUT(sim.hasLogged(u" left"_s), kWaitMs);
        third.connectToHost(url.host(), url.port());
        third.write("CR1\r");
        QVERIFY(third.waitForReadyRead(kWaitMs));
        QCOMPARE(third.readAll(), "5\r"_ba);
    }
};

QTEST_GUILESS_MAIN(ProjectorSimTest)
#include "tst_projector_sim.moc"
