// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for start-up and idle: the least a program can do and still be a
// window of 70 fixed buttons with a serial port open.
#include <QApplication>
#include <QPushButton>
#include <QSerialPort>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QWidget window;
    window.setFixedSize(692, 385);
    for (int i = 0; i < 70; ++i) {
        auto *button = new QPushButton(QString::number(i + 1), &window);
        button->setGeometry(8 + (i % 10) * 68, 8 + (i / 10) * 40, 60, 30);
    }
    QSerialPort port(QString::fromLocal8Bit(argv[1]));
    port.setBaudRate(9600);
    if (!port.open(QIODevice::ReadWrite))
        return 1;
    window.show();
    return QApplication::exec();
}
