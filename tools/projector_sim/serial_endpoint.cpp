// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial_endpoint.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString systemError(const QString &what)
{
    return what + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
}

// Raw bytes both ways, 8 data bits, no parity, 1 stop bit, no flow control.
bool makeRaw(int fd, int baud)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag &= ~(PARENB | CSTOPB | CSIZE | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    const speed_t speed = baud == 19200 ? B19200 : B9600;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool makeNonBlocking(int fd)
{
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

} // namespace

std::unique_ptr<SerialEndpoint> SerialEndpoint::createPseudoTerminal(int baud, QString &error)
{
    std::unique_ptr<SerialEndpoint> endpoint(new SerialEndpoint);
    char name[256] = {};
    if (openpty(&endpoint->m_fd, &endpoint->m_keptSlave, name, nullptr, nullptr) != 0) {
        error = systemError(u"cannot make a pseudo-terminal"_s);
        return nullptr;
    }
    // Raw on the program's side too: an echoing line discipline would hand
    // our replies back to us as commands before the program sets its mode.
    if (!makeRaw(endpoint->m_keptSlave, baud) || !makeNonBlocking(endpoint->m_fd)) {
        error = systemError(u"cannot set up the pseudo-terminal"_s);
        return nullptr;
    }
    endpoint->m_devicePath = QString::fromLocal8Bit(name);
    return endpoint;
}

std::unique_ptr<SerialEndpoint> SerialEndpoint::openDevice(const QString &path, int baud, QString &error)
{
    std::unique_ptr<SerialEndpoint> endpoint(new SerialEndpoint);
    endpoint->m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (endpoint->m_fd < 0) {
        error = systemError(u"cannot open "_s + path);
        return nullptr;
    }
    if (!makeRaw(endpoint->m_fd, baud)) {
        error = systemError(path + u" is not a usable serial device"_s);
        return nullptr;
    }
    tcflush(endpoint->m_fd, TCIOFLUSH);
    endpoint->m_devicePath = path;
    return endpoint;
}

SerialEndpoint::~SerialEndpoint()
{
    if (!m_link.isEmpty()) {
        // Only our own link: someone may have put something else there since.
        const QByteArray link = QFile::encodeName(m_link);
        const QByteArray target = QFile::encodeName(m_devicePath);
        char points[4096];
        const ssize_t n = ::readlink(link.constData(), points, sizeof points);
        if (n >= 0 && QByteArrayView(points, n) == target)
            ::unlink(link.constData());
    }
    if (m_keptSlave >= 0)
        ::close(m_keptSlave);
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SerialEndpoint::makeLink(const QString &path, QString &error)
{
    const QByteArray linkName = QFile::encodeName(path);
    struct stat existing {};
    if (::lstat(linkName.constData(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            error = path + u" exists and is not a symbolic link"_s;
            return false;
        }
        ::unlink(linkName.constData());
    }
    if (::symlink(QFile::encodeName(m_devicePath).constData(), linkName.constData()) != 0) {
        error = systemError(u"cannot make the link "_s + path);
        return false;
    }
    m_link = path;
    return true;
}
