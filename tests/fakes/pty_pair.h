// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A pseudo-terminal standing in for the serial cable: the program opens the
// slave device, the test plays the projector on the master side.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    // The slave under a name of this pair's own. Serial ports are locked by
    // device name in a directory every program on the machine shares, and a
    // lock left behind by a killed run would otherwise block a reused pts number.
    QString devicePath() const { return m_devicePath; }
    // The far end's descriptor (non-blocking), for callers that watch it themselves.
    int masterFd() const { return m_master; }

    void write(const QByteArray &bytes);
    // Reads what has arrived on the master side until `count` bytes are there
    // or `timeoutMs` has passed, processing Qt events meanwhile.
    QByteArray read(qsizetype count, int timeoutMs = 5000);

private:
    int m_master = -1;
    int m_slave = -1; // kept open so the slave stays valid until the program opens it
    QString m_slavePath;
    QTemporaryDir m_linkDir;
    QString m_devicePath;
};
