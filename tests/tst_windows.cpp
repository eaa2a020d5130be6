// SPDX-License-Identifier: GPL-3.0-or-later
// The three windows on a real X server, started here: first bare, as in a
// kiosk session, then under openbox, with the heights read back from X as a
// user's screen shows them.
#include "fakes/fake_panel.h"
#include "fakes/modal_watcher.h"
#include "fakes/private_settings_store.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

using namespace Qt::StringLiterals;

namespace {

// Wide: a busy machine may take a while to frame a window; nothing here measures speed.
constexpr int kFramedMs = 30000;

// The X server and the window manager go with this test, however it ends.
void endWithParent()
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Client height plus the frame the window manager put around it; 0 while unframed.
int outerHeight(const QWidget *window)
{
    const QString id = QString::number(window->winId());
    const QStringList extents =
        run(u"xprop"_s, {u"-id"_s, id, u"_NET_FRAME_EXTENTS"_s}).section(u'=', 1).split(u',');
    const QString client = run(u"xwininfo"_s, {u"-id"_s, id}).section(u"Height:"_s, 1).section(u'\n', 0, 0);
    return extents.size() != 4 ? 0 : client.toInt() + extents[2].toInt() + extents[3].toInt();
}

QString accessibleName(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// What the button's style leaves for the caption, in the font it has.
bool captionFits(const QAbstractButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool radio = qobject_cast<const QRadioButton *>(button);
    const QRect room = button->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents, &option, button);
    const QSize caption = QFontMetrics(button->font()).size(Qt::TextShowMnemonic, button->text());
    return caption.width() <= room.width() && caption.height() <= room.height();
}

// A frame's title: the texts it holds, as a sighted operator reads them.
QString title(const QWidget *frame)
{
    if (const auto *box = qobject_cast<const QGroupBox *>(frame))
        return box->title();
    QStringList texts;
    for (const QLabel *label : frame->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
        texts << label->text();
    return texts.join(u' ').simplified();
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { QSettings(u"VORN"_s, u"VORN"_s).clear(); }

    void shouldPlaceFitAndNameTheWindowsWithoutAWindowManager()
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
        p.module.PortNumber = 2;
        p.form.Command33_Click();
        // The last choice sets the port, also a click on the option already chosen.
        QTest::keyClicks(control<QLineEdit>(p.dialog(), u"Text1"_s), u"9"_s);
        QCOMPARE(p.module.PortNumber, qint16(9));
        QTest::mouseClick(control<QRadioButton>(p.dialog(), u"Option4"_s), Qt::LeftButton);
        QCOMPARE(p.module.PortNumber, qint16(2));
        const QRect main = p.form.frameGeometry();
        QVERIFY((p.dialog()->frameGeometry().center() - main.center()).manhattanLength() <= 2);
        p.form.Command74_Click();
        QCOMPARE(p.console()->frameGeometry().topLeft(), main.bottomLeft() + QPoint(0, 1));
        for (QWidget *window : QList<QWidget *>{&p.form, p.dialog(), p.console()}) {
            for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
                if (button->window() != window)
                    continue;
                QVERIFY2(button->text().isEmpty() || captionFits(button), qPrintable(button->objectName()));
                QVERIFY(!accessibleName(button).isEmpty());
            }
            for (QWidget *frame : window->findChildren<QWidget *>(QRegularExpression(u"^Frame\\d+$"_s))) {
                QVERIFY(frame->window() != window ||
                        (!title(frame).isEmpty() && accessibleName(frame) == title(frame)));
            }
        }
    }

    void shouldKeepTheOuterHeightsUnderAWindowManager()
    {
        startWindowManager();
        QSettings(u"VORN"_s, u"VORN"_s).setValue(u"StartUP/ComPort"_s, u"1"_s);
        FakePanel p(FakePanel::Line::Closed);
        p.form.Form_Load();
        p.form.show();
        QTRY_COMPARE_WITH_TIMEOUT(outerHeight(&p.form), qRound(Form1::compactHeight / 15.0), kFramedMs);
        const QString id = QString::number(p.form.winId());
        for (const int twips : {Form1::expandedHeight, Form1::compactHeight}) {
            run(u"xdotool"_s, {u"windowactivate"_s, u"--sync"_s, id, u"key"_s, u"ctrl+h"_s});
            QTRY_COMPARE_WITH_TIMEOUT(outerHeight(&p.form), qRound(twips / 15.0), kFramedMs);
        }
        p.form.Command74_Click();
        QTRY_COMPARE_WITH_TIMEOUT(outerHeight(p.console()), qRound(Form3::outerHeight / 15.0), kFramedMs);
    }

    void cleanupTestCase()
    {
        m_openbox.terminate();
        m_openbox.waitForFinished(5000);
    }

private:
    void startWindowManager()
    {
        m_openbox.setChildProcessModifier(endWithParent);
        // It names itself on the root window before it can frame a window; its
        // start-up command runs once it can.
        const QString ready = m_scratch.filePath(u"ready"_s);
        m_openbox.start(u"openbox"_s, {u"--startup"_s, u"touch "_s + ready});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ready), kFramedMs);
    }

    QProcess m_openbox;
    QTemporaryDir m_scratch;
};

int main(int argc, char *argv[])
{
    const PrivateSettingsStore settings;
    QProcess xvfb;
    xvfb.setChildProcessModifier(endWithParent);
    xvfb.start(u"Xvfb"_s,
               {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x1024x24"_s, u"-nolisten"_s, u"tcp"_s});
    if (!xvfb.waitForReadyRead(10000))
        qFatal("Xvfb did not start");
    qputenv("DISPLAY", ":" + xvfb.readLine().trimmed());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestWindows test;
    const int failed = QTest::qExec(&test, argc, argv);
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    return failed;
}

#include "tst_windows.moc"
