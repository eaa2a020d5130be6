// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

// Keeps a window's outer height, title bar and borders included, at a height
// in twips. A window manager frames a window only after it is mapped, and
// tells the frame's size with the first move or resize after that; the client
// height is set again whenever the frame turns out other than assumed.
class OuterHeight : public QObject
{
public:
    // Until the window is framed, its frame is taken to be as tall as that of
    // `model` (when shown), else as none.
    OuterHeight(QWidget *window, int twips, const QWidget *model = nullptr);

    int twips() const { return m_twips; }
    void setTwips(int twips);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();

    QWidget *m_window;
    const QWidget *m_model;
    int m_twips;
};
