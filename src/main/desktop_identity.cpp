// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/desktop_identity.h"

#include <QGuiApplication>
#include <QIcon>
#include <QStandardPaths>

void applyDesktopIdentity()
{
    // The class part of WM_CLASS; without it, the name the program was started by.
    QCoreApplication::setApplicationName(QStringLiteral("tallis-control"));
    QGuiApplication::setDesktopFileName(kDesktopId);
    // Straight to the file the package installs: the icon theme's own lookup
    // scans every theme folder and costs start-up several milliseconds.
    const QString installed =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                               QStringLiteral("icons/hicolor/scalable/apps/%1.svg").arg(kDesktopId));
    QGuiApplication::setWindowIcon(
        QIcon(installed.isEmpty() ? QStringLiteral(":/icons/%1.svg").arg(kDesktopId) : installed));
}
