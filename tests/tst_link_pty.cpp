// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/private_settings_store.h"
#include "fakes/pty_pair.h"
#include "port_settings/port_mapping.h"
#include "serial/serial_comm_port.h"

#include <QSettings>
#include <QTest>

class TestLinkPty : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { QSettings(QStringLiteral("VORN"), QStringLiteral("VORN")).clear(); }

    void shouldMapPortNumbersToDevices_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("device");
        QTest::newRow("mapped") << 3 << "/dev/ttyUSB0";
        QTest::newRow("default first") << 1 << "/dev/ttyS0";
        QTest::newRow("default fifteenth") << 15 << "/dev/ttyS14";
        QTest::newRow("zero") << 0 << "";
        QTest::newRow("negative") << -4 << "";
    }
    void shouldMapPortNumbersToDevices()
    {
        QFETCH(int, number);
        QSettings store(QStringLiteral("VORN"), QStringLiteral("VORN"));
        store.setValue(QStringLiteral("Ports/COM3"), QStringLiteral("/dev/ttyUSB0"));
        store.setValue(QStringLiteral("Ports/COM0"), QStringLiteral("/dev/never"));
        QTEST(portDeviceName(qint16(number), store), "device");
    }

    void shouldPutExactlyTheCommandOnTheWire()
    {
        PtyPair pty;
        QVERIFY(pty.isValid());
        QSettings(QStringLiteral("VORN"), QStringLiteral("VORN"))
            .setValue(QStringLiteral("Ports/COM2"), pty.devicePath());
        SerialCommPort port;
        port.setSettings(QStringLiteral("19200,N,8,1"));
        port.setCommPort(2);
        QVERIFY2(port.setPortOpen(true), qPrintable(port.lastFailure().reason));
        port.setOutput(QByteArray("CF INPUT VIDEO\r"));
        QCOMPARE(pty.read(15, 2000), QByteArray("CF INPUT VIDEO\r"));
        QCOMPARE(pty.read(1, 100), QByteArray()); // nothing added
    }

    void shouldDeliverReceivedBytesThroughOnComm()
    {
        PtyPair pty;
        SerialCommPort port(nullptr, [&](qint16) { return pty.devicePath(); });
        QVERIFY(port.setPortOpen(true));
        QByteArray received;
        connect(&port, &CommPort::onComm, this, [&] {
            QCOMPARE(port.commEvent(), CommPort::comEvReceive);
            received += port.input();
        });
        const QByteArray reply("\x00\x06 00\r\xff", 7);
        pty.write(reply);
        QTRY_COMPARE_WITH_TIMEOUT(received, reply, 5000);
    }

    void shouldCarryPathAndReasonOfAFailedOpen_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("kind");
        QTest::newRow("missing device")
            << 1 << "/dev/tallis-no-such-device" << int(PortFailure::Kind::NotFound);
        QTest::newRow("no device for 0") << 0 << "" << int(PortFailure::Kind::NoDevice);
    }
    void shouldCarryPathAndReasonOfAFailedOpen()
    {
        QFETCH(int, number);
        QFETCH(QString, device);
        SerialCommPort port(nullptr, [&](qint16 n) { return n < 1 ? QString() : device; });
        port.setCommPort(qint16(number));
        QVERIFY(!port.setPortOpen(true));
        QVERIFY(!port.portOpen());
        QCOMPARE(port.lastFailure().device, device);
        QTEST(int(port.lastFailure().kind), "kind");
        QVERIFY(!port.lastFailure().reason.isEmpty());
    }

    void shouldTellAPortInUseByAnotherProgram()
    {
        PtyPair pty;
        SerialCommPort first(nullptr, [&](qint16) { return pty.devicePath(); });
        SerialCommPort second(nullptr, [&](qint16) { return pty.devicePath(); });
        QVERIFY(first.setPortOpen(true));
        QVERIFY(!second.setPortOpen(true));
        QCOMPARE(int(second.lastFailure().kind), int(PortFailure::Kind::Busy));
        QCOMPARE(second.lastFailure().device, pty.devicePath());
    }

    void shouldReopenALostDeviceAtTheNextTransmit()
    {
        auto pty = std::make_unique<PtyPair>();
        QString device = pty->devicePath();
        SerialCommPort port(nullptr, [&](qint16) { return device; });
        QVERIFY(port.setPortOpen(true));
        pty.reset();
        port.setOutput("C00\r");
        QTRY_VERIFY_WITH_TIMEOUT(!port.portOpen(), 5000);

        PtyPair back; // the adapter is plugged in again
        device = back.devicePath();
        port.setOutput("C01\r");
        QVERIFY(port.portOpen());
        QCOMPARE(back.read(4, 2000), QByteArray("C01\r"));
    }

    void shouldNotReopenAPortClosedOnPurpose()
    {
        PtyPair pty;
        SerialCommPort port(nullptr, [&](qint16) { return pty.devicePath(); });
        QVERIFY(port.setPortOpen(true));
        port.setPortOpen(false);
        port.setOutput("C00\r");
        QVERIFY(!port.portOpen());
        QCOMPARE(pty.read(1, 200), QByteArray());
    }

private:
    PrivateSettingsStore m_settings;
};

QTEST_MAIN(TestLinkPty)
#include "tst_link_pty.moc"
