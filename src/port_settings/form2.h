// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/module1.h"
#include "main/port_dialog_host.h"

#include <QDialog>
#include <QEventLoopLocker>

#include <functional>

class QButtonGroup;
class QLineEdit;
class QPushButton;

// The port settings dialog: picks the port number and speed of the main
// window's serial control, opens the port and keeps the choice for the next
// start. It lives only while it is open; every opening starts afresh.
class Form2 : public QDialog
{
    Q_OBJECT
public:
    Form2(Module1 &module, PortDialogHost &main, QWidget *parent);

    void Form_Load();
    // Option1 and Option2 pick the speed, Option3 to Option7 the ports 1 to 5.
    void Option_Click(int number);
    void Text1_Change();
    void Command1_Click(); // OK
    void Command2_Click(); // Cancel
    // OK or Cancel is opening the port.
    bool isOpening() const { return bool(m_opening); }
    void Command3_Click(); // "Ports…"

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void placeCentred();
    void showTargets();
    void applySpeed();
    void selectOption(int number);
    void openPort(const std::function<void()> &opened);
    void endOpening();
    void showRetry(const QString &detail);

    Module1 &m_module;
    PortDialogHost &m_main;
    QLineEdit *Text1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QButtonGroup *m_speedOptions;
    QButtonGroup *m_portOptions;
    // While OK or Cancel opens the port, neither acts again.
    QMetaObject::Connection m_opening;
    // A dialog belongs to the main window, so Qt would end the program with
    // it; the program ends only when its last window has closed.
    QEventLoopLocker m_keepRunning;
};
