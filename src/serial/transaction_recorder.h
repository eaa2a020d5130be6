// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Where a transaction leaves a record of itself, beside what the views show
// for a moment. Each call is an append or an update of the newest record:
// nothing is formatted here.
class TransactionRecorder
{
public:
    // A command went out.
    virtual void recordSent(const QByteArray &text) = 0;
    // A command could not go out, and why.
    virtual void recordNotSent(const QByteArray &text, const QString &reason) = 0;
    // Everything received so far for the newest transaction, and its decoded
    // status (empty when there is none). After recordEnd the next reply
    // starts a record of its own, as one nobody asked for.
    virtual void recordReply(const QByteArray &reply, const QString &status) = 0;
    // The no-reply time is over; noReply when nothing came.
    virtual void recordEnd(bool noReply) = 0;

protected:
    ~TransactionRecorder() = default;
};
