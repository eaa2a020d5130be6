// SPDX-License-Identifier: GPL-3.0-or-later
// The windows on a real display server, started here: an X server, first
// bare, as in a kiosk session, then under openbox, with the heights read back
// from X as a user's screen shows them; or, with TALLIS_DISPLAY=wayland,
// weston, which places the windows itself.
#include "fakes/fake_panel.h"
#include "fakes/modal_watcher.h"
#include "fakes/private_settings_store.h"
#include "main/desktop_identity.h"
#include "panel/history_window.h"
#include "panel/hold_button.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Wide: a busy machine may take a while to frame a window; nothing here measures speed.
constexpr int kFramedMs = 30000;

// The X server and the window manager go with this test, however it ends.
void endWithParent()
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}

bool onWayland()
{
    return QGuiApplication::platformName() == "wayland"_L1;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Client height plus the frame the window manager put around it; 0 while unframed.
// On Wayland the frame is the one Qt draws itself.
int outerHeight(const QWidget *window)
{
    if (onWayland())
        return window->windowHandle()->isExposed() ? window->frameGeometry().height() : 0;
    const QString id = QString::number(window->winId());
    const QStringList extents =
        run(u"xprop"_s, {u"-id"_s, id, u"_NET_FRAME_EXTENTS"_s}).section(u'=', 1).split(u',');
    const QString client = run(u"xwininfo"_s, {u"-id"_s, id}).section(u"Height:"_s, 1).section(u'\n', 0, 0);
    return extents.size() != 4 ? 0 : client.toInt() + extents[2].toInt() + extents[3].toInt();
}

// Ctrl with a key, from the X server where there is one; a Wayland
// compositor takes input from its own devices only.
void pressCtrl(QWidget *window, Qt::Key key)
{
    if (onWayland())
        return QTest::keyClick(window->windowHandle(), key, Qt::ControlModifier);
    const QString id = QString::number(window->winId());
    run(u"xdotool"_s,
        {u"windowfocus"_s, u"--sync"_s, id, u"key"_s, u"ctrl+"_s + QKeySequence(key).toString().toLower()});
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
        const bool placed = !onWayland(); // a Wayland compositor places every window itself
        FakePanel p(FakePanel::Line::Closed);
        p.form.Form_Load();
        const QRect screen = p.form.screen()->availableGeometry();
        QVERIFY(!placed || (firstStart.center() - screen.center()).manhattanLength() <= 2);

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
        QVERIFY(!placed || (p.dialog()->frameGeometry().center() - main.center()).manhattanLength() <= 2);
        p.form.Command74_Click();
        QVERIFY(!placed || p.console()->frameGeometry().topLeft() == main.bottomLeft() + QPoint(0, 1));
        QCOMPARE(accessibleName(control(p.dialog(), u"Text1"_s)), u"OTHER"_s);
        for (QWidget *window : QList<QWidget *>{&p.form, p.dialog(), p.console()}) {
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(window);
            QCOMPARE(tree->role(), window == p.dialog() ? QAccessible::Dialog : QAccessible::Window);
            // Fields are named; the panel's decorative lines are left out.
            for (QWidget *field : window->findChildren<QWidget *>(QRegularExpression(u"^(Text|Combo)\\d$"_s)))
                QVERIFY(field->window() != window || !accessibleName(field).isEmpty());
            for (int i = 0; i < tree->childCount(); ++i)
                QVERIFY(!tree->child(i)->object()->objectName().startsWith("Line"_L1));
            for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
                if (button->window() != window)
                    continue;
                QVERIFY2(button->text().isEmpty() || captionFits(button), qPrintable(button->objectName()));
                QVERIFY(!accessibleName(button).isEmpty());
            }
            for (QWidget *frame : window->findChildren<QWidget *>(QRegularExpression(u"^Frame\\d+$"_s))) {
                QVERIFY(frame->window() != window ||
                        (!title(frame).isEmpty() && accessibleName(frame) == title(frame) &&
                         QAccessible::queryAccessibleInterface(frame)->role() == QAccessible::Grouping));
            }
        }
    }

    void shouldKeepTheOuterHeightsUnderAWindowManager()
    {
        if (!onWayland())
            startWindowManager();
        QSettings(u"VORN"_s, u"VORN"_s).setValue(u"StartUP/ComPort"_s, u"1"_s);
        FakePanel p(FakePanel::Line::Closed);
        p.form.Form_Load();
        p.form.show();
        QTRY_COMPARE_WITH_TIMEOUT(outerHeight(&p.form), qRound(Form1::compactHeight / 15.0), kFramedMs);
        for (const int twips : {Form1::expandedHeight, Form1::compactHeight}) {
            pressCtrl(&p.form, Qt::Key_H);
            QTRY_COMPARE_WITH_TIMEOUT(outerHeight(&p.form), qRound(twips / 15.0), kFramedMs);
        }
        p.form.Command74_Click();
        QTRY_COMPARE_WITH_TIMEOUT(outerHeight(p.console()), qRound(Form3::outerHeight / 15.0), kFramedMs);
    }

    // Space on an arrow, held about a second with the X server repeating the
    // key, sends what the mouse button held as long sends; the focus leaving
    // the arrow lets go.
    void shouldHoldAnArrowWithTheSpaceBarAsWithTheMouse()
    {
        if (onWayland())
            QSKIP("A Wayland compositor takes input from its own devices only");
        FakePanel p;
        p.form.show();
        p.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.form));
        const QString id = QString::number(p.form.winId());
        p.button(1)->setFocus();
        const QPoint centre = p.button(1)->mapTo(&p.form, p.button(1)->rect().center());
        auto *arrow = qobject_cast<HoldButton *>(p.button(1));
        QElapsedTimer clock;
        qint64 held = 0; // as the panel saw it, from press to release
        connect(arrow, &HoldButton::mouseDown, this, [&] { clock.start(); });
        connect(arrow, &HoldButton::mouseUp, this, [&] { held = clock.elapsed(); });
        // The sends beyond one per 100 ms held: the X server and a busy machine
        // may hand the panel the two holds a little longer or shorter.
        const auto hold = [&](const QStringList &press, const QStringList &release) {
            p.port->written.clear();
            held = 0;
            QProcess xdotool;
            xdotool.start(u"xdotool"_s, press + QStringList{u"sleep"_s, u"1"_s} + release);
            const bool done = QTest::qWaitFor(
                [&] { return xdotool.state() == QProcess::NotRunning && p.form.repeatKey() == 0; },
                kFramedMs);
            return done && held > 500 ? double(p.port->written.count("C09\r")) - held / 100.0 : qQNaN();
        };
        const double keys = hold({u"keydown"_s, u"space"_s}, {u"keyup"_s, u"space"_s});
        const double mouse = hold({u"mousemove"_s, u"--window"_s, id, QString::number(centre.x()),
                                   QString::number(centre.y()), u"mousedown"_s, u"1"_s},
                                  {u"mouseup"_s, u"1"_s});
        QVERIFY2(qAbs(keys - mouse) <= 1, qPrintable(u"%1 by keys, %2 by mouse"_s.arg(keys).arg(mouse)));
        p.port->written.clear();
        QTest::keyPress(p.button(1), Qt::Key_Space);
        p.button(2)->setFocus();
        QCOMPARE(std::pair(p.port->written, p.form.repeatKey()), std::pair("C09\r"_ba, quint8(0)));
    }

    // Tab, Space, Ctrl+H and Ctrl+L reach every function; assistive technology
    // finds each part by its role and name and reads the views; the desktop
    // knows the window by its entry and icon.
    void shouldServeTheKeyboardAScreenReaderAndTheDesktop()
    {
        FakePanel p;
        p.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.form));
        QCOMPARE(QGuiApplication::desktopFileName(), kDesktopId);
        QVERIFY(!p.form.windowIcon().pixmap(32).isNull());
        const QSettings entry(QStringLiteral(TALLIS_DESKTOP_ENTRY), QSettings::IniFormat);
        QVERIFY(onWayland() ||
                run(u"xprop"_s, {u"-id"_s, QString::number(p.form.winId()), u"WM_CLASS"_s})
                    .endsWith(u", \"%1\"\n"_s.arg(entry.value("Desktop Entry/StartupWMClass").toString())));
        QVERIFY(p.form.accessibleDescription().contains(QRegularExpression(u"Ctrl\\+H.+Ctrl\\+L"_s)));

        // The compact window's Tab skips the buttons it cuts off, and finds them again, in their place.
        const auto tabOrder = [&p] { // twice round the focus chain
            QWidgetList order;
            for (int i = 0; i < 2 * 71; ++i) {
                QTest::keyClick(p.form.windowHandle(), Qt::Key_Tab);
                if (!order.contains(p.form.focusWidget()))
                    order << p.form.focusWidget();
            }
            return order;
        };
        const QWidgetList compact = tabOrder();
        for (QWidget *focused : compact)
            QVERIFY(p.form.rect().contains(QRect(focused->mapTo(&p.form, QPoint()), focused->size())));
        pressCtrl(&p.form, Qt::Key_H);
        QTRY_VERIFY(p.form.heightTwips() == Form1::expandedHeight && p.form.height() > 500);
        QWidgetList expanded = tabOrder();
        QCOMPARE(expanded.size(), 71);
        expanded.removeIf([&](QWidget *w) { return !compact.contains(w); });
        std::ranges::rotate(expanded, std::ranges::find(expanded, compact.first()));
        QCOMPARE(expanded, compact);

        // An arrow's Press action sends once, as a click; the views then say what went and came.
        QAccessibleActionInterface *arrow =
            QAccessible::queryAccessibleInterface(p.button(1))->actionInterface();
        arrow->doAction(arrow->pressAction());
        QTRY_COMPARE(std::pair(p.port->written, p.form.repeatKey()), std::pair("C09\r"_ba, quint8(0)));
        QTest::mouseClick(p.button(44), Qt::LeftButton);
        p.port->receive("00\r");
        for (const auto &[view, title, text] :
             {std::tuple(11, "TxD", " C R 0  [CR] "), std::tuple(12, "RxD", " 0 0  [CR] "),
              std::tuple(25, "STATUS", " Power ON")}) {
            QAccessibleInterface *shown =
                QAccessible::queryAccessibleInterface(control(&p.form, u"Label%1"_s.arg(view)));
            QCOMPARE(shown->text(QAccessible::Name), QLatin1String(title));
            QCOMPARE(shown->textInterface()->text(0, shown->textInterface()->characterCount()),
                     QLatin1String(text));
        }

        // Ctrl+L and the menu of the panel's background open the one History, on the newest line.
        pressCtrl(&p.form, Qt::Key_L);
        QTRY_VERIFY(openWindow<HistoryWindow>(p.form));
        auto *history = openWindow<HistoryWindow>(p.form);
        auto *list = history->findChild<QListView *>();
        QVERIFY(list->currentIndex().data().toString().endsWith(u"sent CR0, reply 00 CR, Power ON"_s));
        // Ctrl+A and Ctrl+C copy every line, Save writes them.
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        if (!onWayland()) // a compositor without a seat keeps no clipboard
            QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(history->saveTo(m_scratch.filePath(u"history.txt"_s)), QString());
        QFile saved(m_scratch.filePath(u"history.txt"_s));
        const QString lines =
            saved.open(QIODevice::ReadOnly) ? QString::fromUtf8(saved.readAll()) : QString();
        QVERIFY(lines.endsWith(u"sent C09\n"_s + list->currentIndex().data().toString() + u'\n') &&
                lines.count(u'\n') == 2);
        QVERIFY(onWayland() || QGuiApplication::clipboard()->text() + u'\n' == lines);
        // A right click on an arrow is the arrow's: no menu there.
        for (QWidget *target : QWidgetList{p.button(1), &p.form}) {
            QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, {2, 2}, target->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(target, &menuEvent);
        }
        const QList<QMenu *> menus = p.form.findChildren<QMenu *>();
        QCOMPARE(menus.size(), 1);
        menus.first()->actions().first()->trigger();
        QCOMPARE(p.form.findChildren<HistoryWindow *>(), QList<HistoryWindow *>{history});
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

