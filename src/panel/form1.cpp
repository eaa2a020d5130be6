// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/form1.h"

#include "console/form3.h"
#include "main/accessible_role.h"
#include "main/outer_height.h"
#include "panel/click_button.h"
#include "panel/history_window.h"
#include "panel/hold_button.h"
#include "panel/panel_builder.h"
#include "panel/panel_table.h"
#include "port_settings/form2.h"
#include "port_settings/port_mapping.h"
#include "port_settings/port_settings_store.h"
#include "port_settings/speed_settings.h"
#include "port_settings/stored_number.h"
#include "serial/routing_comm_port.h"
#include "serial/transaction.h"
#include "serial/transaction_history.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

constexpr int clientWidthTwips = 10380;
constexpr int toggleThreshold = 7000;
constexpr int verticalOffsetTwips = 1350;

} // namespace

Form1::Form1(Module1 &module, CommPort *port, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_module(module), Timer1(new QTimer(this)), m_history(new TransactionHistory(this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("VORN   TALLIS  CONTROL  Ver.2.0"));
    setAccessibleRole(this, QAccessible::Window);
    setAccessibleDescription(QStringLiteral(
        "Ctrl+H shows or hides the lower part of the panel: the TxD and RxD views, the status reads, "
        "COMMANDTABLE, COM and the STATUS line. Ctrl+L opens the History of commands and replies. "
        "Space holds an arrow as a mouse button does."));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    // The repeat cadence is the operator's feel of a held key: keep it exact.
    Timer1->setTimerType(Qt::PreciseTimer);

    const PanelControls controls = buildPanel(this);
    m_buttons = controls.buttons;
    Frame15 = controls.Frame15;
    m_views = std::make_unique<PanelViews>(controls);
    m_transaction = new Transaction(port ? port : new RoutingCommPort(&storedPortDevice), *m_views,
                                    m_module.PendingCommand, this);
    m_transaction->setRecorder(m_history);

    setFixedWidth(qRound(clientWidthTwips / 15.0));
    m_outerHeight = new OuterHeight(this, compactHeight);

    connectButtons();
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    qApp->installEventFilter(this);
}

Form1::~Form1() = default;

void Form1::connectButtons()
{
    for (const PanelButton &row : kPanelButtons) {
        QAbstractButton *button = m_buttons->button(row.number);
        if (row.action != Action::Hold) {
            connect(qobject_cast<ClickButton *>(button), &ClickButton::activated, this,
                    [this, number = row.number] { Command_Click(number); });
            continue;
        }
        auto *hold = qobject_cast<HoldButton *>(button);
        connect(hold, &HoldButton::mouseDown, this, [this, &row] {
            RepeatKey = row.repeatKey;
            m_module.PendingCommand = QByteArray(row.code) + '\r';
            Cont_M_down();
        });
        connect(hold, &HoldButton::mouseUp, this, &Form1::Cont_M_up);
    }
}

void Form1::Form_Load()
{
    setHeightTwips(compactHeight);
    const std::optional<qint16> port = storedPortNumber(PortSettingsStore::readComPort());
    m_module.PortNumber = port.value_or(0);
    std::optional<quint8> baud;
    if (m_module.PortNumber >= 1 && m_module.PortNumber <= 15)
        baud = storedBaudCode(PortSettingsStore::readBaudRate());
    if (baud) {
        m_module.BaudCode = *baud == 96 ? 96 : 192;
        CommPort &MSComm1 = commPort();
        MSComm1.setSettings(speedSettings(m_module.BaudCode));
        MSComm1.setCommPort(m_module.PortNumber);
        // No window shows yet. A server on the network answers within its
        // deadline, and meanwhile the event loop runs without taking input.
        if (MSComm1.setPortOpen(true)) {
            m_transaction->setIntervals(1000, 1200);
            const QRect screen = this->screen()->geometry();
            const int outer = qRound(compactHeight / 15.0);
            const int frameWidth = frameGeometry().width();
            move(screen.x() + (screen.width() - frameWidth) / 2,
                 screen.y() + (screen.height() - outer) / 2 - qRound(verticalOffsetTwips / 15.0));
            RepeatKey = 0;
            m_transaction->reset();
            return;
        }
    }
    // No usable port stored, or it would not open: the dialog is the way out.
    m_form2 = new Form2(m_module, *this, this);
    m_form2->exec();
}

void Form1::Command_Click(int number)
{
    const PanelButton *row = findPanelButton(number);
    if (!row)
        return;
    switch (row->action) {
    case Action::Click:
        m_module.PendingCommand = QByteArray(row->code) + '\r';
        m_transaction->Hyouji(m_module.PendingCommand, 1);
        break;
    case Action::End:
        Command16_Click();
        break;
    case Action::Port:
        Command33_Click();
        break;
    case Action::Console:
        Command74_Click();
        break;
    case Action::Hold: // acts on mouse down and up only
        break;
    }
}

void Form1::Cont_M_down()
{
    Timer1->setInterval(100);
    m_transaction->setIntervals(150, 200);
    m_transaction->Hyouji(m_module.PendingCommand, 1);
    Timer1->start();
}

void Form1::Cont_M_up()
{
    RepeatKey = 0;
    Timer1->stop();
    m_transaction->endRepeat();
    m_transaction->setIntervals(500, 1000);
}

void Form1::Timer1_Timer()
{
    // A tick never opens a port: over a line that is closed, lost or still
    // connecting, a held arrow sends nothing.
    if (RepeatKey == 0 || !commPort().portOpen())
        return;
    m_module.PendingCommand = repeatCode(RepeatKey) + '\r';
    m_transaction->Hyouji(m_module.PendingCommand, 1);
    if (!Timer1->isActive())
        Timer1->start();
}

void Form1::Command16_Click()
{
    close();
    // The other windows go without running their handlers.
    for (QWidget *window : {static_cast<QWidget *>(m_form2.data()), static_cast<QWidget *>(m_form3.data()),
                            static_cast<QWidget *>(m_historyWindow.data())}) {
        if (window)
            window->hide();
    }
    QApplication::quit();
}

void Form1::Command33_Click()
{
    // Closing a closed port does nothing but forget a line that went away,
    // so it is not reopened behind the operator's back. An open under way
    // while the dialog shows is the dialog's own, and goes on.
    if (!m_form2 || !m_form2->isOpening())
        commPort().setPortOpen(false);
    m_module.SavedBaudCode = m_module.BaudCode;
    m_module.SavedPortNumber = m_module.PortNumber;
    // A dialog closed a moment ago may still await its deletion: start afresh.
    if (!m_form2 || !m_form2->isVisible())
        m_form2 = new Form2(m_module, *this, this);
    m_form2->show();
    m_form2->raise();
    m_form2->activateWindow();
}

void Form1::Command74_Click()
{
    Frame15->hide();
    m_transaction->setIntervals(5000, 5500);
    if (!m_form3 || !m_form3->isVisible())
        m_form3 = new Form3(*this, this);
    m_form3->show();
    m_form3->raise();
    m_form3->activateWindow();
}

CommPort &Form1::commPort()
{
    return m_transaction->port();
}

void Form1::transmit(const QByteArray &command)
{
    m_transaction->transmitAfresh(command);
}

void Form1::setTransactionIntervals(int noReply, int clearViews)
{
    m_transaction->setIntervals(noReply, clearViews);
}

void Form1::setStatusLineVisible(bool visible)
{
    Frame15->setVisible(visible);
}

void Form1::showAndRaise()
{
    show();
    raise();
    activateWindow();
}

int Form1::heightTwips() const
{
    return m_outerHeight->twips();
}

void Form1::setHeightTwips(int twips)
{
    m_outerHeight->setTwips(twips);
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_unloaded = false;
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // Key presses reach the window first, before the focused control and
    // exactly once, whichever control has the focus.
    if (event->type() == QEvent::KeyPress && watched == static_cast<QObject *>(windowHandle())) {
        const auto *key = static_cast<QKeyEvent *>(event);
        Form_KeyDown(key->key(), key->modifiers());
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Form_KeyDown(int keyCode, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers shiftCtrlAlt = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if ((modifiers & shiftCtrlAlt) != Qt::ControlModifier)
        return;
    if (keyCode == Qt::Key_H)
        toggleHeight();
    else if (keyCode == Qt::Key_L)
        openHistory();
}

void Form1::toggleHeight()
{
    setHeightTwips(heightTwips() < toggleThreshold ? expandedHeight : compactHeight);
}

void Form1::openHistory()
{
    if (!m_historyWindow)
        m_historyWindow = new HistoryWindow(*m_history, this);
    m_historyWindow->show();
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
}

// The panel's own menu, on its background: what its keys do. A right button
// on a button is that button's (an arrow repeats), so no menu comes there.
void Form1::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Mouse &&
        qobject_cast<QAbstractButton *>(childAt(event->pos()))) {
        event->ignore();
        return;
    }
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *history = menu->addAction(QStringLiteral("History…"), this, &Form1::openHistory);
    history->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    QAction *full = menu->addAction(QStringLiteral("Full Height"), this, &Form1::toggleHeight);
    full->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    full->setCheckable(true);
    full->setChecked(heightTwips() >= toggleThreshold);
    menu->popup(event->globalPos());
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    focusOnlyWhatShows();
}

// The compact window cuts the lower buttons off: the keyboard must not walk
// onto them. Their place in the tab order stays for when they show again.
void Form1::focusOnlyWhatShows()
{
    for (QAbstractButton *button : m_buttons->buttons()) {
        const bool shows = rect().contains(QRect(button->mapTo(this, QPoint()), button->size()));
        button->setFocusPolicy(shows ? Qt::StrongFocus : Qt::NoFocus);
    }
    if (QWidget *focused = focusWidget(); focused && focused->focusPolicy() == Qt::NoFocus)
        focusNextChild();
}

void Form1::closeEvent(QCloseEvent *event)
{
    // First, so that a dialog whose open this close ends knows why.
    m_unloaded = true;
    Form_QueryUnload();
    event->accept();
}

void Form1::Form_QueryUnload()
{
    commPort().setPortOpen(false);
}
