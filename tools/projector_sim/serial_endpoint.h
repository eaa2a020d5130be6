// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

// The simulator's end of the line, raw 8N1: either a new pseudo-terminal,
// whose other end the program opens, or a serial device.
class SerialEndpoint
{
public:
    static std::unique_ptr<SerialEndpoint> createPseudoTerminal(int baud, QString &error);
    static std::unique_ptr<SerialEndpoint> openDevice(const QString &path, int baud, QString &error);
    ~SerialEndpoint();
    SerialEndpoint(const SerialEndpoint &) = delete;
    SerialEndpoint &operator=(const SerialEndpoint &) = delete;

    // Non-blocking descriptor to read commands from and write replies to.
    int fd() const { return m_fd; }
    // What the program should open.
    QString devicePath() const { return m_devicePath; }
    bool isPseudoTerminal() const { return m_keptSlave >= 0; }

    // Points a symbolic link at the device, replacing an earlier link but no
    // other kind of file. The link goes when the endpoint does.
    bool makeLink(const QString &path, QString &error);

private:
    SerialEndpoint() = default;

    int m_fd = -1;
    // The pseudo-terminal's other end, held so that the program closing and
    // reopening it never hangs up the line under us.
    int m_keptSlave = -1;
    QString m_devicePath;
    QString m_link;
};
