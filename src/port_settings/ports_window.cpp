// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/ports_window.h"

#include "port_settings/port_mapping_model.h"
#include "port_settings/port_probe.h"
#include "port_settings/port_settings_store.h"
#include "serial/routing_comm_port.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSettings>
#include <QTableView>
#include <QTableWidget>

namespace {

const char *const foundColumns[] = {"Device",       "Stable name",   "Description",
                                    "Manufacturer", "Serial number", "VID:PID"};

// What the serial layer reports. It may open built-in ports to see whether
// they are there, so it runs only when a folder of devices has changed.
QList<FoundDevice> reportedPorts()
{
    QList<FoundDevice> devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        FoundDevice device;
        device.path = info.systemLocation();
        device.description = info.description();
        device.manufacturer = info.manufacturer();
        device.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            device.vidPid = QStringLiteral("%1:%2")
                                .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                                .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        devices.append(device);
    }
    return devices;
}

template <typename Widget> Widget *named(Widget *widget, const QString &name, const QString &accessibleName)
{
    widget->setObjectName(name);
    widget->setAccessibleName(accessibleName);
    return widget;
}

QPushButton *button(const QString &caption, QBoxLayout *row)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(caption);
    row->addWidget(button);
    return button;
}

// A titled group around a table; a screen reader names both alike.
QGroupBox *group(const QString &title, QWidget *content)
{
    auto *box = new QGroupBox(title);
    box->setAccessibleName(title);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

void setUpTable(QAbstractItemView *table)
{
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the table, as it leaves every other control.
    table->setTabKeyNavigation(false);
}

} // namespace

PortsWindow::PortsWindow(qint16 portNumber, QString lineSettings, QWidget *parent)
    : QDialog(parent), m_lineSettings(std::move(lineSettings)),
      m_model(new PortMappingModel(QSettings(QStringLiteral("VORN"), QStringLiteral("VORN")), this))
{
    setObjectName(QStringLiteral("PortsWindow"));
    setWindowTitle(QStringLiteral("Ports"));
    buildControls();
    const int row = portNumber >= 1 && portNumber <= PortMappingModel::portCount ? portNumber - 1 : 0;
    m_ports->setCurrentIndex(m_model->index(row, 0));
    setDeviceSources(DeviceSources{&reportedPorts});
    resize(880, 560);
}

void PortsWindow::buildControls()
{
    m_ports = named(new QTableView, QStringLiteral("PortNumbers"), QStringLiteral("Port numbers"));
    m_ports->setModel(m_model);
    setUpTable(m_ports);
    m_ports->verticalHeader()->hide();
    m_ports->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_ports->horizontalHeader()->setSectionResizeMode(PortMappingModel::TargetColumn, QHeaderView::Stretch);

    m_found = named(new QTableWidget(0, int(std::size(foundColumns))), QStringLiteral("FoundDevices"),
                    QStringLiteral("Found on this computer"));
    setUpTable(m_found);
    for (int column = 0; column < m_found->columnCount(); ++column)
        m_found->setHorizontalHeaderItem(column, new QTableWidgetItem(QLatin1String(foundColumns[column])));
    m_found->verticalHeader()->hide();
    m_found->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto *tables = new QHBoxLayout;
    tables->addWidget(group(QStringLiteral("Port numbers"), m_ports), 2);
    tables->addWidget(group(QStringLiteral("Found on this computer"), m_found), 3);

    auto *mapping = new QHBoxLayout;
    auto *caption = new QLabel(QStringLiteral("Device or address"));
    m_target = named(new QLineEdit, QStringLiteral("Target"), caption->text());
    caption->setBuddy(m_target);
    mapping->addWidget(caption);
    mapping->addWidget(m_target, 1);
    QPushButton *map = button(QStringLiteral("Map"), mapping);
    QPushButton *byDefault = button(QStringLiteral("Default"), mapping);
    m_test = button(QStringLiteral("Test"), mapping);
    // Enter maps what was picked or typed; OK is a deliberate step.
    map->setDefault(true);

    m_result = named(new QPlainTextEdit, QStringLiteral("Result"), QStringLiteral("Result"));
    m_result->setReadOnly(true);
    m_result->setTabChangesFocus(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_result->setMaximumHeight(fontMetrics().lineSpacing() * 5);

    auto *closing = new QHBoxLayout;
    closing->addStretch();
    QPushButton *ok = button(QStringLiteral("OK"), closing);
    QPushButton *cancel = button(QStringLiteral("Cancel"), closing);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tables, 1);
    layout->addLayout(mapping);
    layout->addWidget(m_result);
    layout->addLayout(closing);

    connect(m_ports->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { m_target->setText(m_model->target(current.row())); });
    // A device is picked by selecting it, not by the focus coming to the list.
    connect(m_found->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &picked) {
                pickDevice(picked.isEmpty() ? -1 : picked.indexes()[0].row());
            });
    connect(m_found, &QTableWidget::cellClicked, this, &PortsWindow::pickDevice);
    connect(m_found, &QTableWidget::cellDoubleClicked, this, &PortsWindow::Map_Click);
    connect(map, &QPushButton::clicked, this, &PortsWindow::Map_Click);
    connect(byDefault, &QPushButton::clicked, this, &PortsWindow::Default_Click);
    connect(m_test, &QPushButton::clicked, this, &PortsWindow::Test_Click);
    connect(ok, &QPushButton::clicked, this, &PortsWindow::accept);
    connect(cancel, &QPushButton::clicked, this, &PortsWindow::reject);
}

