// SPDX-License-Identifier: GPL-3.0-or-later
// The panel on a projector across the network: Debian's ser2net in front of
// the simulator's pseudo-terminal, through its RFC 2217 and its raw TCP
// accepter, and the simulator's own TCP port. Everything on loopback.
#include "fakes/fake_panel.h"
#include "fakes/modal_watcher.h"
#include "fakes/private_settings_store.h"
#include "fakes/ser2net_process.h"
#include "fakes/simulator_process.h"
#include "port_settings/port_mapping.h"
#include "serial/routing_comm_port.h"

#include <QRadioButton>
#include <QTcpServer>
#include <QTest>

#include <ctime>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <span>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kReplyMs = 5000;

// The simulator, with ser2net in front of it unless it listens itself.
struct NetworkProjector {
    explicit NetworkProjector(const QString &way)
        : sim(QStringLiteral(TALLIS_PROJECTOR_SIM),
              way == u"own"_s ? QStringList{u"--listen"_s, u"127.0.0.1:0"_s} : QStringList{})
    {
        if (way != u"own"_s)
            ser2net = std::make_unique<Ser2NetProcess>(sim.device());
        address = way == u"own"_s       ? u"tcp://"_s + sim.address()
                  : way == u"rfc2217"_s ? ser2net->rfc2217Address()
                                        : ser2net->tcpAddress();
    }

    SimulatorProcess sim;
    std::unique_ptr<Ser2NetProcess> ser2net;
    QString address;
};

// The speed a terminal device is set to, read as any program on it would.
speed_t deviceSpeed(const QString &device)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios settings{};
    const bool read = fd >= 0 && ::tcgetattr(fd, &settings) == 0;
    if (fd >= 0)
        ::close(fd);
    return read ? cfgetospeed(&settings) : B0;
}

// A port with a full backlog: a connect to it waits for an answer that never comes.
struct DeafPort {
    DeafPort()
    {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        auto *any = reinterpret_cast<sockaddr *>(&address);
        socklen_t size = sizeof address;
        ::bind(fds[0], any, size);
        ::listen(fds[0], 0);
        ::getsockname(fds[0], any, &size);
        port = ntohs(address.sin_port);
        for (int &filler : std::span(fds).subspan(1)) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, any, size);
        }
    }
    ~DeafPort()
    {
        for (int fd : fds)
            ::close(fd);
    }
    int fds[4] = {::socket(AF_INET, SOCK_STREAM, 0)};
    quint16 port = 0;
};

quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

} // namespace

