// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel_driver.h"

#include "form_rig.h"
#include "window_watch.h"

#include "console/form3.h"
#include "port_settings/form2.h"

#include <QAbstractButton>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr int portButton = 33;
constexpr int consoleButton = 74;
constexpr int stepTimeoutMs = 3000;

QPoint centreIn(const QWidget *window, const QWidget *child)
{
    return child->mapTo(window, child->rect().center());
}

bool xdotool(const QString &display, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(stepTimeoutMs) && process.exitCode() == 0;
}

QStringList clickAt(quint32 window, QPoint at)
{
    return {QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"),
            QString::number(window),     QString::number(at.x()),  QString::number(at.y()),
            QStringLiteral("click"),     QStringLiteral("1")};
}

// Clicks a button that opens a window, then the button that closes it.
bool openAndClose(const QString &display, WindowWatch &watch, quint32 mainWindow, QPoint opener,
                  QPoint closer)
{
    if (!xdotool(display, clickAt(mainWindow, opener)))
        return false;
    const auto opened = watch.waitFor(
        [&](const WindowEvent &e) { return e.kind == WindowEvent::Kind::Mapped && e.window != mainWindow; },
        stepTimeoutMs);
    if (!opened)
        return false;
    QThread::msleep(200); // drawn and ready for input, as an operator would find it
    if (!xdotool(display, clickAt(opened->window, closer)))
        return false;
    return watch
        .waitFor(
            [&](const WindowEvent &e) {
                return e.kind == WindowEvent::Kind::Unmapped && e.window == opened->window;
            },
            stepTimeoutMs)
        .has_value();
}

} // namespace

std::optional<ClickTargets> findClickTargets()
{
    FormRig rig;
    Form1 &form = rig.form();
    const QAbstractButton *port = rig.button(portButton);
    const QAbstractButton *console = rig.button(consoleButton);
    if (!rig.isReady() || !port || !console)
        return std::nullopt;
    ClickTargets targets;
    targets.portButton = centreIn(&form, port);
    targets.consoleButton = centreIn(&form, console);
    targets.expandedHeight = form.height(); // the rig shows it expanded

    form.Command33_Click();
    auto *dialog = form.findChild<Form2 *>();
    const QAbstractButton *cancel =
        dialog ? dialog->findChild<QAbstractButton *>(QStringLiteral("Command2")) : nullptr;
    if (!cancel)
        return std::nullopt;
    targets.dialogCancel = centreIn(dialog, cancel);
    dialog->hide();

    form.Command74_Click();
    auto *consoleWindow = form.findChild<Form3 *>();
    const QAbstractButton *close =
        consoleWindow ? consoleWindow->findChild<QAbstractButton *>(QStringLiteral("Command2")) : nullptr;
    if (!close)
        return std::nullopt;
    targets.consoleClose = centreIn(consoleWindow, close);
    consoleWindow->hide();
    return targets;
}

bool openAndCloseDialogs(const QString &display, WindowWatch &watch, quint32 mainWindow,
                         const ClickTargets &targets, QString *failure)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        *failure = QStringLiteral("xdotool not found (Debian package xdotool)");
        return false;
    }
    watch.take();
    const QStringList expand{QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                             QString::number(mainWindow), QStringLiteral("key"), QStringLiteral("ctrl+h")};
    const bool expanded = xdotool(display, expand) &&
                          watch
                              .waitFor(
                                  [&](const WindowEvent &e) {
                                      return e.kind == WindowEvent::Kind::Configured &&
                                             e.window == mainWindow && e.height >= targets.expandedHeight;
                                  },
                                  stepTimeoutMs)
                              .has_value();
    if (!expanded) {
        *failure = QStringLiteral("Ctrl+H did not expand the main window");
        return false;
    }
    QThread::msleep(100);
    if (!openAndClose(display, watch, mainWindow, targets.portButton, targets.dialogCancel)) {
        *failure = QStringLiteral("the port dialog did not open and close");
        return false;
    }
    if (!openAndClose(display, watch, mainWindow, targets.consoleButton, targets.consoleClose)) {
        *failure = QStringLiteral("the console did not open and close");
        return false;
    }
    return true;
}
