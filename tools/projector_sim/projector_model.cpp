// SPDX-License-Identifier: GPL-3.0-or-later
#include "projector_model.h"

#include <QByteArrayView>

#include <algorithm>
#include <array>

namespace {

struct InputChoice {
    const char *name; // a basic code or an extended keyword
    int input;
};

// The source buttons pick their group's input: computer 1, computer 2, video.
constexpr std::array kBasicInputs{
    InputChoice{"C05", 1}, InputChoice{"C50", 1}, InputChoice{"C51", 1}, InputChoice{"C54", 1},
    InputChoice{"C06", 2}, InputChoice{"C25", 2}, InputChoice{"C5B", 2}, InputChoice{"C5C", 2},
    InputChoice{"C07", 3}, InputChoice{"C34", 3},
};

struct BasicSetting {
    const char *code;
    const char *keyword;
    const char *value;
};

// Basic commands that do what an extended set command does, so that the
// extended read of the keyword answers what the basic command set.
constexpr std::array kBasicSettings{
    BasicSetting{"C0B", "MUTE", "ON"},         BasicSetting{"C0C", "MUTE", "OFF"},
    BasicSetting{"C0D", "VMUTE", "ON"},        BasicSetting{"C0E", "VMUTE", "OFF"},
    BasicSetting{"C0F", "SCREEN", "NORMAL"},   BasicSetting{"C10", "SCREEN", "WIDE"},
    BasicSetting{"C11", "IMAGE", "STAND"},     BasicSetting{"C12", "IMAGE", "REAL"},
    BasicSetting{"C13", "IMAGE", "CINEMA"},    BasicSetting{"C14", "IMAGE", "CUSTOM1"},
    BasicSetting{"C15", "IMAGE", "CUSTOM2"},   BasicSetting{"C16", "IMAGE", "CUSTOM3"},
    BasicSetting{"C17", "IMAGE", "CUSTOM4"},   BasicSetting{"C18", "IMAGE", "BLACKBOARD"},
    BasicSetting{"C19", "IMAGE", "DYNAMIC"},   BasicSetting{"C39", "IMAGE", "COLORBOARD"},
    BasicSetting{"C1C", "MENU", "ON"},         BasicSetting{"C1D", "MENU", "OFF"},
    BasicSetting{"C28", "ON-STA", "ON"},       BasicSetting{"C29", "ON-STA", "OFF"},
    BasicSetting{"C2A", "P-MANE", "READY"},    BasicSetting{"C2B", "P-MANE", "OFF"},
    BasicSetting{"C2E", "P-MANE", "SHUTDOWN"}, BasicSetting{"C43", "FREEZE", "ON"},
    BasicSetting{"C44", "FREEZE", "OFF"},
};

// Extended keywords that name an input by number; S-video sits in the video group.
constexpr std::array kNumberedInputs{
    InputChoice{"INPUT1", 1},
    InputChoice{"INPUT2", 2},
    InputChoice{"INPUT3", 3},
    InputChoice{"INPUT4", 3},
};

constexpr std::array kLampModeWords{"HIGH", "NORMAL", "ECO"};

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Keywords and arguments: upper-case letters, digits and hyphens. An unfilled
// "%" placeholder is not a word, so the projector rejects it.
bool isWord(QByteArrayView word)
{
    return !word.isEmpty() && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    });
}

// Arguments that move a value rather than state one; there is nothing to read back.
bool isStep(const QByteArray &argument)
{
    return argument == "UP" || argument == "DN" || argument == "FUP" || argument == "FDN";
}

QByteArray line(const QByteArray &text)
{
    return text + '\r';
}

QByteArray onOff(bool on)
{
    return on ? QByteArrayLiteral("ON") : QByteArrayLiteral("OFF");
}

// Extended reads answer "000", a space and the value.
QByteArray extendedAnswer(const QByteArray &value)
{
    return line("000 " + value);
}

std::optional<bool> parseOnOff(const QByteArray &word)
{
    if (word == "ON")
        return true;
    if (word == "OFF")
        return false;
    return std::nullopt;
}

} // namespace

QByteArray ProjectorModel::reply(const ReceivedCommand &command, Time now)
{
    const QByteArray &text = command.text;
    if (command.overlong)
        return kUnknown;
    if (text.size() == 3 && text[0] == 'C' && isHexDigit(text[1]) && isHexDigit(text[2]))
        return basic(text, now);
    if (text.size() == 3 && text.startsWith("CR") && text[2] >= '0' && text[2] <= '9')
        return statusRead(text[2], now);

    const QList<QByteArray> words = text.mid(3).split(' ');
    if (!std::all_of(words.begin(), words.end(), isWord))
        return kUnknown;
    if (text.startsWith("CF ") && words.size() >= 2)
        return set(words.first(), words.mid(1), now);
    if (text.startsWith("CR ") && words.size() == 1)
        return read(words.first(), now);
    return kUnknown;
}

QByteArray ProjectorModel::basic(const QByteArray &code, Time now)
{
    if (code == "C00") {
        m_state.powerOn(now);
    } else if (code == "C01" || code == "C02") {
        m_state.powerOff(now);
    } else {
        for (const InputChoice &row : kBasicInputs) {
            if (code == row.name)
                m_state.selectInput(row.input);
        }
        for (const BasicSetting &row : kBasicSettings) {
            if (code == row.code)
                m_state.remember(row.keyword, row.value);
        }
    }
    return kAck;
}

