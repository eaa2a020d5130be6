// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/render.h"
#include "serial/status_decoder.h"

#include <QTest>

namespace {

// What the status view shows after the reply, starting from `before`.
QString decoded(const QByteArray &command, const QByteArray &reply, const QString &before = {})
{
    return decodeStatus(command + '\r', renderTokens(reply).text, reply.size()).value_or(before);
}

} // namespace

class TestStatusDecoder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldDecodeEachStatusRead_data();
    void shouldDecodeEachStatusRead();
    void shouldDecodeLengthGuardedReadsOnlyAtTheirLength_data();
    void shouldDecodeLengthGuardedReadsOnlyAtTheirLength();
    void shouldReplaceTheStatusViewWithLampHours();
    void shouldChooseTheTableByCommandNotByReply();
    void shouldDecodeAPrefixAsSoonAsItIsComplete();
};

void TestStatusDecoder::shouldDecodeEachStatusRead_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("status");

    const QString unchanged = QStringLiteral("<unchanged>");
    QTest::newRow("power on") << QByteArray("CR0") << QByteArray("00\r") << " Power ON";
    QTest::newRow("stand by") << QByteArray("CR0") << QByteArray("80\r") << " Stand by";
    QTest::newRow("count down") << QByteArray("CR0") << QByteArray("40\r") << " Count down";
    QTest::newRow("cooling") << QByteArray("CR0") << QByteArray("20\r") << " Cooling down";
    QTest::newRow("power abnormal") << QByteArray("CR0") << QByteArray("10\r") << " Power abnormality";
    for (const char *t : {"08", "18", "28", "48", "88"})
        QTest::addRow("temperature %s", t)
            << QByteArray("CR0") << QByteArray(t) + '\r' << " Temperature abnormality";
    QTest::newRow("lamp failure 21") << QByteArray("CR0") << QByteArray("21\r") << " Lamp Failure";
    QTest::newRow("lamp failure 81") << QByteArray("CR0") << QByteArray("81\r") << " Lamp Failure";
    QTest::newRow("power no row") << QByteArray("CR0") << QByteArray("01\r") << unchanged;
    QTest::newRow("power echo shifts") << QByteArray("CR0") << QByteArray("CR0\r00\r") << unchanged;

    QTest::newRow("input 1") << QByteArray("CR1") << QByteArray("1\r") << " Input 1";
    QTest::newRow("input 3") << QByteArray("CR1") << QByteArray("3\r") << " Input 3";
    QTest::newRow("wired") << QByteArray("CR1") << QByteArray("4\r") << " Wired";
    QTest::newRow("wireless") << QByteArray("CR1") << QByteArray("5\r") << " Wireless/Viewer";
    QTest::newRow("input first char only") << QByteArray("CR1") << QByteArray("12\r") << " Input 1";
    QTest::newRow("input 6") << QByteArray("CR1") << QByteArray("6\r") << unchanged;

    QTest::newRow("normally") << QByteArray("CR4") << QByteArray("11\r") << " Normally";
    QTest::newRow("top bottom") << QByteArray("CR4") << QByteArray("10\r") << " Top/Bottom reversal";
    QTest::newRow("left right") << QByteArray("CR4") << QByteArray("01\r") << " Left/Right reversal";
    QTest::newRow("both") << QByteArray("CR4") << QByteArray("00\r") << " Top/Bottom , Left/Right reversal";

    QTest::newRow("lamp on") << QByteArray("CR LAMPSTS") << QByteArray("000 1I\r") << " Lamp is ON";
    QTest::newRow("lamp off") << QByteArray("CR LAMPSTS") << QByteArray("000 1O\r") << " Lamp is OFF";
    QTest::newRow("lamp failure") << QByteArray("CR LAMPSTS") << QByteArray("000 1X\r") << " Lamp is failure";
    QTest::newRow("lamp state short") << QByteArray("CR LAMPSTS") << QByteArray("000 1") << unchanged;

    QTest::newRow("mode high") << QByteArray("CR LAMPMODE") << QByteArray("000 HIGH\r")
                               << " Lamp Mode is High";
    QTest::newRow("mode normal") << QByteArray("CR LAMPMODE") << QByteArray("000 NORMAL\r")
                                 << " Lamp Mode is NORMAL";
    QTest::newRow("mode eco") << QByteArray("CR LAMPMODE") << QByteArray("000 ECO\r") << " Lamp Mode is Eco";
    QTest::newRow("mode without CR") << QByteArray("CR LAMPMODE") << QByteArray("000 ECO") << unchanged;
    QTest::newRow("mode trailing byte") << QByteArray("CR LAMPMODE") << QByteArray("000 ECO\rX") << unchanged;
    QTest::newRow("mode single char") << QByteArray("CR LAMPMODE") << QByteArray("0") << unchanged;

    QTest::newRow("not a status read") << QByteArray("C00") << QByteArray("00\r") << unchanged;
    QTest::newRow("case matters") << QByteArray("cr0") << QByteArray("00\r") << unchanged;
}

