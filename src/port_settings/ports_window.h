// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "port_settings/device_watcher.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTableWidget;
class PortMappingModel;

// The Ports window: leads port numbers to the serial devices found on this
// computer, or to addresses on the network, and tries what a number leads to.
class PortsWindow : public QDialog
{
    Q_OBJECT
public:
    // Opens on the port number chosen in the port dialog; Test runs the line
    // with the dialog's settings ("9600,N,8,1").
    PortsWindow(qint16 portNumber, QString lineSettings, QWidget *parent = nullptr);

    // Where devices are looked for: this computer's unless told otherwise.
    void setDeviceSources(const DeviceSources &sources);

    void Map_Click();
    void Default_Click();
    void Test_Click();
    // OK: stores the changed numbers; the window stays when that fails.
    void accept() override;

private:
    void buildControls();
    void showDevices();
    void pickDevice(int row);
    int selectedRow() const;
    void say(const QString &text);

    QString m_lineSettings;
    PortMappingModel *m_model;
    DeviceWatcher *m_watcher = nullptr;
    QTableView *m_ports = nullptr;
    QTableWidget *m_found = nullptr;
    QLineEdit *m_target = nullptr;
    QPushButton *m_test = nullptr;
    QPlainTextEdit *m_result = nullptr;
    bool m_listing = false; // the found devices are being listed afresh
};
