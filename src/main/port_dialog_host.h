// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class CommPort;

// What the port dialog needs of the main window: its serial control, to set
// the speed and port and to open and close it, and the window itself.
class PortDialogHost
{
public:
    virtual CommPort &commPort() = 0;
    // Closed by the operator or by END: its port is no longer the dialog's to open.
    virtual bool isUnloaded() const = 0;
    virtual void showAndRaise() = 0;

protected:
    ~PortDialogHost() = default;
};
