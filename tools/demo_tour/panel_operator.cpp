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
    QObject::connect(m_form.Timer1, &QTimer::timeout, &m_form, [this] {
        if (m_form.repeatKey() != 0)
            ++m_holdSends;
    });
}

void PanelOperator::click(int number)
{
    m_form.buttons->button(number)->click();
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
    QAbstractButton *button = m_form.buttons->button(number);
    const QPointF centre = QRectF(button->rect()).center();
    QMouseEvent event(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, centre,
                      button->mapToGlobal(centre), Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(button, &event);
}

void PanelOperator::openConsole()
{
    m_form.Command74_Click();
}

bool PanelOperator::choose(int list, const QString &item)
{
    Form3 *console = m_form.console();
    QPushButton *listButtons[] = {console->Command3, console->Command4, console->Command5};
    QComboBox *lists[] = {console->Combo1, console->Combo2, console->Combo3};
    listButtons[list - 1]->click();
    QComboBox *shown = lists[list - 1];
    const int index = shown->findText(item, Qt::MatchStartsWith);
    if (index < 0)
        return false;
    shown->setCurrentIndex(index);
    Q_EMIT shown->activated(index);
    return true;
}

void PanelOperator::overtype(int position, int length, const QString &text)
{
    QLineEdit *box = m_form.console()->Text1;
    box->setSelection(position, length);
    box->insert(text);
}

void PanelOperator::send()
{
    m_form.console()->Command1->click();
}

void PanelOperator::closeConsole()
{
    m_form.console()->Command2->click();
}

QString PanelOperator::consoleText() const
{
    return m_form.console() ? m_form.console()->Text1->text() : QString();
}

void runFor(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}
