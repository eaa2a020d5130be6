// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever an outside edit leaves in the settings file, or an operator types,
// reads as a number in range or as nothing.
#include "port_settings/stored_number.h"

#include <QString>

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    if (std::isnan(leadingNumber(text)))
        std::abort();
    if (const auto port = storedPortNumber(text); port && *port < 0)
        std::abort();
    (void)storedBaudCode(text);
    (void)typedNumber(text);
    return 0;
}
