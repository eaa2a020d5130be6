// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "panel/hold_button.h"
#include "panel/panel_table.h"

// A hold button whose face is a black triangle, 17 px across its base and
// 9 px deep, pointing in its direction, instead of a caption.
class ArrowButton : public HoldButton
{
    Q_OBJECT
public:
    explicit ArrowButton(Direction direction, QWidget *parent = nullptr);

    Direction direction() const { return m_direction; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Direction m_direction;
};
