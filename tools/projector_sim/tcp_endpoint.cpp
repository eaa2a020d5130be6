// SPDX-License-Identifier: GPL-3.0-or-later
#include "tcp_endpoint.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString systemError(const QString &what)
{
    return what + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
}

QString describe(const sockaddr_storage &address)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET6) {
        const auto &in6 = reinterpret_cast<const sockaddr_in6 &>(address);
        inet_ntop(AF_INET6, &in6.sin6_addr, text, sizeof text);
        return u"[%1]:%2"_s.arg(QString::fromLatin1(text)).arg(ntohs(in6.sin6_port));
    }
    const auto &in4 = reinterpret_cast<const sockaddr_in &>(address);
    inet_ntop(AF_INET, &in4.sin_addr, text, sizeof text);
    return u"%1:%2"_s.arg(QString::fromLatin1(text)).arg(ntohs(in4.sin_port));
}

// Binds a listening socket to the first of the host's addresses that takes it.
int listenOn(const addrinfo *candidates, QString &error)
{
    for (const addrinfo *a = candidates; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            error = systemError(u"cannot make a socket"_s);
            continue;
        }
        // A restart can take the port back at once, without waiting out the
        // old connections' TIME_WAIT.
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 4) == 0)
            return fd;
        error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
    }
    return -1;
}

} // namespace

std::unique_ptr<TcpEndpoint> TcpEndpoint::listen(const ListenAddress &address, QString &error)
{
    const QString where = address.host.contains(u':') ? u"[%1]:%2"_s.arg(address.host).arg(address.port)
                                                      : u"%1:%2"_s.arg(address.host).arg(address.port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo *candidates = nullptr;
    const QByteArray host = address.host.toUtf8();
    const QByteArray port = QByteArray::number(address.port);
    if (const int failure = ::getaddrinfo(host.constData(), port.constData(), &hints, &candidates)) {
        error = u"cannot listen on %1: %2"_s.arg(where, QString::fromLocal8Bit(gai_strerror(failure)));
        return nullptr;
    }
    std::unique_ptr<TcpEndpoint> endpoint(new TcpEndpoint);
    QString why;
    endpoint->m_listenFd = listenOn(candidates, why);
    ::freeaddrinfo(candidates);
    if (endpoint->m_listenFd < 0) {
        error = u"cannot listen on %1: %2"_s.arg(where, why);
        return nullptr;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    if (::getsockname(endpoint->m_listenFd, reinterpret_cast<sockaddr *>(&bound), &length) != 0) {
        error = systemError(u"cannot tell where it listens"_s);
        return nullptr;
    }
    endpoint->m_address = describe(bound);
    // A client that leaves in the middle of a reply must not end the run:
    // the write fails with EPIPE instead and the client is dropped.
    std::signal(SIGPIPE, SIG_IGN);
    return endpoint;
}

TcpEndpoint::~TcpEndpoint()
{
    dropClient();
    if (m_listenFd >= 0)
        ::close(m_listenFd);
}

TcpEndpoint::Arrival TcpEndpoint::acceptOne(QString &peer)
{
    for (;;) {
        sockaddr_storage from{};
        socklen_t length = sizeof from;
        const int fd =
            ::accept4(m_listenFd, reinterpret_cast<sockaddr *>(&from), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return Arrival::None;
            // Gone before we took it, or a passing network error: next one.
            if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO || errno == ENETDOWN ||
                errno == EHOSTUNREACH || errno == ENETUNREACH)
                continue;
            return Arrival::Failed;
        }
        peer = describe(from);
        if (m_clientFd >= 0) {
            ::close(fd);
            return Arrival::Refused;
        }
        // Each reply piece leaves when the shaper says, not when Nagle's
        // algorithm has gathered enough to fill a segment.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        m_clientFd = fd;
        m_clientAddress = peer;
        return Arrival::Served;
    }
}

void TcpEndpoint::dropClient()
{
    if (m_clientFd >= 0)
        ::close(m_clientFd);
    m_clientFd = -1;
    m_clientAddress.clear();
}
