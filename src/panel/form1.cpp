// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/form1.h"

#include "console/form3.h"
#include "panel/click_button.h"
#include "panel/hold_button.h"
#include "panel/panel_builder.h"
#include "panel/panel_table.h"
#include "port_settings/form2.h"
#include "port_settings/port_settings_store.h"
#include "port_settings/speed_settings.h"
#include "port_settings/stored_number.h"
#include "serial/render.h"
#include "serial/serial_comm_port.h"
#include "serial/status_decoder.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

constexpr int clientWidthTwips = 10380;
constexpr int toggleThreshold = 7000;
constexpr int verticalOffsetTwips = 1350;

QTimer *makeTimer(QObject *parent, const char *name, int interval)
{
    auto *timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(interval);
    return timer;
}

} // namespace

Form1::Form1(Module1 &module, CommPort *port, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      MSComm1(port ? port : new SerialCommPort(this)), Timer1(makeTimer(this, "Timer1", 200)),
      Timer2(makeTimer(this, "Timer2", 5000)), Timer4(makeTimer(this, "Timer4", 5500)), m_module(module)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("VORN   TALLIS  CONTROL  Ver.2.0"));
    MSComm1->setParent(this);
    MSComm1->setObjectName(QStringLiteral("MSComm1"));
    // The repeat cadence is the operator's feel of a held key: keep it exact.
    Timer1->setTimerType(Qt::PreciseTimer);

    const PanelControls controls = buildPanel(this);
    buttons = controls.buttons;
    Label11 = controls.Label11;
    Label12 = controls.Label12;
    Label25 = controls.Label25;
    Label27 = controls.Label27;
    Label28 = controls.Label28;
    Label29 = controls.Label29;
    Frame15 = controls.Frame15;

    setFixedWidth(qRound(clientWidthTwips / 15.0));
    setHeightTwips(compactHeight);

    connectButtons();
    connect(MSComm1, &CommPort::onComm, this, &Form1::MSComm1_OnComm);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(Timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);
    qApp->installEventFilter(this);
}

Form1::~Form1() = default;

Form2 *Form1::portDialog() const
{
    return m_form2;
}

Form3 *Form1::console() const
{
    return m_form3;
}

void Form1::connectButtons()
{
    for (const PanelButton &row : kPanelButtons) {
        QAbstractButton *button = buttons->button(row.number);
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
        MSComm1->setSettings(speedSettings(m_module.BaudCode));
        MSComm1->setCommPort(m_module.PortNumber);
        if (MSComm1->setPortOpen(true)) {
            Timer2->setInterval(1000);
            Timer4->setInterval(1200);
            const QRect screen = this->screen()->geometry();
            const int outer = qRound(compactHeight / 15.0);
            const int frameWidth = frameGeometry().width();
            move(screen.x() + (screen.width() - frameWidth) / 2,
                 screen.y() + (screen.height() - outer) / 2 - qRound(verticalOffsetTwips / 15.0));
            RepeatKey = 0;
            ReplyPending = 0;
            ReceiveBuffer.clear();
            return;
        }
    }
    // No usable port stored, or it would not open: the dialog is the way out.
    m_form2 = new Form2(m_module, *this);
    m_form2->exec();
}

void Form1::Hyouji(const QByteArray &text, quint8 mode)
{
    if (mode == 1) {
        MSComm1->setOutput(text);
        Label12->clear();
        ReceiveBuffer.clear();
        const Rendering sent = renderTokens(text);
        showLegends(sent.ack, sent.carriageReturn, sent.space);
        Label11->setText(sent.text);
        Timer2->start();
        ReplyPending = 1;
        Timer4->start();
        return;
    }
    const Rendering reply = renderTokens(text);
    showLegends(reply.ack, reply.carriageReturn, reply.space);
    Label12->setText(reply.text);
    if (const auto status = decodeStatus(m_module.PendingCommand, Label12->text(), text.size()))
        Label25->setText(*status);
}

void Form1::showLegends(bool ack, bool carriageReturn, bool space)
{
    if (ack)
        Label29->show();
    if (carriageReturn)
        Label28->show();
    if (space)
        Label27->show();
}

