// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/hold_button.h"

#include <QKeyEvent>
#include <QMouseEvent>

HoldButton::HoldButton(QWidget *parent) : QPushButton(parent)
{
    // Mouse and keys never click this button; only click() and animateClick() do.
    connect(this, &QAbstractButton::clicked, this, [this] {
        Q_EMIT mouseDown();
        Q_EMIT mouseUp();
    });
}

void HoldButton::mousePressEvent(QMouseEvent *event)
{
    m_keyHeld = false; // the mouse takes the hold over
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

// The key's own repeats come as releases and presses of their own: a held
// space bar is one press and one release, as a held mouse button is.
void HoldButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Space) {
        // Not the button's own key handling, which would click it.
        QWidget::keyPressEvent(event); // NOLINT(bugprone-parent-virtual-call)
        return;
    }
    event->accept();
    if (event->isAutoRepeat() || isDown())
        return;
    m_keyHeld = true;
    setDown(true);
    Q_EMIT mouseDown();
}

void HoldButton::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Space) {
        QWidget::keyReleaseEvent(event); // NOLINT(bugprone-parent-virtual-call)
        return;
    }
    event->accept();
    if (!event->isAutoRepeat())
        letGoOfTheKey();
}

void HoldButton::focusOutEvent(QFocusEvent *event)
{
    letGoOfTheKey();
    QPushButton::focusOutEvent(event);
}

void HoldButton::letGoOfTheKey()
{
    if (!m_keyHeld)
        return;
    m_keyHeld = false;
    setDown(false);
    Q_EMIT mouseUp();
}
