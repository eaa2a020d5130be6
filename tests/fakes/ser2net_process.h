// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// ser2net in the foreground in front of a serial device, on 127.0.0.1: one
// port speaks Telnet with the COM-PORT option, the other passes raw bytes.
// Both lead to the same device, so one client at a time across the two. It
// opens the device when a client connects and sets it back when it leaves.
class Ser2NetProcess
{
public:
    explicit Ser2NetProcess(const QString &device);
    ~Ser2NetProcess();
    Ser2NetProcess(const Ser2NetProcess &) = delete;
    Ser2NetProcess &operator=(const Ser2NetProcess &) = delete;

    // Starts it on the same ports as before; true once both are listening.
    bool start();
    // Its clients see the connection closed; the ports refuse until start().
    void stop();

    QString rfc2217Address() const;
    QString tcpAddress() const;

private:
    bool isListening() const;

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_telnetPort;
    quint16 m_rawPort;
};
