// SPDX-License-Identifier: GPL-3.0-or-later
#include "pjlink/shared_reads.h"

SharedReads::SharedReads(ExchangeQueue &queue, MonotonicClock clock, QObject *parent)
    : QObject(parent), m_queue(queue), m_clock(std::move(clock))
{}

void SharedReads::exchange(const QByteArray &command, const QObject *context, const ExchangeQueue::Done &done)
{
    if (!command.startsWith("CR")) {
        ++m_generation;
        m_remembered.clear();
        m_waiting.clear();
        m_queue.enqueue(command, context, done);
        return;
    }
    const auto remembered = m_remembered.constFind(command);
    // Up to and including the last millisecond: the clock counts whole ones, so a
    // read is never repeated less than a second after the reply.
    if (remembered != m_remembered.cend() && m_clock() - remembered->at <= freshMs) {
        done(remembered->result);
        return;
    }
    std::shared_ptr<Read> &read = m_waiting[command];
    if (read) {
        read->waiters.push_back({context, done});
        return;
    }
    read = std::make_shared<Read>(Read{m_generation, {{context, done}}});
    m_queue.enqueue(command, this,
                    [this, command, read](const ExchangeResult &result) { finished(command, read, result); });
}

void SharedReads::finished(const QByteArray &command, const std::shared_ptr<Read> &read,
                           const ExchangeResult &result)
{
    if (read->generation == m_generation) {
        m_waiting.remove(command);
        if (result.outcome == ExchangeResult::Outcome::Replied)
            m_remembered.insert(command, {m_clock(), result});
    }
    for (const Waiter &waiter : read->waiters) {
        if (waiter.context)
            waiter.done(result);
    }
}
