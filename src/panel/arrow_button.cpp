// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/arrow_button.h"

#include <QPainter>

namespace {

constexpr int triangleBase = 17;
constexpr int triangleDepth = 9;

} // namespace

ArrowButton::ArrowButton(Direction direction, QWidget *parent) : HoldButton(parent), m_direction(direction) {}

void ArrowButton::paintEvent(QPaintEvent *event)
{
    HoldButton::paintEvent(event);
    const bool vertical = m_direction == Direction::Up || m_direction == Direction::Down;
    const bool apexFirst = m_direction == Direction::Up || m_direction == Direction::Left;
    const QSize box = vertical ? QSize(triangleBase, triangleDepth) : QSize(triangleDepth, triangleBase);
    const QPoint origin((width() - box.width()) / 2, (height() - box.height()) / 2);

    // Drawn stripe by stripe rather than as a polygon so that the edges are
    // the same exact pixels on every platform.
    QPainter painter(this);
    for (int i = 0; i < triangleDepth; ++i) {
        // Stripe i, counted from the apex, is 2i+1 px long and centred on the axis.
        const int along = apexFirst ? i : triangleDepth - 1 - i;
        const int from = triangleDepth - 1 - i;
        if (vertical)
            painter.fillRect(origin.x() + from, origin.y() + along, 2 * i + 1, 1, Qt::black);
        else
            painter.fillRect(origin.x() + along, origin.y() + from, 1, 2 * i + 1, Qt::black);
    }
}
