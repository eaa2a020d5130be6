// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/transaction_history.h"

#include <QDateTime>

namespace {

QByteArray beginning(const QByteArray &bytes)
{
    return bytes.first(std::min(bytes.size(), TransactionHistory::byteLimit));
}

} // namespace

const TransactionRecord &TransactionHistory::at(qsizetype index) const
{
    return m_ring[std::size_t((m_first + index) % capacity)];
}

TransactionRecord &TransactionHistory::newest()
{
    return m_ring[std::size_t((m_first + m_count - 1) % capacity)];
}

TransactionRecord &TransactionHistory::append(const QByteArray &sent, TransactionRecord::Outcome outcome)
{
    // The ring grows to its size once, then each record takes the oldest one's place.
    if (m_count < capacity) {
        m_ring.reserve(std::size_t(capacity));
        m_ring.emplace_back();
        ++m_count;
    } else {
        m_first = (m_first + 1) % capacity;
    }
    ++m_appended;
    TransactionRecord &record = newest();
    record = TransactionRecord{};
    record.time = QDateTime::currentMSecsSinceEpoch();
    record.sent = beginning(sent);
    record.sentLength = sent.size();
    record.outcome = outcome;
    return record;
}

void TransactionHistory::recordSent(const QByteArray &text)
{
    append(text, TransactionRecord::Outcome::Awaiting);
    m_newestOpen = true;
    Q_EMIT appended();
}

void TransactionHistory::recordNotSent(const QByteArray &text, const QString &reason)
{
    append(text, TransactionRecord::Outcome::NotSent).reason = reason;
    m_newestOpen = false;
    Q_EMIT appended();
}

void TransactionHistory::recordReply(const QByteArray &reply, const QString &status)
{
    const bool unasked = !m_newestOpen;
    TransactionRecord &record = unasked ? append({}, TransactionRecord::Outcome::Replied) : newest();
    m_newestOpen = true;
    record.reply = beginning(reply);
    record.replyLength = reply.size();
    // A piece that no longer decodes leaves the status the reply had.
    if (!status.isEmpty())
        record.status = status;
    record.outcome = TransactionRecord::Outcome::Replied;
    if (unasked)
        Q_EMIT appended();
    else
        Q_EMIT newestChanged();
}

void TransactionHistory::recordEnd(bool noReply)
{
    if (!m_newestOpen)
        return;
    m_newestOpen = false;
    TransactionRecord &record = newest();
    if (noReply && record.outcome == TransactionRecord::Outcome::Awaiting) {
        record.outcome = TransactionRecord::Outcome::NoReply;
        Q_EMIT newestChanged();
    }
}
