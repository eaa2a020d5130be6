// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/catalog.h"

QStringView commandPart(QStringView text)
{
    const qsizetype bracket = text.indexOf(u'[');
    return bracket < 0 ? text : text.first(bracket);
}

QByteArray wireCommand(QStringView text)
{
    return commandPart(text).toLatin1() + '\r';
}
