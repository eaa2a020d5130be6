// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/pty_pair.h"
#include "main/module1.h"
#include "panel/form1.h"

class QAbstractButton;

// The real main window on the real serial layer, shown offscreen, with a
// pseudo-terminal as the cable. A second descriptor on the same line lets
// a measurement send the bytes itself, as the floor of the window's path.
class FormRig
{
public:
    FormRig();
    ~FormRig();
    FormRig(const FormRig &) = delete;
    FormRig &operator=(const FormRig &) = delete;

    bool isReady() const { return m_ready; }
    Form1 &form() { return *m_form; }
    PtyPair &pty() { return m_pty; }
    // Writes like the window's port does, on the same line.
    int floorFd() const { return m_floorFd; }
    QAbstractButton *button(int number) const;

    // Ends any transaction and lets the views repaint, so that samples do
    // not pile up on each other.
    void settle();

private:
    PtyPair m_pty;
    int m_floorFd = -1;
    Module1 m_module;
    Form1 *m_form = nullptr;
    bool m_ready = false;
};
