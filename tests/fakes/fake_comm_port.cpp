// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_comm_port.h"

bool FakeCommPort::setPortOpen(bool open)
{
    if (!open) {
        m_open = false;
        return true;
    }
    if (m_open || commPort() < 1 || m_failing.contains(commPort())) {
        PortFailure failure = m_failing.value(commPort());
        if (failure.kind == PortFailure::Kind::None)
            failure = {PortFailure::Kind::NotFound, QStringLiteral("/dev/fake%1").arg(commPort()),
                       QStringLiteral("No such file or directory")};
        setFailure(failure);
        return false;
    }
    m_open = true;
    openedSettings = settings();
    openedPort = commPort();
    setFailure({});
    return true;
}

void FakeCommPort::setOutput(const QByteArray &bytes)
{
    if (m_open)
        written += bytes;
}

QByteArray FakeCommPort::input()
{
    return std::exchange(m_pending, {});
}

void FakeCommPort::receive(const QByteArray &bytes)
{
    m_pending += bytes;
    m_event = comEvReceive;
    Q_EMIT onComm();
}

void FakeCommPort::raiseEvent(int code)
{
    m_event = code;
    Q_EMIT onComm();
}
