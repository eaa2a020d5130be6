// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

// What the table shows of a set of samples.
struct Summary {
    long count = 0;
    double median = 0;
    double p99 = 0; // nearest rank
    double max = 0;
};

Summary summarize(std::vector<double> samples);
