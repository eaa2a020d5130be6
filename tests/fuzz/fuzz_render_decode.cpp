// SPDX-License-Identifier: GPL-3.0-or-later
// Any reply to any status read: the rendering keeps its shape and the
// decoder never reads outside the reply view.
#include "serial/render.h"
#include "serial/status_decoder.h"

#include <array>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::array<QByteArray, 8> commands{"CR0\r", "CR1\r",        "CR3\r",         "CR4\r",
                                                    "CR6\r", "CR LAMPSTS\r", "CR LAMPMODE\r", "C00\r"};
    if (size == 0)
        return 0;
    const QByteArray &pending = commands[data[0] % commands.size()];
    const QByteArray reply(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const Rendering r = renderTokens(reply);
    if (r.text.size() < 1 + 2 * reply.size() || r.text.size() > 1 + 7 * reply.size())
        std::abort();
    if (const auto status = decodeStatus(pending, r.text, reply.size()); status && !status->startsWith(u' '))
        std::abort();
    return 0;
}
