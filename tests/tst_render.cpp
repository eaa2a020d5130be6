// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/render.h"

#include <QTest>

class TestRender : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Whole texts: the status decoder reads the characters back by position.
    void shouldRenderEveryTokenClass_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("ack");
        QTest::addColumn<bool>("cr");
        QTest::addColumn<bool>("space");

        QTest::newRow("empty") << QByteArray() << " " << false << false << false;
        QTest::newRow("power on command") << QByteArray("C00\r") << " C 0 0  [CR] " << false << true << false;
        QTest::newRow("lamp status command")
            << QByteArray("CR LAMPSTS\r") << " C R _ L A M P S T S  [CR] " << false << true << true;
        QTest::newRow("ack alone") << QByteArray("\x06") << "  [ACK] " << true << false << false;
        QTest::newRow("reply 00") << QByteArray("00\r") << " 0 0  [CR] " << false << true << false;
        QTest::newRow("line feed") << QByteArray("\n") << "  [LF]  " << false << false << false;
        QTest::newRow("tab and other controls")
            << QByteArray("\t\x01\x1f") << " ? ? ? " << false << false << false;
        QTest::newRow("printable bounds") << QByteArray("!z") << " ! z " << false << false << false;
        QTest::newRow("above z") << QByteArray("{|}~") << " ? ? ? ? " << false << false << false;
        QTest::newRow("nul, del and high bytes")
            << QByteArray("\x00\x7f\x80\xff", 4) << " ? ? ? ? " << false << false << false;
        QTest::newRow("lower case") << QByteArray("abc") << " a b c " << false << false << false;
        QTest::newRow("mixed") << QByteArray("\x06 x\r\n") << "  [ACK] _ x  [CR]  [LF]  " << true << true
                               << true;
    }
    void shouldRenderEveryTokenClass()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const Rendering r = renderTokens(bytes);
        QCOMPARE(r.text, expected);
        QTEST(r.ack, "ack");
        QTEST(r.carriageReturn, "cr");
        QTEST(r.space, "space");
    }
};

QTEST_GUILESS_MAIN(TestRender)
#include "tst_render.moc"
