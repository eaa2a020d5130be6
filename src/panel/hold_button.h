// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

// A button that acts while a mouse button is held on it: any mouse button,
// and never from the keyboard. Qt delivers the release to the pressed widget
// even when the pointer has left it, so mouseUp always follows mouseDown.
class HoldButton : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;

Q_SIGNALS:
    void mouseDown();
    void mouseUp();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
};
