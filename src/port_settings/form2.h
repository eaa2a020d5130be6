// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/module1.h"

#include <QDialog>

class Form1;

// The port settings dialog.
class Form2 : public QDialog
{
    Q_OBJECT
public:
    Form2(Module1 &module, Form1 &main);

private:
    Module1 &m_module;
    Form1 &m_main;
};
