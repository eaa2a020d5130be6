// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>

class QWidget;

// What assistive technology is told about widgets whose class says too
// little: a plain widget may be a window of its own, a plain frame may group
// buttons. Call before the widget is first shown.
void setAccessibleRole(QWidget *widget, QAccessible::Role role);

// Drawing only: left out of the accessibility tree of its window.
void setDecorative(QWidget *widget);
