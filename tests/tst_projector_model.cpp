// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_framer.h"
#include "console/catalog.h"
#include "projector_model.h"
#include "reply_shaper.h"

#include <QTest>

using namespace std::chrono_literals;
using Time = ProjectorModel::Time;

namespace {

const QByteArray kAck("\x06");
const QByteArray kUnknown("?\r");

// One step of a session: at this time the command goes in and this comes out.
struct Step {
    Time at;
    QByteArray command;
    QByteArray expected;
};

void play(ProjectorModel &model, const QList<Step> &steps)
{
    for (const Step &step : steps) {
        const QByteArray reply = model.reply(step.command, step.at);
        if (reply != step.expected) {
            QFAIL(qPrintable(QStringLiteral("%1 at %2 ms answered %3, expected %4")
                                 .arg(QString::fromLatin1(step.command))
                                 .arg(step.at.count())
                                 .arg(QString::fromLatin1(reply.toHex(' ')),
                                      QString::fromLatin1(step.expected.toHex(' ')))));
        }
    }
}

} // namespace

class ProjectorModelTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldCutCommandsAtCarriageReturns_data()
    {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QByteArrayList>("expected");

        QTest::newRow("one command") << QByteArrayList{"CR0\r"} << QByteArrayList{"CR0"};
        QTest::newRow("two in one chunk") << QByteArrayList{"CR0\rC00\r"} << QByteArrayList{"CR0", "C00"};
        QTest::newRow("split across chunks")
            << QByteArrayList{"C", "R LAMP", "MODE", "\r"} << QByteArrayList{"CR LAMPMODE"};
        QTest::newRow("no end yet") << QByteArrayList{"CR0"} << QByteArrayList{};
        QTest::newRow("line feed after the end")
            << QByteArrayList{"CR0\r\nC00\r\n"} << QByteArrayList{"CR0", "C00"};
        QTest::newRow("line feed in the next chunk")
            << QByteArrayList{"CR0\r", "\nC00\r"} << QByteArrayList{"CR0", "C00"};
        QTest::newRow("lone line feed is text") << QByteArrayList{"\nCR0\r"} << QByteArrayList{"\nCR0"};
        QTest::newRow("empty line") << QByteArrayList{"\r\r"} << QByteArrayList{"", ""};
    }
    void shouldCutCommandsAtCarriageReturns()
    {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QByteArrayList, expected);

        CommandFramer framer;
        QByteArrayList commands;
        for (const QByteArray &chunk : chunks) {
            for (const ReceivedCommand &command : framer.feed(chunk)) {
                QVERIFY(!command.overlong);
                commands.append(command.text);
            }
        }
        QCOMPARE(commands, expected);
    }

    // The longest line is taken; beyond it the line is cut off and answered "?".
    void shouldBoundALineThatNeverEnds()
    {
        CommandFramer framer;
        const QList<ReceivedCommand> longest = framer.feed(QByteArray(CommandFramer::kMaxLength, 'A') + '\r');
        QCOMPARE(longest.size(), 1);
        QVERIFY(!longest[0].overlong);

        QVERIFY(framer.feed(QByteArray(100'000, 'A')).isEmpty());
        QCOMPARE(framer.buffered(), CommandFramer::kMaxLength);
        const QList<ReceivedCommand> ended = framer.feed("\rCR0\r");
        QCOMPARE(ended.size(), 2);
        QVERIFY(ended[0].overlong);
        QCOMPARE(ProjectorModel().reply(ended[0], 0ms), kUnknown);
        QVERIFY(!ended[1].overlong);
        QCOMPARE(ended[1].text, QByteArray("CR0"));
    }

    // Status reads in the exact bytes the panel decodes after set commands,
    // and the extended reads giving back what was set. Power and lamp states
    // are checked along the walk below, and each read's plain answer by
    // tst_e2e through the panel.
    void shouldAnswerReadsFromItsState_data()
    {
        QTest::addColumn<QByteArrayList>("before");
        QTest::addColumn<QByteArray>("read");
        QTest::addColumn<QByteArray>("expected");
        const auto add = [](const char *name, const QByteArrayList &before, const char *read,
                            const QByteArray &expected) {
            QTest::newRow(name) << before << QByteArray(read) << expected;
        };

        add("on by keyword", {"CF POWER ON"}, "CR0", "00\r");
        add("computer 2 dvi", {"C5B"}, "CR1", "2\r");
        add("s-video", {"C34"}, "CR1", "3\r");
        add("input by keyword", {"C07", "CF INPUT COMPUTER1 ANALOG"}, "CR1", "1\r");
        add("input down wraps", {"CF INPUT DN"}, "CR1", "5\r");
        add("lamp hours reset", {"CF LAMPH RST"}, "CR3", "00000\r");
        add("rear", {"CF REAR ON"}, "CR4", "01\r");
        add("ceiling", {"CF CEIL ON"}, "CR4", "00\r");
        add("ceiling and rear", {"CF CEIL ON", "CF REAR ON"}, "CR4", "10\r");
        add("lamp mode up wraps", {"CF LAMPMODE ECO", "CF LAMPMODE UP"}, "CR LAMPMODE", "000 HIGH\r");
        add("lamp mode down", {"CF LAMPMODE DN"}, "CR LAMPMODE", "000 HIGH\r");
        add("basic lamp mode read", {"CF LAMPMODE ECO"}, "CR7", "000 ECO\r");
        add("unknown status digit", {}, "CR2", kUnknown);
        add("audio mute button", {"C0B"}, "CR MUTE", "000 ON\r");
        add("freeze off button", {"CF FREEZE ON", "C44"}, "CR FREEZE", "000 OFF\r");
        add("typed value", {"CF VOLUME 012"}, "CR VOLUME", "000 012\r");
        add("step keeps the value", {"CF VOLUME 012", "CF VOLUME UP"}, "CR VOLUME", "000 012\r");
        add("ceiling read back", {"CF CEIL ON"}, "CR CEIL", "000 ON\r");
        add("input read back", {"C06"}, "CR INPUT", "000 2\r");
        add("power read back", {}, "CR STATUS", "000 80\r");
    }
    void shouldAnswerReadsFromItsState()
    {
        QFETCH(QByteArrayList, before);
        QFETCH(QByteArray, read);
        QFETCH(QByteArray, expected);

        ProjectorModel model;
        for (const QByteArray &command : before)
            QCOMPARE(model.reply(command, 0ms), kAck);
        // Well after the count-down, well before an hour of lamp time.
        QCOMPARE(model.reply(read, 60s), expected);
    }

    void shouldWalkThroughCountDownAndCooling()
    {
        ProjectorModel model({.countDown = 3000ms, .coolDown = 2000ms});
        play(model, {
                        {0ms, "CR0", "80\r"},
                        {100ms, "C00", kAck},
                        {100ms, "CR0", "40\r"},
                        {100ms, "CR LAMPSTS", "000 1I\r"},
                        {3099ms, "CR0", "40\r"},
                        {3100ms, "CR0", "00\r"},
                        {4000ms, "C00", kAck}, // already on: nothing changes
                        {4000ms, "CR0", "00\r"},
                        {5000ms, "C02", kAck},
                        {5000ms, "CR0", "20\r"},
                        {5000ms, "CR LAMPSTS", "000 1O\r"},
                        {6000ms, "C00", kAck}, // ignored while cooling down
                        {6999ms, "CR0", "20\r"},
                        {7000ms, "CR0", "80\r"},
                        {7000ms, "CF POWER ON", kAck},
                        {7500ms, "C01", kAck}, // off during count-down cools down too
                        {7500ms, "CR0", "20\r"},
                        {9500ms, "CR0", "80\r"},
                    });
    }

    void shouldCountLampHoursOnlyWhileLit()
    {
        ProjectorModel model({.countDown = 0ms, .lampHours = 99998});
        play(model, {
                        {0ms, "C00", kAck},
                        {1h - 1ms, "CR3", "99998\r"},
                        {1h, "CR3", "99999\r"},
                        {3h, "CR3", "99999\r"}, // the counter stops at its last value
                        {3h, "CF LAMPH RST", kAck},
                        {4h, "C02", kAck},
                        {10h, "CR3", "00001\r"},
                        {10h, "CR LAMPH", "000 00001\r"},
                    });
    }

    void shouldReportAFailedLamp()
    {
        ProjectorModel model({.lampFailure = true});
        play(model, {
                        {0ms, "CR0", "81\r"},
                        {0ms, "C00", kAck},
                        {10s, "CR0", "81\r"},
                        {10s, "CR LAMPSTS", "000 1X\r"},
                    });
    }

    void shouldAnswerOtherCommandsByTheirShape_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("basic unknown code") << QByteArray("C03") << kAck;
        QTest::newRow("placeholder left") << QByteArray("CF VOLUME 0%%") << kUnknown;
        QTest::newRow("lower case") << QByteArray("c00") << kUnknown;
        QTest::newRow("not hex") << QByteArray("C0G") << kUnknown;
        QTest::newRow("too long code") << QByteArray("C000") << kUnknown;
        QTest::newRow("empty") << QByteArray() << kUnknown;
        QTest::newRow("a space") << QByteArray(" ") << kUnknown;
        QTest::newRow("keyword without argument") << QByteArray("CF POWER") << kUnknown;
        QTest::newRow("double space") << QByteArray("CF  POWER ON") << kUnknown;
        QTest::newRow("trailing space") << QByteArray("CF POWER ON ") << kUnknown;
        QTest::newRow("bad power argument") << QByteArray("CF POWER MAYBE") << kUnknown;
        QTest::newRow("bad lamp mode") << QByteArray("CF LAMPMODE TURBO") << kUnknown;
        QTest::newRow("read with argument") << QByteArray("CR LAMPSTS NOW") << kUnknown;
        QTest::newRow("read of nothing set") << QByteArray("CR VOLUME") << kUnknown;
        QTest::newRow("no prefix") << QByteArray("XYZ") << kUnknown;
    }
    void shouldAnswerOtherCommandsByTheirShape()
    {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, expected);
        QCOMPARE(ProjectorModel().reply(command, 0ms), expected);
    }

    // Every set and key command the console offers is one the projector takes,
    // once its placeholders are filled.
    void shouldTakeEveryCatalogueCommand()
    {
        ProjectorModel model;
        auto check = [&](std::string_view entry) {
            const QString text = QString::fromLatin1(entry.data(), qsizetype(entry.size()));
            const QByteArray command = commandPart(text).toLatin1().replace('%', '7');
            const QByteArray reply = model.reply(command, 0ms);
            QVERIFY2(reply != kUnknown, command.constData());
        };
        for (const std::string_view entry : kBasicCommands)
            check(entry);
        for (const std::string_view entry : kExpandCommands)
            check(entry);
    }

    void shouldShapeRepliesUnderFaults_data()
    {
        QTest::addColumn<ReplyFaults>("faults");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QList<TimedPiece>>("expected");

        QTest::newRow("as it is") << ReplyFaults{} << QByteArray("80\r") << QList<TimedPiece>{{0ms, "80\r"}};
        QTest::newRow("delayed") << ReplyFaults{.delay = 200ms} << QByteArray("\x06")
                                 << QList<TimedPiece>{{200ms, "\x06"}};
        QTest::newRow("split") << ReplyFaults{.delay = 10ms, .pieces = 3, .pieceGap = 50ms}
                               << QByteArray("80\r")
                               << QList<TimedPiece>{{10ms, "8"}, {60ms, "0"}, {110ms, "\r"}};
        QTest::newRow("split unevenly")
            << ReplyFaults{.pieces = 3, .pieceGap = 5ms} << QByteArray("000 ECO\r")
            << QList<TimedPiece>{{0ms, "000"}, {5ms, " EC"}, {10ms, "O\r"}};
        QTest::newRow("more pieces than bytes")
            << ReplyFaults{.pieces = 5, .pieceGap = 5ms} << QByteArray("?\r")
            << QList<TimedPiece>{{0ms, "?"}, {5ms, "\r"}};
        QTest::newRow("echo first") << ReplyFaults{.delay = 20ms, .echo = true} << QByteArray("80\r")
                                    << QList<TimedPiece>{{0ms, "CR0\r"}, {20ms, "80\r"}};
    }
    void shouldShapeRepliesUnderFaults()
    {
        QFETCH(ReplyFaults, faults);
        QFETCH(QByteArray, reply);
        QFETCH(QList<TimedPiece>, expected);
        QCOMPARE(ReplyShaper(faults).shape("CR0", reply), expected);
    }

    void shouldMixInStrayBytesReproducibly()
    {
        const QByteArray reply("035.0 040.5 038.0\r");
        ReplyShaper always({.garbagePercent = 100});
        const QByteArray mixed = always.shape("CR6", reply).constFirst().bytes;
        QCOMPARE(mixed.size(), 2 * reply.size());
        for (qsizetype i = 0; i < reply.size(); ++i) {
            QVERIFY(QByteArray::fromHex("007fff").contains(mixed[2 * i]));
            QCOMPARE(mixed[2 * i + 1], reply[i]);
        }

        ReplyShaper some({.garbagePercent = 30}, 7);
        ReplyShaper same({.garbagePercent = 30}, 7);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(some.shape("CR6", reply), same.shape("CR6", reply));
        QCOMPARE(ReplyShaper({.garbagePercent = 0}).shape("CR6", reply).constFirst().bytes, reply);
    }
};

QTEST_GUILESS_MAIN(ProjectorModelTest)
#include "tst_projector_model.moc"
