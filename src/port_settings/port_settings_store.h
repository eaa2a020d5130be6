// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QSettings;

// The two per-user settings, group "StartUP" of the store "VORN", as text.
namespace PortSettingsStore {

QString readComPort();  // "DATAC" when absent
QString readBaudRate(); // "DATAb" when absent

// Writes "ComPort" then "BaudRate". On failure returns false and the reason.
bool write(qint16 portNumber, quint8 baudCode, QString *reason);

// Makes the edit in the per-user store and saves it. On failure returns
// false and the reason; the file keeps what it held.
bool update(const std::function<void(QSettings &)> &edit, QString *reason);

} // namespace PortSettingsStore
