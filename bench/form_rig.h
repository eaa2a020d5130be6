// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/pty_pair.h"
#include "main/module1.h"
#include "panel/form1.h"

#include <memory>
#include <vector>

class QAbstractButton;

// The real main window on the real serial layer, shown offscreen, with a
// pseudo-terminal as the cable. A second descriptor on a line of the same
// kind lets a measurement send the bytes itself, as the floor of the
// window's path.
class FormRig
{
public:
    enum class Line {
        Device,  // the window opens the pseudo-terminal; the floor writes on it too
        Rfc2217, // the window reaches it through ser2net's Telnet COM-PORT port
                 // on loopback; the floor writes to a raw TCP port of a second
                 // ser2net, in front of a pseudo-terminal of its own, since
                 // ser2net takes one client a device
    };

    explicit FormRig(Line line = Line::Device);
    ~FormRig();
    FormRig(const FormRig &) = delete;
    FormRig &operator=(const FormRig &) = delete;

    bool isReady() const { return m_ready; }
    Form1 &form() { return *m_form; }
    // The line the window's port drives.
    PtyPair &pty() { return m_pty; }
    // Writes like the window's port does, on a line of the same kind.
    int floorFd() const { return m_floorFd; }
    // The far ends where the window's bytes and the floor's arrive.
    std::vector<int> wireFds() const;
    // What the window's port opens: the device or the network address.
    const QString &portName() const { return m_portName; }
    QAbstractButton *button(int number) const;

    // Ends any transaction and lets the views repaint, so that samples do
    // not pile up on each other.
    void settle();

private:
    struct Network;

    PtyPair m_pty;
    std::unique_ptr<Network> m_network;
    int m_floorFd = -1;
    QString m_portName;
    Module1 m_module;
    Form1 *m_form = nullptr;
    bool m_ready = false;
};
