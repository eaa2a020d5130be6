// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel_operator.h"

#include "console/form3.h"
#include "panel/form1.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

PanelOperator::PanelOperator(Form1 &form) : m_form(form)
{
    // Runs after the window's own tick handler, which sends while a key is held.
    QObject::connect(m_form.findChild<QTimer *>(QStringLiteral("Timer1")), &QTimer::timeout, &m_form, [this] {
        if (m_form.repeatKey() != 0)
            ++m_holdSends;
    });
}

void PanelOperator::click(int number)
{
    button(number)->click();
}

void PanelOperator::hold(int number, std::chrono::milliseconds duration)
{
    m_holdClock.start();
    m_holdSends = 1;
    sendMouse(number, true);
    runFor(duration);
}

void PanelOperator::release(int number)
{
    sendMouse(number, false);
    m_holdMs = m_holdClock.elapsed();
}

// Hold buttons act on the mouse button going down and up, not on a click.
void PanelOperator::sendMouse(int number, bool down)
{
    QAbstractButton *target = button(number);
    const QPointF centre = QRectF(target->rect()).center();
    QMouseEvent event(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, centre,
                      target->mapToGlobal(centre), Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

void PanelOperator::openConsole()
{
    m_form.Command74_Click();
}

bool PanelOperator::choose(int list, const QString &item)
{
    consoleButton(list + 2)->click();
    auto *shown = console()->findChild<QComboBox *>(QStringLiteral("Combo%1").arg(list));
    const int index = shown->findText(item, Qt::MatchStartsWith);
    if (index < 0)
        return false;
    shown->setCurrentIndex(index);
    Q_EMIT shown->activated(index);
    return true;
}

void PanelOperator::overtype(int position, int length, const QString &text)
{
    QLineEdit *box = consoleText1();
    box->setSelection(position, length);
    box->insert(text);
}

void PanelOperator::send()
{
    consoleButton(1)->click();
}

void PanelOperator::closeConsole()
{
    consoleButton(2)->click();
}

QString PanelOperator::consoleText() const
{
    return console() ? consoleText1()->text() : QString();
}

QAbstractButton *PanelOperator::button(int number) const
{
    // The dialog's and the console's buttons are numbered too.
    for (QAbstractButton *button :
         m_form.findChildren<QAbstractButton *>(QStringLiteral("Command%1").arg(number))) {
        if (button->window() == &m_form)
            return button;
    }
    return nullptr;
}

// A console closed a moment ago may still await its deletion.
Form3 *PanelOperator::console() const
{
    for (Form3 *console : m_form.findChildren<Form3 *>(Qt::FindDirectChildrenOnly)) {
        if (console->isVisible())
            return console;
    }
    return nullptr;
}

QAbstractButton *PanelOperator::consoleButton(int number) const
{
    return console()->findChild<QAbstractButton *>(QStringLiteral("Command%1").arg(number));
}

QLineEdit *PanelOperator::consoleText1() const
{
    return console()->findChild<QLineEdit *>(QStringLiteral("Text1"));
}

void runFor(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}
