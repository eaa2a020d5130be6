// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/fake_comm_port.h"
#include "panel/form1.h"

#include <QPushButton>

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
        return form.findChild<QPushButton *>(QStringLiteral("Command%1").arg(number));
    }

    Module1 module;
    FakeCommPort *port = new FakeCommPort;
    Form1 form{module, port};
};
