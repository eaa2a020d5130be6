// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator as a separate process, talked to over its pseudo-terminal.
#include "fakes/simulator_process.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Wide margins: the machine may be busy, and nothing here measures speed.
constexpr int kWaitMs = 10000;
const QString kSimulator = QStringLiteral(TALLIS_PROJECTOR_SIM);

// The simulator and our end of its line, raw, as the program opens it.
class SimulatorLine
{
public:
    explicit SimulatorLine(const QStringList &arguments) : m_sim(kSimulator, arguments)
    {
        m_fd = ::open(QFile::encodeName(m_sim.device()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        if (m_fd < 0 || tcgetattr(m_fd, &tio) != 0)
            return;
        cfmakeraw(&tio);
        m_raw = tcsetattr(m_fd, TCSANOW, &tio) == 0;
    }
    ~SimulatorLine()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool isOpen() const { return m_raw; }
    void send(const QByteArray &bytes)
    {
        QCOMPARE(::write(m_fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    }

    // What arrives until `count` bytes are there or `timeoutMs` has passed.
    QByteArray read(qsizetype count, int timeoutMs = kWaitMs)
    {
        QByteArray out;
        const QDeadlineTimer deadline(timeoutMs);
        while (out.size() < count && !deadline.hasExpired()) {
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0)
                out.append(buffer, n);
            else
                QTest::qSleep(5);
        }
        return out;
    }

private:
    SimulatorProcess m_sim;
    int m_fd = -1;
    bool m_raw = false;
};

} // namespace

// Split replies, silence and stray bytes are tst_e2e's, through the real panel.
class ProjectorSimTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldPlayTheProjectorOnItsPseudoTerminal()
    {
        SimulatorLine line({u"--count-down"_s, u"0"_s});
        QVERIFY(line.isOpen());
        line.send("CR0\r");
        QCOMPARE(line.read(3), QByteArray("80\r"));
        line.send("C00\r");
        QCOMPARE(line.read(1), QByteArray("\x06"));
        line.send("CR0\rCR LAMPSTS\r\n");
        QCOMPARE(line.read(10), QByteArray("00\r000 1I\r"));
    }

    void shouldApplyTheFaultModes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("echo") << QStringList{u"--echo"_s} << QByteArray("CR0\r80\r");
        QTest::newRow("delay") << QStringList{u"--delay"_s, u"100"_s} << QByteArray("80\r");
        QTest::newRow("wire time") << QStringList{u"--wire-time"_s, u"--baud"_s, u"19200"_s}
                                   << QByteArray("80\r");
    }
    void shouldApplyTheFaultModes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, expected);
        SimulatorLine line(arguments);
        QVERIFY(line.isOpen());
        line.send("CR0\r");
        QCOMPARE(line.read(expected.size()), expected);
    }

    void shouldEndCleanlyOnStopSignals_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void shouldEndCleanlyOnStopSignals()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        const QString link = dir.filePath(u"projector"_s);
        SimulatorProcess sim(kSimulator, {u"--link"_s, link});
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.device());
        ::kill(pid_t(sim.process().processId()), signal);
        QVERIFY(sim.process().waitForFinished(kWaitMs));
        QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process().exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void shouldRefuseBadOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("baud") << QStringList{u"--baud"_s, u"4800"_s};
        QTest::newRow("split") << QStringList{u"--split"_s, u"0"_s};
        QTest::newRow("garbage") << QStringList{u"--garbage"_s, u"101"_s};
        QTest::newRow("not a number") << QStringList{u"--delay"_s, u"soon"_s};
    }
    void shouldRefuseBadOptions()
    {
        QFETCH(QStringList, arguments);
        QProcess process;
        process.start(kSimulator, arguments);
        QVERIFY(process.waitForFinished(kWaitMs));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(ProjectorSimTest)
#include "tst_projector_sim.moc"
