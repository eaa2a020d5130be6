// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/click_button.h"

#include <QMouseEvent>

ClickButton::ClickButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (!m_activatedEarly)
            Q_EMIT activated();
    });
}

void ClickButton::mouseReleaseEvent(QMouseEvent *event)
{
    // The same test QAbstractButton makes before it repaints and emits clicked().
    m_activatedEarly =
        event->button() == Qt::LeftButton && isDown() && hitButton(event->position().toPoint());
    if (m_activatedEarly)
        Q_EMIT activated();
    QPushButton::mouseReleaseEvent(event);
    m_activatedEarly = false;
}
