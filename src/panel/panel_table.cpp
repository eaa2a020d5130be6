// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/panel_table.h"

#include <algorithm>
#include <array>

namespace {

using enum Face;
using enum Action;
using enum Direction;

// Rows in the panel's order, top left to bottom right. Groups with an
// arrangement rather than places share their frame's inner width evenly:
// 6 px margins, captions at equal padding, titles above (or, in the thin
// frames, to the left of) the buttons.
// clang-format off
constexpr std::array kRows{
    // number, caption, frame, place (twips), face, action, code, repeat key, arrow, accessible name
    PanelButton{17, "ON", 1, {90, 300, 795, 525}, On, Click, "C00", 0, None, nullptr},
    PanelButton{18, "OFF", 1, {90, 915, 795, 525}, Off, Click, "C01", 0, None, nullptr},

    PanelButton{27, "Computer 1", 2, {90, 285, 1470, 375}, Function, Click, "C05", 0, None, nullptr},
    PanelButton{28, "Analg RGB", 2, {1650, 285, 1365, 375}, Function, Click, "C50", 0, None, nullptr},
    PanelButton{29, "Component", 2, {3105, 285, 1440, 375}, Function, Click, "C54", 0, None, nullptr},
    PanelButton{53, "Scart", 2, {4635, 285, 930, 375}, Function, Click, "C51", 0, None, nullptr},

    PanelButton{40, "Computer 2", 11, {90, 285, 1335, 375}, Function, Click, "C06", 0, None, nullptr},
    PanelButton{63, "RGB", 11, {1515, 285, 690, 375}, Function, Click, "C25", 0, None, nullptr},
    PanelButton{64, "DVI (PC Digital)", 11, {2295, 285, 1665, 375}, Function, Click, "C5B", 0, None, nullptr},
    PanelButton{65, "DVI(AV HDCP)", 11, {4050, 285, 1515, 375}, Function, Click, "C5C", 0, None, nullptr},

    PanelButton{66, "Video(Auto Video S-Video)", 12, {90, 300, 3075, 390}, Function, Click, "C07", 0, None, nullptr},
    PanelButton{15, "Video", 12, {90, 780, 1485, 390}, Function, Click, "CF INPUT VIDEO", 0, None, nullptr},
    PanelButton{41, "S-video", 12, {1680, 780, 1485, 390}, Function, Click, "C34", 0, None, nullptr},

    PanelButton{31, "Normal", 5, {90, 300, 1275, 525}, Function, Click, "C0F", 0, None, nullptr},
    PanelButton{32, "Wide", 5, {90, 915, 1275, 525}, Function, Click, "C10", 0, None, nullptr},

    PanelButton{71, "Ready", 14, {90, 525, 1275, 420}, Function, Click, "C2A", 0, None, nullptr},
    PanelButton{72, "OFF", 14, {90, 1035, 1275, 420}, Function, Click, "C2B", 0, None, nullptr},
    PanelButton{56, "Shut down", 14, {90, 1545, 1275, 420}, Function, Click, "C2E", 0, None, nullptr},

    PanelButton{23, "ON", 6, {90, 285, 705, 375}, On, Click, "C1C", 0, None, nullptr},
    PanelButton{24, "OFF", 6, {900, 285, 705, 375}, Off, Click, "C1D", 0, None, nullptr},
    PanelButton{19, "ON", 3, {90, 285, 705, 375}, On, Click, "C0B", 0, None, nullptr},
    PanelButton{20, "OFF", 3, {900, 285, 705, 375}, Off, Click, "C0C", 0, None, nullptr},
    PanelButton{21, "ON", 4, {90, 285, 705, 375}, On, Click, "C0D", 0, None, nullptr},
    PanelButton{22, "OFF", 4, {900, 285, 705, 375}, Off, Click, "C0E", 0, None, nullptr},
    PanelButton{25, "ON", 7, {90, 285, 705, 375}, On, Click, "C43", 0, None, nullptr},
    PanelButton{26, "OFF", 7, {900, 285, 705, 375}, Off, Click, "C44", 0, None, nullptr},

    PanelButton{5, "", 0, {1200, 2520, 855, 375}, Arrow, Hold, "C3C", 3, Up, "Cursor up"},
    PanelButton{9, "", 0, {240, 3000, 855, 375}, Arrow, Hold, "C3B", 5, Left, "Cursor left"},
    PanelButton{6, "ENTER", 0, {1200, 3000, 855, 375}, Enter, Click, "C3F", 0, None, nullptr},
    PanelButton{8, "", 0, {2160, 3000, 855, 375}, Arrow, Hold, "C3A", 6, Right, "Cursor right"},
    PanelButton{7, "", 0, {1200, 3480, 855, 375}, Arrow, Hold, "C3D", 4, Down, "Cursor down"},

    PanelButton{1, "", 19, {90, 285, 675, 330}, Arrow, Hold, "C09", 1, Up, "VOL up"},
    PanelButton{2, "", 19, {90, 705, 675, 330}, Arrow, Hold, "C0A", 2, Down, "VOL down"},
    PanelButton{10, "", 10, {90, 285, 1020, 330}, Arrow, Hold, "C8E", 11, Up, "KEYSTONE up"},
    PanelButton{35, "", 10, {90, 705, 1020, 330}, Arrow, Hold, "C8F", 12, Down, "KEYSTONE down"},
    PanelButton{30, "", 17, {90, 285, 675, 330}, Arrow, Hold, "C20", 7, Up, "Bright up"},
    PanelButton{42, "", 17, {90, 705, 675, 330}, Arrow, Hold, "C21", 8, Down, "Bright down"},
    PanelButton{48, "", 16, {90, 285, 675, 330}, Arrow, Hold, "C30", 9, Up, "D.Zoom up"},
    PanelButton{49, "", 16, {90, 705, 675, 330}, Arrow, Hold, "C31", 10, Down, "D.Zoom down"},

    PanelButton{4, "STAND", 0, {3330, 3600, 1095, 300}, Function, Click, "C11", 0, None, nullptr},
    PanelButton{36, "REAL", 0, {4440, 3600, 1095, 300}, Function, Click, "C12", 0, None, nullptr},
    PanelButton{37, "CINEMA", 0, {5550, 3600, 1095, 300}, Function, Click, "C13", 0, None, nullptr},
    PanelButton{50, "IMAGE1", 0, {3330, 3915, 1095, 300}, Function, Click, "C14", 0, None, nullptr},
    PanelButton{51, "IMAGE2", 0, {4440, 3915, 1095, 300}, Function, Click, "C15", 0, None, nullptr},
    PanelButton{52, "IMAGE3", 0, {5550, 3915, 1095, 300}, Function, Click, "C16", 0, None, nullptr},
    PanelButton{57, "IMAGE4", 0, {3330, 4230, 1095, 300}, Function, Click, "C17", 0, None, nullptr},
    PanelButton{58, "B.Board", 0, {4440, 4230, 1095, 300}, Function, Click, "C18", 0, None, nullptr},
    PanelButton{59, "Dynamic", 0, {5550, 4230, 1095, 300}, Function, Click, "C19", 0, None, nullptr},

    PanelButton{3, "DISPLAY CLEAR", 0, {6750, 3600, 1695, 300}, Function, Click, "C1E", 0, None, nullptr},
    PanelButton{73, "IMAGE(Toggle)", 0, {6750, 3915, 1695, 300}, Function, Click, "C27", 0, None, nullptr},
    PanelButton{12, "Image Colorboard", 0, {6750, 4230, 1695, 300}, Function, Click, "C39", 0, None, nullptr},
    PanelButton{14, "P-TIMER", 0, {8500, 3600, 1695, 300}, Function, Click, "C8A", 0, None, nullptr},
    PanelButton{13, "AUTO PC ADJ.", 0, {8500, 3915, 1695, 300}, Function, Click, "C89", 0, None, nullptr},

    PanelButton{69, "Enable", 13, {1110, 60, 915, 375}, On, Click, "C28", 0, None, nullptr},
    PanelButton{70, "Disable", 13, {2130, 60, 915, 375}, Off, Click, "C29", 0, None, nullptr},

    PanelButton{60, "NONE", 20, {1320, 60, 795, 375}, Function, Click, "CF KEYDIS NONE", 0, None, nullptr},
    PanelButton{61, "R/C", 20, {2220, 60, 795, 375}, Function, Click, "CF KEYDIS RC", 0, None, nullptr},
    PanelButton{62, "KEY", 20, {3120, 60, 795, 375}, Function, Click, "CF KEYDIS KEY", 0, None, nullptr},

    PanelButton{67, "HIGH", 21, {1290, 60, 915, 375}, Function, Click, "CF LAMPMODE HIGH", 0, None, nullptr},
    PanelButton{68, "NORMAL", 21, {2310, 60, 915, 375}, Function, Click, "CF LAMPMODE NORMAL", 0, None, nullptr},
    PanelButton{75, "ECO", 21, {3330, 60, 915, 375}, Function, Click, "CF LAMPMODE ECO", 0, None, nullptr},

    PanelButton{44, "STATUS", 0, {8720, 5350, 1500, 300}, StatusRead, Click, "CR0", 0, None, nullptr},
    PanelButton{45, "MODE", 0, {8720, 5650, 1500, 300}, StatusRead, Click, "CR1", 0, None, nullptr},
    PanelButton{54, "TEMP", 0, {8720, 5950, 1500, 300}, StatusRead, Click, "CR6", 0, None, nullptr},
    PanelButton{47, "SETTING", 0, {8720, 6250, 1500, 300}, StatusRead, Click, "CR4", 0, None, nullptr},
    PanelButton{46, "LAMP-TIME", 0, {8720, 6550, 1500, 300}, StatusRead, Click, "CR3", 0, None, nullptr},
    PanelButton{55, "LAMP-STATUS", 0, {8720, 6850, 1500, 300}, StatusRead, Click, "CR LAMPSTS", 0, None, nullptr},
    PanelButton{76, "LAMP-MODE", 0, {8720, 7150, 1500, 300}, StatusRead, Click, "CR LAMPMODE", 0, None, nullptr},
    PanelButton{16, "END", 0, {8720, 4800, 1500, 375}, Plain, End, nullptr, 0, None, nullptr},

    PanelButton{74, "COMMANDTABLE", 0, {6480, 6660, 1850, 375}, Plain, Console, nullptr, 0, None, nullptr},
    PanelButton{33, "COM", 0, {6480, 7080, 1850, 375}, Plain, Port, nullptr, 0, None, nullptr},
};
// clang-format on

static_assert(kRows.size() == 71);

} // namespace

const std::span<const PanelButton> kPanelButtons{kRows};

const PanelButton *findPanelButton(int number)
{
    const auto it = std::ranges::find(kRows, number, &PanelButton::number);
    return it == kRows.end() ? nullptr : &*it;
}

QByteArray repeatCode(quint8 repeatKey)
{
    if (repeatKey == 0)
        return {};
    const auto it = std::ranges::find(kRows, repeatKey, &PanelButton::repeatKey);
    return it == kRows.end() ? QByteArray() : QByteArray(it->code);
}
