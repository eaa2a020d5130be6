// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/form3.h"

#include "panel/form1.h"

Form3::Form3(Form1 &main) : QWidget(&main, Qt::Window), m_main(main)
{
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Command List"));
}
