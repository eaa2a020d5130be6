// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tour_step.h"

#include <QList>

class PanelOperator;

// The tour: power on, the seven status reads, a lamp-mode change, a held
// arrow and a console command with typed digits, as a projector that has
// just been switched on at the mains answers them.
QList<TourStep> tourSteps(PanelOperator &panel);
