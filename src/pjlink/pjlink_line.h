// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The longest line a controller may send, its CR included: "%", the class,
// four characters of command, a space and at most 128 of parameter.
inline constexpr qsizetype pjlinkLineLimit = 136;

// One command from a controller: "%1POWR 1" is class '1', "POWR", "1".
struct PjlinkRequest {
    char pjClass = '1';
    QByteArray command;
    QByteArray parameter;
};

struct ParsedLine {
    enum class Fault {
        None,
        Unaddressable, // no class and command to answer to
        BadParameter   // a command with no, or no usable, parameter: ERR2
    };
    Fault fault = Fault::Unaddressable;
    PjlinkRequest request; // class and command are set unless Unaddressable
};

// A line without its CR. `overlong`: the line went on past the limit and this
// is its beginning.
ParsedLine parsePjlinkLine(QByteArrayView line, bool overlong = false);

// "%1POWR=OK" and a CR: the answer to a request.
QByteArray pjlinkAnswer(const PjlinkRequest &request, QByteArrayView text);

// Bytes as a log line shows them: printable ASCII as it is, anything else as
// its hex code in angle brackets ("<0d>").
QString visibleBytes(QByteArrayView bytes);
