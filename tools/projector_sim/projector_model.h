// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "command_framer.h"
#include "projector_state.h"

#include <QByteArray>

// Answers one command the way a projector of this family does and changes its
// state where the command means something. Basic commands are "C" and two hex
// digits, status reads "CR" and one digit, extended set commands "CF KEYWORD
// ARGUMENT..." and extended reads "CR KEYWORD".
class ProjectorModel
{
public:
    using Time = ProjectorState::Time;
    static inline const QByteArray kAck = QByteArrayLiteral("\x06");
    static inline const QByteArray kUnknown = QByteArrayLiteral("?\r");

    explicit ProjectorModel(const ProjectorSetup &setup = {}) : m_state(setup) {}

    QByteArray reply(const ReceivedCommand &command, Time now);
    QByteArray reply(const QByteArray &command, Time now) { return reply(ReceivedCommand{command}, now); }

    const ProjectorState &state() const { return m_state; }

private:
    QByteArray basic(const QByteArray &code, Time now);
    QByteArray statusRead(char digit, Time now) const;
    QByteArray set(const QByteArray &keyword, const QList<QByteArray> &arguments, Time now);
    QByteArray read(const QByteArray &keyword, Time now) const;

    QByteArray powerCode(Time now) const;
    QByteArray reversalCode() const;
    QByteArray hoursText(Time now) const;
    QByteArray temperaturesText(Time now) const;
    QByteArray lampStateText() const;
    QByteArray lampModeText() const;

    ProjectorState m_state;
};
