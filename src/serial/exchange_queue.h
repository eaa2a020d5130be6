// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/comm_port.h"
#include "serial/monotonic_clock.h"

#include <QPointer>

#include <deque>
#include <functional>

class QTimer;

// How one command on the line ended.
struct ExchangeResult {
    enum class Outcome {
        Replied,   // reply holds the bytes up to and including the CR, or the ACK
        NoReply,   // nothing ended a reply within the limit
        NotOpen,   // the port would not open; lastFailure() of the port says why
        NotStarted // the line stayed busy too long, or too many commands waited
    };
    Outcome outcome = Outcome::NoReply;
    QByteArray reply;
};

// Commands from many clients on one line, strictly one at a time in arrival
// order: sends a command, collects its reply up to a carriage return or an
// acknowledgement or until the reply limit, then starts the next. The port is
// opened when a command finds it closed; a failed open fails every command
// waiting then, and the next command tries again.
class ExchangeQueue : public QObject
{
    Q_OBJECT
public:
    static constexpr int replyLimitMs = 1000;
    static constexpr int startLimitMs = 5000;
    static constexpr qsizetype capacity = 64;
    static constexpr qsizetype replyBytesLimit = 256;

    using Done = std::function<void(const ExchangeResult &)>;

    // Takes over the port.
    explicit ExchangeQueue(CommPort *port, MonotonicClock clock = steadyMs, QObject *parent = nullptr);

    CommPort &port() { return *m_port; }
    qsizetype waiting() const { return qsizetype(m_waiting.size()); }

    // Queues the bytes of one command, CR included. done runs once, unless
    // context is gone by then; it may run before this returns.
    void enqueue(const QByteArray &command, const QObject *context, Done done);

    void replyTimer_Timer();
    void startTimer_Timer();

Q_SIGNALS:
    void exchanged(const QByteArray &command, const ExchangeResult &result);

private:
    struct Item {
        QByteArray command;
        qint64 enqueuedAt;
        QPointer<const QObject> context;
        Done done;
    };

    void startNext();
    void onOpenFinished(bool opened);
    void onComm();
    void finish(ExchangeResult result);
    static void deliver(const Item &item, const ExchangeResult &result);
    void expireWaiting();

    CommPort *m_port;
    MonotonicClock m_clock;
    QTimer *m_replyTimer;
    QTimer *m_startTimer;
    std::deque<Item> m_waiting;
    std::optional<Item> m_current;
    QByteArray m_reply;
    bool m_opening = false;
};
