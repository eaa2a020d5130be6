// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats.h"

#include <algorithm>
#include <cmath>

Summary summarize(std::vector<double> samples)
{
    if (samples.empty())
        return {};
    std::ranges::sort(samples);
    const auto n = samples.size();
    const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    const auto rank = static_cast<std::size_t>(std::ceil(0.99 * double(n)));
    return {long(n), median, samples[std::max<std::size_t>(rank, 1) - 1], samples.back()};
}
