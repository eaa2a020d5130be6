// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/hold_button.h"

#include <QMouseEvent>

void HoldButton::mousePressEvent(QMouseEvent *event)
{
    setDown(true);
    event->accept();
    Q_EMIT mouseDown();
}

void HoldButton::mouseReleaseEvent(QMouseEvent *event)
{
    setDown(false);
    event->accept();
    Q_EMIT mouseUp();
}

// Space would otherwise press and click the button.
void HoldButton::keyPressEvent(QKeyEvent *event)
{
    QWidget::keyPressEvent(event); // NOLINT(bugprone-parent-virtual-call): skip the button's own key handling
}

void HoldButton::keyReleaseEvent(QKeyEvent *event)
{
    QWidget::keyReleaseEvent(event); // NOLINT(bugprone-parent-virtual-call)
}
