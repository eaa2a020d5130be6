// SPDX-License-Identifier: GPL-3.0-or-later
// Every PJLink command the bridge answers, row by row.
#include "pjlink/answer_table.h"

#include "pjlink/projector_replies.h"

#include <algorithm>

namespace {

using Replies = std::span<const QByteArray>;
using Answer = std::optional<QByteArray>;

Answer acknowledged(Replies replies, AnswerContext &)
{
    if (!std::all_of(replies.begin(), replies.end(), isAcknowledgement))
        return std::nullopt;
    return QByteArrayLiteral("OK");
}

// Switching the power on or off starts the projector without mutes.
Answer powerSwitched(Replies replies, AnswerContext &context)
{
    const Answer answer = acknowledged(replies, context);
    if (answer)
        context.memory = {};
    return answer;
}

template <bool Video, bool Audio, bool On> Answer muteSet(Replies replies, AnswerContext &context)
{
    const Answer answer = acknowledged(replies, context);
    if (answer && Video)
        context.memory.videoMute = On;
    if (answer && Audio)
        context.memory.audioMute = On;
    return answer;
}

Answer powerState(Replies replies, AnswerContext &context)
{
    const std::optional<PowerReading> reading = readPower(replies[0]);
    if (!reading)
        return std::nullopt;
    switch (reading->power) {
    case '0':
        return QByteArrayLiteral("1");
    case '4':
        return QByteArrayLiteral("3");
    case '1':
        return QByteArrayLiteral("ERR4");
    default: // stand-by or cooling down: the next power-on starts without mutes
        context.memory = {};
        return reading->power == '8' ? QByteArrayLiteral("0") : QByteArrayLiteral("2");
    }
}

Answer inputState(Replies replies, AnswerContext &)
{
    constexpr std::array<const char *, 5> inputs{"11", "12", "21", "51", "52"};
    const std::optional<int> input = readInput(replies[0]);
    if (!input)
        return std::nullopt;
    return QByteArray(inputs[std::size_t(*input - 1)]);
}

Answer muteState(Replies, AnswerContext &context)
{
    const BridgeMemory &m = context.memory;
    if (m.videoMute && m.audioMute)
        return QByteArrayLiteral("31");
    if (m.videoMute || m.audioMute)
        return m.videoMute ? QByteArrayLiteral("11") : QByteArrayLiteral("21");
    return QByteArrayLiteral("30");
}

// Fan, lamp, temperature, cover, filter, other: 0 fine, 2 an error.
Answer errorState(Replies replies, AnswerContext &)
{
    const std::optional<PowerReading> power = readPower(replies[0]);
    const std::optional<LampState> lamp = readLampState(replies[1]);
    if (!power || !lamp)
        return std::nullopt;
    QByteArray digits("000000");
    if (power->error == '1' || lamp == LampState::Failure)
        digits[1] = '2';
    if (power->error == '8')
        digits[2] = '2';
    if (power->power == '1')
        digits[5] = '2';
    return digits;
}

Answer lampState(Replies replies, AnswerContext &)
{
    const std::optional<int> hours = readLampHours(replies[0]);
    const std::optional<LampState> lamp = readLampState(replies[1]);
    if (!hours || !lamp)
        return std::nullopt;
    return QByteArray::number(*hours) + (lamp == LampState::On ? " 1" : " 0");
}

// What the bridge answers of itself, whatever the projector says.
template <const char *Text> Answer constant(Replies, AnswerContext &)
{
    return QByteArray(Text);
}
constexpr char kInputs[] = "11 12 21 22";
constexpr char kMaker[] = "VORN";
constexpr char kModel[] = "TALLIS";
constexpr char kClass[] = "1";

Answer name(Replies, AnswerContext &context)
{
    return context.facts.name;
}

Answer information(Replies, AnswerContext &context)
{
    return context.facts.info;
}

constexpr std::array kRows{
    AnswerRow{"POWR", "1", false, {"C00"}, powerSwitched},
    AnswerRow{"POWR", "0", false, {"C01"}, powerSwitched},
    AnswerRow{"POWR", "?", false, {"CR0"}, powerState},
    AnswerRow{"INPT", "11", true, {"C05"}, acknowledged},
    AnswerRow{"INPT", "12", true, {"C06"}, acknowledged},
    AnswerRow{"INPT", "21", true, {"CF INPUT VIDEO"}, acknowledged},
    AnswerRow{"INPT", "22", true, {"C34"}, acknowledged},
    AnswerRow{"INPT", "?", true, {"CR1"}, inputState},
    AnswerRow{"INST", "?", true, {}, constant<kInputs>},
    AnswerRow{"AVMT", "11", false, {"C0D"}, muteSet<true, false, true>},
    AnswerRow{"AVMT", "10", false, {"C0E"}, muteSet<true, false, false>},
    AnswerRow{"AVMT", "21", false, {"C0B"}, muteSet<false, true, true>},
    AnswerRow{"AVMT", "20", false, {"C0C"}, muteSet<false, true, false>},
    AnswerRow{"AVMT", "31", false, {"C0D", "C0B"}, muteSet<true, true, true>},
    AnswerRow{"AVMT", "30", false, {"C0E", "C0C"}, muteSet<true, true, false>},
    AnswerRow{"AVMT", "?", false, {}, muteState},
    AnswerRow{"ERST", "?", false, {"CR0", "CR LAMPSTS"}, errorState},
    AnswerRow{"LAMP", "?", false, {"CR3", "CR LAMPSTS"}, lampState},
    AnswerRow{"NAME", "?", false, {}, name},
    AnswerRow{"INF1", "?", false, {}, constant<kMaker>},
    AnswerRow{"INF2", "?", false, {}, constant<kModel>},
    AnswerRow{"INFO", "?", false, {}, information},
    AnswerRow{"CLSS", "?", false, {}, constant<kClass>},
};

} // namespace

const std::span<const AnswerRow> kAnswerRows{kRows};
