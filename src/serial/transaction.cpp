// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/transaction.h"

#include "serial/port_failure_text.h"
#include "serial/render.h"
#include "serial/status_decoder.h"
#include "serial/traffic_display.h"
#include "serial/transaction_recorder.h"

#include <QTimer>

#include <utility>

namespace {

QTimer *makeTimer(QObject *parent, const char *name, int interval)
{
    auto *timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(interval);
    return timer;
}

} // namespace

Transaction::Transaction(CommPort *port, TrafficDisplay &views, const QByteArray &pendingCommand,
                         QObject *parent)
    : QObject(parent), MSComm1(port), Timer2(makeTimer(this, "Timer2", 5000)),
      Timer4(makeTimer(this, "Timer4", 5500)), m_views(views), m_pendingCommand(pendingCommand)
{
    setObjectName(QStringLiteral("Transaction"));
    MSComm1->setParent(this);
    MSComm1->setObjectName(QStringLiteral("MSComm1"));
    connect(MSComm1, &CommPort::onComm, this, &Transaction::MSComm1_OnComm);
    connect(MSComm1, &CommPort::openFinished, this, &Transaction::lineOpened);
    connect(Timer2, &QTimer::timeout, this, &Transaction::Timer2_Timer);
    connect(Timer4, &QTimer::timeout, this, &Transaction::Timer4_Timer);
}

void Transaction::Hyouji(const QByteArray &text, quint8 mode)
{
    if (mode == 1) {
        // Nothing goes to a line that is being set up. A lost line connects
        // again on the way: a device at once, a server in the background, and
        // then this command follows it.
        const bool idle = !MSComm1->isOpening();
        if (idle)
            MSComm1->setOutput(text);
        if (!MSComm1->portOpen()) {
            if (idle && MSComm1->isOpening()) {
                m_waiting = text;
                endAtOnce(QStringLiteral("Connecting again…"));
            } else {
                notSent(text);
            }
            return;
        }
        if (m_recorder)
            m_recorder->recordSent(text);
        m_views.setReplyView({});
        ReceiveBuffer.clear();
        const Rendering sent = renderTokens(text);
        showLegends(sent.ack, sent.carriageReturn, sent.space);
        m_views.setSentView(sent.text);
        Timer2->start();
        ReplyPending = 1;
        Timer4->start();
        return;
    }
    const Rendering reply = renderTokens(text);
    showLegends(reply.ack, reply.carriageReturn, reply.space);
    m_views.setReplyView(reply.text);
    const std::optional<QString> status = decodeStatus(m_pendingCommand, reply.text, text.size());
    if (status)
        m_views.setStatusView(*status);
    if (m_recorder)
        m_recorder->recordReply(text, status.value_or(QString()));
}

void Transaction::lineOpened(bool opened)
{
    const QByteArray waiting = std::exchange(m_waiting, {});
    if (waiting.isEmpty())
        return;
    if (!opened) {
        notSent(waiting);
        return;
    }
    m_views.setStatusView({});
    Hyouji(waiting, 1);
}

void Transaction::notSent(const QByteArray &text)
{
    const PortFailure &failure = MSComm1->lastFailure();
    const QString reason = MSComm1->isOpening() ? QStringLiteral("the port is still connecting")
                           : failure.kind == PortFailure::Kind::None
                               ? QStringLiteral("the port is closed; COM opens one")
                               : portFailureLine(failure, MSComm1->commPort());
    endAtOnce(QStringLiteral("Not sent: ") + reason);
    if (m_recorder)
        m_recorder->recordNotSent(text, reason);
}

// The last transaction ends as its timers would end it, without a no-reply
// mark, and the status line holds the news until the next one clears it.
void Transaction::endAtOnce(const QString &status)
{
    ReplyPending = 0;
    Timer2_Timer();
    Timer4_Timer();
    m_views.setStatusView(status);
}

void Transaction::showLegends(bool ack, bool carriageReturn, bool space)
{
    if (ack)
        m_views.setLegendVisible(TrafficDisplay::Legend::Ack, true);
    if (carriageReturn)
        m_views.setLegendVisible(TrafficDisplay::Legend::CarriageReturn, true);
    if (space)
        m_views.setLegendVisible(TrafficDisplay::Legend::Space, true);
}

void Transaction::MSComm1_OnComm()
{
    if (MSComm1->commEvent() != CommPort::comEvReceive)
        return;
    ReceiveBuffer += MSComm1->input();
    // A device that never stops talking must not grow the buffer without end:
    // keep the newest bytes, which are what the operator wants to see.
    if (ReceiveBuffer.size() > receiveLimit)
        ReceiveBuffer.remove(0, ReceiveBuffer.size() - receiveLimit);
    ReplyPending = 0;
    Hyouji(ReceiveBuffer, 2);
}

void Transaction::Timer2_Timer()
{
    if (m_recorder)
        m_recorder->recordEnd(ReplyPending == 1);
    if (ReplyPending == 1)
        m_views.setReplyView(QStringLiteral(" X X X X"));
    Timer2->stop();
    m_views.setLegendVisible(TrafficDisplay::Legend::Space, false);
    m_views.setLegendVisible(TrafficDisplay::Legend::CarriageReturn, false);
    m_views.setLegendVisible(TrafficDisplay::Legend::Ack, false);
    ReceiveBuffer.clear();
    ReplyPending = 0;
}

void Transaction::Timer4_Timer()
{
    m_views.setSentView({});
    m_views.setReplyView({});
    m_views.setStatusView({});
    Timer4->stop();
}

void Transaction::setIntervals(int noReply, int clearViews)
{
    Timer2->setInterval(noReply);
    Timer4->setInterval(clearViews);
}

void Transaction::transmitAfresh(const QByteArray &text)
{
    Timer2->stop();
    Timer4->stop();
    Hyouji(text, 1);
    Timer2->start();
    Timer4->start();
}

void Transaction::endRepeat()
{
    Timer2->stop();
    // Timer4 outlives the hold so the status view is cleared a while after the last send.
    Timer4->start();
    m_views.setSentView({});
    m_views.setReplyView({});
    ReceiveBuffer.clear();
}

void Transaction::reset()
{
    ReplyPending = 0;
    ReceiveBuffer.clear();
}
