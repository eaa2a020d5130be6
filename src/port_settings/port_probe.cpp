// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/port_probe.h"

#include "serial/comm_port.h"
#include "serial/port_failure_text.h"
#include "serial/render.h"
#include "serial/status_decoder.h"

namespace {

const QByteArray powerStateRead = QByteArrayLiteral("CR0\r");
// A power state is a few bytes; a device that floods the line gets no more.
constexpr qsizetype replyLimit = 256;

} // namespace

PortProbe::PortProbe(CommPort &port, QObject *parent)
    : QObject(parent), m_port(port), ReplyTimer(new QTimer(this))
{
    ReplyTimer->setObjectName(QStringLiteral("ReplyTimer"));
    ReplyTimer->setSingleShot(true);
    ReplyTimer->setInterval(replyWaitMs);
    connect(ReplyTimer, &QTimer::timeout, this, &PortProbe::ReplyTimer_Timer);
}

void PortProbe::start()
{
    // The open may end before beginOpen() returns.
    connect(&m_port, &CommPort::openFinished, this, &PortProbe::onOpened, Qt::SingleShotConnection);
    m_port.beginOpen();
}

void PortProbe::onOpened(bool opened)
{
    if (!opened) {
        finish(portFailureText(m_port.lastFailure(), m_port.commPort()));
        return;
    }
    connect(&m_port, &CommPort::onComm, this, &PortProbe::onComm);
    m_port.setOutput(powerStateRead);
    ReplyTimer->start();
}

void PortProbe::onComm()
{
    if (m_port.commEvent() != CommPort::comEvReceive)
        return;
    m_reply += m_port.input().left(replyLimit - m_reply.size());
    if (m_reply.contains('\r') || m_reply.size() == replyLimit)
        ReplyTimer_Timer();
}

void PortProbe::ReplyTimer_Timer()
{
    if (m_reply.isEmpty()) {
        finish(QStringLiteral("No reply within 1 s"));
        return;
    }
    const QString rendered = renderTokens(m_reply).text;
    const std::optional<QString> state = decodeStatus(powerStateRead, rendered, m_reply.size());
    finish(
        QStringLiteral("Reply:") + rendered + u'\n' +
        (state ? QStringLiteral("Power state:") + *state : QStringLiteral("No power state in this reply.")));
}

void PortProbe::finish(const QString &outcome)
{
    ReplyTimer->stop();
    disconnect(&m_port, nullptr, this, nullptr);
    m_port.setPortOpen(false);
    Q_EMIT finished(outcome);
}
