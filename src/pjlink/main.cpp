// SPDX-License-Identifier: GPL-3.0-or-later
// tallis-pjlink: the projector for PJLink controllers on the network.
#include "pjlink/bridge_options.h"
#include "pjlink/bridge_server.h"
#include "pjlink/pjlink_line.h"
#include "pjlink/projector_bridge.h"
#include "port_settings/port_mapping.h"
#include "port_settings/speed_settings.h"
#include "serial/port_failure_text.h"
#include "serial/routing_comm_port.h"

#include <QCoreApplication>

#include <cstdio>
#include <optional>

namespace {

void logLine(const QString &line)
{
    std::fprintf(stderr, "%s\n", qPrintable(line));
}

// "tallis-pjlink 2.0.0 COM1", within the 32 bytes INFO may answer.
QByteArray information(const BridgeOptions &options)
{
    return QStringLiteral("tallis-pjlink %1 %2")
        .arg(QStringLiteral(TALLIS_VERSION), options.portName())
        .toUtf8()
        .left(32);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const auto parsed = parseBridgeOptions(QCoreApplication::arguments());
    if (const auto *exit = std::get_if<OptionsExit>(&parsed)) {
        if (exit->status == 0)
            std::fputs(qPrintable(exit->text), stdout);
        else
            std::fprintf(stderr, "tallis-pjlink: %s\n", qPrintable(exit->text));
        return exit->status;
    }
    const BridgeOptions &options = std::get<BridgeOptions>(parsed);

    const QString device = options.device;
    auto *port = new RoutingCommPort(device.isEmpty()
                                         ? RoutingCommPort::Resolver(&storedPortDevice)
                                         : RoutingCommPort::Resolver([device](qint16) { return device; }));
    port->setCommPort(options.portNumber);
    port->setSettings(speedSettings(options.baudCode));
    ExchangeQueue queue(port);
    ProjectorBridge bridge(queue, {options.name, information(options)});
    BridgeServer server(bridge, options.password, options.verbose);

    // An open that ends as the last one did is not logged again.
    std::optional<QString> lastFailure;
    QObject::connect(port, &CommPort::openFinished, &app, [&](bool opened) {
        const QString text = opened ? QString() : portFailureLine(port->lastFailure(), port->commPort());
        if (text == lastFailure)
            return;
        lastFailure = text;
        logLine(opened ? QStringLiteral("projector port open: %1").arg(options.portName())
                       : QStringLiteral("cannot open the projector's port: %1").arg(text));
    });
    QObject::connect(&server, &BridgeServer::logged, &app, logLine);
    QObject::connect(&bridge, &ProjectorBridge::unexpectedReply, &app,
                     [](const QByteArray &codes, const QByteArray &replies) {
                         logLine(QStringLiteral("the projector answered %1 to %2: not understood")
                                     .arg(visibleBytes(replies), QString::fromLatin1(codes)));
                     });
    if (options.verbose) {
        QObject::connect(&queue, &ExchangeQueue::exchanged, &app,
                         [](const QByteArray &command, const ExchangeResult &result) {
                             static const char *const outcomes[] = {"", " (no reply)", " (port not open)",
                                                                    " (not started)"};
                             logLine(QStringLiteral("line: %1 -> %2%3")
                                         .arg(visibleBytes(command), visibleBytes(result.reply),
                                              QLatin1String(outcomes[int(result.outcome)])));
                         });
    }

    if (!server.listen(options.listenAddress, options.listenPort)) {
        logLine(
            QStringLiteral("cannot listen on port %1: %2").arg(options.listenPort).arg(server.errorString()));
        return 1;
    }
    logLine(QStringLiteral("listening: %1, projector on %2 at %3 baud")
                .arg(server.address(), options.portName(),
                     options.baudCode == 96 ? QStringLiteral("9600") : QStringLiteral("19200")));
    if (options.password.isEmpty())
        logLine(QStringLiteral("warning: no password: anyone who can reach %1 can switch the projector "
                               "(see --password-file)")
                    .arg(server.address()));
    port->beginOpen();
    return QCoreApplication::exec();
}
