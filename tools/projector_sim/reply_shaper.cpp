// SPDX-License-Identifier: GPL-3.0-or-later
#include "reply_shaper.h"

#include <algorithm>
#include <array>

ReplyShaper::ReplyShaper(const ReplyFaults &faults, quint32 seed) : m_faults(faults), m_random(seed) {}

QList<TimedPiece> ReplyShaper::shape(const QByteArray &command, const QByteArray &reply)
{
    QList<TimedPiece> pieces;
    if (m_faults.echo)
        pieces.append({std::chrono::milliseconds{0}, command + '\r'});

    const QByteArray bytes = withGarbage(reply);
    const auto count = std::clamp<qsizetype>(m_faults.pieces, 1, std::max<qsizetype>(bytes.size(), 1));
    // Even parts; the first ones take a byte more when it does not divide.
    qsizetype start = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype length = bytes.size() / count + (i < bytes.size() % count ? 1 : 0);
        pieces.append({m_faults.delay + i * m_faults.pieceGap, bytes.mid(start, length)});
        start += length;
    }
    return pieces;
}

QByteArray ReplyShaper::withGarbage(const QByteArray &reply)
{
    if (m_faults.garbagePercent <= 0)
        return reply;
    static constexpr std::array<char, 3> kStrays{'\x00', '\x7F', '\xFF'};
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<std::size_t> stray(0, kStrays.size() - 1);
    QByteArray out;
    for (const char c : reply) {
        if (percent(m_random) < m_faults.garbagePercent)
            out.append(kStrays[stray(m_random)]);
        out.append(c);
    }
    return out;
}
