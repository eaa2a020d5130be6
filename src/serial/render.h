// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// A text as the traffic views show it: control codes as tokens, every other
// character followed by a space. The flags say which legends to show.
struct Rendering {
    QString text;
    bool ack = false;
    bool carriageReturn = false;
    bool space = false;
};

Rendering renderTokens(const QByteArray &bytes);
