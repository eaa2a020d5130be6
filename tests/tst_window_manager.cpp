// SPDX-License-Identifier: GPL-3.0-or-later
// The windows under a real window manager: Xvfb and openbox, started here,
// and the heights read back from X as a user's screen shows them.
#include "fakes/fake_panel.h"
#include "fakes/private_settings_store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

int number(const QString &text, const QString &pattern)
{
    return QRegularExpression(pattern).match(text).captured(1).toInt();
}

// Client height plus the frame the window manager put around it; 0 while unframed.
int outerHeight(const QWidget *window)
{
    const QString id = QString::number(window->winId());
    const QStringList extents = run(u"xprop"_s, {u"-id"_s, id, u"_NET_FRAME_EXTENTS"_s})
                                    .section(u'=', 1)
                                    .split(u',', Qt::SkipEmptyParts);
    if (extents.size() != 4)
        return 0;
    const int client = number(run(u"xwininfo"_s, {u"-id"_s, id}), uR"(Height: (\d+))"_s);
    return client + extents[2].trimmed().toInt() + extents[3].trimmed().toInt();
}

int pixels(int twips)
{
    return qRound(twips / 15.0);
}

} // namespace

class TestWindowManager : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldKeepTheOuterHeightsFromTheStart()
    {
        QSettings(u"VORN"_s, u"VORN"_s).setValue(u"StartUP/ComPort"_s, u"1"_s);
        FakePanel p(FakePanel::Line::Closed);
        p.form.Form_Load();
        QVERIFY(p.port->portOpen());
        p.form.show();
        QTRY_COMPARE_WITH_TIMEOUT(outerHeight(&p.form), pixels(Form1::compactHeight), 5000);
        const QString id = QString::number(p.form.winId());
        for (const int twips : {Form1::expandedHeight, Form1::compactHeight}) {
            run(u"xdotool"_s, {u"windowactivate"_s, u"--sync"_s, id, u"key"_s, u"ctrl+h"_s});
            QTRY_COMPARE_WITH_TIMEOUT(outerHeight(&p.form), pixels(twips), 5000);
        }
        p.form.Command74_Click();
        QTRY_COMPARE_WITH_TIMEOUT(outerHeight(p.console()), pixels(Form3::outerHeight), 5000);
    }
};

int main(int argc, char *argv[])
{
    const PrivateSettingsStore settings;
    QProcess xvfb;
    xvfb.start(u"Xvfb"_s,
               {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x1024x24"_s, u"-nolisten"_s, u"tcp"_s});
    if (!xvfb.waitForReadyRead(10000))
        qFatal("Xvfb did not start");
    qputenv("DISPLAY", ":" + xvfb.readLine().trimmed());
    QProcess openbox;
    openbox.start(u"openbox"_s, {});
    QElapsedTimer clock;
    clock.start();
    while (!run(u"xprop"_s, {u"-root"_s, u"_NET_SUPPORTING_WM_CHECK"_s}).contains(u"window id"_s)) {
        if (clock.elapsed() > 10000)
            qFatal("openbox did not start");
        QThread::msleep(50);
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestWindowManager test;
    const int failed = QTest::qExec(&test, argc, argv);
    for (QProcess *process : {&openbox, &xvfb}) {
        process->terminate();
        process->waitForFinished(5000);
    }
    return failed;
}

#include "tst_window_manager.moc"
