// SPDX-License-Identifier: GPL-3.0-or-later
#include "pjlink/bridge_options.h"

#include "port_settings/port_settings_store.h"
#include "port_settings/stored_number.h"
#include "serial/listen_address.h"
#include "serial/port_address.h"

#include <QCommandLineParser>
#include <QFile>
#include <QSysInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const char *const kDescription = R"(
Answers PJLink (Class 1) on the network and drives the projector on its
RS-232C line, so that room controllers, touch panels and home automation reach
it with their generic PJLink driver. Without --port or --device it uses the
port and speed saved by tallis-control.)";

constexpr qsizetype passwordLimit = 32;
constexpr qsizetype nameLimit = 64;

bool isVisibleAscii(const QByteArray &text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c < '\x7f'; });
}

OptionsExit bad(const QString &line)
{
    return {2, line};
}

// The first line of the file: empty means no password.
std::variant<QByteArray, OptionsExit> readPassword(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return bad(u"--password-file: cannot read %1: %2"_s.arg(path, file.errorString()));
    QByteArray password = file.read(passwordLimit + 3);
    const qsizetype end = password.indexOf('\n');
    if (end >= 0)
        password.truncate(end);
    if (password.endsWith('\r'))
        password.chop(1);
    if (password.size() > passwordLimit || !isVisibleAscii(password))
        return bad(u"--password-file: the password must be at most %1 printable ASCII characters without "
                   u"blanks"_s.arg(passwordLimit));
    return password;
}

} // namespace

QString BridgeOptions::portName() const
{
    return device.isEmpty() ? u"COM%1"_s.arg(portNumber) : device;
}

std::variant<BridgeOptions, OptionsExit> parseBridgeOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption help(u"help"_s, u"Show this help and exit."_s);
    const QCommandLineOption version(u"version"_s, u"Show the version and exit."_s);
    const QCommandLineOption port(
        u"port"_s, u"The panel's port number, 1 to 15, through its [Ports] mapping."_s, u"COMn"_s);
    const QCommandLineOption device(
        u"device"_s, u"A serial device, or a device server at rfc2217://HOST:PORT or tcp://HOST:PORT."_s,
        u"PATH"_s);
    const QCommandLineOption speed(u"speed"_s, u"Line speed, 9600 or 19200 (default: the panel's)."_s,
                                   u"BAUD"_s);
    const QCommandLineOption listen(u"listen"_s,
                                    u"Where to take controllers: PORT on every address, or ADDRESS:PORT "
                                    u"([IPv6]:PORT) (default 4352)."_s,
                                    u"[ADDRESS:]PORT"_s);
    const QCommandLineOption passwordFile(
        u"password-file"_s, u"Ask controllers for the password on the first line of FILE."_s, u"FILE"_s);
    const QCommandLineOption name(u"name"_s, u"The name NAME ? answers (default, or empty: the host name)."_s,
                                  u"TEXT"_s);
    const QCommandLineOption verbose(u"verbose"_s, u"Log every PJLink command and serial exchange."_s);
    parser.addOptions({port, device, speed, listen, passwordFile, name, verbose, help, version});

    if (!parser.parse(arguments))
        return bad(parser.errorText());
    if (parser.isSet(help))
        return OptionsExit{0, parser.helpText()};
    if (parser.isSet(version))
        return OptionsExit{0, u"tallis-pjlink %1\n"_s.arg(QStringLiteral(TALLIS_VERSION))};
    if (!parser.positionalArguments().isEmpty())
        return bad(u"unexpected argument: %1"_s.arg(parser.positionalArguments().constFirst()));

    BridgeOptions options;
    options.verbose = parser.isSet(verbose);
    std::optional<qint16> saved = storedPortNumber(PortSettingsStore::readComPort());
    std::optional<quint8> savedSpeed = storedBaudCode(PortSettingsStore::readBaudRate());
    options.baudCode = savedSpeed.value_or(192) == 96 ? 96 : 192;
    if (parser.isSet(port) && parser.isSet(device))
        return bad(u"--port and --device exclude each other"_s);
    if (parser.isSet(port)) {
        QString number = parser.value(port);
        if (number.startsWith(u"COM"_s, Qt::CaseInsensitive))
            number.remove(0, 3);
        bool ok = false;
        const int value = number.toInt(&ok);
        if (!ok || value < 1 || value > 15)
            return bad(u"--port wants COM1 to COM15 (or 1 to 15), not \"%1\""_s.arg(parser.value(port)));
        options.portNumber = qint16(value);
    } else if (parser.isSet(device)) {
        const PortAddress address = parsePortAddress(parser.value(device));
        if (address.kind == PortAddress::Kind::Unusable)
            return bad(u"--device: %1"_s.arg(address.problem));
        options.device = parser.value(device);
    } else if (saved && *saved >= 1 && *saved <= 15) {
        options.portNumber = *saved;
    } else {
        return bad(u"no port: give --port or --device, or choose a port in tallis-control first"_s);
    }
    if (parser.isSet(speed)) {
        const QString value = parser.value(speed);
        if (value != u"9600"_s && value != u"19200"_s)
            return bad(u"--speed wants 9600 or 19200, not \"%1\""_s.arg(value));
        options.baudCode = value == u"9600"_s ? 96 : 192;
    }
    if (parser.isSet(listen)) {
        const std::optional<ListenAddress> where = parseListenAddress(parser.value(listen), {});
        const QHostAddress address(where ? where->host : QString());
        if (!where || (!where->host.isEmpty() && address.isNull()))
            return bad(
                u"--listen wants PORT or ADDRESS:PORT with an IP address ([IPv6]:PORT), not \"%1\""_s.arg(
                    parser.value(listen)));
        if (!where->host.isEmpty())
            options.listenAddress = address;
        options.listenPort = where->port;
    }
    if (parser.isSet(passwordFile)) {
        auto password = readPassword(parser.value(passwordFile));
        if (auto *exit = std::get_if<OptionsExit>(&password))
            return *exit;
        options.password = std::get<QByteArray>(password);
    }
    options.name = parser.value(name).toUtf8();
    if (options.name.isEmpty())
        options.name = QSysInfo::machineHostName().toUtf8();
    if (options.name.size() > nameLimit || std::any_of(options.name.begin(), options.name.end(), [](char c) {
            return (c >= 0 && c < ' ') || c == '\x7f';
        }))
        return bad(u"--name wants at most %1 bytes of text without control characters"_s.arg(nameLimit));
    return options;
}
