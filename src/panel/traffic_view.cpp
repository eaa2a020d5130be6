// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/traffic_view.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace {

// The view's text, read-only, with no caret and no selection of its own.
// Its name is its title's, which Qt finds by the title's buddy.
class TrafficViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit TrafficViewAccessible(QWidget *view) : QAccessibleWidget(view, QAccessible::StaticText) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    QString text(QAccessible::Text t) const override { return QAccessibleWidget::text(t); }
    QString text(int startOffset, int endOffset) const override
    {
        return shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(shown().size()); }
    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    QString shown() const { return static_cast<const QLabel *>(object())->text(); }
};

QAccessibleInterface *trafficViewFactory(const QString &className, QObject *object)
{
    return className == QLatin1String("TrafficView")
               ? new TrafficViewAccessible(static_cast<QWidget *>(object))
               : nullptr;
}

// The most characters that can fit the width, whatever they are.
qsizetype mostThatFit(const QFontMetrics &metrics, int width)
{
    int narrowest = metrics.horizontalAdvance(u' ');
    for (const QChar c : QStringView(u".,:;!|'il1"))
        narrowest = std::min(narrowest, metrics.horizontalAdvance(c));
    return width / std::max(1, narrowest) + 1;
}

} // namespace

TrafficView::TrafficView(QWidget *parent) : QLabel(parent)
{
    [[maybe_unused]] static const bool installed = (QAccessible::installFactory(trafficViewFactory), true);
}

void TrafficView::showText(const QString &text)
{
    // The transaction sets its views many times a second: without assistive
    // technology listening, this is a plain setText.
    if (!QAccessible::isActive())
        return setText(text);
    const QString old = this->text();
    setText(text);
    if (old != text) {
        QAccessibleTextUpdateEvent event(this, 0, old, text);
        QAccessible::updateAccessibility(&event);
    }
}

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
