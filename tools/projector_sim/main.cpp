// SPDX-License-Identifier: GPL-3.0-or-later
// tallis-projector-sim: a projector on the far end of a serial line, or one
// with its own LAN port.
#include "serial_endpoint.h"
#include "sim_options.h"
#include "simulator.h"
#include "tcp_endpoint.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

// The caller reads the first line to learn where to connect, so it goes out at once.
template <typename Endpoint>
int serve(Endpoint &endpoint, const char *kind, const QString &where, const SimOptions &options)
{
    std::printf("%s: %s\n", kind, qPrintable(where));
    std::fflush(stdout);
    Simulator simulator(endpoint, options);
    return simulator.run();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallis-projector-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TALLIS_VERSION));
    QTextStream err(stderr);

    QString error;
    const std::optional<SimOptions> options = parseSimOptions(QCoreApplication::arguments(), error);
    if (!options) {
        err << "tallis-projector-sim: " << error << Qt::endl;
        return 2;
    }

    catchStopSignals();
    if (options->listen) {
        const std::unique_ptr<TcpEndpoint> endpoint = TcpEndpoint::listen(*options->listen, error);
        if (!endpoint) {
            err << "tallis-projector-sim: " << error << Qt::endl;
            return 1;
        }
        return serve(*endpoint, "listening", endpoint->address(), *options);
    }

    const std::unique_ptr<SerialEndpoint> endpoint =
        options->device.isEmpty() ? SerialEndpoint::createPseudoTerminal(options->baud, error)
                                  : SerialEndpoint::openDevice(options->device, options->baud, error);
    if (!endpoint || (!options->link.isEmpty() && !endpoint->makeLink(options->link, error))) {
        err << "tallis-projector-sim: " << error << Qt::endl;
        return 1;
    }
    return serve(*endpoint, "device", endpoint->devicePath(), *options);
}
