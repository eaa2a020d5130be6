// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/comm_port.h"

#include <QByteArray>
#include <QObject>

class QTimer;
class TrafficDisplay;
class TransactionRecorder;

// One command and its reply: sends on the serial control, collects what comes
// back, shows both with their control codes made visible, decodes status
// replies, marks a missing reply and clears the views again.
class Transaction : public QObject
{
    Q_OBJECT
public:
    static constexpr qsizetype receiveLimit = 32767; // bytes kept of a reply

    // Takes over the port. pendingCommand is the last panel command, which
    // picks the decoding of a reply; it is only read.
    Transaction(CommPort *port, TrafficDisplay &views, const QByteArray &pendingCommand,
                QObject *parent = nullptr);

    // Mode 1 transmits the text; any other mode shows it as the reply so far.
    void Hyouji(const QByteArray &text, quint8 mode);
    void MSComm1_OnComm();
    void Timer2_Timer();
    void Timer4_Timer();

    CommPort &port() { return *MSComm1; }
    const QByteArray &receiveBuffer() const { return ReceiveBuffer; }
    quint8 replyPending() const { return ReplyPending; }

    // Timer2 marks a missing reply, Timer4 clears the views; both in ms.
    void setIntervals(int noReply, int clearViews);
    // Transmits with both timers counting from this transmit, even when the
    // last transaction's timers still run.
    void transmitAfresh(const QByteArray &text);
    // No reply is awaited any more; the views clear a while later.
    void endRepeat();
    // Forgets any reply, as at start.
    void reset();

    // Each transaction is also recorded there from now on; nullptr records none.
    void setRecorder(TransactionRecorder *recorder) { m_recorder = recorder; }

private:
    void showLegends(bool ack, bool carriageReturn, bool space);
    // The one place a command ends without going out: the status line says why.
    void notSent(const QByteArray &text);
    void lineOpened(bool opened);
    void endAtOnce(const QString &status);

    CommPort *MSComm1;
    QTimer *Timer2;
    QTimer *Timer4;
    TrafficDisplay &m_views;
    const QByteArray &m_pendingCommand;
    QByteArray ReceiveBuffer;
    quint8 ReplyPending = 0;
    QByteArray m_waiting; // sent once the line it set connecting answers
    TransactionRecorder *m_recorder = nullptr;
};
