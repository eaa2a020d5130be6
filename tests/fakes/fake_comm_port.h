// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/comm_port.h"

#include <QHash>

// A serial control without a line: records what is sent, delivers what a test
// says was received, and opens every port number but the ones told to fail.
class FakeCommPort : public CommPort
{
    Q_OBJECT
public:
    using CommPort::CommPort;

    bool portOpen() const override { return m_open; }
    bool setPortOpen(bool open) override;
    void setOutput(const QByteArray &bytes) override;
    QByteArray input() override;
    int commEvent() const override { return m_event; }

    // Bytes arrive on the line: raises onComm with the receive event.
    void receive(const QByteArray &bytes);
    // Any other line event.
    void raiseEvent(int code);
    // Opening the port fails with this failure; by default a missing /dev/fake<number>.
    void failPort(qint16 number, const PortFailure &failure = {}) { m_failing.insert(number, failure); }

    QByteArray written;     // everything sent while open
    QString openedSettings; // settings in force at the last successful open
    qint16 openedPort = 0;

private:
    bool m_open = false;
    int m_event = 0;
    QByteArray m_pending;
    QHash<qint16, PortFailure> m_failing;
};
