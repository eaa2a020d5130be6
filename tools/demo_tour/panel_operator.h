// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <chrono>

class Form1;
class Form3;
class QAbstractButton;
class QLineEdit;

// Works the main window and its console the way an operator does: clicks,
// holds and releases, picks list items and types into the command box.
class PanelOperator
{
public:
    explicit PanelOperator(Form1 &form);

    void click(int number);
    // Presses a hold button and keeps it down for `duration`.
    void hold(int number, std::chrono::milliseconds duration);
    void release(int number);
    // Commands that went out during the last hold, and how long it lasted.
    int holdSends() const { return m_holdSends; }
    qint64 holdMs() const { return m_holdMs; }

    void openConsole();
    // Shows the console list `number` (1 basic, 2 expand, 3 expand read) and
    // picks its first item that starts with `item`.
    bool choose(int list, const QString &item);
    // Types `text` over `length` characters of the command box from `position`.
    void overtype(int position, int length, const QString &text);
    void send();
    void closeConsole();
    QString consoleText() const;

private:
    void sendMouse(int number, bool down);
    QAbstractButton *button(int number) const;
    Form3 *console() const;
    QAbstractButton *consoleButton(int number) const;
    QLineEdit *consoleText1() const;

    Form1 &m_form;
    QElapsedTimer m_holdClock;
    int m_holdSends = 0;
    qint64 m_holdMs = 0;
};

// Lets the panel run for `duration` of real time.
void runFor(std::chrono::milliseconds duration);
