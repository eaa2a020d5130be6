// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringView>

#include <array>
#include <string_view>

// The projector's command vocabulary in the order the console lists it. An
// entry is its command part, "[CR]" standing for the carriage return, and on
// most entries a run of spaces and tabs, ":" and a description. The blanks and
// tabs are part of the entries: they are what the operator sees.
extern const std::array<std::string_view, 61> kBasicCommands;
extern const std::array<std::string_view, 283> kExpandCommands;
extern const std::array<std::string_view, 83> kExpandReadCommands;

// The command part of an entry or of an edited text: everything before the
// first "[", the whole text when it has none.
QStringView commandPart(QStringView text);

// The bytes the console transmits for a text: its command part and one
// carriage return, so an empty text or one that starts with "[" sends a lone CR.
QByteArray wireCommand(QStringView text);

// The bytes of the catalogue's command whose command part is exactly `code`,
// in any of the three lists; empty when the catalogue has no such command.
QByteArray catalogCommand(std::string_view code);
