// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/catalog.h"

#include <QString>

#include <span>

QStringView commandPart(QStringView text)
{
    const qsizetype bracket = text.indexOf(u'[');
    return bracket < 0 ? text : text.first(bracket);
}

QByteArray wireCommand(QStringView text)
{
    return commandPart(text).toLatin1() + '\r';
}

QByteArray catalogCommand(std::string_view code)
{
    const QLatin1String wanted(code.data(), qsizetype(code.size()));
    for (const std::span<const std::string_view> list :
         {std::span<const std::string_view>(kBasicCommands),
          std::span<const std::string_view>(kExpandCommands),
          std::span<const std::string_view>(kExpandReadCommands)}) {
        for (const std::string_view entry : list) {
            const QString text = QString::fromLatin1(entry.data(), qsizetype(entry.size()));
            if (commandPart(text) == wanted)
                return wireCommand(text);
        }
    }
    return {};
}
