// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <chrono>
#include <functional>

// One thing the operator does on the panel and what the three views must
// then show. The patterns are regular expressions for the whole view text.
struct TourStep {
    QString title{};
    std::function<void()> act{};
    QString sent{};
    QString reply{};
    QString status = QStringLiteral(".*");
    // Repeat the action at this pace until the views match (0: act once).
    std::chrono::milliseconds retry{0};
    std::chrono::milliseconds timeout{5000};
    // An extra line for the listing, taken once the views match.
    std::function<QString()> note{};
};
