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
    int frame = 0;
    if (m_window->isVisible())
        frame = decoration(m_window);
    else if (m_model && m_model->isVisible())
        frame = decoration(m_model);
    const int client = qRound(m_twips / 15.0) - frame;
    if (m_window->minimumHeight() != client || m_window->maximumHeight() != client)
        m_window->setFixedHeight(client);
}
