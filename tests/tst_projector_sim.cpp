// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator as a separate process, talked to over its pseudo-terminal.
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Wide margins: the machine may be busy, and nothing here measures speed.
constexpr int kStartMs = 10000;
constexpr int kReplyMs = 5000;

class RunningSim
{
public:
    explicit RunningSim(const QStringList &arguments)
    {
        m_process.start(QStringLiteral(TALLIS_PROJECTOR_SIM), arguments);
        const QDeadlineTimer deadline(kStartMs);
        while (!m_process.canReadLine() && m_process.state() != QProcess::NotRunning &&
               !deadline.hasExpired())
            m_process.waitForReadyRead(100);
        const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        if (line.startsWith("device: "_L1))
            m_device = line.mid(8);
    }
    ~RunningSim()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kStartMs);
        }
    }

    QString device() const { return m_device; }
    QProcess &process() { return m_process; }

    bool open()
    {
        m_fd = ::open(QFile::encodeName(m_device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        if (m_fd < 0 || tcgetattr(m_fd, &tio) != 0)
            return false;
        cfmakeraw(&tio);
        return tcsetattr(m_fd, TCSANOW, &tio) == 0;
    }

    void send(const QByteArray &bytes)
    {
        QCOMPARE(::write(m_fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    }

    // What arrives until `count` bytes are there or `timeoutMs` has passed.
    QByteArray read(qsizetype count, int timeoutMs = kReplyMs)
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

    bool stop(int signal)
    {
        ::kill(pid_t(m_process.processId()), signal);
        return m_process.waitForFinished(kStartMs);
    }

private:
    QProcess m_process;
    QString m_device;
    int m_fd = -1;
};

} // namespace

class ProjectorSimTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldPlayTheProjectorOnItsPseudoTerminal()
    {
        RunningSim sim({u"--count-down"_s, u"0"_s});
        QVERIFY2(sim.device().startsWith("/dev/"_L1), qPrintable(sim.device()));
        QVERIFY(sim.open());

        sim.send("CR0\r");
        QCOMPARE(sim.read(3), QByteArray("80\r"));
        sim.send("C00\r");
        QCOMPARE(sim.read(1), QByteArray("\x06"));
        sim.send("CR0\rCR LAMPSTS\r\n");
        QCOMPARE(sim.read(10), QByteArray("00\r000 1I\r"));
    }

    void shouldApplyTheFaultModes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("echo") << QStringList{u"--echo"_s} << QByteArray("CR0\r80\r");
        QTest::newRow("delay") << QStringList{u"--delay"_s, u"100"_s} << QByteArray("80\r");
        QTest::newRow("split") << QStringList{u"--split"_s, u"3"_s, u"--split-gap"_s, u"20"_s}
                               << QByteArray("80\r");
        QTest::newRow("wire time") << QStringList{u"--wire-time"_s, u"--baud"_s, u"19200"_s}
                                   << QByteArray("80\r");
    }
    void shouldApplyTheFaultModes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, expected);

        RunningSim sim(arguments);
        QVERIFY(sim.open());
        sim.send("CR0\r");
        QCOMPARE(sim.read(expected.size()), expected);
    }

    void shouldStaySilent()
    {
        RunningSim sim({u"--silent"_s});
        QVERIFY(sim.open());
        sim.send("CR0\rC00\r");
        QCOMPARE(sim.read(1, 300), QByteArray());
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

        RunningSim sim({u"--link"_s, link});
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.device());
        QVERIFY(sim.stop(signal));
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
        process.start(QStringLiteral(TALLIS_PROJECTOR_SIM), arguments);
        QVERIFY(process.waitForFinished(kStartMs));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(ProjectorSimTest)
#include "tst_projector_sim.moc"