QByteArray ProjectorModel::statusRead(char digit, Time now) const
{
    switch (digit) {
    case '0':
        return line(powerCode(now));
    case '1':
        return line(QByteArray::number(m_state.input()));
    case '3':
        return line(hoursText(now));
    case '4':
        return line(reversalCode());
    case '6':
        return line(temperaturesText(now));
    case '7':
        return line(lampModeText());
    default:
        return kUnknown;
    }
}

QByteArray ProjectorModel::set(const QByteArray &keyword, const QList<QByteArray> &arguments, Time now)
{
    const QByteArray &first = arguments.first();
    if (keyword == "POWER") {
        const std::optional<bool> on = parseOnOff(first);
        if (!on || arguments.size() != 1)
            return kUnknown;
        if (*on)
            m_state.powerOn(now);
        else
            m_state.powerOff(now);
        return kAck;
    }
    if (keyword == "INPUT") {
        if (first == "COMPUTER1")
            m_state.selectInput(1);
        else if (first == "COMPUTER2")
            m_state.selectInput(2);
        else if (first == "VIDEO" || first == "S-VIDEO")
            m_state.selectInput(3);
        else if ((first == "UP" || first == "DN") && arguments.size() == 1)
            m_state.stepInput(first == "UP" ? 1 : -1);
        else
            return kUnknown;
        return kAck;
    }
    for (const InputChoice &row : kNumberedInputs) {
        if (keyword == row.name) {
            m_state.selectInput(row.input);
            return kAck;
        }
    }
    if (keyword == "LAMPMODE") {
        if (arguments.size() != 1)
            return kUnknown;
        const auto *word = std::find(kLampModeWords.begin(), kLampModeWords.end(), first);
        if (word != kLampModeWords.end())
            m_state.setLampMode(LampMode(word - kLampModeWords.begin()));
        else if (first == "UP" || first == "DN")
            m_state.stepLampMode(first == "UP" ? 1 : -1);
        else
            return kUnknown;
        return kAck;
    }
    if (keyword == "CEIL" || keyword == "REAR") {
        const std::optional<bool> on = parseOnOff(first);
        if (!on || arguments.size() != 1)
            return kUnknown;
        if (keyword == "CEIL")
            m_state.setCeiling(*on);
        else
            m_state.setRear(*on);
        return kAck;
    }
    if (keyword == "LAMPH") {
        if (first != "RST" || arguments.size() != 1)
            return kUnknown;
        m_state.resetLampHours(now);
        return kAck;
    }
    if (!isStep(first))
        m_state.remember(keyword, arguments.join(' '));
    return kAck;
}

QByteArray ProjectorModel::read(const QByteArray &keyword, Time now) const
{
    if (keyword == "LAMPSTS")
        return line(lampStateText());
    if (keyword == "LAMPMODE")
        return line(lampModeText());
    if (keyword == "STATUS")
        return extendedAnswer(powerCode(now));
    if (keyword == "INPUT")
        return extendedAnswer(QByteArray::number(m_state.input()));
    if (keyword == "LAMPH" || keyword == "LAMPCORRESPH" || keyword == "PROJH")
        return extendedAnswer(hoursText(now));
    if (keyword == "TEMP")
        return extendedAnswer(temperaturesText(now));
    if (keyword == "CEIL")
        return extendedAnswer(onOff(m_state.ceiling()));
    if (keyword == "REAR")
        return extendedAnswer(onOff(m_state.rear()));
    if (const std::optional<QByteArray> value = m_state.setting(keyword))
        return extendedAnswer(*value);
    return kUnknown;
}

QByteArray ProjectorModel::powerCode(Time now) const
{
    if (m_state.lampFailed())
        return "81";
    switch (m_state.power(now)) {
    case PowerState::On:
        return "00";
    case PowerState::CountDown:
        return "40";
    case PowerState::Cooling:
        return "20";
    case PowerState::Standby:
        break;
    }
    return "80";
}

// Two digits, left/right then top/bottom, each 0 when that reversal is on.
// Ceiling mounting turns the picture round (both reversals); rear projection
// mirrors it once more from left to right.
QByteArray ProjectorModel::reversalCode() const
{
    const bool topBottom = m_state.ceiling();
    const bool leftRight = m_state.ceiling() != m_state.rear();
    return QByteArray(leftRight ? "0" : "1") + (topBottom ? "0" : "1");
}

QByteArray ProjectorModel::hoursText(Time now) const
{
    return QByteArray::number(m_state.lampHours(now)).rightJustified(5, '0');
}

// Three values of five characters, one space between them.
QByteArray ProjectorModel::temperaturesText(Time now) const
{
    QList<QByteArray> values;
    for (const double degrees : m_state.temperatures(now))
        values.append(QByteArray::number(degrees, 'f', 1).rightJustified(5, '0'));
    return values.join(' ');
}

QByteArray ProjectorModel::lampStateText() const
{
    if (m_state.lampFailed())
        return "000 1X";
    return m_state.lampLit() ? "000 1I" : "000 1O";
}

QByteArray ProjectorModel::lampModeText() const
{
    return QByteArray("000 ") + kLampModeWords[std::size_t(m_state.lampMode())];
}
