// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/exchange_queue.h"

#include <QHash>

#include <memory>

// The line as many controllers share it: a status read ("CR...") asked again
// within a second of its reply is answered from that reply, and one asked
// while the same read waits joins it, so that controllers polling together
// do not flood the line. Any other command makes earlier reads stale.
class SharedReads : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 freshMs = 1000;

    explicit SharedReads(ExchangeQueue &queue, MonotonicClock clock = steadyMs, QObject *parent = nullptr);

    // As ExchangeQueue::enqueue.
    void exchange(const QByteArray &command, const QObject *context, const ExchangeQueue::Done &done);

private:
    struct Waiter {
        QPointer<const QObject> context;
        ExchangeQueue::Done done;
    };
    struct Read {
        quint64 generation = 0;
        std::vector<Waiter> waiters;
    };
    struct Remembered {
        qint64 at;
        ExchangeResult result;
    };

    void finished(const QByteArray &command, const std::shared_ptr<Read> &read, const ExchangeResult &result);

    ExchangeQueue &m_queue;
    MonotonicClock m_clock;
    quint64 m_generation = 0; // counts the commands that may change what a read says
    QHash<QByteArray, std::shared_ptr<Read>> m_waiting;
    QHash<QByteArray, Remembered> m_remembered;
};
