// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever the operator types, the wire gets the text before the first "["
// and exactly one carriage return at the end.
#include "console/catalog.h"

#include <QString>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringView part = commandPart(text);
    if (part.contains(u'[') || !text.startsWith(part))
        std::abort();
    const QByteArray wire = wireCommand(text);
    if (!wire.endsWith('\r') || wire.size() != part.size() + 1)
        std::abort();
    return 0;
}