void PortsWindow::setDeviceSources(const DeviceSources &sources)
{
    delete m_watcher;
    m_watcher = new DeviceWatcher(sources, this);
    connect(m_watcher, &DeviceWatcher::devicesChanged, this, &PortsWindow::showDevices);
    showDevices();
}

void PortsWindow::showDevices()
{
    const QList<FoundDevice> &devices = m_watcher->devices();
    m_model->setFoundDevices(devices);
    const QTableWidgetItem *current = m_found->item(m_found->currentRow(), 0);
    const QString picked = current ? current->text() : QString();
    // Listing afresh is no choice of the operator's: the field keeps its text.
    m_listing = true;
    m_found->setRowCount(0);
    m_found->setRowCount(int(devices.size()));
    for (int row = 0; row < devices.size(); ++row) {
        const FoundDevice &device = devices[row];
        const QString cells[] = {device.path,         device.stableName,   device.description,
                                 device.manufacturer, device.serialNumber, device.vidPid};
        for (int column = 0; column < int(std::size(cells)); ++column)
            m_found->setItem(row, column, new QTableWidgetItem(cells[column]));
        if (device.path == picked)
            m_found->setCurrentCell(row, 0);
    }
    m_listing = false;
}

void PortsWindow::pickDevice(int row)
{
    if (!m_listing && row >= 0 && row < m_watcher->devices().size())
        m_target->setText(m_watcher->devices()[row].stableName);
}

int PortsWindow::selectedRow() const
{
    return m_ports->currentIndex().row();
}

void PortsWindow::Map_Click()
{
    const int row = selectedRow();
    const std::optional<QString> problem = m_model->map(row, m_target->text());
    say(problem.value_or(
        QStringLiteral("COM%1 → %2").arg(PortMappingModel::portNumber(row)).arg(m_model->target(row))));
}

void PortsWindow::Default_Click()
{
    const int row = selectedRow();
    m_model->setDefault(row);
    m_target->setText(m_model->target(row));
}

void PortsWindow::Test_Click()
{
    const QString target = m_target->text();
    auto *port = new RoutingCommPort([target](qint16) { return target; }, this);
    port->setSettings(m_lineSettings);
    port->setCommPort(PortMappingModel::portNumber(selectedRow()));
    auto *probe = new PortProbe(*port, port);
    connect(probe, &PortProbe::finished, this, [this, port](const QString &outcome) {
        say(outcome);
        m_test->setEnabled(true);
        port->deleteLater();
    });
    // One test at a time; it may end before start() returns.
    m_test->setEnabled(false);
    say(QStringLiteral("Testing COM%1 → %2 …").arg(port->commPort()).arg(target));
    probe->start();
}

void PortsWindow::accept()
{
    QString reason;
    const auto write = [this](QSettings &store) { m_model->writeChanges(store); };
    if (m_model->hasChanges() && !PortSettingsStore::update(write, &reason)) {
        QMessageBox box(QMessageBox::Warning, windowTitle(), QStringLiteral("The mapping was not saved."),
                        QMessageBox::Ok, this);
        box.setInformativeText(reason + u'.');
        box.exec();
        return;
    }
    QDialog::accept();
}

void PortsWindow::say(const QString &text)
{
    m_result->setPlainText(text);
}
