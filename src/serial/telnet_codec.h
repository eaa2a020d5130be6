// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <optional>

// The client side of Telnet with the COM-PORT option, as a pure codec: bytes
// from the server go in; the projector's data, the answers owed to the server
// and what the server confirmed come out. It keeps its state between reads,
// so a command or a sub-negotiation may be split anywhere.
class TelnetCodec
{
public:
    enum class ComPort { Asked, Accepted, Refused };

    // The line settings the server confirmed; each stays unset until it answers.
    struct Line {
        std::optional<quint32> baud;
        std::optional<quint8> dataSize;
        std::optional<quint8> parity;   // 1 = none
        std::optional<quint8> stopSize; // 1 = one stop bit
        std::optional<quint8> control;  // 1 = no flow control
    };

    // A sub-negotiation body is kept up to this size. One that runs on past it
    // is dropped there, and what follows counts as data again: a server that
    // never ends one must not swallow every later reply.
    static constexpr qsizetype kMaxSubnegotiation = 4096;

    // The options of hello() count as asked from the start.
    TelnetCodec();

    // What the client says first: it offers the COM-PORT option, and binary
    // transmission and no go-aheads both ways.
    static QByteArray hello();
    // Asks for the speed with 8 data bits, no parity, 1 stop bit and no flow
    // control.
    static QByteArray lineRequest(quint32 baud);
    // Data as it travels on the connection: every 0xFF doubled.
    static QByteArray escape(QByteArrayView data);

    // Bytes from the server: returns the data among them, with every command
    // and sub-negotiation removed and doubled 0xFF made single.
    QByteArray decode(QByteArrayView bytes);
    // The answers owed to the server since the last call.
    QByteArray takeAnswers();

    ComPort comPort() const { return m_comPort; }
    const Line &confirmed() const { return m_confirmed; }
    // True once the server has sent any Telnet command.
    bool heardTelnet() const { return m_heardTelnet; }
    // The bytes of an unfinished sub-negotiation kept so far.
    qsizetype buffered() const { return m_body.size(); }

private:
    // Where an option stands on one side (RFC 1143, without the queue bits).
    enum class Side : quint8 { No, WantYes, Yes };
    // What the next byte from the server is.
    enum class Expect : quint8 { Data, Command, Option, Body, BodyCommand };

    void command(quint8 byte);
    void negotiate(quint8 verb, quint8 option);
    void keep(char byte, QByteArray &data);
    void subnegotiated();
    void answer(quint8 verb, quint8 option);

    std::array<Side, 256> m_us{};
    std::array<Side, 256> m_him{};
    Expect m_expect = Expect::Data;
    quint8 m_verb = 0;
    QByteArray m_body;
    ComPort m_comPort = ComPort::Asked;
    Line m_confirmed;
    bool m_heardTelnet = false;
    QByteArray m_answers;
};
