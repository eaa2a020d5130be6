// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

// A button that acts while it is held: by any mouse button, or by the space
// bar, which stands for a mouse button. Qt delivers the release to the
// pressed widget even when the pointer has left it, so mouseUp always follows
// mouseDown; a held space bar is let go when the button loses the focus.
// A click by the program or by assistive technology is a press and a release.
class HoldButton : public QPushButton
{
    Q_OBJECT
public:
    explicit HoldButton(QWidget *parent = nullptr);

Q_SIGNALS:
    void mouseDown();
    void mouseUp();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void letGoOfTheKey();

    bool m_keyHeld = false;
};
