// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLine>
#include <QRect>

#include <span>

// A group's border. Frames sit on the window; geometry in twips.
struct PanelFrame {
    int number; // objectName "Frame<number>"
    QRect twips;
};

// How a label looks; the builder turns this into font and colours.
enum class LabelLook {
    Title,      // group titles and the view captions, system text colour
    PowerTitle, // the power group's title, dark red
    View,       // sent and reply views: white box, large text
    StatusView, // decoded status: white box, red text
    Legend,     // token legends: red on the window's grey
};

struct PanelLabel {
    int number; // objectName "Label<number>"
    const char *text;
    int frame; // 0: the window's client area
    QRect twips;
    LabelLook look;
    bool shownAtStart;
};

// A decoration line, in window twips, drawn 2 px wide.
struct PanelLine {
    int number; // objectName "Line<number>"
    QLine twips;
};

extern const std::span<const PanelFrame> kPanelFrames;
extern const std::span<const PanelLabel> kPanelLabels;
extern const std::span<const PanelLine> kPanelLines;
