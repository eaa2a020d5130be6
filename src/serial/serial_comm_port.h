// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/comm_port.h"

#include <QSerialPort>
#include <functional>

// The real line, over QSerialPort.
class SerialCommPort : public CommPort
{
    Q_OBJECT
public:
    using DeviceResolver = std::function<QString(qint16)>;

    // The resolver names the device a port number stands for on this machine.
    explicit SerialCommPort(DeviceResolver resolver, QObject *parent = nullptr);

    bool portOpen() const override { return m_port.isOpen(); }
    bool setPortOpen(bool open) override;
    void setOutput(const QByteArray &bytes) override;
    QByteArray input() override { return m_port.readAll(); }
    int commEvent() const override { return m_event; }

private:
    bool open();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    bool lineHungUp() const;
    static PortFailure failureFor(const QSerialPort &port, const QString &device);

    QSerialPort m_port;
    DeviceResolver m_resolver;
    int m_event = 0;
    // Set when the line went away under us (adapter unplugged); the next
    // transmit then tries the same device again. A deliberate close clears it.
    bool m_lost = false;
};
