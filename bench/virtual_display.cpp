// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual_display.h"

#include <QStandardPaths>

std::unique_ptr<VirtualDisplay> VirtualDisplay::start(QString *error)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        *error = QStringLiteral("Xvfb not found (Debian package xvfb)");
        return nullptr;
    }
    std::unique_ptr<VirtualDisplay> display(new VirtualDisplay);
    QProcess &server = display->m_server;
    server.setProcessChannelMode(QProcess::SeparateChannels);
    server.setStandardErrorFile(QProcess::nullDevice());
    // -displayfd: the server picks a free display and says which on stdout.
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-noreset")});
    while (server.waitForReadyRead(10000)) {
        if (server.canReadLine()) {
            display->m_name = u':' + QString::fromLatin1(server.readLine().trimmed());
            return display;
        }
    }
    *error = QStringLiteral("Xvfb did not start");
    return nullptr;
}

VirtualDisplay::~VirtualDisplay()
{
    m_server.terminate();
    if (!m_server.waitForFinished(3000))
        m_server.kill();
    m_server.waitForFinished(1000);
}
