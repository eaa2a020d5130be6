// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/console_host.h"
#include "main/module1.h"
#include "main/port_dialog_host.h"
#include "panel/panel_views.h"
#include "serial/comm_port.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QButtonGroup;
class QFrame;
class QTimer;
class OuterHeight;
class Form2;
class Form3;
class HistoryWindow;
class Transaction;
class TransactionHistory;

// The main window: the button panel, the traffic views and the serial line.
class Form1 : public QWidget, public PortDialogHost, public ConsoleHost
{
    Q_OBJECT
public:
    static constexpr int compactHeight = 5780; // twips, outer height
    static constexpr int expandedHeight = 8100;

    // Without a port, the window drives the real serial line.
    explicit Form1(Module1 &module, CommPort *port = nullptr, QWidget *parent = nullptr);
    ~Form1() override;

    void Form_Load();
    void Cont_M_down();
    void Cont_M_up();

    void Command_Click(int number);
    void Command16_Click();
    void Command33_Click();
    void Command74_Click();
    void Timer1_Timer();

    // Opens the window "History", or brings it to the front.
    void openHistory();

    Module1 &module() { return m_module; }
    Transaction &transaction() { return *m_transaction; }
    quint8 repeatKey() const { return RepeatKey; }

    // Outer height in twips, title bar and borders included.
    int heightTwips() const;
    void setHeightTwips(int twips);

    CommPort &commPort() override;
    bool isUnloaded() const override { return m_unloaded; }
    // Shows the window and brings it to the front.
    void showAndRaise() override;
    void transmit(const QByteArray &command) override;
    void setTransactionIntervals(int noReply, int clearViews) override;
    void setStatusLineVisible(bool visible) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void Form_KeyDown(int keyCode, Qt::KeyboardModifiers modifiers);
    void Form_QueryUnload();
    void connectButtons();
    void toggleHeight();
    void focusOnlyWhatShows();

    Module1 &m_module;
    QTimer *Timer1;
    QButtonGroup *m_buttons;
    QFrame *Frame15;
    std::unique_ptr<PanelViews> m_views;
    Transaction *m_transaction;
    quint8 RepeatKey = 0;
    QPointer<Form2> m_form2;
    QPointer<Form3> m_form3;
    TransactionHistory *m_history;
    QPointer<HistoryWindow> m_historyWindow;
    OuterHeight *m_outerHeight;
    bool m_unloaded = false;
};
