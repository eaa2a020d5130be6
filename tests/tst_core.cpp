// SPDX-License-Identifier: GPL-3.0-or-later
// The UI-free core: rendering and decoding serial text, the numbers stored
// for the port, the serial devices found, the look "Test" takes at a port
// and the console's command catalogue.
#include "console/catalog.h"
#include "fakes/fake_comm_port.h"
#include "port_settings/port_probe.h"
#include "port_settings/serial_devices.h"
#include "port_settings/stored_number.h"
#include "serial/port_address.h"
#include "serial/render.h"
#include "serial/status_decoder.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// -1 in a column: the text gives no usable value there.
template <typename Int> int orNone(std::optional<Int> value)
{
    return value ? int(*value) : -1;
}

// A port address in one line: "device NAME", "rfc2217 HOST:PORT", "tcp HOST:PORT", or "unusable: " and the
// first sentence of why.
QString describe(const PortAddress &address)
{
    const char *const kinds[] = {"device ", "rfc2217 ", "tcp ", "unusable: "};
    const QString where = address.isNetwork() ? address.hostAndPort() : address.device;
    return QLatin1String(kinds[int(address.kind)]) +
           (address.problem.isEmpty() ? where : address.problem.section(u". "_s, 0, 0));
}

// "ttyUSB0|VID:PID|serial number" a device.
QList<FoundDevice> reported(const QStringList &rows)
{
    QList<FoundDevice> devices;
    for (const QString &row : rows)
        devices.append({row.section(u'|', 0, 0), {}, {}, {}, row.section(u'|', 2), row.section(u'|', 1, 1)});
    return devices;
}

// "name>device" a link.
QList<DeviceLink> links(const QStringList &rows)
{
    QList<DeviceLink> found;
    for (const QString &row : rows)
        found.append({row.section(u'>', 0, 0), row.section(u'>', 1)});
    return found;
}

