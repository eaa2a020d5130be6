// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever a server sends, however the connection cuts it: the codec gives the
// same data, answers and state as for the bytes in one piece, never more data
// than it was given, only well-formed answers, and a bounded sub-negotiation
// buffer. Escaped data comes back exactly, after an overrun sub-negotiation too.
//
// Input: one byte seeding the sizes of the pieces, then the server's bytes.
#include "serial/telnet_codec.h"

#include <cstdlib>
#include <random>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QByteArray decodeInPieces(TelnetCodec &codec, QByteArrayView bytes, std::minstd_rand &random)
{
    QByteArray data;
    for (qsizetype at = 0, piece = 0; at < bytes.size(); at += piece) {
        piece = std::min<qsizetype>(random() % 17, bytes.size() - at);
        data += codec.decode(bytes.sliced(at, piece));
        check(codec.buffered() <= TelnetCodec::kMaxSubnegotiation);
    }
    return data;
}

// Each answer is IAC, a verb and an option: WILL only for what the client
// offers, DO only for what it lets the server do.
bool wellFormed(QByteArrayView answers)
{
    for (qsizetype at = 0; at + 2 < answers.size(); at += 3) {
        const auto verb = quint8(answers[at + 1]), option = quint8(answers[at + 2]);
        if (quint8(answers[at]) != 0xFF || verb < 251 || verb > 254 ||
            (verb == 251 && option != 0 && option != 3 && option != 44) ||
            (verb == 253 && option != 0 && option != 3))
            return false;
    }
    return answers.size() % 3 == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    std::minstd_rand random(data[0]);
    const QByteArrayView stream(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);

    TelnetCodec whole, cut, plain;
    const QByteArray once = whole.decode(stream), answers = whole.takeAnswers();
    check(once.size() <= stream.size() && wellFormed(answers));
    check(decodeInPieces(cut, stream, random) == once && cut.takeAnswers() == answers);
    check(cut.comPort() == whole.comPort() && cut.heardTelnet() == whole.heardTelnet() &&
          cut.confirmed().baud == whole.confirmed().baud);
    check(decodeInPieces(plain, TelnetCodec::escape(stream), random) == stream &&
          plain.takeAnswers().isEmpty() && !plain.heardTelnet());
    // A sub-negotiation that never ends gives way to the data after its bound.
    TelnetCodec overrun;
    const QByteArray endless = "\xff\xfa" + QByteArray(TelnetCodec::kMaxSubnegotiation, ' ');
    check(decodeInPieces(overrun, endless + TelnetCodec::escape(stream), random) == stream);
    return 0;
}
