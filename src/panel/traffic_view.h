// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A one-line view of the serial traffic. It holds the whole rendering as its
// text, but a reply can run to tens of thousands of characters: it draws only
// the newest part that fits, so a long reply shows its end and a flood of
// bytes costs no more to paint than a short one. Assistive technology reads
// the whole text and hears of every change.
class TrafficView : public QLabel
{
    Q_OBJECT
public:
    explicit TrafficView(QWidget *parent = nullptr);

    // setText, told to assistive technology as a change of text.
    void showText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
};
