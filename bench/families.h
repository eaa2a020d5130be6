// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Report;

struct BenchOptions {
    bool quick = false; // shorter runs, fewer samples
    QString program;    // the real executable, for start-up and idle
    QString bareWindow; // the floor program for start-up and idle
};

// One function a measurement family; each adds its figures to the report.
void benchClickToWire(const BenchOptions &options, Report &report);
void benchClickOverNetwork(const BenchOptions &options, Report &report);
void benchReplyToView(const BenchOptions &options, Report &report);
void benchRepeatCadence(const BenchOptions &options, Report &report);
void benchFlood(const BenchOptions &options, Report &report);
void benchStartUp(const BenchOptions &options, Report &report);
void benchIdle(const BenchOptions &options, Report &report);
void benchPjlink(const BenchOptions &options, Report &report);
