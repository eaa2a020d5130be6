// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/layout_table.h"

#include <array>

namespace {

using enum LabelLook;

// clang-format off
constexpr std::array kFrames{
    PanelFrame{1, {120, 0, 975, 1520}},      // power
    PanelFrame{2, {1200, 0, 5655, 732}},     // computer 1 input
    PanelFrame{11, {1200, 800, 5655, 732}},  // computer 2 input
    PanelFrame{12, {6960, 0, 3255, 1275}},   // video input
    PanelFrame{5, {7240, 1365, 1450, 1515}}, // screen
    PanelFrame{14, {8760, 1365, 1450, 2055}}, // power management
    PanelFrame{6, {120, 1600, 1700, 732}},   // menu
    PanelFrame{3, {1900, 1600, 1700, 732}},  // audio mute
    PanelFrame{4, {3680, 1600, 1700, 732}},  // video mute
    PanelFrame{7, {5450, 1600, 1700, 732}},  // freeze
    PanelFrame{19, {3240, 2400, 855, 1095}}, // volume
    PanelFrame{10, {4120, 2400, 1200, 1095}}, // keystone
    PanelFrame{17, {5350, 2400, 855, 1095}}, // brightness
    PanelFrame{16, {6260, 2400, 855, 1095}}, // digital zoom
    PanelFrame{13, {120, 4020, 3135, 495}},  // on start
    PanelFrame{20, {120, 4680, 4000, 495}},  // key lock
    PanelFrame{21, {4200, 4680, 4335, 495}}, // lamp mode
    PanelFrame{9, {120, 5400, 8295, 948}},   // traffic views
    PanelFrame{15, {120, 6960, 6105, 492}},  // status line
};

// Titles start 3 px into their frame; in the thin one-row frames they stand
// left of the buttons, vertically centred.
constexpr std::array kLabels{
    PanelLabel{1, "POWER", 1, {45, 45, 885, 210}, PowerTitle, true},
    PanelLabel{2, "Computer1", 2, {45, 45, 5565, 210}, Title, true},
    PanelLabel{21, "Computer2", 11, {45, 45, 5565, 210}, Title, true},
    PanelLabel{22, "Video", 12, {45, 45, 3165, 210}, Title, true},
    PanelLabel{6, "SCREEN", 5, {45, 45, 1365, 210}, Title, true},
    PanelLabel{24, "POWER ", 14, {45, 45, 1365, 210}, Title, true},
    PanelLabel{20, "Management", 14, {45, 255, 1365, 210}, Title, true},
    PanelLabel{7, "MENU", 6, {45, 45, 1605, 210}, Title, true},
    PanelLabel{4, "AUDIO MUTE", 3, {45, 45, 1605, 210}, Title, true},
    PanelLabel{5, "VIDEO MUTE", 4, {45, 45, 1605, 210}, Title, true},
    PanelLabel{8, "FREEZE", 7, {45, 45, 1605, 210}, Title, true},
    PanelLabel{3, "VOL", 19, {45, 45, 765, 210}, Title, true},
    PanelLabel{13, "KEYSTONE", 10, {45, 45, 1110, 210}, Title, true},
    PanelLabel{16, "Bright", 17, {45, 45, 765, 210}, Title, true},
    PanelLabel{17, "D.Zoom", 16, {45, 45, 765, 210}, Title, true},
    PanelLabel{23, "ON START", 13, {45, 135, 990, 210}, Title, true},
    PanelLabel{14, "R/C KEY OFF", 20, {45, 135, 1200, 210}, Title, true},
    PanelLabel{18, "LAMP MODE", 21, {45, 135, 1170, 210}, Title, true},

    PanelLabel{9, "TxD", 9, {120, 240, 420, 210}, Title, true},
    PanelLabel{11, "", 9, {600, 195, 7575, 300}, View, true},
    PanelLabel{10, "RxD", 9, {120, 612, 420, 210}, Title, true},
    PanelLabel{12, "", 9, {585, 555, 7575, 300}, View, true},
    PanelLabel{26, "STATUS", 15, {120, 210, 840, 210}, Title, true},
    PanelLabel{25, "", 15, {1020, 135, 4950, 285}, StatusView, true},

    // The CR legend is one text line high so that it ends where the ACK legend
    // below it begins.
    PanelLabel{28, "[CR] :Carriage Return Code (0x0D)", 0, {120, 6405, 3495, 195}, Legend, false},
    PanelLabel{27, "_ :Space Code (0x20)", 0, {4200, 6405, 2295, 255}, Legend, false},
    PanelLabel{29, "[ACK]  :ACKnowledgemend Code (0x06)", 0, {120, 6600, 3855, 255}, Legend, true},
};

// The outline of a plus around the cursor pad, clockwise from the top: a
// vertical bar x 1080..2160, y 2400..3960 crossing a horizontal bar
// x 120..3120, y 2880..3480.
constexpr std::array kLines{
    PanelLine{1, {1080, 2400, 2160, 2400}},
    PanelLine{2, {2160, 2400, 2160, 2880}},
    PanelLine{3, {2160, 2880, 3120, 2880}},
    PanelLine{4, {3120, 2880, 3120, 3480}},
    PanelLine{5, {3120, 3480, 2160, 3480}},
    PanelLine{6, {2160, 3480, 2160, 3960}},
    PanelLine{7, {2160, 3960, 1080, 3960}},
    PanelLine{8, {1080, 3960, 1080, 3480}},
    PanelLine{9, {1080, 3480, 120, 3480}},
    PanelLine{10, {120, 3480, 120, 2880}},
    PanelLine{11, {120, 2880, 1080, 2880}},
    PanelLine{12, {1080, 2880, 1080, 2400}},
};
// clang-format on

} // namespace

const std::span<const PanelFrame> kPanelFrames{kFrames};
const std::span<const PanelLabel> kPanelLabels{kLabels};
const std::span<const PanelLine> kPanelLines{kLines};
