// SPDX-License-Identifier: GPL-3.0-or-later
#include "event_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void runEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    QTimer timeout; // its expiry wakes the loop
    timeout.setSingleShot(true);
    timeout.start(timeoutMs);
    while (!done()) {
        if (!timeout.isActive())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void wakeMainThread()
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
}
