// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

#include <chrono>
#include <random>

// The ways a line or a projector can misbehave, for testing the program.
struct ReplyFaults {
    std::chrono::milliseconds delay{0}; // from the command's end to the reply
    int pieces = 1;                     // the reply arrives in this many parts
    std::chrono::milliseconds pieceGap{0};
    bool echo = false;      // the command comes back before the reply
    int garbagePercent = 0; // chance of a stray byte before each reply byte
};

// Bytes to send and when, counted from the moment the command ended.
struct TimedPiece {
    std::chrono::milliseconds at;
    QByteArray bytes;

    bool operator==(const TimedPiece &) const = default;
};

// Turns an answer into what actually goes onto the line under the chosen faults.
class ReplyShaper
{
public:
    explicit ReplyShaper(const ReplyFaults &faults, quint32 seed = 1);

    // `command` is the command as received, without its carriage return.
    QList<TimedPiece> shape(const QByteArray &command, const QByteArray &reply);

private:
    QByteArray withGarbage(const QByteArray &reply);

    ReplyFaults m_faults;
    std::mt19937 m_random;
};
