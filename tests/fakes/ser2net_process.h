// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// ser2net in the foreground in front of a serial device, on 127.0.0.1: one
// port speaks Telnet with the COM-PORT option, the other passes raw bytes.
// Both lead to the same device, so one client at a time across the two: a
// second one is told the device is in use and closed. The device is opened
// when a client connects and set back as it was when the client leaves.
class Ser2NetProcess
{
public:
    // Starts it at once; isRunning() tells whether that worked.
    explicit Ser2NetProcess(const QString &device, const QString &lineSettings = QStringLiteral("9600n81"));
    ~Ser2NetProcess();
    Ser2NetProcess(const Ser2NetProcess &) = delete;
    Ser2NetProcess &operator=(const Ser2NetProcess &) = delete;

    // Starts it again on the same ports; true once both are listening.
    bool start();
    // Ends it: its clients see the connection closed (FIN), the ports refuse.
    void stop();
    bool isRunning() const { return m_process.state() == QProcess::Running; }

    QString rfc2217Address() const;
    QString tcpAddress() const;
    // What it printed: its complaints, when it would not start or serve.
    QString output();

private:
    bool listening() const;

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_telnetPort = 0;
    quint16 m_rawPort = 0;
    QString m_output;
};
