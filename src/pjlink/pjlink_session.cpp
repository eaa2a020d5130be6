// SPDX-License-Identifier: GPL-3.0-or-later
#include "pjlink/pjlink_session.h"

#include "pjlink/pjlink_auth.h"
#include "pjlink/pjlink_line.h"
#include "pjlink/projector_bridge.h"

#include <QTimer>

namespace {

enum ProblemKind { Overlong = 1, NotPjlink = 2 };

} // namespace

PjlinkSession::PjlinkSession(ProjectorBridge &bridge, const QByteArray &password, const QByteArray &challenge,
                             QObject *parent)
    : QObject(parent), m_bridge(bridge), m_challenge(challenge),
      m_expected(password.isEmpty() ? QByteArray() : pjlinkDigest(challenge, password)),
      m_idleTimer(new QTimer(this))
{
    m_idleTimer->setObjectName(QStringLiteral("idleTimer"));
    m_idleTimer->setSingleShot(true);
    m_idleTimer->setInterval(idleLimitMs);
    connect(m_idleTimer, &QTimer::timeout, this, &PjlinkSession::idleTimer_Timer);
    m_idleTimer->start();
}

QByteArray PjlinkSession::greeting() const
{
    return m_expected.isEmpty() ? QByteArrayLiteral("PJLINK 0\r") : "PJLINK 1 " + m_challenge + '\r';
}

void PjlinkSession::receive(QByteArrayView bytes)
{
    m_input += bytes;
    takeLines();
}

void PjlinkSession::takeLines()
{
    if (m_taking)
        return;
    m_taking = true;
    // A password puts its digest before the command, on the same line.
    const qsizetype limit = pjlinkLineLimit + (m_expected.isEmpty() ? 0 : digestLength);
    while (!m_asking && !m_closing) {
        const qsizetype end = m_input.indexOf('\r');
        if (m_skipping) {
            m_input.remove(0, end < 0 ? m_input.size() : end + 1);
            if (end < 0)
                break;
            m_skipping = false;
            continue;
        }
        // With no CR yet, the line is at least one byte longer than what is here.
        const qsizetype length = end < 0 ? m_input.size() + 1 : end + 1;
        if (length > limit) {
            QByteArray head = m_input.left(limit - 1);
            m_input.remove(0, end < 0 ? m_input.size() : end + 1);
            m_skipping = end < 0;
            take(std::move(head), true);
        } else if (end >= 0) {
            QByteArray line = m_input.left(end);
            m_input.remove(0, end + 1);
            take(std::move(line), false);
        } else {
            break;
        }
    }
    m_taking = false;
}

void PjlinkSession::take(QByteArray line, bool overlong)
{
    // Controllers that end lines with CR LF leave the LF before the next line.
    if (line.startsWith('\n'))
        line.remove(0, 1);
    if (line.isEmpty() || !authenticate(line))
        return;
    if (overlong)
        report(Overlong, QStringLiteral("sent a line longer than %1 bytes").arg(pjlinkLineLimit));
    const ParsedLine parsed = parsePjlinkLine(line, overlong);
    if (parsed.fault == ParsedLine::Fault::Unaddressable) {
        report(NotPjlink, QStringLiteral("sent a line that is no PJLink command"));
        return;
    }
    m_idleTimer->start();
    ++m_commands;
    const auto deliver = [this, line](const QByteArray &answer) {
        m_asking = false;
        Q_EMIT answered(line, answer);
        Q_EMIT send(answer);
        takeLines();
    };
    if (parsed.fault == ParsedLine::Fault::BadParameter) {
        deliver(pjlinkAnswer(parsed.request, "ERR2"));
        return;
    }
    m_asking = true;
    m_bridge.ask(parsed.request, this, deliver);
}

bool PjlinkSession::authenticate(QByteArray &line)
{
    if (m_expected.isEmpty())
        return true;
    const bool digested = line.size() > digestLength && line[digestLength] == '%';
    if (digested ? !isSameDigest(QByteArrayView(line).first(digestLength), m_expected) : !m_authenticated) {
        Q_EMIT send(QByteArrayLiteral("PJLINK ERRA\r"));
        close(digested ? QStringLiteral("wrong password") : QStringLiteral("no password given"));
        return false;
    }
    if (digested)
        line.remove(0, digestLength);
    m_authenticated = true;
    return true;
}

void PjlinkSession::report(int kind, const QString &what)
{
    if (m_reported & kind)
        return;
    m_reported |= kind;
    Q_EMIT problem(what);
}

void PjlinkSession::idleTimer_Timer()
{
    close(QStringLiteral("no command for %1 s").arg(idleLimitMs / 1000));
}

void PjlinkSession::close(const QString &why)
{
    m_closing = true;
    m_closedBecause = why;
    m_idleTimer->stop();
    Q_EMIT closing(why);
}
