// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/accessible_role.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

constexpr char roleProperty[] = "accessibleRole";
constexpr char decorativeProperty[] = "decorative";

bool isDecorative(const QObject *object)
{
    return object->property(decorativeProperty).toBool();
}

// A widget with the role it was given, whose decorative children are not
// among its children.
class RoleAccessible : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    int childCount() const override { return int(shownChildren().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = shownChildren();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index])
                                                     : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(shownChildren().indexOf(child->object())) : -1;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible |= isDecorative(object());
        return state;
    }

private:
    QList<QWidget *> shownChildren() const
    {
        QList<QWidget *> shown;
        for (QObject *child : object()->children()) {
            auto *w = qobject_cast<QWidget *>(child);
            if (w && !w->isWindow() && !isDecorative(w))
                shown << w;
        }
        return shown;
    }
};

QAccessibleInterface *roleFactory(const QString &, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(roleProperty);
    if (!role.isValid() && !isDecorative(object))
        return nullptr;
    return new RoleAccessible(static_cast<QWidget *>(object),
                              role.isValid() ? QAccessible::Role(role.toInt()) : QAccessible::Client);
}

void mark(QWidget *widget, const char *property, const QVariant &value)
{
    [[maybe_unused]] static const bool installed = (QAccessible::installFactory(roleFactory), true);
    widget->setProperty(property, value);
}

} // namespace

void setAccessibleRole(QWidget *widget, QAccessible::Role role)
{
    mark(widget, roleProperty, int(role));
}

void setDecorative(QWidget *widget)
{
    mark(widget, decorativeProperty, true);
}
