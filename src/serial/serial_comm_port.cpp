// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/serial_comm_port.h"

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

SerialCommPort::SerialCommPort(DeviceResolver resolver, QObject *parent)
    : CommPort(parent), m_port(this), m_resolver(std::move(resolver))
{
    setObjectName(QStringLiteral("MSComm1"));
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        m_event = comEvReceive;
        Q_EMIT onComm();
    });
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialCommPort::onErrorOccurred);
}

bool SerialCommPort::setPortOpen(bool open)
{
    m_lost = false;
    if (!open) {
        if (m_port.isOpen())
            m_port.close();
        setFailure({});
        return true;
    }
    return this->open();
}

bool SerialCommPort::open()
{
    const QString device = m_resolver(commPort()).trimmed();
    if (device.isEmpty()) {
        setFailure({PortFailure::Kind::NoDevice,
                    {},
                    QStringLiteral("No device for port number %1").arg(commPort())});
        return false;
    }
    if (m_port.isOpen()) {
        setFailure({PortFailure::Kind::Other, device, QStringLiteral("The port is already open")});
        return false;
    }
    m_port.setPortName(device);
    m_port.setBaudRate(qint32(baud()));
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        setFailure(failureFor(m_port, device));
        m_port.clearError();
        return false;
    }
    setFailure({});
    return true;
}

void SerialCommPort::setOutput(const QByteArray &bytes)
{
    if (!m_port.isOpen() && (!m_lost || !open()))
        return;
    m_port.write(bytes);
    // QSerialPort keeps written bytes until the event loop runs again;
    // the command must be on the wire before the views are redrawn.
    m_port.flush();
}

void SerialCommPort::onErrorOccurred(QSerialPort::SerialPortError error)
{
    // A vanished device keeps the descriptor readable: a hung-up line reads as
    // end of file, which Qt reports as a read error again and again. Closing at
    // once keeps the read notifier from spinning.
    const bool gone =
        error == QSerialPort::ResourceError || (error == QSerialPort::ReadError && lineHungUp());
    if (gone && m_port.isOpen()) {
        m_port.close();
        m_lost = true;
    }
}

bool SerialCommPort::lineHungUp() const
{
#ifdef Q_OS_UNIX
    pollfd line{int(m_port.handle()), POLLIN, 0};
    return ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    return false;
#endif
}

PortFailure SerialCommPort::failureFor(const QSerialPort &port, const QString &device)
{
    const QString reason = port.errorString();
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return {PortFailure::Kind::NotFound, device, reason};
    case QSerialPort::PermissionError:
        // Qt reports a port held by another program as a permission error too.
        if (reason.contains(QLatin1String("busy"), Qt::CaseInsensitive) ||
            reason.contains(QLatin1String("lock"), Qt::CaseInsensitive))
            return {PortFailure::Kind::Busy, device, reason};
        return {PortFailure::Kind::PermissionDenied, device, reason};
    default:
        return {PortFailure::Kind::Other, device, reason};
    }
}
