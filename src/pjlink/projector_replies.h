// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>

// The projector's replies as the bridge reads them. A reply counts only when
// the panel's status decoding recognises it too; anything else is no value.

// "CR0": the power digit (0 on, 8 stand-by, 4 count-down, 2 cooling down,
// 1 power abnormality) and the error digit (0 none, 8 temperature, 1 lamp).
struct PowerReading {
    char power;
    char error;
};
std::optional<PowerReading> readPower(const QByteArray &reply);

// "CR1": the selected input, 1 to 5.
std::optional<int> readInput(const QByteArray &reply);

// "CR3": the lamp hours.
std::optional<int> readLampHours(const QByteArray &reply);

// "CR LAMPSTS".
enum class LampState { On, Off, Failure };
std::optional<LampState> readLampState(const QByteArray &reply);

// The projector refused the command ("?").
bool isRefusal(const QByteArray &reply);
// The projector acknowledged a command (0x06).
bool isAcknowledgement(const QByteArray &reply);
