// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QRect>

#include <span>

// Background colour class of a panel button.
enum class Face { On, Off, Function, StatusRead, Arrow, Enter, Plain };

// What a button does: send its code on click, repeat it while held, or one
// of the three buttons that talk to the program rather than the projector.
enum class Action { Click, Hold, End, Console, Port };

enum class Direction { None, Up, Down, Left, Right };

// One button of the main window. Geometry is in twips, relative to its frame
// (frame 0: the window's client area).
struct PanelButton {
    int number; // objectName "Command<number>"
    const char *caption;
    int frame;
    QRect twips;
    Face face;
    Action action;
    const char *code; // without the CR; nullptr for END, COMMANDTABLE, COM
    quint8 repeatKey; // 1..12 for hold buttons, else 0
    Direction arrow;
    const char *accessibleName; // arrows only; captioned buttons use their caption
};

extern const std::span<const PanelButton> kPanelButtons;

const PanelButton *findPanelButton(int number);
// The code a held key repeats, or empty for a key that is not held.
QByteArray repeatCode(quint8 repeatKey);
