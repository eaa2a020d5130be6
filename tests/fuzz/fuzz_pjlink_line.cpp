// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever a controller sends as a line: the parser either finds nothing to
// answer or a class and a four-character command to answer to, and an answer
// built from them is one line, never longer than the protocol allows.
//
// Input: one byte that says whether the line went on past the limit, then the line.
#include "pjlink/pjlink_line.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArrayView line(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);
    const ParsedLine parsed = parsePjlinkLine(line, data[0] & 1);
    const bool addressable = line.size() >= 6 && line.startsWith('%') && line[1] >= '1' && line[1] <= '9';
    if (!addressable && parsed.fault != ParsedLine::Fault::Unaddressable)
        std::abort();
    if (parsed.fault == ParsedLine::Fault::Unaddressable)
        return 0;
    const QByteArray answer = pjlinkAnswer(parsed.request, "ERR2");
    if (parsed.request.command.size() != 4 || parsed.request.command.contains('\r') || answer.size() != 12 ||
        answer.indexOf('\r') != 11 || !line.startsWith(answer.first(6)))
        std::abort();
    if (parsed.fault == ParsedLine::Fault::None &&
        ((data[0] & 1) || line.sliced(7) != parsed.request.parameter || parsed.request.parameter.isEmpty()))
        std::abort();
    return 0;
}
