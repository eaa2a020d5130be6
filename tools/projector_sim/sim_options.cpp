// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_options.h"

#include <QCommandLineParser>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

const char *const kDescription = R"(
Plays a data/video projector on the far end of an RS-232C line, for running and
testing tallis-control without one. By default it makes a pseudo-terminal and
prints "device: <path>" as its first line of output; point the program's port
at that path. With --device it answers on a real serial line (a null-modem
cable) instead, 8 data bits, no parity, 1 stop bit. With --listen it plays a
projector with its own LAN port instead: it takes one TCP client at a time,
which sends and gets the same bytes as on the serial line, and prints
"listening: <host>:<port>" ([<host>]:<port> for IPv6) as its first line.

Commands end with a carriage return; a line feed right after it is ignored.
Status reads answer from a small state model: CR0 power (00 on, 80 stand-by,
40 count-down, 20 cooling down, 81 lamp failure), CR1 input (1-5), CR3 lamp
hours, CR4 image reversal, CR6 three temperatures, CR7 and "CR LAMPMODE" lamp
mode, "CR LAMPSTS" lamp state. Basic commands ("C" and two hex digits) and
extended set commands ("CF KEYWORD ARGUMENT...") are acknowledged with 0x06:
power, input, lamp mode, ceiling and rear mounting and the lamp-hour reset
change the state, other set values are remembered for their "CR KEYWORD"
read. Anything else is answered with "?" and a carriage return.

SIGINT and SIGTERM end it cleanly, removing the link it made.)";

// A numeric option: its value and the range it must lie in.
struct Bounded {
    QCommandLineOption option;
    int minimum;
    int maximum;
};

Bounded bounded(const QString &name, const QString &help, const QString &valueName, int fallback, int minimum,
                int maximum)
{
    return {QCommandLineOption(name, help.arg(minimum).arg(maximum).arg(fallback), valueName,
                               QString::number(fallback)),
            minimum, maximum};
}

} // namespace

std::optional<SimOptions> parseSimOptions(const QStringList &arguments, QString &error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    parser.addVersionOption();

    const QCommandLineOption listen(u"listen"_s,
                                    u"Be a projector with its own LAN port instead of a serial line: take "
                                    u"one TCP client at a time at PORT on 127.0.0.1, at HOST:PORT or at "
                                    u"[IPv6]:PORT (port 0: any free one)."_s,
                                    u"ADDRESS"_s);
    const QCommandLineOption device(u"device"_s,
                                    u"Answer on the serial device PATH instead of a new "
                                    u"pseudo-terminal."_s,
                                    u"PATH"_s);
    const QCommandLineOption link(u"link"_s,
                                  u"Make a symbolic link PATH to the device (replacing an "
                                  u"earlier link there); it is removed on exit."_s,
                                  u"PATH"_s);
    const QCommandLineOption baud(u"baud"_s, u"Line speed, 9600 or 19200 (default 9600)."_s, u"RATE"_s,
                                  u"9600"_s);
    const QCommandLineOption lampFailure(u"lamp-failure"_s, u"The lamp is broken: it never lights."_s);
    const QCommandLineOption silent(u"silent"_s, u"Fault: never send anything."_s);
    const QCommandLineOption echo(u"echo"_s, u"Fault: send each command back before its reply."_s);
    const QCommandLineOption wireTime(u"wire-time"_s, u"Send no faster than the line speed allows "
                                                      u"(10 bits a byte: about 1.04 ms at 9600)."_s);
    const QCommandLineOption verbose(u"verbose"_s, u"Log every command and its reply on standard error."_s);
    const Bounded countDown = bounded(u"count-down"_s, u"Count-down after power on, %1-%2 (default %3)."_s,
                                      u"MS"_s, 5000, 0, 600000);
    const Bounded coolDown = bounded(u"cool-down"_s, u"Cooling down after power off, %1-%2 (default %3)."_s,
                                     u"MS"_s, 5000, 0, 600000);
    const Bounded lampHours = bounded(u"lamp-hours"_s, u"Lamp hours at start, %1-%2 (default %3)."_s, u"N"_s,
                                      123, 0, ProjectorState::kMaxLampHours);
    const Bounded delay =
        bounded(u"delay"_s, u"Fault: wait MS before each reply, %1-%2 (default %3)."_s, u"MS"_s, 0, 0, 60000);
    const Bounded split =
        bounded(u"split"_s, u"Fault: send each reply in N pieces, %1-%2 (default %3)."_s, u"N"_s, 1, 1, 64);
    const Bounded splitGap =
        bounded(u"split-gap"_s, u"Gap between the pieces of a split reply, %1-%2 (default %3)."_s, u"MS"_s,
                50, 0, 10000);
    const Bounded garbage = bounded(u"garbage"_s,
                                    u"Fault: put a stray byte (0x00, 0x7F or 0xFF) before each reply byte "
                                    u"with this chance, %1-%2 (default %3)."_s,
                                    u"PERCENT"_s, 0, 0, 100);
    const Bounded seed = bounded(u"seed"_s, u"Seed for the stray bytes, %1-%2 (default %3)."_s, u"N"_s, 1, 0,
                                 std::numeric_limits<int>::max());

    parser.addOptions({listen, device, link, baud, countDown.option, coolDown.option, lampHours.option,
                       lampFailure, silent, delay.option, split.option, splitGap.option, echo, garbage.option,
                       seed.option, wireTime, verbose});
    parser.process(arguments);

    if (!parser.positionalArguments().isEmpty()) {
        error = u"unexpected argument: %1"_s.arg(parser.positionalArguments().constFirst());
        return std::nullopt;
    }
    bool valid = true;
    auto value = [&](const Bounded &b) {
        bool ok = false;
        const int v = parser.value(b.option).toInt(&ok);
        if (valid && !(ok && v >= b.minimum && v <= b.maximum)) {
            error = u"--%1 wants a whole number from %2 to %3"_s.arg(b.option.names().constFirst())
                        .arg(b.minimum)
                        .arg(b.maximum);
            valid = false;
        }
        return v;
    };

    SimOptions options;
    options.device = parser.value(device);
    options.link = parser.value(link);
    options.baud = parser.value(baud).toInt();
    options.setup.countDown = std::chrono::milliseconds(value(countDown));
    options.setup.coolDown = std::chrono::milliseconds(value(coolDown));
    options.setup.lampHours = value(lampHours);
    options.setup.lampFailure = parser.isSet(lampFailure);
    options.faults.delay = std::chrono::milliseconds(value(delay));
    options.faults.pieces = value(split);
    options.faults.pieceGap = std::chrono::milliseconds(value(splitGap));
    options.faults.echo = parser.isSet(echo);
    options.faults.garbagePercent = value(garbage);
    options.seed = quint32(value(seed));
    options.silent = parser.isSet(silent);
    options.wireTime = parser.isSet(wireTime);
    options.verbose = parser.isSet(verbose);
    if (!valid)
        return std::nullopt;
    if (options.baud != 9600 && options.baud != 19200) {
        error = u"--baud wants 9600 or 19200"_s;
        return std::nullopt;
    }
    if (parser.isSet(listen)) {
        options.listen = parseListenAddress(parser.value(listen), u"127.0.0.1"_s);
        if (!options.listen) {
            error =
                u"--listen wants PORT, HOST:PORT or [IPv6]:PORT, with a port from 0 to 65535, not \"%1\""_s
                    .arg(parser.value(listen));
            return std::nullopt;
        }
        if (parser.isSet(device) || parser.isSet(link)) {
            error = u"--listen takes the place of the serial line: leave out --device and --link"_s;
            return std::nullopt;
        }
    }
    return options;
}
