// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1StringView>

// The id of the desktop entry, the AppStream component and the icon.
inline constexpr QLatin1StringView kDesktopId("io.github.tallis_control.TallisControl");

// Lets the desktop match the program's windows with its desktop entry (the
// Wayland app id, and the X11 window class that the entry's StartupWMClass
// names) and gives them the installed icon, or the built-in copy of it.
void applyDesktopIdentity();
