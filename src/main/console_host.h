// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// What the command console needs of the main window.
class ConsoleHost
{
public:
    // Sends through the main window's transaction, both of its timers
    // counting from this transmit.
    virtual void transmit(const QByteArray &command) = 0;
    // The no-reply and view-clearing intervals, in ms.
    virtual void setTransactionIntervals(int noReply, int clearViews) = 0;
    virtual void setStatusLineVisible(bool visible) = 0;
    // Closed by the operator or by END: the program is on its way out.
    virtual bool isUnloaded() const = 0;
    virtual void showAndRaise() = 0;

protected:
    ~ConsoleHost() = default;
};
