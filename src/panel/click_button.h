// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

// A button that acts once per click, by mouse or keyboard. A mouse click acts
// before Qt repaints the button released, so the command is on the wire
// before the panel spends time drawing.
class ClickButton : public QPushButton
{
    Q_OBJECT
public:
    explicit ClickButton(const QString &caption, QWidget *parent = nullptr);

Q_SIGNALS:
    void activated();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_activatedEarly = false;
};
