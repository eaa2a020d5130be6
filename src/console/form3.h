// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/console_host.h"

#include <QByteArray>
#include <QEventLoopLocker>
#include <QWidget>

class OuterHeight;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The command list console: picks an entry of the command catalogue, lets the
// operator fill in its "%" digits and sends it through the main window.
class Form3 : public QWidget
{
    Q_OBJECT
public:
    static constexpr int outerHeight = 2500; // twips, title bar and borders included
    static constexpr int clientWidth = 10005;

    Form3(ConsoleHost &main, QWidget *parent);

    void Form_Load();
    // An item of list 1, 2 or 3 (Combo1..Combo3) became the current selection.
    void Combo_Click(int number);
    void Text1_Change();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();

    // What SEND transmits: the command part of Text1 and a carriage return.
    const QByteArray &consoleCommand() const { return ConsoleCommand; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void placeBelowMainWindow();
    QComboBox *list(int number) const;
    void showList(int number);
    void takeSelection(const QComboBox *list);

    ConsoleHost &m_main;
    QPushButton *Command1;
    QPushButton *Command2;
    QPushButton *Command3;
    QPushButton *Command4;
    QPushButton *Command5;
    QLineEdit *Text1;
    QLabel *Label1;
    QLabel *Label2;
    QComboBox *Combo1;
    QComboBox *Combo2;
    QComboBox *Combo3;
    OuterHeight *m_outerHeight;
    QByteArray ConsoleCommand;
    // The console belongs to the main window, so Qt would end the program
    // with it; the program ends only when its last window has closed.
    QEventLoopLocker m_keepRunning;
};
