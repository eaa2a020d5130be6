// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/transaction_recorder.h"

#include <QObject>

#include <vector>

// One transaction as it happened. Raw bytes and times only: the words are
// made when someone reads the record.
struct TransactionRecord {
    enum class Outcome { Awaiting, Replied, NoReply, NotSent };

    qint64 time = 0; // ms since the epoch, of the send or of an unasked reply
    QByteArray sent; // its first byteLimit bytes; empty for a reply nobody asked for
    qsizetype sentLength = 0;
    QByteArray reply; // its first byteLimit bytes
    qsizetype replyLength = 0;
    QString status; // decoded, or empty
    QString reason; // why it was not sent
    Outcome outcome = Outcome::Awaiting;
};

// The newest transactions, in a ring of fixed size: recording one costs a
// copy of its bytes and never grows the memory past the ring.
class TransactionHistory : public QObject, public TransactionRecorder
{
    Q_OBJECT
public:
    static constexpr qsizetype capacity = 1000;
    // A command or a reply longer than this keeps its beginning only.
    static constexpr qsizetype byteLimit = 512;

    using QObject::QObject;

    qsizetype size() const { return m_count; }
    // 0 is the oldest record kept.
    const TransactionRecord &at(qsizetype index) const;
    // How many records were ever appended before the oldest one kept.
    quint64 dropped() const { return m_appended - quint64(m_count); }

    void recordSent(const QByteArray &text) override;
    void recordNotSent(const QByteArray &text, const QString &reason) override;
    void recordReply(const QByteArray &reply, const QString &status) override;
    void recordEnd(bool noReply) override;

Q_SIGNALS:
    // A record was appended; the oldest may have gone to make room.
    void appended();
    // The newest record changed.
    void newestChanged();

private:
    TransactionRecord &append(const QByteArray &sent, TransactionRecord::Outcome outcome);
    TransactionRecord &newest();

    std::vector<TransactionRecord> m_ring;
    qsizetype m_first = 0;
    qsizetype m_count = 0;
    quint64 m_appended = 0;
    bool m_newestOpen = false; // the newest record still takes a reply
};
