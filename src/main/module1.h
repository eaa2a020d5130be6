// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

// State shared by the main window and the port dialog for the whole run.
// main() owns the one instance; tests make their own.
struct Module1 {
    QByteArray PendingCommand;  // last panel command, code + CR
    qint16 PortNumber = 0;      // 0: no port chosen
    quint8 BaudCode = 0;        // 96: 9600 baud, anything else: 19200
    qint16 SavedPortNumber = 0; // taken when "COM" opens the dialog
    quint8 SavedBaudCode = 0;
};