class TestNetwork : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The demo tour: power-on, every status read decoded, a lamp mode read
    // back, a held arrow and a console command with a typed parameter.
    void shouldPassTheDemoTourThroughEachServer_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("RFC 2217 through ser2net") << u"rfc2217"_s;
        QTest::newRow("raw TCP through ser2net") << u"tcp"_s;
        QTest::newRow("the simulator's own port") << u"own"_s;
    }
    void shouldPassTheDemoTourThroughEachServer()
    {
        QFETCH(QString, way);
        NetworkProjector projector(way);
        QProcess tour;
        tour.start(QStringLiteral(TALLIS_DEMO_TOUR), {projector.address});
        QVERIFY(tour.waitForFinished(120000));
        const QString out =
            QString::fromLocal8Bit(tour.readAllStandardOutput() + tour.readAllStandardError());
        QVERIFY2(tour.exitStatus() == QProcess::NormalExit && tour.exitCode() == 0, qPrintable(out));
        QVERIFY2(!out.contains(u"FAILED"_s) && out.contains(u"\" Lamp Mode is Eco\""_s), qPrintable(out));
        QTRY_VERIFY_WITH_TIMEOUT(projector.sim.received(u"C09[CR]"_s) >= 2,
                                 kReplyMs); // the held arrow repeated
    }

    // ser2net goes away mid-session and comes back: the port closes at once,
    // without spinning, and the next click connects again, unless the
    // operator closed the port with "COM" meanwhile.
    void shouldReconnectAfterTheServerRestarts_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("closedByCom");
        QTest::newRow("RFC 2217") << u"rfc2217"_s << false;
        QTest::newRow("raw TCP") << u"tcp"_s << false;
        QTest::newRow("RFC 2217, closed by COM meanwhile") << u"rfc2217"_s << true;
    }
    void shouldReconnectAfterTheServerRestarts()
    {
        QFETCH(QString, way);
        QFETCH(bool, closedByCom);
        NetworkProjector projector(way);
        Module1 module;
        Form1 form(module, new RoutingCommPort([&](qint16) { return projector.address; }));
        QVERIFY2(form.commPort().setPortOpen(true), qPrintable(form.commPort().lastFailure().reason));
        form.Command_Click(44);
        QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(&form, u"Label25"_s)->text().isEmpty(), false, kReplyMs);

        projector.ser2net->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!form.commPort().portOpen(), kReplyMs);
        const std::clock_t busy = std::clock();
        QTest::qWait(300);
        QVERIFY2(std::clock() - busy < CLOCKS_PER_SEC / 10, "busy after the server went away");
        form.Command_Click(17); // refused meanwhile: nothing to send it to
        QVERIFY(!form.commPort().portOpen());
        if (closedByCom)
            form.Command33_Click();

        projector.ser2net->start();
        form.Command_Click(18);
        QCOMPARE(form.commPort().portOpen(), !closedByCom);
        QTRY_COMPARE_WITH_TIMEOUT(projector.sim.received(u"C01[CR]"_s), closedByCom ? 0 : 1, kReplyMs);
        QCOMPARE(projector.sim.received(u"C00[CR]"_s), 0);
    }

    // Through the dialog: the speed chosen reaches the device behind the
    // server, and a port that will not open says why.
    void shouldOpenWhatTheDialogChoosesOrSayWhyNot_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("says");
        QTest::newRow("opens at 19200") << u"rfc2217"_s << QString();
        QTest::newRow("refused") << u"tcp://127.0.0.1:%1"_s.arg(closedPort()) << u"Connection refused."_s;
        QTest::newRow("host not found") << u"tcp://no-such-host.invalid:23"_s << u"Host not found."_s;
        QTest::newRow("no answer") << u"deaf"_s << u"No answer from 127.0.0.1:%1 within 3 s."_s;
        QTest::newRow("not RFC 2217")
            << u"rfc2217 on raw"_s
            << u"does not speak RFC 2217 (Telnet with the COM-PORT option). If it is "
               "a raw TCP port, write tcp://127.0.0.1:"_s;
        QTest::newRow("not an address") << u"tcp://projector"_s << u"Not a port that can be used."_s;
    }
    void shouldOpenWhatTheDialogChoosesOrSayWhyNot()
    {
        QFETCH(QString, address);
        QFETCH(QString, says);
        NetworkProjector projector(u"rfc2217"_s);
        const DeafPort deaf;
        if (address == u"rfc2217"_s)
            address = projector.address;
        if (address == u"rfc2217 on raw"_s)
            address = projector.ser2net->tcpAddress().replace(u"tcp:"_s, u"rfc2217:"_s);
        if (address == u"deaf"_s) {
            address = u"tcp://127.0.0.1:%1"_s.arg(deaf.port);
            says = says.arg(deaf.port);
        }
        QSettings(u"VORN"_s, u"VORN"_s).setValue(u"Ports/COM3"_s, address);
        ModalWatcher watcher;
        Module1 module;
        Form1 form(module, new RoutingCommPort(&storedPortDevice));
        form.Command33_Click();
        Form2 *dialog = openWindow<Form2>(form);
        QVERIFY(dialog);
        QCOMPARE(control<QRadioButton>(dialog, u"Option5"_s)->toolTip(), u"COM3 → "_s + address);
        for (const QString &option : {u"Option2"_s, u"Option5"_s, u"Command1"_s})
            control<QAbstractButton>(dialog, option)->click();
        QCOMPARE(form.commPort().portOpen(), says.isEmpty());
        QCOMPARE(watcher.messages.size(), says.isEmpty() ? 0 : 1);
        if (says.isEmpty())
            QCOMPARE(deviceSpeed(projector.sim.device()), speed_t(B19200));
        else
            QVERIFY2(watcher.messages[0].informativeText.contains(says),
                     qPrintable(watcher.messages[0].informativeText));
    }

private:
    PrivateSettingsStore m_settings;
};

QTEST_MAIN(TestNetwork)
#include "tst_network.moc"