// weston on a socket of its own, in a runtime directory of its own.
void startWeston(QProcess &weston)
{
    static const QTemporaryDir runtime;
    const QString socket = u"tallis-%1"_s.arg(::getpid());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    weston.start(u"weston"_s, {u"--backend=headless-backend.so"_s, u"--socket="_s + socket,
                               u"--idle-time=0"_s, u"--width=1280"_s, u"--height=1024"_s});
    for (QDeadlineTimer deadline(10000); !QFile::exists(runtime.filePath(socket));
         weston.waitForFinished(50)) {
        if (deadline.hasExpired())
            qFatal("weston did not start");
    }
    qputenv("WAYLAND_DISPLAY", socket.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "wayland");
    // A headless compositor has no seat, and Qt's Wayland text input wants one.
    qputenv("QT_IM_MODULE", "none");
}

void startXvfb(QProcess &xvfb)
{
    xvfb.start(u"Xvfb"_s,
               {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x1024x24"_s, u"-nolisten"_s, u"tcp"_s});
    if (!xvfb.waitForReadyRead(10000))
        qFatal("Xvfb did not start");
    qputenv("DISPLAY", ":" + xvfb.readLine().trimmed());
    qputenv("QT_QPA_PLATFORM", "xcb");
}

int main(int argc, char *argv[])
{
    const PrivateSettingsStore settings;
    QProcess server;
    server.setChildProcessModifier(endWithParent);
    qgetenv("TALLIS_DISPLAY") == "wayland" ? startWeston(server) : startXvfb(server);
    int failed = 0;
    {
        QApplication app(argc, argv);
        applyDesktopIdentity();
        TestWindows test;
        failed = QTest::qExec(&test, argc, argv);
    }
    server.terminate();
    server.waitForFinished(5000);
    return failed;
}

#include "tst_windows.moc"
