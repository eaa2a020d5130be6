// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>

class TransactionHistory;

// The history as lines of plain words, oldest first. A line is made only
// when a view asks for it; the rows follow the ring as it takes new records
// and lets the oldest go.
class HistoryModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit HistoryModel(const TransactionHistory &history, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void follow();
    void newestChanged();

    const TransactionHistory &m_history;
    quint64 m_dropped; // records gone from the ring before this model's row 0
    int m_rows;
};
