// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The projector simulator as a child process on its own pseudo-terminal (or
// TCP port, with --listen), logging every command it receives; stopped when
// this goes.
class SimulatorProcess
{
public:
    SimulatorProcess(const QString &program, const QStringList &arguments);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    // The pseudo-terminal to open; empty when the simulator did not start.
    QString device() const { return m_device; }
    // With --listen: where it listens, HOST:PORT ([HOST]:PORT for IPv6); empty
    // when it did not start.
    QString address() const { return m_address; }

    // How many times the simulator received `command`, written as its log
    // writes it ("CR0[CR]"), answered or not.
    qsizetype received(const QString &command);
    bool hasLogged(const QString &entry);
    // For signalling it and reading how it ended.
    QProcess &process() { return m_process; }

private:
    const QString &log();

    QProcess m_process;
    QString m_device;
    QString m_address;
    QString m_log;
};
