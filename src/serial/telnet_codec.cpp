// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/telnet_codec.h"

#include <utility>

namespace {

enum : quint8 {
    Se = 240,
    Sb = 250,
    Will = 251,
    Wont = 252,
    Do = 253,
    Dont = 254,
    Iac = 255,
};

enum : quint8 { Binary = 0, SuppressGoAhead = 3, ComPortOption = 44 };

// COM-PORT commands; the server answers each with the code plus 100.
enum : quint8 { SetBaudRate = 1, SetDataSize = 2, SetParity = 3, SetStopSize = 4, SetControl = 5 };
constexpr quint8 kServerOffset = 100;

bool weSupport(quint8 option)
{
    return option == Binary || option == SuppressGoAhead || option == ComPortOption;
}

bool heSupports(quint8 option)
{
    return option == Binary || option == SuppressGoAhead;
}

QByteArray negotiation(quint8 verb, quint8 option)
{
    const char bytes[] = {char(Iac), char(verb), char(option)};
    return QByteArray(bytes, sizeof bytes);
}

QByteArray comPortCommand(quint8 code, QByteArrayView value)
{
    const char start[] = {char(Iac), char(Sb), char(ComPortOption), char(code)};
    QByteArray bytes(start, sizeof start);
    bytes += TelnetCodec::escape(value);
    bytes += char(Iac);
    bytes += char(Se);
    return bytes;
}

} // namespace

TelnetCodec::TelnetCodec()
{
    for (const quint8 option : {Binary, SuppressGoAhead, ComPortOption})
        m_us[option] = Side::WantYes;
    for (const quint8 option : {Binary, SuppressGoAhead})
        m_him[option] = Side::WantYes;
}

QByteArray TelnetCodec::hello()
{
    return negotiation(Will, ComPortOption) + negotiation(Will, Binary) + negotiation(Do, Binary) +
           negotiation(Will, SuppressGoAhead) + negotiation(Do, SuppressGoAhead);
}

QByteArray TelnetCodec::lineRequest(quint32 baud)
{
    const char speed[4] = {char(baud >> 24), char(baud >> 16), char(baud >> 8), char(baud)};
    return comPortCommand(SetBaudRate, QByteArrayView(speed, 4)) + comPortCommand(SetDataSize, "\x08") +
           comPortCommand(SetParity, "\x01") + comPortCommand(SetStopSize, "\x01") +
           comPortCommand(SetControl, "\x01");
}

QByteArray TelnetCodec::escape(QByteArrayView data)
{
    QByteArray bytes;
    bytes.reserve(data.size() + data.count(char(Iac)));
    for (const char c : data) {
        bytes += c;
        if (quint8(c) == Iac)
            bytes += c;
    }
    return bytes;
}

// Data goes through as it comes, CR, NUL and LF included: the projector's
// replies are binary-clean bytes ending in CR, and a server in binary mode
// passes them unchanged, so NVT's CR NUL rule would only corrupt them.
QByteArray TelnetCodec::decode(QByteArrayView bytes)
{
    QByteArray data;
    data.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = quint8(c);
        switch (m_expect) {
        case Expect::Data:
            if (byte == Iac)
                m_expect = Expect::Command;
            else
                data += c;
            break;
        case Expect::Command:
            if (byte == Iac) {
                data += c;
                m_expect = Expect::Data;
            } else {
                command(byte);
            }
            break;
        case Expect::Option:
            negotiate(m_verb, byte);
            m_expect = Expect::Data;
            break;
        case Expect::Body:
            if (byte == Iac)
                m_expect = Expect::BodyCommand;
            else
                keep(c, data);
            break;
        case Expect::BodyCommand:
            if (byte == Iac) {
                m_expect = Expect::Body;
                keep(c, data);
                break;
            }
            // SE ends the body; any other command means the server abandoned
            // it, and the command counts on its own.
            if (byte == Se)
                subnegotiated();
            m_body.clear();
            m_expect = Expect::Data;
            if (byte != Se)
                command(byte);
            break;
        }
    }
    return data;
}

QByteArray TelnetCodec::takeAnswers()
{
    return std::exchange(m_answers, QByteArray());
}

// The byte after IAC, other than IAC itself.
void TelnetCodec::command(quint8 byte)
{
    m_expect = Expect::Data;
    // Below SE no command is defined: such a pair is dropped as noise and
    // says nothing about the server speaking Telnet.
    if (byte < Se)
        return;
    m_heardTelnet = true;
    if (byte == Sb) {
        m_expect = Expect::Body;
    } else if (byte >= Will && byte <= Dont) {
        m_verb = byte;
        m_expect = Expect::Option;
    }
    // NOP, DM, BRK, IP, AO, AYT, EC, EL, GA and a stray SE ask nothing of a
    // client that only relays data.
}

void TelnetCodec::negotiate(quint8 verb, quint8 option)
{
    const bool enable = verb == Do || verb == Will;
    const bool aboutUs = verb == Do || verb == Dont;
    Side &side = aboutUs ? m_us[option] : m_him[option];
    const bool supported = aboutUs ? weSupport(option) : heSupports(option);
    if (aboutUs && option == ComPortOption)
        m_comPort = enable ? ComPort::Accepted : ComPort::Refused;

    if (enable && !supported) {
        answer(aboutUs ? Wont : Dont, option);
    } else if (enable) {
        if (side == Side::No)
            answer(aboutUs ? Will : Do, option);
        side = Side::Yes;
    } else {
        if (side == Side::Yes)
            answer(aboutUs ? Wont : Dont, option);
        side = Side::No;
    }
}

void TelnetCodec::keep(char byte, QByteArray &data)
{
    if (m_body.size() < kMaxSubnegotiation) {
        m_body += byte;
        return;
    }
    m_body.clear();
    m_expect = Expect::Data;
    data += byte;
}

void TelnetCodec::subnegotiated()
{
    if (m_body.size() < 3 || quint8(m_body[0]) != ComPortOption)
        return;
    const auto value = [this](qsizetype i) { return quint8(m_body[2 + i]); };
    const qsizetype length = m_body.size() - 2;
    switch (quint8(m_body[1])) {
    case kServerOffset + SetBaudRate:
        if (length == 4)
            m_confirmed.baud =
                quint32(value(0)) << 24 | quint32(value(1)) << 16 | quint32(value(2)) << 8 | value(3);
        break;
    case kServerOffset + SetDataSize:
        m_confirmed.dataSize = value(0);
        break;
    case kServerOffset + SetParity:
        m_confirmed.parity = value(0);
        break;
    case kServerOffset + SetStopSize:
        m_confirmed.stopSize = value(0);
        break;
    case kServerOffset + SetControl:
        // Values 1 to 3 are the outbound flow control; the others report
        // DTR, RTS and inbound flow control, which the line request leaves.
        if (value(0) >= 1 && value(0) <= 3)
            m_confirmed.control = value(0);
        break;
    default:
        // Line and modem state notifications, flow control suspend/resume,
        // purge answers and client-side codes a confused server echoes.
        break;
    }
}

void TelnetCodec::answer(quint8 verb, quint8 option)
{
    m_answers += negotiation(verb, option);
}
