// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever a server sends, however the connection cuts it: the codec gives the
// same data, answers and state as for the bytes in one piece, never more data
// than it was given, only well-formed answers, and a bounded sub-negotiation
// buffer. Escaped data comes back exactly.
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

struct Result {
    QByteArray data;
    QByteArray answers;
};

Result decodeInPieces(TelnetCodec &codec, QByteArrayView bytes, std::minstd_rand &random)
{
    Result result;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype piece = std::min<qsizetype>(random() % 17, bytes.size() - at);
        const QByteArray data = codec.decode(bytes.sliced(at, piece));
        check(data.size() <= piece && codec.buffered() <= TelnetCodec::kMaxSubnegotiation);
        result.data += data;
        at += piece;
    }
    result.answers = codec.takeAnswers();
    return result;
}

// Each answer is IAC, a verb and an option: WILL only for what the client
// offers, DO only for what it lets the server do.
bool wellFormed(QByteArrayView answers)
{
    if (answers.size() % 3 != 0)
        return false;
    for (qsizetype at = 0; at < answers.size(); at += 3) {
        const auto verb = quint8(answers[at + 1]), option = quint8(answers[at + 2]);
        if (quint8(answers[at]) != 0xFF || verb < 251 || verb > 254)
            return false;
        if ((verb == 251 && option != 0 && option != 3 && option != 44) ||
            (verb == 253 && option != 0 && option != 3))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    std::minstd_rand random(data[0]);
    const QByteArrayView stream(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);

    TelnetCodec whole, cut;
    const QByteArray once = whole.decode(stream);
    const QByteArray answers = whole.takeAnswers();
    const Result pieces = decodeInPieces(cut, stream, random);
    check(once.size() <= stream.size() && answers.size() <= stream.size() && wellFormed(answers));
    check(pieces.data == once && pieces.answers == answers);
    check(cut.comPort() == whole.comPort() && cut.heardTelnet() == whole.heardTelnet() &&
          cut.confirmed().baud == whole.confirmed().baud);

    TelnetCodec plain;
    const Result escaped = decodeInPieces(plain, TelnetCodec::escape(stream), random);
    check(escaped.data == stream && escaped.answers.isEmpty() && !plain.heardTelnet());

    return 0;
}
