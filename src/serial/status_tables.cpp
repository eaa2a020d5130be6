// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/status_tables.h"

#include <array>

namespace {

constexpr std::array<StatusRow, 12> kPower{{
    {" 0 0", " Power ON"},
    {" 8 0", " Stand by"},
    {" 4 0", " Count down"},
    {" 2 0", " Cooling down"},
    {" 1 0", " Power abnormality"},
    {" 0 8", " Temperature abnormality"},
    {" 1 8", " Temperature abnormality"},
    {" 2 8", " Temperature abnormality"},
    {" 4 8", " Temperature abnormality"},
    {" 8 8", " Temperature abnormality"},
    {" 2 1", " Lamp Failure"},
    {" 8 1", " Lamp Failure"},
}};

constexpr std::array<StatusRow, 5> kInput{{
    {" 1", " Input 1"},
    {" 2", " Input 2"},
    {" 3", " Input 3"},
    {" 4", " Wired"},
    {" 5", " Wireless/Viewer"},
}};

constexpr std::array<StatusRow, 4> kReversal{{
    {" 1 1", " Normally"},
    {" 1 0", " Top/Bottom reversal"},
    {" 0 1", " Left/Right reversal"},
    {" 0 0", " Top/Bottom , Left/Right reversal"},
}};

// The space between "000" and the state renders as "_", so the patterns hold "_" there.
constexpr std::array<StatusRow, 3> kLampState{{
    {" 0 0 0 _ 1 I", " Lamp is ON"},
    {" 0 0 0 _ 1 O", " Lamp is OFF"},
    {" 0 0 0 _ 1 X", " Lamp is failure"},
}};

constexpr std::array<StatusRow, 3> kLampMode{{
    {" 0 0 0 _ H I G H", " Lamp Mode is High"},
    {" 0 0 0 _ N O R M A L", " Lamp Mode is NORMAL"},
    {" 0 0 0 _ E C O", " Lamp Mode is Eco"},
}};

constexpr std::array<StatusTable, 5> kTables{{
    {"CR0", StatusTable::Compare::Prefix, 4, kPower},
    {"CR1", StatusTable::Compare::Prefix, 2, kInput},
    {"CR4", StatusTable::Compare::Prefix, 4, kReversal},
    {"CR LAMPSTS", StatusTable::Compare::Prefix, 12, kLampState},
    {"CR LAMPMODE", StatusTable::Compare::AllButLast7, 0, kLampMode},
}};

} // namespace

const std::span<const StatusTable> kStatusTables{kTables};
