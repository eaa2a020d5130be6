// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

// Answers the program's modal windows while the code under test waits in
// their event loop: message boxes are recorded and acknowledged with OK, any
// other modal dialog is handed once to onDialog (closed when it is unset, or
// when the handler failed).
class ModalWatcher : public QObject
{
public:
    struct Message {
        QString title;
        QString text;
        QString informativeText;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };

    ModalWatcher()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::look);
        m_timer.start();
    }

    QList<Message> messages;
    int dialogCount = 0; // other modal dialogs seen
    std::function<void(QDialog *)> onDialog;

private:
    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            messages.append({box->windowTitle(), box->text(), box->informativeText(), box->icon(),
                             box->standardButtons()});
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->done(QMessageBox::Cancel);
            return;
        }
        auto *dialog = qobject_cast<QDialog *>(modal);
        if (!dialog || dialog->property("modalWatcherSeen").toBool())
            return;
        dialog->setProperty("modalWatcherSeen", true);
        ++dialogCount;
        // Handled from an event of its own: this timer does not fire again
        // while its tick runs, and the handler may open a message box.
        QMetaObject::invokeMethod(
            this,
            [this, dialog = QPointer<QDialog>(dialog)] {
                if (dialog && onDialog)
                    onDialog(dialog);
                // A handler that failed half-way leaves its dialog to us, not to the test's time limit.
                if (dialog && (!onDialog || QTest::currentTestFailed()))
                    dialog->close();
            },
            Qt::QueuedConnection);
    }

    QTimer m_timer;
};
