// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/form2.h"

#include "main/twips.h"
#include "port_settings/port_mapping.h"
#include "port_settings/port_settings_store.h"
#include "port_settings/ports_window.h"
#include "port_settings/speed_settings.h"
#include "port_settings/stored_number.h"
#include "serial/comm_port.h"
#include "serial/port_failure_text.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>

#include <utility>

namespace {

// One control of the dialog; twips relative to its frame, or to the client area.
struct Control {
    int number;
    const char *caption;
    QRect twips;
};

constexpr QRect clientTwips(0, 0, 3105, 4005);
constexpr Control kFrames[] = {{1, "Baud Rate", {360, 240, 2415, 615}},
                               {2, "Com Port", {360, 1200, 1455, 2535}}};
constexpr Control kSpeedOptions[] = {{1, "9600", {120, 180, 1575, 375}}, {2, "19200", {1320, 240, 975, 255}}};
constexpr Control kPortOptions[] = {{3, "COM1", {180, 180, 1155, 315}},
                                    {4, "COM2", {180, 540, 1095, 255}},
                                    {5, "COM3", {180, 900, 975, 255}},
                                    {6, "COM4", {180, 1260, 1215, 255}},
                                    {7, "COM5", {180, 1620, 1335, 255}}};
constexpr QRect text1Twips(180, 2040, 375, 270);
constexpr QRect label1Twips(600, 2100, 615, 255);
// "Ports…" takes the free space under Cancel, one button's step below it.
constexpr Control kButtons[] = {{1, "OK", {2040, 1320, 735, 615}},
                                {2, "Cancel", {2040, 2160, 735, 615}},
                                {3, "Ports…", {2040, 3000, 735, 615}}};

// Option3 to Option7 stand for ports 1 to 5.
constexpr int firstPortOption = 3;

template <typename Widget> Widget *place(Widget *widget, const QString &name, const QRect &twips)
{
    widget->setObjectName(name);
    widget->setGeometry(fromTwips(twips));
    return widget;
}

QString numbered(const char *kind, int number)
{
    return QLatin1String(kind) + QString::number(number);
}

bool isUsablePort(qint16 number)
{
    return number != 0 && number <= 15;
}

} // namespace

Form2::Form2(Module1 &module, PortDialogHost &main, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_module(module), m_main(main), m_speedOptions(new QButtonGroup(this)),
      m_portOptions(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("  COM PORT"));
    setFixedSize(fromTwips(clientTwips).size());
    placeCentred();
    buildControls();

    // A click on the option already chosen is a choice too.
    connect(m_speedOptions, &QButtonGroup::idClicked, this, &Form2::Option_Click);
    connect(m_portOptions, &QButtonGroup::idClicked, this, &Form2::Option_Click);
    connect(Text1, &QLineEdit::textChanged, this, &Form2::Text1_Change);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    // Once the main window has closed, its port is no longer ours to open.
    Form_Load();
}

