// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console/form3.h"
#include "fakes/fake_comm_port.h"
#include "panel/form1.h"
#include "port_settings/form2.h"
#include "serial/transaction.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

// The control of a window by its name. The dialog and the console number
// their controls too, so a window's own are told by the window they are on.
template <typename Control = QWidget> Control *control(const QWidget *window, const QString &name)
{
    for (Control *found : window->findChildren<Control *>(name)) {
        if (found->window() == window)
            return found;
    }
    return nullptr;
}

// The open dialog or console of the main window; a closed one may still
// await its deletion.
template <typename Window> Window *openWindow(const QWidget &main)
{
    for (Window *window : main.findChildren<Window *>(Qt::FindDirectChildrenOnly)) {
        if (window->isVisible())
            return window;
    }
    return nullptr;
}

// The main window on a fake serial line, as the widget tests start it: on
// port 1, open unless a test wants the line closed. The window owns the port.
struct FakePanel {
    enum class Line { Open, Closed };

    explicit FakePanel(Line line = Line::Open)
    {
        port->setCommPort(1);
        if (line == Line::Open)
            port->setPortOpen(true);
    }

    QPushButton *button(int number) const
    {
        return control<QPushButton>(&form, QStringLiteral("Command%1").arg(number));
    }
    QString view(int number) const
    {
        return control<QLabel>(&form, QStringLiteral("Label%1").arg(number))->text();
    }
    QTimer *timer(int number) const
    {
        return form.findChild<QTimer *>(QStringLiteral("Timer%1").arg(number));
    }
    Transaction &transaction() { return form.transaction(); }
    Form2 *dialog() const { return openWindow<Form2>(form); }
    Form3 *console() const { return openWindow<Form3>(form); }

    Module1 module;
    FakeCommPort *port = new FakeCommPort;
    Form1 form{module, port};
};
