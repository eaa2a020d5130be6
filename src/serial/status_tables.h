// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

// One pattern of a status table: the rendered reply prefix and its meaning.
struct StatusRow {
    const char *pattern;
    const char *text;
};

// A status read whose reply is looked up in a table of patterns.
struct StatusTable {
    enum class Compare {
        Prefix,      // the first `length` characters of the reply view
        AllButLast7, // the reply view without the trailing " [CR] " and the space before it
    };
    const char *command; // the command code, without its CR
    Compare compare;
    int length;
    std::span<const StatusRow> rows;
};

extern const std::span<const StatusTable> kStatusTables;
