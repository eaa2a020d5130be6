// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/history_model.h"

#include "serial/history_line.h"
#include "serial/transaction_history.h"

HistoryModel::HistoryModel(const TransactionHistory &history, QObject *parent)
    : QAbstractListModel(parent), m_history(history), m_dropped(history.dropped()),
      m_rows(int(history.size()))
{
    connect(&history, &TransactionHistory::appended, this, &HistoryModel::follow);
    connect(&history, &TransactionHistory::newestChanged, this, &HistoryModel::newestChanged);
}

int HistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

QVariant HistoryModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    // While rows are being taken away the ring may have let the record go already.
    const qint64 at = index.row() - qint64(m_history.dropped() - m_dropped);
    if (at < 0 || at >= m_history.size())
        return {};
    return historyLine(m_history.at(at));
}

void HistoryModel::follow()
{
    const int gone = int(std::min(m_history.dropped() - m_dropped, quint64(m_rows)));
    if (gone > 0)
        beginRemoveRows({}, 0, gone - 1);
    m_rows -= gone;
    m_dropped = m_history.dropped();
    if (gone > 0)
        endRemoveRows();
    const int rows = int(m_history.size());
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    }
}

void HistoryModel::newestChanged()
{
    if (m_rows > 0)
        Q_EMIT dataChanged(index(m_rows - 1), index(m_rows - 1));
}
