// SPDX-License-Identifier: GPL-3.0-or-later
// The Telnet/COM-PORT codec: the data, answers and confirmed line a server's
// bytes give, whichever way the connection cuts them.
#include "serial/telnet_codec.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const auto hex = &QByteArray::fromHex;

// "<COM-PORT> <baud>/<data size>/<parity>/<stop size>/<control>[ telnet]".
QString state(const TelnetCodec &codec)
{
    const auto n = [](auto value) { return value ? QString::number(*value) : u"-"_s; };
    const TelnetCodec::Line &l = codec.confirmed();
    const char *const comPort[] = {"asked", "accepted", "refused"};
    return u"%1 %2/%3/%4/%5/%6%7"_s.arg(QLatin1StringView(comPort[int(codec.comPort())]), n(l.baud),
                                        n(l.dataSize), n(l.parity), n(l.stopSize), n(l.control),
                                        codec.heardTelnet() ? u" telnet"_s : QString());
}

} // namespace

class TestTelnetCodec : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldSendTheOptionsAndTheLineRequest()
    {
        QCOMPARE(TelnetCodec::hello(), hex("fffb2c fffb00 fffd00 fffb03 fffd03"));
        QCOMPARE(TelnetCodec::lineRequest(0xff25ff), hex("fffa2c01 00ffff25ffff fff0 fffa2c0208fff0 "
                                                         "fffa2c0301fff0 fffa2c0401fff0 fffa2c0501fff0"));
    }

    void shouldDecodeHoweverTheBytesAreCut_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("answers");
        QTest::addColumn<QString>("state");
        const auto add = [](const char *name, const QByteArray &stream, const QByteArray &data,
                            const char *answers, const QString &state) {
            QTest::newRow(name) << stream << data << hex(answers) << state;
        };
        const QString heard = u"asked -/-/-/-/- telnet"_s, accepted = u"accepted -/-/-/-/- telnet"_s;

        add("doubled 0xFF as data", "a" + hex("ffff ffff") + "\r", "a" + hex("ffff") + "\r", "",
            u"asked -/-/-/-/-"_s);
        add("unknown command", hex("ff10") + "x", "x", "", u"asked -/-/-/-/-"_s);
        add("commands dropped", "a" + hex("fff1 fff2 fff3 fff6 fff9 fff0 ff10") + "b", "ab", "", heard);
        add("acks to the hello", hex("fffd2c fffb00 fffd00 fffb03") + "ok" + hex("fffd03 fffd2c fffb00"),
            "ok", "", accepted);
        add("refused", hex("fffe2c"), "", "", u"refused -/-/-/-/- telnet"_s);
        add("withdrawn and asked again", hex("fffd2c fffe2c fffd2c"), "", "fffc2c fffb2c", accepted);
        add("unsupported and withdrawn options",
            hex("fffb01 fffd18 fffd18 fffc01 fffe18 fffb00 fffc00 fffb00"), "",
            "fffe01 fffc18 fffc18 fffe00 fffd00", heard);
        add("line confirmed",
            hex("fffa2c65 0001c2ffff fff0 fffa2c6608fff0 fffa2c6701fff0 fffa2c6801fff0 fffa2c6901fff0"), "",
            "", u"asked 115455/8/1/1/1 telnet"_s);
        // Control values for DTR and RTS, notifications, a client's code, too
        // short and too long bodies.
        add("other COM-PORT bodies ignored",
            hex("fffa2c6903fff0 fffa2c690bfff0 fffa2c6a60fff0 fffa2c6bb0fff0 fffa2c6cfff0 "
                "fffa2c0100002580fff0 fffa2c65002580fff0 fffa2c66fff0 fffa2c65") +
                QByteArray(80, 0) + hex("fff0"),
            "", "", u"asked -/-/-/-/3 telnet"_s);
        add("long unknown sub-negotiation", hex("fffa18") + QByteArray(300, 'x') + hex("ffff fff0") + "ok",
            "ok", "", heard);
        // One that runs past 4 KiB is dropped there; what follows is data again.
        const QByteArray full = hex("fffa18") + QByteArray(TelnetCodec::kMaxSubnegotiation - 1, 'x');
        add("sub-negotiation at the bound", full + hex("fff0") + "ok", "ok", "", heard);
        add("sub-negotiation overrun", full + hex("ffff") + "ok" + hex("fff0"), hex("ff") + "ok", "", heard);
        add("abandoned sub-negotiation", hex("fffa2c65 00002580 fffd2c") + "ok", "ok", "", accepted);
    }
    void shouldDecodeHoweverTheBytesAreCut()
    {
        QFETCH(QByteArray, stream);
        // The bytes before the cut in one piece, the rest in pieces of the size given.
        const auto check = [&](qsizetype cut, qsizetype size) {
            TelnetCodec codec;
            QByteArray data = codec.decode(stream.first(cut));
            for (qsizetype at = cut; at < stream.size(); at += size) {
                data += codec.decode(stream.sliced(at, std::min(size, stream.size() - at)));
                QVERIFY(codec.buffered() <= TelnetCodec::kMaxSubnegotiation);
            }
            QTEST(data, "data");
            QTEST(codec.takeAnswers(), "answers");
            QTEST(state(codec), "state");
        };
        check(0, 1);
        for (qsizetype cut = 0; cut <= stream.size() && !QTest::currentTestFailed(); ++cut)
            check(cut, stream.size());
    }
};

QTEST_GUILESS_MAIN(TestTelnetCodec)
#include "tst_telnet_codec.moc"
