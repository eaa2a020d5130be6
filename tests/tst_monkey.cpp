// SPDX-License-Identifier: GPL-3.0-or-later
// Thousands of seeded random operator and device events on the real windows,
// with the invariants checked after every step. The seed is printed; set
// TALLIS_MONKEY_SEED (and TALLIS_MONKEY_STEPS) to replay a failure.
#include "console/form3.h"
#include "fakes/modal_watcher.h"
#include "fakes/private_settings_store.h"
#include "fakes/pty_pair.h"
#include "panel/form1.h"
#include "panel/panel_table.h"
#include "port_settings/form2.h"
#include "serial/serial_comm_port.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>
#include <vector>

namespace {

const char *const kTexts[] = {"",    "0",          "7",    "12",  "16",  "255",
                              "256", "-1",         "x",    " 3 ", "2.5", "CF VOLUME 015[CR]",
                              "[",   "C00[CR]C01", "%%%%", "\xff"};

} // namespace

class TestMonkey : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldKeepItsInvariantsUnderRandomEvents()
    {
        const quint32 seed = qEnvironmentVariableIsSet("TALLIS_MONKEY_SEED")
                                 ? qgetenv("TALLIS_MONKEY_SEED").toUInt()
                                 : QRandomGenerator::system()->generate();
        const int steps = qEnvironmentVariableIsSet("TALLIS_MONKEY_STEPS")
                              ? qEnvironmentVariableIntValue("TALLIS_MONKEY_STEPS")
                              : 2000;
        qInfo("monkey seed %u, %d steps (replay with TALLIS_MONKEY_SEED=%u)", seed, steps, seed);
        m_random.seed(seed);

        QSettings store(QStringLiteral("VORN"), QStringLiteral("VORN"));
        store.clear();
        store.setValue(QStringLiteral("StartUP/ComPort"), QStringLiteral("1"));
        store.setValue(QStringLiteral("StartUP/BaudRate"), QStringLiteral("96"));
        store.sync();

        ModalWatcher watcher; // answers "Retry Comport" and any modal dialog
        m_pty = std::make_unique<PtyPair>();
        m_device = m_pty->devicePath();
        m_form = std::make_unique<Form1>(m_module, new SerialCommPort(nullptr, [this](qint16 n) {
                                             return n >= 1 && n <= 15 ? m_device : QString();
                                         }));
        m_form->Form_Load();
        m_form->show();
        QVERIFY(m_form->MSComm1->portOpen());

        for (int i = 0; i < steps; ++i) {
            step();
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("failed at step %1 of seed %2").arg(i).arg(seed)));
        }
        if (m_heldArrow)
            QTest::mouseRelease(m_heldArrow, Qt::LeftButton);
        m_form.reset();
    }

