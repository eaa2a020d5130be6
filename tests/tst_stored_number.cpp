// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/stored_number.h"

#include <QTest>

using namespace Qt::StringLiterals;

// -1 in a column: the text gives no usable value there.
template <typename Int> int orNone(std::optional<Int> value)
{
    return value ? int(*value) : -1;
}

class TestStoredNumber : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldReadStoredAndTypedNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");  // storedPortNumber
        QTest::addColumn<int>("baud");  // storedBaudCode
        QTest::addColumn<int>("typed"); // typedNumber

        QTest::newRow("port") << u"3"_s << 3 << 3 << 3;
        QTest::newRow("9600") << u"96"_s << 96 << 96 << 96;
        QTest::newRow("19200") << u"192"_s << 192 << 192 << 192;
        QTest::newRow("port default") << u"DATAC"_s << 0 << 0 << -1;
        QTest::newRow("baud default") << u"DATAb"_s << 0 << 0 << -1;
        QTest::newRow("empty") << QString() << 0 << 0 << -1;
        QTest::newRow("blanks only") << u"  "_s << 0 << 0 << -1;
        QTest::newRow("half rounds down to even") << u"2.5"_s << 2 << 2 << 2;
        QTest::newRow("half rounds up to even") << u"3.5"_s << 4 << 4 << 4;
        QTest::newRow("half of zero") << u"0.5"_s << 0 << 0 << 0;
        QTest::newRow("just above a half") << u"2.51"_s << 3 << 3 << 3;
        QTest::newRow("half of a speed code") << u"96.5"_s << 96 << 96 << 96;
        QTest::newRow("leading fraction") << u".6"_s << 1 << 1 << 1;
        QTest::newRow("leading blank") << u" 7"_s << 7 << 7 << 7;
        QTest::newRow("leading tab") << u"\t7"_s << 7 << 7 << 7;
        QTest::newRow("trailing blank") << u"7 "_s << 7 << 7 << 7;
        QTest::newRow("plus sign") << u"+5"_s << 5 << 5 << 5;
        QTest::newRow("negative") << u"-1"_s << -1 << -1 << -1;
        QTest::newRow("negative rounding to zero") << u"-0.4"_s << 0 << 0 << 0;
        QTest::newRow("sign alone") << u"-"_s << 0 << 0 << -1;
        QTest::newRow("largest port") << u"32767"_s << 32767 << -1 << -1;
        QTest::newRow("beyond a port") << u"32768"_s << -1 << -1 << -1;
        QTest::newRow("far beyond") << u"99999"_s << -1 << -1 << -1;
        QTest::newRow("largest byte") << u"255"_s << 255 << 255 << 255;
        QTest::newRow("beyond a byte") << u"256"_s << 256 << -1 << -1;
        QTest::newRow("exponent") << u"1e3"_s << 1000 << -1 << -1;
        QTest::newRow("small exponent") << u"1E1"_s << 10 << 10 << 10;
        QTest::newRow("dangling exponent") << u"4e"_s << 4 << 4 << -1;
        QTest::newRow("overflowing exponent") << u"1e999"_s << 0 << 0 << -1;
        QTest::newRow("number then letters") << u"7abc"_s << 7 << 7 << -1;
        QTest::newRow("two numbers") << u"1 2"_s << 1 << 1 << -1;
        QTest::newRow("hexadecimal") << u"0x10"_s << 0 << 0 << -1;
        QTest::newRow("decimal comma") << u"3,5"_s << 3 << 3 << -1;
        QTest::newRow("non-ASCII digit") << u"\u0663"_s << 0 << 0 << -1;
        QTest::newRow("control bytes") << QString::fromLatin1("\x01\xff"
                                                              "3")
                                       << 0 << 0 << -1;
        QTest::newRow("invalid UTF-8") << QString::fromUtf8("\xc3\x28"
                                                            "5")
                                       << 0 << 0 << -1;
        QTest::newRow("embedded NUL") << QString::fromUtf16(u"3\0"
                                                            "9",
                                                            3)
                                      << 3 << 3 << -1;
    }
    void shouldReadStoredAndTypedNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, port);
        QFETCH(int, baud);
        QFETCH(int, typed);

        QCOMPARE(orNone(storedPortNumber(text)), port);
        QCOMPARE(orNone(storedBaudCode(text)), baud);
        QCOMPARE(orNone(typedNumber(text)), typed);
    }
};

QTEST_GUILESS_MAIN(TestStoredNumber)
#include "tst_stored_number.moc"