void TestStatusDecoder::shouldDecodeEachStatusRead()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    QFETCH(QString, status);
    QCOMPARE(decoded(command, reply, QStringLiteral("<unchanged>")), status);
}

void TestStatusDecoder::shouldDecodeLengthGuardedReadsOnlyAtTheirLength_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("status");

    QTest::newRow("hours 6") << QByteArray("CR3") << QByteArray("00123\r") << "     1 2 3   Hour Use";
    QTest::newRow("hours zero") << QByteArray("CR3") << QByteArray("00000\r")
                                << QString(12, u' ') + " Hour Use";
    QTest::newRow("hours inner zero")
        << QByteArray("CR3") << QByteArray("01020\r") << "   1 0 2 0   Hour Use";
    QTest::newRow("hours 5") << QByteArray("CR3") << QByteArray("00123") << "";
    QTest::newRow("hours 7") << QByteArray("CR3") << QByteArray("000123\r") << "";
    QTest::newRow("temps 18") << QByteArray("CR6") << QByteArray("035.0 040.5 038.0\r")
                              << " 0 3 5 . 0 deg C 0 4 0 . 5 deg C 0 3 8 . 0 deg C ";
    QTest::newRow("temps 17") << QByteArray("CR6") << QByteArray("035.0 040.5 038.0") << "";
    QTest::newRow("temps 19") << QByteArray("CR6") << QByteArray("035.0 040.5 038.0\r\n") << "";
}

void TestStatusDecoder::shouldDecodeLengthGuardedReadsOnlyAtTheirLength()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    QFETCH(QString, status);
    QCOMPARE(decoded(command, reply), status);
}

// Two transactions must not mix in one line.
void TestStatusDecoder::shouldReplaceTheStatusViewWithLampHours()
{
    QCOMPARE(decoded("CR3", "00123\r", QStringLiteral(" Power ON")), QStringLiteral("     1 2 3   Hour Use"));
}

void TestStatusDecoder::shouldChooseTheTableByCommandNotByReply()
{
    QCOMPARE(decoded("CR0", "10\r"), QStringLiteral(" Power abnormality"));
    QCOMPARE(decoded("CR4", "10\r"), QStringLiteral(" Top/Bottom reversal"));
    QCOMPARE(decoded("CR1", "00\r", QStringLiteral("kept")), QStringLiteral("kept"));
}

void TestStatusDecoder::shouldDecodeAPrefixAsSoonAsItIsComplete()
{
    QCOMPARE(decoded("CR0", "0", QStringLiteral("kept")), QStringLiteral("kept"));
    QCOMPARE(decoded("CR0", "00"), QStringLiteral(" Power ON"));
}

QTEST_GUILESS_MAIN(TestStatusDecoder)
#include "tst_status_decoder.moc"