private:
    void step()
    {
        QByteArray what;
        switch (pick(12)) {
        case 0:
        case 1:
            what = "click";
            clickAnyButton();
            break;
        case 2:
            what = "arrow";
            pressOrReleaseArrow();
            break;
        case 3:
            what = "ctrl+h";
            QTest::keyClick(m_form->windowHandle(), Qt::Key_H, Qt::ControlModifier);
            break;
        case 4:
            what = "console";
            actOnConsole();
            break;
        case 5:
            what = "dialog";
            actOnDialog();
            break;
        case 6: {
            what = "tick";
            const int which = pick(3);
            if (which == 0)
                m_form->Timer1_Timer();
            else if (which == 1)
                m_form->Timer2_Timer();
            else
                m_form->Timer4_Timer();
            break;
        }
        case 7:
        case 8: {
            what = "receive";
            if (m_pty) {
                QByteArray bytes(pick(40), '\0');
                for (char &c : bytes)
                    c = char(pick(256));
                m_pty->write(pick(4) == 0 ? QByteArray("00\r") : bytes);
            }
            break;
        }
        case 9:
            what = "device";
            loseOrRestoreDevice();
            break;
        default:
            what = "wait";
            QTest::qWait(pick(3));
            break;
        }
        QCoreApplication::processEvents();
        checkInvariants(what);
    }

    void checkInvariants(const QByteArray &what)
    {
        const char *step = what.constData();
        if (!m_heldArrow)
            QVERIFY2(m_form->repeatKey() == 0, step);
        QVERIFY2(m_form->receiveBuffer().size() <= Form1::receiveLimit, step);
        const bool open = m_form->MSComm1->portOpen();
        if (m_closedOnPurpose)
            QVERIFY2(!open, step);
        if (m_form->portDialog() && m_form->portDialog()->isVisible())
            QVERIFY2(!open, step);
        if (m_pty) {
            // Nothing reaches the wire while the port is closed on purpose.
            const QByteArray wire = m_pty->read(1 << 16, 0);
            if (m_closedOnPurpose)
                QVERIFY2(wire.isEmpty(), step);
        }
    }

    void clickAnyButton()
    {
        const PanelButton &row = kPanelButtons[size_t(pick(int(kPanelButtons.size())))];
        if (row.action == Action::End || row.action == Action::Hold)
            return;
        if (row.action == Action::Port && !m_form->isVisible())
            return;
        auto *button = m_form->findChild<QAbstractButton *>(QStringLiteral("Command%1").arg(row.number));
        QVERIFY(button);
        if (row.action == Action::Port)
            m_closedOnPurpose = true;
        button->click();
    }

    void pressOrReleaseArrow()
    {
        const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
        const Qt::MouseButton mouse = buttons[pick(3)];
        if (m_heldArrow) {
            QTest::mouseRelease(m_heldArrow, mouse, {}, QPoint(-5, -5)); // anywhere
            m_heldArrow = nullptr;
            return;
        }
        std::vector<const PanelButton *> arrows;
        for (const PanelButton &row : kPanelButtons) {
            if (row.action == Action::Hold)
                arrows.push_back(&row);
        }
        const PanelButton *row = arrows[size_t(pick(int(arrows.size())))];
        m_heldArrow = m_form->findChild<QAbstractButton *>(QStringLiteral("Command%1").arg(row->number));
        QTest::mousePress(m_heldArrow, mouse);
    }

    void actOnConsole()
    {
        Form3 *console = m_form->console();
        if (!console) {
            m_form->Command74_Click();
            return;
        }
        switch (pick(6)) {
        case 0: {
            const int list = 1 + pick(3);
            QComboBox *combo = console->findChild<QComboBox *>(QStringLiteral("Combo%1").arg(list));
            combo->setCurrentIndex(pick(combo->count()));
            console->Combo_Click(list);
            break;
        }
        case 1:
            console->Text1->setText(text());
            break;
        case 2:
            console->Command1_Click();
            break;
        case 3:
            console->Command2_Click();
            break;
        case 4:
            console->close(); // title bar
            break;
        default:
            (pick(3) == 0 ? console->Command3_Click()
             : pick(2)    ? console->Command4_Click()
                          : console->Command5_Click());
            break;
        }
    }

    void actOnDialog()
    {
        Form2 *dialog = m_form->portDialog();
        if (!dialog) {
            m_closedOnPurpose = true;
            m_form->Command33_Click();
            return;
        }
        switch (pick(5)) {
        case 0:
            dialog->Option_Click(1 + pick(7));
            break;
        case 1:
            dialog->Text1->setText(text());
            break;
        case 2:
        case 3:
            (pick(2) ? dialog->Command1_Click() : dialog->Command2_Click());
            if (!m_form->portDialog() || !m_form->portDialog()->isVisible())
                m_closedOnPurpose = false; // the dialog opened a port and went
            break;
        default:
            dialog->close(); // close box: the port stays closed
            break;
        }
    }

    void loseOrRestoreDevice()
    {
        if (m_pty) {
            m_pty.reset();
            QTRY_VERIFY_WITH_TIMEOUT(!m_form->MSComm1->portOpen() || m_closedOnPurpose, 5000);
            return;
        }
        m_pty = std::make_unique<PtyPair>();
        m_device = m_pty->devicePath();
    }

    int pick(int count) { return int(m_random.bounded(count)); }

    QString text() { return QString::fromLatin1(kTexts[pick(int(std::size(kTexts)))]); }

    PrivateSettingsStore m_settings;
    QRandomGenerator m_random;
    Module1 m_module;
    std::unique_ptr<PtyPair> m_pty;
    QString m_device;
    std::unique_ptr<Form1> m_form;
    QAbstractButton *m_heldArrow = nullptr;
    // "COM" closed the port on purpose: nothing may reopen it until OK or Cancel does.
    bool m_closedOnPurpose = false;
};

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
