// SPDX-License-Identifier: GPL-3.0-or-later
// tallis-demo-tour: the real panel, offscreen, put through its paces against
// a projector on a serial device (in the demo, the simulator).
#include "panel/form1.h"
#include "panel_operator.h"
#include "port_settings/speed_settings.h"
#include "serial/port_failure_text.h"
#include "serial/routing_comm_port.h"
#include "tour_runner.h"
#include "tour_steps.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// The offscreen platform remarks on every window raised or resized, which is
// no news in the middle of the listing.
void dropPlatformRemarks(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    g_defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    // The tour is for machines without a display; it never needs one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_defaultHandler = qInstallMessageHandler(dropPlatformRemarks);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallis-demo-tour"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Presses a sequence of buttons on the real panel, offscreen, against the projector on "
                       "DEVICE, lists what the sent, reply and status views show after each, and writes a "
                       "screenshot of the panel. Exits with 1 when a step did not show what it should."));
    parser.addHelpOption();
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Line speed, 9600 or 19200 (default 9600)."),
                                  QStringLiteral("RATE"), QStringLiteral("9600"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Where to write the PNG (default tallis-demo-tour.png in %1).").arg(QDir::tempPath()),
        QStringLiteral("FILE"), QDir(QDir::tempPath()).filePath(QStringLiteral("tallis-demo-tour.png")));
    parser.addOptions({baud, screenshot});
    parser.addPositionalArgument(
        QStringLiteral("DEVICE"),
        QStringLiteral("The serial device the projector is on, or its address on the network "
                       "(rfc2217://HOST:PORT or tcp://HOST:PORT)."));
    parser.process(app);

    const QStringList devices = parser.positionalArguments();
    const QString rate = parser.value(baud);
    if (devices.size() != 1 || (rate != QLatin1String("9600") && rate != QLatin1String("19200"))) {
        err << parser.helpText();
        return 2;
    }
    const QString device = devices.constFirst();

    Module1 module;
    Form1 form(module, new RoutingCommPort([device](qint16) { return device; }));
    CommPort &port = form.commPort();
    port.setSettings(speedSettings(rate == QLatin1String("9600") ? 96 : 192));
    if (!port.setPortOpen(true)) {
        err << "tallis-demo-tour: " << portFailureText(port.lastFailure(), port.commPort()) << Qt::endl;
        return 1;
    }
    out << "The panel on " << device << ", " << rate << " baud. After each step, its three views:\n\n";

    form.show();
    PanelOperator panel(form);
    const bool ok = TourRunner(form, out).run(tourSteps(panel));

    form.setHeightTwips(Form1::expandedHeight);
    const QString path = QFileInfo(parser.value(screenshot)).absoluteFilePath();
    if (!form.grab().save(path)) {
        err << "tallis-demo-tour: cannot write " << path << Qt::endl;
        return 1;
    }
    out << "screenshot: " << path << Qt::endl;
    return ok ? 0 : 1;
}
