// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QString>

#include <optional>

class WindowWatch;

// Where an operator clicks to open and close the port dialog and the
// console, in each window's own coordinates.
struct ClickTargets {
    QPoint portButton;      // "COM" on the main window
    QPoint consoleButton;   // "COMMANDTABLE" on the main window
    QPoint dialogCancel;    // "Cancel" on the port dialog
    QPoint consoleClose;    // "CLOSE" on the console
    int expandedHeight = 0; // after Ctrl+H
};

// Taken from the same windows built here, so the clicks follow the layout.
std::optional<ClickTargets> findClickTargets();

// Drives the real program on the private display with synthetic input
// (xdotool): Ctrl+H to show the lower buttons, then opens and closes the port
// dialog and the console. False, with the reason, when a step did not happen.
bool openAndCloseDialogs(const QString &display, WindowWatch &watch, quint32 mainWindow,
                         const ClickTargets &targets, QString *failure);
