// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QModelIndexList>
#include <QWidget>

class HistoryModel;
class QListView;
class TransactionHistory;

// The window "History": the newest transactions as lines of plain words,
// one line a transaction, to read at leisure, copy or save. It lives only
// while it is open; the record is kept by the ring behind it.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    HistoryWindow(const TransactionHistory &history, QWidget *parent);

    // The selected lines, oldest first, to the clipboard.
    void copySelection();
    // Writes every line to a text file; the reason when that failed, else empty.
    QString saveTo(const QString &path) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void askWhereToSave();
    QStringList lines(const QModelIndexList &rows) const;

    HistoryModel *m_model;
    QListView *m_list;
    bool m_followNewest = true;
};
