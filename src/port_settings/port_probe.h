// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

class CommPort;

// One look at what a port leads to: opens it, asks for the power state, and
// says what came back within a second, or why the port would not open. Then
// the port is closed again.
class PortProbe : public QObject
{
    Q_OBJECT
public:
    static constexpr int replyWaitMs = 1000;

    // The port comes with its settings and number set; it stays the caller's.
    explicit PortProbe(CommPort &port, QObject *parent = nullptr);

    void start();
    // The end of the wait for a reply.
    void ReplyTimer_Timer();

Q_SIGNALS:
    // What an operator reads: the reply rendered and decoded, no reply, or the open failure.
    void finished(const QString &outcome);

private:
    void onOpened(bool opened);
    void onComm();
    void finish(const QString &outcome);

    CommPort &m_port;
    QTimer *ReplyTimer;
    QByteArray m_reply;
};
