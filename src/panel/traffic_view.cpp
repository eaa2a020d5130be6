// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/traffic_view.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace {

// The most characters that can fit the width, whatever they are.
qsizetype mostThatFit(const QFontMetrics &metrics, int width)
{
    int narrowest = metrics.horizontalAdvance(u' ');
    for (const QChar c : QStringView(u".,:;!|'il1"))
        narrowest = std::min(narrowest, metrics.horizontalAdvance(c));
    return width / std::max(1, narrowest) + 1;
}

} // namespace

void TrafficView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect();
    const QFontMetrics metrics = fontMetrics();
    QString shown = text().right(mostThatFit(metrics, area.width()));
    if (metrics.horizontalAdvance(shown) > area.width())
        shown = metrics.elidedText(shown, Qt::ElideLeft, area.width());
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
}
