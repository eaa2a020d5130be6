// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/history_window.h"

#include "main/accessible_role.h"
#include "serial/history_model.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton *makeButton(const QString &caption, QBoxLayout *row)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(QString(caption).remove(u'…'));
    row->addWidget(button);
    return button;
}

} // namespace

HistoryWindow::HistoryWindow(const TransactionHistory &history, QWidget *parent)
    : QWidget(parent, Qt::Window), m_model(new HistoryModel(history, this)), m_list(new QListView)
{
    setObjectName(QStringLiteral("History"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("History"));
    setAccessibleRole(this, QAccessible::Window);
    setAccessibleDescription(QStringLiteral("The newest 1000 commands with their time, reply and status, "
                                            "one a line. Ctrl+C copies the selected lines."));
    resize(560, 360);

    m_list->setObjectName(QStringLiteral("List"));
    m_list->setAccessibleName(QStringLiteral("Commands and replies"));
    m_list->setModel(m_model);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto *copy = new QAction(QStringLiteral("Copy"), m_list);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    auto *selectAll = new QAction(QStringLiteral("Select All"), m_list);
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetShortcut);
    m_list->addActions({copy, selectAll});
    m_list->installEventFilter(this);
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);

    auto *buttons = new QHBoxLayout;
    connect(makeButton(QStringLiteral("Copy"), buttons), &QPushButton::clicked, this,
            &HistoryWindow::copySelection);
    connect(makeButton(QStringLiteral("Save…"), buttons), &QPushButton::clicked, this,
            &HistoryWindow::askWhereToSave);
    buttons->addStretch();
    connect(makeButton(QStringLiteral("Close"), buttons), &QPushButton::clicked, this, &QWidget::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    connect(copy, &QAction::triggered, this, &HistoryWindow::copySelection);
    connect(selectAll, &QAction::triggered, m_list, &QListView::selectAll);
    // The newest line stays in sight unless the reader has scrolled back.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar *bar = m_list->verticalScrollBar();
        m_followNewest = bar->value() == bar->maximum();
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_followNewest)
            m_list->scrollToBottom();
    });

    // Opened to read the last reply: the reader starts on it.
    m_list->setCurrentIndex(m_model->index(m_model->rowCount() - 1));
    m_list->scrollToBottom();
    setFocusProxy(m_list);
}

// The list copies its current line only, which would lose the rest of a selection.
bool HistoryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copySelection();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QStringList HistoryWindow::lines(const QModelIndexList &rows) const
{
    QModelIndexList sorted = rows;
    std::ranges::sort(sorted, {}, &QModelIndex::row);
    QStringList out;
    for (const QModelIndex &row : sorted)
        out << row.data().toString();
    return out;
}

void HistoryWindow::copySelection()
{
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    const QStringList chosen = lines(selected.isEmpty() ? QModelIndexList{m_list->currentIndex()} : selected);
    QGuiApplication::clipboard()->setText(chosen.join(u'\n'));
}

QString HistoryWindow::saveTo(const QString &path) const
{
    QModelIndexList all;
    for (int row = 0; row < m_model->rowCount(); ++row)
        all << m_model->index(row);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        for (const QString &line : lines(all))
            file.write(line.toUtf8() + '\n');
        if (file.commit())
            return {};
    }
    return file.errorString();
}

void HistoryWindow::askWhereToSave()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    auto *dialog =
        new QFileDialog(this, QStringLiteral("Save History"), documents + QStringLiteral("/history.txt"),
                        QStringLiteral("Text files (*.txt);;All files (*)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("txt"));
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &path) {
        const QString failure = saveTo(path);
        if (failure.isEmpty())
            return;
        auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("History"),
                                    QStringLiteral("The history was not saved to %1.").arg(path),
                                    QMessageBox::Ok, this);
        box->setInformativeText(failure);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
    dialog->open();
}
