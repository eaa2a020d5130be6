// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/desktop_identity.h"

#include <QGuiApplication>
#include <QIcon>

void applyDesktopIdentity()
{
    // The class part of WM_CLASS; without it, the name the program was started by.
    QCoreApplication::setApplicationName(QStringLiteral("tallis-control"));
    QGuiApplication::setDesktopFileName(kDesktopId);
    QGuiApplication::setWindowIcon(
        QIcon::fromTheme(kDesktopId, QIcon(QStringLiteral(":/icons/%1.svg").arg(kDesktopId))));
}
