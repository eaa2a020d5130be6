// SPDX-License-Identifier: GPL-3.0-or-later
#include "form_rig.h"

#include "event_loop.h"

#include "serial/serial_comm_port.h"
#include "serial/transaction.h"

#include <QAbstractButton>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

FormRig::FormRig()
{
    if (!m_pty.isValid())
        return;
    // Before the window's port opens it exclusively.
    m_floorFd = ::open(m_pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    const QString device = m_pty.slavePath();
    auto *port = new SerialCommPort([device](qint16) { return device; });
    m_form = new Form1(m_module, port);
    port->setSettings(QStringLiteral("19200,N,8,1"));
    // Expanded, as Ctrl+H leaves it: the traffic views are on screen and get painted.
    m_form->setHeightTwips(Form1::expandedHeight);
    m_form->show();
    m_ready = m_floorFd >= 0 && port->setPortOpen(true) && QTest::qWaitForWindowExposed(m_form);
    settle();
}

FormRig::~FormRig()
{
    delete m_form;
    if (m_floorFd >= 0)
        ::close(m_floorFd);
}

QAbstractButton *FormRig::button(int number) const
{
    return m_form->findChild<QAbstractButton *>(QStringLiteral("Command%1").arg(number));
}

void FormRig::settle()
{
    m_form->transaction().Timer2_Timer();
    m_form->transaction().Timer4_Timer();
    runEventLoopFor(10);
}