class TestCore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Whole texts: the status decoder reads the characters back by position.
    void shouldRenderEveryByteClass_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("legends");

        QTest::newRow("lamp status command")
            << QByteArray("CR LAMPSTS\r") << u" C R _ L A M P S T S  [CR] "_s << u"CR space"_s;
        QTest::newRow("non-printable bytes and printable bounds")
            << QByteArray("\x00\t\x1f!az{\x7f\xff", 9) << u" ? ? ? ! a z ? ? ? "_s << QString();
        QTest::newRow("mixed") << QByteArray("\x06 x\r\n") << u"  [ACK] _ x  [CR]  [LF]  "_s
                               << u"ACK CR space"_s;
    }
    void shouldRenderEveryByteClass()
    {
        QFETCH(QByteArray, bytes);
        const Rendering r = renderTokens(bytes);
        QTEST(r.text, "text");
        QTEST((QString(r.ack ? "ACK " : "") + (r.carriageReturn ? "CR " : "") + (r.space ? "space" : ""))
                  .trimmed(),
              "legends");
    }

    // The status line after a reply to a status read: a decoding replaces what
    // the view held (hours included: two transactions must not mix in one
    // line), anything else leaves it unchanged.
    void shouldDecodeEachStatusRead_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("status");
        const QString unchanged = u"<unchanged>"_s;
        const auto add = [](const char *command, const QByteArray &reply, const QString &status) {
            QTest::addRow("%s %s", command, reply.toPercentEncoding().constData())
                << QByteArray(command) << reply << status;
        };

        add("CR0", "00\r", " Power ON");
        add("CR0", "80\r", " Stand by");
        add("CR0", "40\r", " Count down");
        add("CR0", "20\r", " Cooling down");
        add("CR0", "10\r", " Power abnormality");
        for (const char *t : {"08", "18", "28", "48", "88"})
            add("CR0", QByteArray(t) + '\r', " Temperature abnormality");
        add("CR0", "21\r", " Lamp Failure");
        add("CR0", "81\r", " Lamp Failure");
        add("CR0", "CR0\r00\r", unchanged);
        add("CR0", "00", " Power ON");

        add("CR1", "1\r", " Input 1");
        add("CR1", "2\r", " Input 2");
        add("CR1", "32\r", " Input 3");
        add("CR1", "4\r", " Wired");
        add("CR1", "5\r", " Wireless/Viewer");
        add("CR1", "6\r", unchanged);

        add("CR4", "11\r", " Normally");
        add("CR4", "10\r", " Top/Bottom reversal");
        add("CR4", "01\r", " Left/Right reversal");
        add("CR4", "00\r", " Top/Bottom , Left/Right reversal");

        add("CR LAMPSTS", "000 1I\r", " Lamp is ON");
        add("CR LAMPSTS", "000 1O\r", " Lamp is OFF");
        add("CR LAMPSTS", "000 1X\r", " Lamp is failure");
        add("CR LAMPSTS", "000 1", unchanged);

        add("CR LAMPMODE", "000 HIGH\r", " Lamp Mode is High");
        add("CR LAMPMODE", "000 NORMAL\r", " Lamp Mode is NORMAL");
        add("CR LAMPMODE", "000 ECO\r", " Lamp Mode is Eco");
        add("CR LAMPMODE", "000 ECO", unchanged);

        // Hours and temperatures decode at their exact length only.
        add("CR3", "00123\r", "     1 2 3   Hour Use");
        add("CR3", "00000\r", QString(12, u' ') + " Hour Use");
        add("CR3", "01020\r", "   1 0 2 0   Hour Use");
        add("CR3", "000123\r", unchanged);
        add("CR6", "035.0 040.5 038.0\r", " 0 3 5 . 0 deg C 0 4 0 . 5 deg C 0 3 8 . 0 deg C ");
        add("CR6", "035.0 040.5 038.0", unchanged);
        add("CR6", "035.0 040.5 038.0\r\n", unchanged);

        add("C00", "00\r", unchanged);
        add("cr0", "00\r", unchanged);
    }
    void shouldDecodeEachStatusRead()
    {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        QTEST(decodeStatus(command + '\r', renderTokens(reply).text, reply.size()).value_or(u"<unchanged>"_s),
              "status");
    }

    void shouldReadStoredAndTypedNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");  // storedPortNumber
        QTest::addColumn<int>("baud");  // storedBaudCode
        QTest::addColumn<int>("typed"); // typedNumber

        QTest::newRow("port default") << u"DATAC"_s << 0 << 0 << -1;
        QTest::newRow("half rounds down to even") << u"2.5"_s << 2 << 2 << 2;
        QTest::newRow("half rounds up to even") << u"3.5"_s << 4 << 4 << 4;
        QTest::newRow("leading fraction") << u".6"_s << 1 << 1 << 1;
        QTest::newRow("blanks around") << u" \t7 "_s << 7 << 7 << 7;
        QTest::newRow("plus sign") << u"+5"_s << 5 << 5 << 5;
        QTest::newRow("negative") << u"-1"_s << -1 << -1 << -1;
        QTest::newRow("negative rounding to zero") << u"-0.4"_s << 0 << 0 << 0;
        QTest::newRow("largest port") << u"32767"_s << 32767 << -1 << -1;
        QTest::newRow("beyond a port") << u"32768"_s << -1 << -1 << -1;
        QTest::newRow("largest byte") << u"255"_s << 255 << 255 << 255;
        QTest::newRow("beyond a byte") << u"256"_s << 256 << -1 << -1;
        QTest::newRow("exponent") << u"1e3"_s << 1000 << -1 << -1;
        QTest::newRow("dangling exponent") << u"4e"_s << 4 << 4 << -1;
        QTest::newRow("overflowing exponent") << u"1e999"_s << 0 << 0 << -1;
        QTest::newRow("number then letters") << u"7abc"_s << 7 << 7 << -1;
        QTest::newRow("decimal comma") << u"3,5"_s << 3 << 3 << -1;
        QTest::newRow("non-ASCII digit") << u"\u0663"_s << 0 << 0 << -1;
    }
    void shouldReadStoredAndTypedNumbers()
    {
        QFETCH(QString, text);
        QTEST(orNone(storedPortNumber(text)), "port");
        QTEST(orNone(storedBaudCode(text)), "baud");
        QTEST(orNone(typedNumber(text)), "typed");
    }

    void shouldCutAtTheFirstBracket_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("placeholder row") << u"CF TDOTS %%%%[CR]  \t\t:% = 0-9"_s << "CF TDOTS %%%%\r"_ba;
        QTest::newRow("single space") << u" "_s << " \r"_ba;
        QTest::newRow("text after marker") << u"C00[CR]C01"_s << "C00\r"_ba;
        QTest::newRow("several brackets") << u"C0[1[CR]"_s << "C0\r"_ba;
        QTest::newRow("leading bracket") << u"[CR]C00"_s << "\r"_ba;
        QTest::newRow("empty") << QString() << "\r"_ba;
        QTest::newRow("latin-1 byte") << u"C\u00e9[CR]"_s << "C\xe9\r"_ba;
    }
    void shouldCutAtTheFirstBracket()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, wire);
        QCOMPARE(commandPart(text).toString(), QString::fromLatin1(wire.chopped(1)));
        QCOMPARE(wireCommand(text), wire);
    }

    void shouldTellDevicesFromNetworkAddresses_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::newRow("device path") << u"/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0"_s
                                     << u"device /dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0"_s;
        QTest::newRow("bare device name") << u"ttyUSB0"_s << u"device ttyUSB0"_s;
        QTest::newRow("rfc2217 by name")
            << u"rfc2217://beamer-7.hall:4001"_s << u"rfc2217 beamer-7.hall:4001"_s;
        QTest::newRow("scheme in capitals") << u"RFC2217://10.0.0.9:1"_s << u"rfc2217 10.0.0.9:1"_s;
        QTest::newRow("tcp IPv4") << u"tcp://192.168.1.20:65535"_s << u"tcp 192.168.1.20:65535"_s;
        QTest::newRow("tcp IPv6") << u"tcp://[fe80::1]:23"_s << u"tcp [fe80::1]:23"_s;
        QTest::newRow("IPv6 zone") << u"tcp://[fe80::1%eth0]:23"_s << u"tcp [fe80::1%eth0]:23"_s;
        QTest::newRow("IPv6 zone as in a URL")
            << u"tcp://[fe80::1%25eth0]:23"_s << u"tcp [fe80::1%eth0]:23"_s;
        QTest::newRow("blanks around, leading zeros") << u" tcp://h:00023\t"_s << u"tcp h:23"_s;
        QTest::newRow("internationalised name") << u"tcp://bücher.example:23"_s << u"tcp bücher.example:23"_s;
        const QString range = u"unusable: The TCP port must be a number from 1 to 65535."_s;
        QTest::newRow("port 0") << u"tcp://h:000"_s << range;
        QTest::newRow("port too big") << u"tcp://h:0065536"_s << range;
        QTest::newRow("IPv6 without brackets")
            << u"tcp://fe80::1:23"_s << u"unusable: An IPv6 address goes in brackets: [fe80::1]."_s;
        QTest::newRow("IPv4 in brackets")
            << u"tcp://[1.2.3.4]:23"_s << u"unusable: [1.2.3.4] is not an IPv6 address."_s;
        QTest::newRow("no host") << u"tcp://:23"_s << u"unusable: The host is missing before the port"_s;
        QTest::newRow("no port")
            << u"rfc2217://host"_s
            << u"unusable: HOST:PORT is missing or malformed (an IPv6 address goes in brackets)"_s;
        QTest::newRow("not a name") << u"tcp://a b:23"_s << u"unusable: \"a b\" is not a host name."_s;
        QTest::newRow("query after port")
            << u"tcp://h:23?x"_s << u"unusable: Nothing may follow the port, but \"?x\" does"_s;
        QTest::newRow("unknown scheme")
            << u"telnet://host:23"_s << u"unusable: Unknown kind of address \"telnet://\""_s;
        QTest::newRow("address without scheme")
            << u"192.168.1.20:4001"_s << u"unusable: Neither a device nor a network address"_s;
    }
    void shouldTellDevicesFromNetworkAddresses()
    {
        QFETCH(QString, name);
        QTEST(describe(parsePortAddress(name)), "address");
    }

    void shouldNameEachDeviceSoThatItSurvivesReplugging_data()
    {
        QTest::addColumn<QStringList>("reported");
        QTest::addColumn<QStringList>("links"); // by-id, then by-path after a "|"
        QTest::addColumn<QString>("found");
        // Devices 0 to 2 look alike; 3 has a serial number. A by-path name "pN" leads to device N.
        QTest::newRow("look-alikes share one by-id name")
            << QStringList{u"0|v|"_s, u"1|v|"_s, u"2|v|"_s, u"3|v|A5"_s}
            << QStringList{u"id>1"_s, u"id-A5>3"_s, u"|"_s, u"p0>0"_s, u"p1>1"_s, u"p3>3"_s}
            << u"0=p0 1=p1 2=2 3=id-A5"_s;
        QTest::newRow("two ports of one adapter")
            << QStringList{u"1|v|A5"_s, u"0|v|A5"_s} << QStringList{u"id-if01>1"_s, u"id-if00>0"_s, u"|"_s}
            << u"0=id-if00 1=id-if01"_s;
    }
    void shouldNameEachDeviceSoThatItSurvivesReplugging()
    {
        QFETCH(QStringList, reported);
        QFETCH(QStringList, links);
        const qsizetype split = links.indexOf(u"|"_s);
        QStringList found;
        for (const FoundDevice &device : mergeFoundDevices(::reported(reported), ::links(links.first(split)),
                                                           ::links(links.mid(split + 1))))
            found << device.path + u'=' + device.stableName;
        QTEST(found.join(u' '), "found");
    }

    // "Test": the power-state read goes out once; the wait ends at a carriage
    // return, after 256 bytes or after a second; the port is closed again.
    void shouldSayWhatAPortAnswers_data()
    {
        QTest::addColumn<QByteArrayList>("pieces"); // as they arrive; "fail" for a port that does not open
        QTest::addColumn<bool>("early");            // done before the second is up
        QTest::addColumn<QString>("says");
        QTest::newRow("in pieces") << QByteArrayList{"0", "0\r"} << true
                                   << u"Reply: 0 0  [CR] \nPower state: Power ON"_s;
        QTest::newRow("no CR") << QByteArrayList{"?"} << false
                               << u"Reply: ? \nNo power state in this reply."_s;
        QTest::newRow("flood") << QByteArrayList{QByteArray(100000, 'A')} << true << u"Reply: A A A"_s;
        QTest::newRow("silence") << QByteArrayList() << false << u"No reply within 1 s"_s;
        QTest::newRow("no such device") << QByteArrayList{"fail"} << true << u"COM7 → /dev/fake7\n"_s;
    }
    void shouldSayWhatAPortAnswers()
    {
        QFETCH(QByteArrayList, pieces);
        FakeCommPort port;
        port.setCommPort(7);
        pieces.value(0) == "fail" ? port.failPort(7) : void();
        PortProbe probe(port);
        QSignalSpy said(&probe, &PortProbe::finished);
        probe.start();
        const auto *wait = probe.findChild<QTimer *>(u"ReplyTimer"_s);
        QCOMPARE(wait->isActive() ? wait->interval() : 0, said.isEmpty() ? 1000 : 0);
        for (const QByteArray &piece : pieces)
            said.isEmpty() ? port.receive(piece) : void();
        QTEST(!said.isEmpty(), "early");
        said.isEmpty() ? probe.ReplyTimer_Timer() : void();
        const QString outcome = said.size() == 1 ? said[0][0].toString() : QString();
        QFETCH(QString, says);
        QVERIFY2(outcome.startsWith(says) && outcome.size() < 1000, qPrintable(outcome));
        QCOMPARE(port.written, outcome.startsWith(u"COM"_s) ? QByteArray() : "CR0\r"_ba);
        QVERIFY(!port.portOpen() && !wait->isActive());
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
