// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/panel_table.h"

#include <algorithm>
#include <array>

namespace {

// clang-format off
constexpr std::array kRows{
    PanelButton{17, "ON", 1, {120, 240, 735, 495}, Face::On, Action::Click, "C00", 0, Direction::None, nullptr},
    PanelButton{18, "OFF", 1, {120, 840, 735, 495}, Face::Off, Action::Click, "C01", 0, Direction::None, nullptr},
    PanelButton{44, "STATUS", 0, {8720, 5235, 1500, 300}, Face::StatusRead, Action::Click, "CR0", 0, Direction::None, nullptr},
    PanelButton{1, "", 19, {120, 240, 615, 375}, Face::Arrow, Action::Hold, "C09", 1, Direction::Up, "VOL up"},
    PanelButton{16, "END", 0, {8720, 4800, 1500, 375}, Face::Plain, Action::End, nullptr, 0, Direction::None, nullptr},
    PanelButton{74, "COMMANDTABLE", 0, {6480, 6660, 1850, 375}, Face::Plain, Action::Console, nullptr, 0, Direction::None, nullptr},
    PanelButton{33, "COM", 0, {6480, 7080, 1850, 375}, Face::Plain, Action::Port, nullptr, 0, Direction::None, nullptr},
};
// clang-format on

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
