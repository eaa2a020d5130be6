// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever comes down the line, the simulator cuts it into the same commands
// however it arrives, answers each with one bounded reply, and its faults add
// nothing but the echo and stray bytes.
//
// Input: one byte for the size of the pieces the line delivers, one for the
// time between commands (in steps of 50 ms), then the bytes on the line.
#include "command_framer.h"
#include "projector_model.h"
#include "reply_shaper.h"

#include <cstdlib>

namespace {

constexpr qsizetype kMaxReply = CommandFramer::kMaxLength + 8; // "000 ", a remembered value, CR

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QList<ReceivedCommand> framedInPieces(QByteArrayView line, qsizetype piece)
{
    CommandFramer framer;
    QList<ReceivedCommand> commands;
    for (qsizetype at = 0; at < line.size(); at += piece) {
        commands += framer.feed(line.sliced(at, std::min(piece, line.size() - at)));
        check(framer.buffered() <= CommandFramer::kMaxLength);
    }
    return commands;
}

QByteArray withoutStrays(QByteArray bytes)
{
    bytes.removeIf([](char c) { return c == '\x00' || c == '\x7F' || c == '\xFF'; });
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const qsizetype piece = data[0] % 16 + 1;
    const std::chrono::milliseconds step(data[1] * 50);
    const QByteArrayView line(reinterpret_cast<const char *>(data) + 2, qsizetype(size) - 2);

    CommandFramer whole;
    const QList<ReceivedCommand> commands = whole.feed(line);
    const QList<ReceivedCommand> pieces = framedInPieces(line, piece);
    check(commands.size() == pieces.size());

    ProjectorModel model;
    ReplyShaper shaper({.delay = std::chrono::milliseconds(0),
                        .pieces = data[0] % 8 + 1,
                        .pieceGap = std::chrono::milliseconds(10),
                        .echo = (data[1] & 1) != 0,
                        .garbagePercent = data[1] % 101},
                       data[0]);
    ProjectorModel::Time now{0};
    for (qsizetype i = 0; i < commands.size(); ++i) {
        const ReceivedCommand &command = commands[i];
        check(command.text == pieces[i].text && command.overlong == pieces[i].overlong);
        check(command.text.size() <= CommandFramer::kMaxLength && !command.text.contains('\r'));

        const QByteArray reply = model.reply(command, now);
        check(!reply.isEmpty() && reply.size() <= kMaxReply);
        check(reply == ProjectorModel::kAck || (reply.endsWith('\r') && reply.count('\r') == 1));
        check(model.state().input() >= 1 && model.state().input() <= ProjectorState::kInputCount);
        check(model.state().lampHours(now) >= 0 &&
              model.state().lampHours(now) <= ProjectorState::kMaxLampHours);

        QByteArray sent;
        for (const TimedPiece &shaped : shaper.shape(command.text, reply))
            sent += shaped.bytes;
        const QByteArray echo = (data[1] & 1) != 0 ? command.text + '\r' : QByteArray();
        check(sent.startsWith(echo) && sent.size() <= echo.size() + 2 * reply.size());
        check(withoutStrays(sent.sliced(echo.size())) == reply);
        now += step;
    }
    return 0;
}
