// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pjlink/answer_table.h"
#include "pjlink/pjlink_line.h"
#include "pjlink/shared_reads.h"

// Answers PJLink requests from the answer table: sends a row's catalogue
// codes through the shared line and turns the replies into the answer.
class ProjectorBridge : public QObject
{
    Q_OBJECT
public:
    using Answered = std::function<void(const QByteArray &answer)>;

    ProjectorBridge(ExchangeQueue &queue, BridgeFacts facts, MonotonicClock clock = steadyMs,
                    QObject *parent = nullptr);

    // Answers one request with its whole answer line: at once when it needs
    // nothing from the projector, else when the replies are in. answered may
    // run before this returns, and does not run once context is gone.
    void ask(const PjlinkRequest &request, const QObject *context, const Answered &answered);

Q_SIGNALS:
    // The projector said something the bridge cannot read: the codes sent and
    // the replies, one after the other.
    void unexpectedReply(const QByteArray &codes, const QByteArray &replies);

private:
    struct Pending {
        const AnswerRow *row;
        PjlinkRequest request;
        std::vector<ExchangeResult> results;
        std::size_t remaining;
    };

    QByteArray answerFor(const Pending &pending);

    SharedReads m_reads;
    BridgeFacts m_facts;
    BridgeMemory m_memory;
};
