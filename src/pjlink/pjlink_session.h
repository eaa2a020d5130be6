// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>

class ProjectorBridge;
class QTimer;

// One controller's connection, without the socket: the greeting and its
// random number, whether the controller has given the password, the lines it
// sends and the answers it gets, and the idle limit. Lines are taken one at a
// time: the next waits until the answer to the last has gone out.
class PjlinkSession : public QObject
{
    Q_OBJECT
public:
    static constexpr int idleLimitMs = 30000;
    static constexpr qsizetype digestLength = 32;

    // Without a password the greeting is "PJLINK 0"; with one, it carries
    // the challenge, this connection's random number.
    PjlinkSession(ProjectorBridge &bridge, const QByteArray &password, const QByteArray &challenge,
                  QObject *parent = nullptr);

    QByteArray greeting() const;
    // Bytes from the controller.
    void receive(QByteArrayView bytes);
    // An answer is awaited: hold further input back.
    bool isBusy() const { return m_asking; }
    bool isClosing() const { return m_closing; }
    const QString &closedBecause() const { return m_closedBecause; }
    int commands() const { return m_commands; }

    void idleTimer_Timer();

Q_SIGNALS:
    void send(const QByteArray &bytes);
    // A command line and its answer line.
    void answered(const QByteArray &line, const QByteArray &answer);
    // The connection ends once what was sent has gone out.
    void closing(const QString &why);
    // Bad input, each kind once a connection.
    void problem(const QString &what);

private:
    void takeLines();
    void take(QByteArray line, bool overlong);
    bool authenticate(QByteArray &line);
    void report(int kind, const QString &what);
    void close(const QString &why);

    ProjectorBridge &m_bridge;
    QByteArray m_challenge;
    QByteArray m_expected; // the digest; empty without a password
    QTimer *m_idleTimer;
    QByteArray m_input;
    bool m_skipping = false; // dropping the rest of an overlong line
    bool m_authenticated = false;
    bool m_asking = false;
    bool m_taking = false;
    bool m_closing = false;
    QString m_closedBecause;
    int m_commands = 0;
    int m_reported = 0; // the kinds of bad input logged so far, as bits
};
