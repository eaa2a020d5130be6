// SPDX-License-Identifier: GPL-3.0-or-later
// The windows on a real X server, started here: first bare, as in a kiosk
// session, then under openbox, with the heights read back from X as a
// user's screen shows them.
#include "fakes/fake_panel.h"
#include "fakes/modal_watcher.h"
#include "fakes/private_settings_store.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

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
    void init() { QSettings(u"VORN"_s, u"VORN"_s).clear(); }

    void shouldPlaceTheDialogAndTheConsoleWithoutAWindowManager()
    {
        ModalWatcher watcher;
        QRect firstStart;
        watcher.onDialog = [&](QDialog *dialog) {
            firstStart = dialog->frameGeometry();
            dialog->close();
        };
        FakePanel p(FakePanel::Line::Closed);
        p.form.Form_Load();
        const QRect screen = p.form.screen()->availableGeometry();
        QVERIFY((firstStart.center() - screen.center()).manhattanLength() <= 2);

        p.form.show();
        p.form.move(10, 20);
        p.form.Command33_Click();
        const QRect main = p.form.frameGeometry();
        QVERIFY((p.dialog()->frameGeometry().center() - main.center()).manhattanLength() <= 2);
        p.form.Command74_Click();
        QCOMPARE(p.console()->frameGeometry().topLeft(), main.bottomLeft() + QPoint(0, 1));
        p.console()->close();
        p.form.move(10, screen.bottom() - main.height());
        p.form.Command74_Click();
        QCOMPARE(p.console()->frameGeometry().bottom(), p.form.frameGeometry().top() - 1);
    }

    void shouldKeepTheOuterHeightsUnderAWindowManager()
    {
        startWindowManager();
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

    void cleanupTestCase()
    {
        m_openbox.terminate();
        m_openbox.waitForFinished(5000);
    }

private:
    void startWindowManager()
    {
        m_openbox.start(u"openbox"_s, {});
        QTRY_VERIFY_WITH_TIMEOUT(
            run(u"xprop"_s, {u"-root"_s, u"_NET_SUPPORTING_WM_CHECK"_s}).contains(u"window id"_s), 10000);
    }

    QProcess m_openbox;
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
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestWindowManager test;
    const int failed = QTest::qExec(&test, argc, argv);
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    return failed;
}

#include "tst_window_manager.moc"
