// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/form2.h"

#include "panel/form1.h"

Form2::Form2(Module1 &module, Form1 &main) : QDialog(&main), m_module(module), m_main(main)
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("  COM PORT"));
}