void Form1::MSComm1_OnComm()
{
    if (MSComm1->commEvent() != CommPort::comEvReceive)
        return;
    ReceiveBuffer += MSComm1->input();
    // A device that never stops talking must not grow the buffer without end:
    // keep the newest bytes, which are what the operator wants to see.
    if (ReceiveBuffer.size() > receiveLimit)
        ReceiveBuffer.remove(0, ReceiveBuffer.size() - receiveLimit);
    ReplyPending = 0;
    Hyouji(ReceiveBuffer, 2);
}

void Form1::Timer2_Timer()
{
    if (ReplyPending == 1)
        Label12->setText(QStringLiteral(" X X X X"));
    Timer2->stop();
    Label27->hide();
    Label28->hide();
    Label29->hide();
    ReceiveBuffer.clear();
    ReplyPending = 0;
}

void Form1::Timer4_Timer()
{
    Label11->clear();
    Label12->clear();
    Label25->clear();
    Timer4->stop();
}

void Form1::Command_Click(int number)
{
    const PanelButton *row = findPanelButton(number);
    if (!row)
        return;
    switch (row->action) {
    case Action::Click:
        m_module.PendingCommand = QByteArray(row->code) + '\r';
        Hyouji(m_module.PendingCommand, 1);
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
    Timer2->setInterval(150);
    Timer4->setInterval(200);
    Hyouji(m_module.PendingCommand, 1);
    Timer1->start();
}

void Form1::Cont_M_up()
{
    RepeatKey = 0;
    Timer1->stop();
    Timer2->stop();
    // Timer4 outlives the hold so the status view is cleared a while after the last send.
    Timer4->start();
    Label11->clear();
    Label12->clear();
    Timer2->setInterval(500);
    Timer4->setInterval(1000);
    ReceiveBuffer.clear();
}

void Form1::Timer1_Timer()
{
    if (RepeatKey == 0)
        return;
    m_module.PendingCommand = repeatCode(RepeatKey) + '\r';
    Hyouji(m_module.PendingCommand, 1);
    if (!Timer1->isActive())
        Timer1->start();
}

void Form1::Command16_Click()
{
    close();
    // The other windows go without running their handlers.
    for (QWidget *window : {static_cast<QWidget *>(m_form2.data()), static_cast<QWidget *>(m_form3.data())}) {
        if (window)
            window->hide();
    }
    QApplication::quit();
}

void Form1::Command33_Click()
{
    // Closing a closed port does nothing but forget a device that went away,
    // so it is not reopened behind the operator's back.
    MSComm1->setPortOpen(false);
    m_module.SavedBaudCode = m_module.BaudCode;
    m_module.SavedPortNumber = m_module.PortNumber;
    // A dialog closed a moment ago may still await its deletion: start afresh.
    if (!m_form2 || !m_form2->isVisible())
        m_form2 = new Form2(m_module, *this);
    m_form2->show();
    m_form2->raise();
    m_form2->activateWindow();
}

void Form1::Command74_Click()
{
    Frame15->hide();
    Timer2->setInterval(5000);
    Timer4->setInterval(5500);
    if (!m_form3 || !m_form3->isVisible())
        m_form3 = new Form3(*this);
    m_form3->show();
    m_form3->raise();
    m_form3->activateWindow();
}

void Form1::showAndRaise()
{
    show();
    raise();
    activateWindow();
}

int Form1::heightTwips() const
{
    return m_heightTwips;
}

// The title bar and borders are known only once the window is shown, so the
// height is applied again then.
void Form1::setHeightTwips(int twips)
{
    m_heightTwips = twips;
    const int decoration = isVisible() ? frameGeometry().height() - height() : 0;
    setFixedHeight(qRound(twips / 15.0) - decoration);
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_unloaded = false;
    setHeightTwips(m_heightTwips);
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
    if (keyCode == Qt::Key_H && (modifiers & shiftCtrlAlt) == Qt::ControlModifier)
        setHeightTwips(heightTwips() < toggleThreshold ? expandedHeight : compactHeight);
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    m_unloaded = true;
    event->accept();
}

void Form1::Form_QueryUnload()
{
    MSComm1->setPortOpen(false);
}
