// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/desktop_identity.h"
#include "main/module1.h"
#include "panel/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    applyDesktopIdentity();
    Module1 module;
    Form1 form(module);
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
