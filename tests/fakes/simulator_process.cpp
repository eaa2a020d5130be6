// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/simulator_process.h"

#include <QDeadlineTimer>

namespace {

// Wide: the machine may be busy.
constexpr int kStartMs = 10000;

} // namespace

SimulatorProcess::SimulatorProcess(const QString &program, const QStringList &arguments)
{
    m_process.start(program, QStringList{QStringLiteral("--verbose")} + arguments);
    const QDeadlineTimer deadline(kStartMs);
    while (!m_process.canReadLine() && m_process.state() != QProcess::NotRunning && !deadline.hasExpired())
        m_process.waitForReadyRead(100);
    const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    if (line.startsWith(QLatin1String("device: ")))
        m_device = line.mid(8);
    else if (line.startsWith(QLatin1String("listening: ")))
        m_address = line.mid(11);
}

SimulatorProcess::~SimulatorProcess()
{
    m_process.terminate();
    if (!m_process.waitForFinished(kStartMs))
        m_process.kill();
}

const QString &SimulatorProcess::log()
{
    m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
    return m_log;
}

qsizetype SimulatorProcess::received(const QString &command)
{
    const QString entry = command + QLatin1String(" -> ");
    qsizetype count = 0;
    for (const QStringView line : QStringView(log()).split(u'\n'))
        count += line.startsWith(entry) ? 1 : 0;
    return count;
}

bool SimulatorProcess::hasLogged(const QString &entry)
{
    return log().contains(entry);
}
