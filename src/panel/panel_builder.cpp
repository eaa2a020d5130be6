// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/panel_builder.h"

#include "panel/hold_button.h"
#include "panel/panel_table.h"

#include <QButtonGroup>
#include <QFrame>
#include <QHash>
#include <QLabel>

QRect fromTwips(const QRect &twips)
{
    return {qRound(twips.x() / 15.0), qRound(twips.y() / 15.0), qRound(twips.width() / 15.0),
            qRound(twips.height() / 15.0)};
}

namespace {

QFrame *makeFrame(QWidget *window, int number, const QRect &twips)
{
    auto *frame = new QFrame(window);
    frame->setObjectName(QStringLiteral("Frame%1").arg(number));
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(fromTwips(twips));
    return frame;
}

QLabel *makeLabel(QWidget *parent, int number, const char *text, const QRect &twips)
{
    auto *label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QStringLiteral("Label%1").arg(number));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(fromTwips(twips));
    return label;
}

} // namespace

PanelControls buildPanel(QWidget *window)
{
    PanelControls c;
    QHash<int, QWidget *> frames{{0, window}};
    frames.insert(1, makeFrame(window, 1, {120, 0, 975, 1520}));
    frames.insert(19, makeFrame(window, 19, {3240, 2400, 855, 1095}));
    QFrame *traffic = makeFrame(window, 9, {120, 5400, 8295, 948});
    c.Frame15 = makeFrame(window, 15, {120, 6960, 6105, 492});

    c.Label11 = makeLabel(traffic, 11, "", {600, 195, 7575, 300});
    c.Label12 = makeLabel(traffic, 12, "", {585, 555, 7575, 300});
    c.Label25 = makeLabel(c.Frame15, 25, "", {1020, 135, 4950, 285});
    c.Label28 = makeLabel(window, 28, "[CR] :Carriage Return Code (0x0D)", {120, 6405, 3495, 255});
    c.Label27 = makeLabel(window, 27, "_ :Space Code (0x20)", {4200, 6405, 2295, 255});
    c.Label29 = makeLabel(window, 29, "[ACK]  :ACKnowledgemend Code (0x06)", {120, 6600, 3855, 255});
    c.Label27->hide();
    c.Label28->hide();

    c.buttons = new QButtonGroup(window);
    for (const PanelButton &row : kPanelButtons) {
        QWidget *parent = frames.value(row.frame, window);
        QPushButton *button = row.action == Action::Hold ? new HoldButton(parent) : new QPushButton(parent);
        button->setText(QString::fromLatin1(row.caption));
        button->setObjectName(QStringLiteral("Command%1").arg(row.number));
        button->setGeometry(fromTwips(row.twips));
        c.buttons->addButton(button, row.number);
    }
    return c;
}
