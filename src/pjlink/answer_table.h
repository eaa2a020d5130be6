// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <array>
#include <optional>
#include <span>

// What the bridge answers without asking the projector.
struct BridgeFacts {
    QByteArray name; // NAME ?
    QByteArray info; // INFO ?: the program, its version and the port
};

// What the bridge remembers between commands: the mutes set through it since
// the projector last came on.
struct BridgeMemory {
    bool videoMute = false;
    bool audioMute = false;
};

struct AnswerContext {
    const BridgeFacts &facts;
    BridgeMemory &memory;
};

// The answer for the replies to a row's codes, one each in order; no value
// when a reply makes no sense.
using AnswerFunction = std::optional<QByteArray> (*)(std::span<const QByteArray> replies,
                                                     AnswerContext &context);

// One PJLink command and parameter: the catalogue codes it sends, in order,
// and what it answers.
struct AnswerRow {
    const char *command;
    const char *parameter;
    bool class2;                       // also answered when asked in class 2
    std::array<const char *, 2> codes; // nullptr past the last
    AnswerFunction answer;
};

extern const std::span<const AnswerRow> kAnswerRows;
