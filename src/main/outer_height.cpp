// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/outer_height.h"

#include <QEvent>
#include <QWidget>

namespace {

int decoration(const QWidget *window)
{
    return window->frameGeometry().height() - window->height();
}

} // namespace

OuterHeight::OuterHeight(QWidget *window, int twips, const QWidget *model)
    : QObject(window), m_window(window), m_model(model), m_twips(twips)
{
    window->installEventFilter(this);
    apply();
}

void OuterHeight::setTwips(int twips)
{
    m_twips = twips;
    apply();
}

bool OuterHeight::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
        apply();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void OuterHeight::apply()
{
    // A window just shown is not framed yet: its frame reads as none until the
    // window manager's frame is known.
    int frame = m_window->isVisible() ? decoration(m_window) : 0;
    if (frame == 0 && m_model && m_model->isVisible())
        frame = decoration(m_model);
    const int client = qRound(m_twips / 15.0) - frame;
    if (m_window->minimumHeight() != client || m_window->maximumHeight() != client)
        m_window->setFixedHeight(client);
}
