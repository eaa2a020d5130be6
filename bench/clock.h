// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

using BenchClock = std::chrono::steady_clock;

inline double msBetween(BenchClock::time_point from, BenchClock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}
