// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QButtonGroup;
class QFrame;
class QLabel;
class QWidget;
class TrafficView;

// The controls of the main window that its code reaches by name.
struct PanelControls {
    QButtonGroup *buttons = nullptr; // every Command<N>, with id N
    TrafficView *Label11 = nullptr;  // sent view
    TrafficView *Label12 = nullptr;  // reply view
    TrafficView *Label25 = nullptr;  // status view
    QLabel *Label27 = nullptr;       // space legend
    QLabel *Label28 = nullptr;       // CR legend
    QLabel *Label29 = nullptr;       // ACK legend
    QFrame *Frame15 = nullptr;       // status line
};

// Creates the whole panel as children of the window, from the panel's tables.
PanelControls buildPanel(QWidget *window);
