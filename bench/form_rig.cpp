// SPDX-License-Identifier: GPL-3.0-or-later
#include "form_rig.h"

#include "event_loop.h"

#include "fakes/ser2net_process.h"
#include "serial/port_address.h"
#include "serial/routing_comm_port.h"
#include "serial/transaction.h"

#include <QAbstractButton>
#include <QTest>

#include <csignal>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A plain blocking socket to a port on 127.0.0.1, sending each write at once
// as the window's port does; -1 if it cannot connect.
int connectToLoopback(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int noDelay = 1;
    if (::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay) != 0 ||
        ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

struct FormRig::Network {
    explicit Network(const QString &device) : server(device), floorServer(floorLine.slavePath()) {}

    Ser2NetProcess server;
    PtyPair floorLine;
    Ser2NetProcess floorServer;
};

FormRig::FormRig(Line line)
{
    if (!m_pty.isValid())
        return;
    if (line == Line::Device) {
        m_portName = m_pty.slavePath();
        // Before the window's port opens it exclusively.
        m_floorFd = ::open(m_portName.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    } else {
        // A ser2net that goes away must end a sample, not the bench.
        std::signal(SIGPIPE, SIG_IGN);
        m_network = std::make_unique<Network>(m_pty.slavePath());
        m_portName = m_network->server.rfc2217Address();
        m_floorFd = connectToLoopback(parsePortAddress(m_network->floorServer.tcpAddress()).port);
    }
    const QString name = m_portName;
    auto *port = new RoutingCommPort([name](qint16) { return name; });
    m_form = new Form1(m_module, port);
    port->setSettings(QStringLiteral("19200,N,8,1"));
    // Expanded, as Ctrl+H leaves it: the traffic views are on screen and get painted.
    m_form->setHeightTwips(Form1::expandedHeight);
    m_form->show();
    m_ready = m_floorFd >= 0 && port->setPortOpen(true) && QTest::qWaitForWindowExposed(m_form);
    settle();
}

FormRig::~FormRig()
{
    delete m_form;
    if (m_floorFd >= 0)
        ::close(m_floorFd);
}

std::vector<int> FormRig::wireFds() const
{
    if (m_network)
        return {m_pty.masterFd(), m_network->floorLine.masterFd()};
    return {m_pty.masterFd()};
}

QAbstractButton *FormRig::button(int number) const
{
    return m_form->findChild<QAbstractButton *>(QStringLiteral("Command%1").arg(number));
}

void FormRig::settle()
{
    m_form->transaction().Timer2_Timer();
    m_form->transaction().Timer4_Timer();
    runEventLoopFor(10);
}
