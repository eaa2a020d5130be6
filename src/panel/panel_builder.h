// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QButtonGroup;
class QFrame;
class QLabel;
class QWidget;

// The controls of the main window that its code reaches by name.
struct PanelControls {
    QButtonGroup *buttons = nullptr; // every Command<N>, with id N
    QLabel *Label11 = nullptr;       // sent view
    QLabel *Label12 = nullptr;       // reply view
    QLabel *Label25 = nullptr;       // status view
    QLabel *Label27 = nullptr;       // space legend
    QLabel *Label28 = nullptr;       // CR legend
    QLabel *Label29 = nullptr;       // ACK legend
    QFrame *Frame15 = nullptr;       // status line
};

// Creates the whole panel as children of the window, from the panel's tables.
PanelControls buildPanel(QWidget *window);
