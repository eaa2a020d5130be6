// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class Form1;

// The command list console.
class Form3 : public QWidget
{
    Q_OBJECT
public:
    explicit Form3(Form1 &main);

private:
    Form1 &m_main;
};
