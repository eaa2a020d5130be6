// SPDX-License-Identifier: GPL-3.0-or-later
#include "pjlink/projector_bridge.h"

#include "console/catalog.h"
#include "pjlink/projector_replies.h"

#include <algorithm>

ProjectorBridge::ProjectorBridge(ExchangeQueue &queue, BridgeFacts facts, MonotonicClock clock,
                                 QObject *parent)
    : QObject(parent), m_reads(queue, std::move(clock)), m_facts(std::move(facts))
{}

void ProjectorBridge::ask(const PjlinkRequest &request, const QObject *context, const Answered &answered)
{
    const AnswerRow *row = nullptr;
    bool known = false;
    for (const AnswerRow &candidate : kAnswerRows) {
        if (request.command != candidate.command ||
            !(request.pjClass == '1' || (request.pjClass == '2' && candidate.class2)))
            continue;
        known = true;
        if (request.parameter == candidate.parameter) {
            row = &candidate;
            break;
        }
    }
    if (!row) {
        answered(pjlinkAnswer(request, known ? "ERR2" : "ERR1"));
        return;
    }
    const auto count = std::size_t(
        std::count_if(row->codes.begin(), row->codes.end(), [](const char *code) { return code; }));
    auto pending =
        std::make_shared<Pending>(Pending{row, request, std::vector<ExchangeResult>(count), count});
    if (count == 0) {
        answered(answerFor(*pending));
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        // Only the table's codes, as the catalogue spells them, ever reach the line.
        m_reads.exchange(catalogCommand(row->codes[i]), context,
                         [this, pending, i, answered](const ExchangeResult &result) {
                             pending->results[i] = result;
                             if (--pending->remaining == 0)
                                 answered(answerFor(*pending));
                         });
    }
}

QByteArray ProjectorBridge::answerFor(const Pending &pending)
{
    std::vector<QByteArray> replies;
    for (const ExchangeResult &result : pending.results) {
        switch (result.outcome) {
        case ExchangeResult::Outcome::NotStarted:
            return pjlinkAnswer(pending.request, "ERR3");
        case ExchangeResult::Outcome::NoReply:
        case ExchangeResult::Outcome::NotOpen:
            return pjlinkAnswer(pending.request, "ERR4");
        case ExchangeResult::Outcome::Replied:
            if (isRefusal(result.reply))
                return pjlinkAnswer(pending.request, "ERR3");
            replies.push_back(result.reply);
        }
    }
    AnswerContext context{m_facts, m_memory};
    const std::optional<QByteArray> answer = pending.row->answer(replies, context);
    if (!answer) {
        QByteArrayList codes;
        for (std::size_t i = 0; i < replies.size(); ++i)
            codes << pending.row->codes[i];
        Q_EMIT unexpectedReply(codes.join(", "), QByteArrayList(replies.begin(), replies.end()).join());
        return pjlinkAnswer(pending.request, "ERR4");
    }
    return pjlinkAnswer(pending.request, *answer);
}
