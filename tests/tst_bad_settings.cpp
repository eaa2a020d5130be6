// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever an outside edit or a broken disk leaves in the settings file,
// start-up neither crashes nor blocks, and nothing stored is rewritten.
#include "fakes/fake_panel.h"
#include "fakes/modal_watcher.h"
#include "fakes/private_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QTest>

class TestBadSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldStartWhateverTheFileHolds_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("openedPort"); // 0: the dialog comes up instead

        QByteArray noise(4096, '\0');
        QRandomGenerator generator(7);
        for (char &c : noise)
            c = char(generator.bounded(256));
        const QByteArray group("[StartUP]\n");

        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("empty values") << group + "ComPort=\nBaudRate=\n" << 0;
        QTest::newRow("huge number") << group + "ComPort=" + QByteArray(100000, '9') + "\n" << 0;
        QTest::newRow("negative") << group + "ComPort=-1\nBaudRate=96\n" << 0;
        QTest::newRow("not a number") << group + "ComPort=COM3\n" << 0;
        QTest::newRow("binary noise") << noise << 0;
        QTest::newRow("binary value") << group + "ComPort=" + noise.left(64).replace('\n', 'x') + "\n" << 0;
        QTest::newRow("serialized variant") << group + "ComPort=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5)\n" << 0;
        QTest::newRow("unterminated group, read leniently") << QByteArray("[StartUP\nComPort=3\n") << 3;
        QTest::newRow("binary speed") << group + "ComPort=3\nBaudRate=\xff\xfe\n" << 3;
        QTest::newRow("comma in value") << group + "ComPort=3, 4\n" << 3;
    }
    void shouldStartWhateverTheFileHolds()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, openedPort);
        const QString path = settingsFile();
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();

        ModalWatcher watcher; // closes the dialog by its close box
        FakePanel p(FakePanel::Line::Closed);
        p.form.Form_Load();

        QCOMPARE(p.port->openedPort, qint16(openedPort));
        QCOMPARE(watcher.dialogCount, openedPort == 0 ? 1 : 0);
        QVERIFY(watcher.messages.isEmpty());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content); // read only, never rewritten
    }

    void shouldStartWhenTheFileCannotBeRead()
    {
        const QString path = settingsFile();
        QFile::remove(path);
        QVERIFY(QDir().mkpath(path)); // a folder where the file should be
        ModalWatcher watcher;
        FakePanel p(FakePanel::Line::Closed);
        p.form.Form_Load();
        QCOMPARE(watcher.dialogCount, 1);
        QVERIFY(!p.port->portOpen());
        QVERIFY(QDir().rmdir(path));
    }

private:
    QString settingsFile() const
    {
        return QSettings(QStringLiteral("VORN"), QStringLiteral("VORN")).fileName();
    }

    PrivateSettingsStore m_settings;
};

QTEST_MAIN(TestBadSettings)
#include "tst_bad_settings.moc"
