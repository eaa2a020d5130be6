// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/render.h"
#include "serial/status_decoder.h"

#include <QTest>

class TestStatusDecoder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The status view after a reply to a status read: a decoding replaces what
    // the view held (hours included: two transactions must not mix in one
    // line), anything else leaves it unchanged.
    void shouldDecodeEachStatusRead_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("status");
        const QString unchanged = QStringLiteral("<unchanged>");
        const auto add = [](const QByteArray &name, const char *command, const QByteArray &reply,
                            const QString &status) {
            QTest::newRow(name.constData()) << QByteArray(command) << reply << status;
        };

        add("power on", "CR0", "00\r", " Power ON");
        add("stand by", "CR0", "80\r", " Stand by");
        add("count down", "CR0", "40\r", " Count down");
        add("cooling", "CR0", "20\r", " Cooling down");
        add("power abnormal", "CR0", "10\r", " Power abnormality");
        for (const char *t : {"08", "18", "28", "48", "88"})
            add("temperature " + QByteArray(t), "CR0", QByteArray(t) + '\r', " Temperature abnormality");
        add("lamp failure 21", "CR0", "21\r", " Lamp Failure");
        add("lamp failure 81", "CR0", "81\r", " Lamp Failure");
        add("power no row", "CR0", "01\r", unchanged);
        add("power echo shifts", "CR0", "CR0\r00\r", unchanged);
        add("power prefix incomplete", "CR0", "0", unchanged);
        add("power prefix complete", "CR0", "00", " Power ON");

        add("input 1", "CR1", "1\r", " Input 1");
        add("input 3", "CR1", "3\r", " Input 3");
        add("wired", "CR1", "4\r", " Wired");
        add("wireless", "CR1", "5\r", " Wireless/Viewer");
        add("input first char only", "CR1", "12\r", " Input 1");
        add("input 6", "CR1", "6\r", unchanged);
        add("input table for a power reply", "CR1", "00\r", unchanged);

        add("normally", "CR4", "11\r", " Normally");
        add("top bottom, as power abnormal for CR0", "CR4", "10\r", " Top/Bottom reversal");
        add("left right", "CR4", "01\r", " Left/Right reversal");
        add("both", "CR4", "00\r", " Top/Bottom , Left/Right reversal");

        add("lamp on", "CR LAMPSTS", "000 1I\r", " Lamp is ON");
        add("lamp off", "CR LAMPSTS", "000 1O\r", " Lamp is OFF");
        add("lamp failure", "CR LAMPSTS", "000 1X\r", " Lamp is failure");
        add("lamp state short", "CR LAMPSTS", "000 1", unchanged);

        add("mode high", "CR LAMPMODE", "000 HIGH\r", " Lamp Mode is High");
        add("mode normal", "CR LAMPMODE", "000 NORMAL\r", " Lamp Mode is NORMAL");
        add("mode eco", "CR LAMPMODE", "000 ECO\r", " Lamp Mode is Eco");
        add("mode without CR", "CR LAMPMODE", "000 ECO", unchanged);
        add("mode trailing byte", "CR LAMPMODE", "000 ECO\rX", unchanged);
        add("mode single char", "CR LAMPMODE", "0", unchanged);

        // Hours and temperatures decode at their exact length only.
        add("hours 6", "CR3", "00123\r", "     1 2 3   Hour Use");
        add("hours zero", "CR3", "00000\r", QString(12, u' ') + " Hour Use");
        add("hours inner zero", "CR3", "01020\r", "   1 0 2 0   Hour Use");
        add("hours 5", "CR3", "00123", unchanged);
        add("hours 7", "CR3", "000123\r", unchanged);
        add("temps 18", "CR6", "035.0 040.5 038.0\r", " 0 3 5 . 0 deg C 0 4 0 . 5 deg C 0 3 8 . 0 deg C ");
        add("temps 17", "CR6", "035.0 040.5 038.0", unchanged);
        add("temps 19", "CR6", "035.0 040.5 038.0\r\n", unchanged);

        add("not a status read", "C00", "00\r", unchanged);
        add("case matters", "cr0", "00\r", unchanged);
    }
    void shouldDecodeEachStatusRead()
    {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        QFETCH(QString, status);
        QCOMPARE(decodeStatus(command + '\r', renderTokens(reply).text, reply.size())
                     .value_or(QStringLiteral("<unchanged>")),
                 status);
    }
};

QTEST_GUILESS_MAIN(TestStatusDecoder)
#include "tst_status_decoder.moc"
