// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/module1.h"
#include "serial/comm_port.h"

#include <QPointer>
#include <QWidget>

class QButtonGroup;
class QFrame;
class QLabel;
class QTimer;
class Form2;
class Form3;

// The main window: the button panel, the traffic views and the serial line.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    static constexpr int compactHeight = 5780; // twips, outer height
    static constexpr int expandedHeight = 8100;
    static constexpr qsizetype receiveLimit = 32767; // bytes kept of a reply

    // Without a port, the window drives the real serial line.
    explicit Form1(Module1 &module, CommPort *port = nullptr, QWidget *parent = nullptr);
    ~Form1() override;

    void Form_Load();
    void Hyouji(const QByteArray &text, quint8 mode);
    void Cont_M_down();
    void Cont_M_up();

    void Command_Click(int number);
    void Command16_Click();
    void Command33_Click();
    void Command74_Click();
    void MSComm1_OnComm();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer4_Timer();

    Module1 &module() { return m_module; }
    const QByteArray &receiveBuffer() const { return ReceiveBuffer; }
    quint8 replyPending() const { return ReplyPending; }
    quint8 repeatKey() const { return RepeatKey; }
    Form2 *portDialog() const;
    Form3 *console() const;

    // Outer height in twips, title bar and borders included.
    int heightTwips() const;
    void setHeightTwips(int twips);

    // Closed by the operator or by END: the program is on its way out.
    bool isUnloaded() const { return m_unloaded; }

    // Shows the window and brings it to the front.
    void showAndRaise();

    // The controls the dialog and the console reach, under their own names.
    CommPort *MSComm1;
    QTimer *Timer1;
    QTimer *Timer2;
    QTimer *Timer4;
    QButtonGroup *buttons;
    QLabel *Label11;
    QLabel *Label12;
    QLabel *Label25;
    QLabel *Label27;
    QLabel *Label28;
    QLabel *Label29;
    QFrame *Frame15;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_KeyDown(int keyCode, Qt::KeyboardModifiers modifiers);
    void Form_QueryUnload();
    void connectButtons();
    void showLegends(bool ack, bool carriageReturn, bool space);

    Module1 &m_module;
    QByteArray ReceiveBuffer;
    quint8 ReplyPending = 0;
    quint8 RepeatKey = 0;
    QPointer<Form2> m_form2;
    QPointer<Form3> m_form3;
    int m_heightTwips = compactHeight;
    bool m_unloaded = false;
};
