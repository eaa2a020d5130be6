// SPDX-License-Identifier: GPL-3.0-or-later
#include "pjlink/projector_replies.h"

#include "serial/render.h"
#include "serial/status_decoder.h"

#include <algorithm>

namespace {

std::optional<QString> decoded(const char *code, const QByteArray &reply)
{
    return decodeStatus(QByteArray(code) + '\r', renderTokens(reply).text, reply.size());
}

} // namespace

std::optional<PowerReading> readPower(const QByteArray &reply)
{
    if (!decoded("CR0", reply))
        return std::nullopt;
    return PowerReading{reply[0], reply[1]};
}

std::optional<int> readInput(const QByteArray &reply)
{
    if (!decoded("CR1", reply))
        return std::nullopt;
    return reply[0] - '0';
}

std::optional<int> readLampHours(const QByteArray &reply)
{
    // Five digits and the CR; the panel decodes only a reply of that length.
    const QByteArray digits = reply.first(std::min<qsizetype>(5, reply.size()));
    if (!decoded("CR3", reply) || !reply.endsWith('\r') ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return digits.toInt();
}

std::optional<LampState> readLampState(const QByteArray &reply)
{
    const std::optional<QString> text = decoded("CR LAMPSTS", reply);
    if (text == QLatin1String(" Lamp is ON"))
        return LampState::On;
    if (text == QLatin1String(" Lamp is OFF"))
        return LampState::Off;
    if (text == QLatin1String(" Lamp is failure"))
        return LampState::Failure;
    return std::nullopt;
}

bool isRefusal(const QByteArray &reply)
{
    return reply.startsWith('?');
}

bool isAcknowledgement(const QByteArray &reply)
{
    return reply == "\x06";
}
