// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/exchange_queue.h"

#include <QTimer>

#include <algorithm>

namespace {

constexpr char ack = '\x06';

QTimer *singleShot(QObject *parent, const char *name, int interval)
{
    auto *timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setSingleShot(true);
    timer->setInterval(interval);
    return timer;
}

} // namespace

ExchangeQueue::ExchangeQueue(CommPort *port, MonotonicClock clock, QObject *parent)
    : QObject(parent), m_port(port), m_clock(std::move(clock)),
      m_replyTimer(singleShot(this, "replyTimer", replyLimitMs)),
      m_startTimer(singleShot(this, "startTimer", 0))
{
    m_port->setParent(this);
    connect(m_port, &CommPort::onComm, this, &ExchangeQueue::onComm);
    connect(m_port, &CommPort::openFinished, this, &ExchangeQueue::onOpenFinished);
    connect(m_replyTimer, &QTimer::timeout, this, &ExchangeQueue::replyTimer_Timer);
    connect(m_startTimer, &QTimer::timeout, this, &ExchangeQueue::startTimer_Timer);
}

void ExchangeQueue::enqueue(const QByteArray &command, const QObject *context, Done done)
{
    Item item{command, m_clock(), context, std::move(done)};
    if (waiting() >= capacity) {
        deliver(item, {ExchangeResult::Outcome::NotStarted, {}});
        return;
    }
    m_waiting.push_back(std::move(item));
    if (!m_startTimer->isActive())
        m_startTimer->start(startLimitMs);
    startNext();
}

void ExchangeQueue::startNext()
{
    if (m_current || m_opening)
        return;
    expireWaiting();
    if (m_waiting.empty())
        return;
    if (!m_port->portOpen()) {
        m_opening = true;
        m_port->beginOpen(); // its end may come before this returns
        return;
    }
    m_current = std::move(m_waiting.front());
    m_waiting.pop_front();
    m_reply.clear();
    m_port->setOutput(m_current->command);
    m_replyTimer->start();
}

void ExchangeQueue::onOpenFinished(bool opened)
{
    if (!m_opening)
        return;
    m_opening = false;
    if (opened) {
        startNext();
        return;
    }
    // Every command waiting now has seen the port fail; the next one tries again.
    std::deque<Item> failed;
    failed.swap(m_waiting);
    for (const Item &item : failed) {
        const ExchangeResult result{ExchangeResult::Outcome::NotOpen, {}};
        Q_EMIT exchanged(item.command, result);
        deliver(item, result);
    }
}

void ExchangeQueue::onComm()
{
    if (m_port->commEvent() != CommPort::comEvReceive)
        return;
    const QByteArray bytes = m_port->input();
    // Bytes while nothing is asked are a late reply to a command given up on.
    if (!m_current)
        return;
    m_reply += bytes;
    const qsizetype end = m_reply.indexOf('\r');
    const qsizetype acked = m_reply.indexOf(ack);
    if (end >= 0 || acked >= 0) {
        const qsizetype last = end < 0 ? acked : (acked < 0 ? end : std::min(end, acked));
        finish({ExchangeResult::Outcome::Replied, m_reply.left(last + 1)});
    } else if (m_reply.size() >= replyBytesLimit) {
        finish({ExchangeResult::Outcome::Replied, m_reply});
    }
}

void ExchangeQueue::replyTimer_Timer()
{
    if (m_current)
        finish({ExchangeResult::Outcome::NoReply, m_reply});
}

void ExchangeQueue::finish(ExchangeResult result)
{
    m_replyTimer->stop();
    const Item item = std::move(*m_current);
    m_current.reset();
    m_reply.clear();
    Q_EMIT exchanged(item.command, result);
    deliver(item, result);
    startNext();
}

void ExchangeQueue::deliver(const Item &item, const ExchangeResult &result)
{
    if (item.context)
        item.done(result);
}

void ExchangeQueue::startTimer_Timer()
{
    expireWaiting();
}

void ExchangeQueue::expireWaiting()
{
    const qint64 now = m_clock();
    while (!m_waiting.empty() && now - m_waiting.front().enqueuedAt >= startLimitMs) {
        const Item item = std::move(m_waiting.front());
        m_waiting.pop_front();
        const ExchangeResult result{ExchangeResult::Outcome::NotStarted, {}};
        Q_EMIT exchanged(item.command, result);
        deliver(item, result);
    }
    if (m_waiting.empty())
        m_startTimer->stop();
    else
        m_startTimer->start(int(std::max<qint64>(0, m_waiting.front().enqueuedAt + startLimitMs - now)));
}
