// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct TransactionRecord;

// A transaction in plain words, as a person reads it back: its local time,
// then what was sent, what came back and what that means, for example
// "14:02:11 sent CR0, reply 00 CR, Power ON" or "14:02:12 sent C00, no reply".
// Control codes go by their ASCII names, and a status that the panel spells
// out character by character reads as words again.
QString historyLine(const TransactionRecord &record);
