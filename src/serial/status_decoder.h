// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The status line for a reply, chosen by the last panel command (code + CR),
// given the reply view's text and the raw reply's length in bytes.
// No value means the status view stays as it is.
std::optional<QString> decodeStatus(const QByteArray &pendingCommand, const QString &rendered,
                                    qsizetype rawLength);