void Form2::buildControls()
{
    QGroupBox *frames[2];
    for (const Control &row : kFrames) {
        auto *frame = new QGroupBox(QLatin1String(row.caption), this);
        frame->setAccessibleName(frame->title());
        frames[row.number - 1] = place(frame, numbered("Frame", row.number), row.twips);
    }

    QList<QWidget *> tabOrder;
    Text1 = place(new QLineEdit(QStringLiteral("0"), frames[1]), QStringLiteral("Text1"), text1Twips);
    tabOrder << Text1;

    for (const Control &row : kSpeedOptions) {
        auto *option = new QRadioButton(QLatin1String(row.caption), frames[0]);
        m_speedOptions->addButton(place(option, numbered("Option", row.number), row.twips), row.number);
        tabOrder << option;
    }
    m_speedOptions->button(2)->setChecked(true);

    // No port is chosen until the operator or the load picks one.
    for (const Control &row : kPortOptions) {
        auto *option = new QRadioButton(QLatin1String(row.caption), frames[1]);
        m_portOptions->addButton(place(option, numbered("Option", row.number), row.twips), row.number);
        tabOrder << option;
    }
    showTargets();

    place(new QLabel(QStringLiteral("OTHER"), frames[1]), QStringLiteral("Label1"), label1Twips)
        ->setBuddy(Text1);

    QPushButton *buttons[3];
    for (const Control &row : kButtons) {
        auto *button = new QPushButton(QString::fromUtf8(row.caption), this);
        // Neither Enter nor Esc answers this dialog.
        button->setAutoDefault(false);
        button->setDefault(false);
        buttons[row.number - 1] = place(button, numbered("Command", row.number), row.twips);
        tabOrder << button;
    }
    Command1 = buttons[0];
    Command2 = buttons[1];
    Command3 = buttons[2];

    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void Form2::Form_Load()
{
    const qint16 port = m_module.PortNumber;
    if (port >= 1 && port <= 5)
        selectOption(port + firstPortOption - 1);
    applySpeed();
    // A typed digit replaces the "0".
    Text1->setSelection(0, 1);
}

void Form2::Option_Click(int number)
{
    if (number < firstPortOption)
        m_module.BaudCode = number == 1 ? 96 : 192;
    else
        m_module.PortNumber = qint16(number - firstPortOption + 1);
}

void Form2::Text1_Change()
{
    // Text that is no number, or one above 255, is left for the operator to finish.
    const std::optional<quint8> number = typedNumber(Text1->text());
    if (!number)
        return;
    if (*number >= 1 && *number <= 15)
        m_module.PortNumber = *number;
    else
        Text1->setText(QStringLiteral("0"));
}

void Form2::Command1_Click()
{
    if (m_opening)
        return;
    if (m_main.isUnloaded()) {
        close();
        return;
    }
    m_main.commPort().setSettings(speedSettings(m_module.BaudCode));
    if (m_module.PortNumber == 0) {
        showRetry(QStringLiteral("No port is chosen. Pick COM1 to COM5, or type a port number from 1 to 15 "
                                 "next to OTHER."));
        return;
    }
    openPort([this] {
        QString reason;
        if (!PortSettingsStore::write(m_module.PortNumber, m_module.BaudCode, &reason)) {
            showRetry(QStringLiteral("The port is open, but the choice was not saved for the next start.\n") +
                      reason);
            return;
        }
        close();
        m_main.showAndRaise();
    });
}

void Form2::Command2_Click()
{
    if (m_opening)
        return;
    if (m_main.isUnloaded()) {
        close();
        return;
    }
    const qint16 saved = m_module.SavedPortNumber;
    if (isUsablePort(saved)) {
        m_module.PortNumber = saved;
        m_module.BaudCode = m_module.SavedBaudCode;
        applySpeed();
        openPort([this] {
            close();
            m_main.showAndRaise();
        });
        return;
    }
    // Nothing to go back to. The operator's choice stays in force, so the
    // next OK opens the port the dialog shows as chosen.
    if (m_main.commPort().portOpen()) {
        m_main.commPort().setPortOpen(false);
        close();
    }
    showRetry(QStringLiteral("There is no earlier port to go back to. Choose a port and press OK."));
}

void Form2::Command3_Click()
{
    if (m_opening)
        return;
    PortsWindow ports(m_module.PortNumber, speedSettings(m_module.BaudCode), this);
    if (ports.exec() == QDialog::Accepted)
        showTargets();
}

// Each port option tells where its number leads now.
void Form2::showTargets()
{
    const QSettings store(QStringLiteral("VORN"), QStringLiteral("VORN"));
    for (QAbstractButton *option : m_portOptions->buttons()) {
        const auto port = qint16(m_portOptions->id(option) - firstPortOption + 1);
        option->setToolTip(option->text() + QStringLiteral(" → ") + portDeviceName(port, store));
    }
}

// Without a window manager nothing else places the dialog: over the main
// window, or mid-screen while the main window is not shown yet.
void Form2::placeCentred()
{
    const QWidget *main = parentWidget();
    const QRect around = main && main->isVisible() ? main->frameGeometry() : screen()->availableGeometry();
    QRect placed({}, size());
    placed.moveCenter(around.center());
    move(placed.topLeft());
}

void Form2::applySpeed()
{
    if (m_module.BaudCode != 96)
        m_module.BaudCode = 192;
    m_main.commPort().setSettings(speedSettings(m_module.BaudCode));
    selectOption(m_module.BaudCode == 96 ? 1 : 2);
}

// As the operator's click does, selecting an option runs its handler.
void Form2::selectOption(int number)
{
    QButtonGroup *group = number < firstPortOption ? m_speedOptions : m_portOptions;
    group->button(number)->setChecked(true);
    Option_Click(number);
}

// The windows go on painting while a port on the network answers; the
// choice in force is the one being opened, whatever the operator picks
// meanwhile.
void Form2::openPort(const std::function<void()> &opened)
{
    CommPort *port = &m_main.commPort();
    // Only a failed save leaves the port open here, and only a reconnect
    // after it can be under way: start afresh.
    if (port->portOpen() || port->isOpening())
        port->setPortOpen(false);
    const qint16 number = m_module.PortNumber;
    const quint8 baud = m_module.BaudCode;
    port->setCommPort(number);
    setCursor(Qt::BusyCursor);
    m_opening =
        connect(port, &CommPort::openFinished, this, [this, port, number, baud, opened](bool success) {
            endOpening();
            if (m_main.isUnloaded()) {
                close();
            } else if (success) {
                m_module.PortNumber = number;
                m_module.BaudCode = baud;
                opened();
            } else {
                showRetry(portFailureText(port->lastFailure(), number));
            }
        });
    port->beginOpen();
}

void Form2::endOpening()
{
    disconnect(std::exchange(m_opening, {}));
    unsetCursor();
}

void Form2::showRetry(const QString &detail)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Error"), QStringLiteral("Retry Comport"),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("RetryComport"));
    box.setInformativeText(detail);
    box.exec();
}

// The close box leaves the port closed, an open under way included.
void Form2::closeEvent(QCloseEvent *event)
{
    if (m_opening) {
        endOpening();
        m_main.commPort().setPortOpen(false);
    }
    QDialog::closeEvent(event);
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    // Esc is no way out: only OK, Cancel or the close box end the dialog.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
