// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>

// The circumstances of a run, kept with its figures: when, on what machine,
// under what load, with what build.
QJsonObject describeRun();

// The 1-minute load average, for a warning when the machine is busy.
double loadAverage();
