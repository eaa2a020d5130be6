// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where a transaction shows itself: the sent, reply and status views and the
// legends of the control tokens.
class TrafficDisplay
{
public:
    enum class Legend { Space, CarriageReturn, Ack };

    virtual void setSentView(const QString &text) = 0;
    virtual void setReplyView(const QString &text) = 0;
    virtual void setStatusView(const QString &text) = 0;
    virtual void setLegendVisible(Legend legend, bool visible) = 0;

protected:
    ~TrafficDisplay() = default;
};
