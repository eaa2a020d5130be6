// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/panel_builder.h"

#include "main/accessible_role.h"
#include "main/twips.h"
#include "panel/arrow_button.h"
#include "panel/click_button.h"
#include "panel/layout_table.h"
#include "panel/panel_table.h"
#include "panel/traffic_view.h"

#include <QButtonGroup>
#include <QFrame>
#include <QHash>
#include <QLabel>

namespace {

const QColor windowGrey(192, 192, 192);
const QColor lineBlue(128, 128, 255);
const QColor darkRed(192, 0, 0);
const QColor red(255, 0, 0);
constexpr int lineWidth = 2;

QColor faceColour(Face face)
{
    switch (face) {
    case Face::On:
        return {128, 255, 128};
    case Face::Off:
        return {255, 128, 128};
    case Face::Function:
        return {0, 192, 192};
    case Face::StatusRead:
        return {192, 255, 255};
    case Face::Arrow:
        return {255, 255, 128};
    case Face::Enter:
        return {255, 192, 128};
    case Face::Plain:
        break;
    }
    return {};
}

QFont panelFont(qreal points)
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QFrame *makeFrame(QWidget *window, const PanelFrame &row)
{
    auto *frame = new QFrame(window);
    frame->setObjectName(QStringLiteral("Frame%1").arg(row.number));
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setGeometry(fromTwips(row.twips));
    setAccessibleRole(frame, QAccessible::Grouping);
    return frame;
}

// A filled strip centred on the line, long enough to close the corners.
QWidget *makeLine(QWidget *window, const PanelLine &row)
{
    auto *line = new QWidget(window);
    line->setObjectName(QStringLiteral("Line%1").arg(row.number));
    const int left = qRound(qMin(row.twips.x1(), row.twips.x2()) / 15.0);
    const int right = qRound(qMax(row.twips.x1(), row.twips.x2()) / 15.0);
    const int top = qRound(qMin(row.twips.y1(), row.twips.y2()) / 15.0);
    const int bottom = qRound(qMax(row.twips.y1(), row.twips.y2()) / 15.0);
    const int half = lineWidth / 2;
    line->setGeometry(left - half, top - half, right - left + lineWidth, bottom - top + lineWidth);
    line->setAutoFillBackground(true);
    setColour(line, QPalette::Window, lineBlue);
    line->lower();
    setDecorative(line);
    return line;
}

void applyLook(QLabel *label, LabelLook look)
{
    switch (look) {
    case LabelLook::Title:
        label->setFont(panelFont(8));
        break;
    case LabelLook::PowerTitle:
        label->setFont(panelFont(8));
        setColour(label, QPalette::WindowText, darkRed);
        break;
    case LabelLook::View:
        label->setFont(panelFont(12));
        label->setAutoFillBackground(true);
        setColour(label, QPalette::Window, Qt::white);
        break;
    case LabelLook::StatusView:
        label->setFont(panelFont(10.5));
        label->setAutoFillBackground(true);
        setColour(label, QPalette::Window, Qt::white);
        setColour(label, QPalette::WindowText, red);
        break;
    case LabelLook::Legend:
        label->setFont(panelFont(8));
        setColour(label, QPalette::WindowText, red);
        break;
    }
}

QLabel *makeLabel(QWidget *parent, const PanelLabel &row)
{
    const bool view = row.look == LabelLook::View || row.look == LabelLook::StatusView;
    auto *label = view ? new TrafficView(parent) : new QLabel(parent);
    label->setObjectName(QStringLiteral("Label%1").arg(row.number));
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromLatin1(row.text));
    label->setGeometry(fromTwips(row.twips));
    applyLook(label, row.look);
    label->setVisible(row.shownAtStart);
    return label;
}

// A style sheet rather than the palette: Fusion and other styles paint
// buttons with gradients of their own and would ignore a palette colour.
void applyFace(QPushButton *button, Face face)
{
    if (face == Face::Plain)
        return;
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 2px outset %1; }"
                                         "QPushButton:pressed { border-style: inset; }")
                              .arg(faceColour(face).name()));
}

QPushButton *makeButton(QWidget *parent, const PanelButton &row)
{
    QPushButton *button = nullptr;
    if (row.action == Action::Hold) {
        button = new ArrowButton(row.arrow, parent);
        button->setAccessibleName(QString::fromLatin1(row.accessibleName));
    } else {
        button = new ClickButton(QString::fromLatin1(row.caption), parent);
    }
    button->setObjectName(QStringLiteral("Command%1").arg(row.number));
    button->setGeometry(fromTwips(row.twips));
    applyFace(button, row.face);
    return button;
}

} // namespace

PanelControls buildPanel(QWidget *window)
{
    window->setFont(panelFont(7.5));
    setColour(window, QPalette::Window, windowGrey);

    QHash<int, QWidget *> parents{{0, window}};
    for (const PanelFrame &row : kPanelFrames)
        parents.insert(row.number, makeFrame(window, row));
    for (const PanelLine &row : kPanelLines)
        makeLine(window, row);

    QHash<int, QLabel *> labels;
    QHash<int, QStringList> titles;
    for (const PanelLabel &row : kPanelLabels) {
        labels.insert(row.number, makeLabel(parents.value(row.frame), row));
        if (row.frame != 0 && (row.look == LabelLook::Title || row.look == LabelLook::PowerTitle))
            titles[row.frame] << QString::fromLatin1(row.text);
    }
    // A frame's title is a label of its own; screen readers want it as the group's name.
    for (auto frame = titles.cbegin(); frame != titles.cend(); ++frame)
        parents.value(frame.key())->setAccessibleName(frame.value().join(u' ').simplified());

    PanelControls c;
    c.buttons = new QButtonGroup(window);
    for (const PanelButton &row : kPanelButtons)
        c.buttons->addButton(makeButton(parents.value(row.frame), row), row.number);

    // Each view is named after its title, as a field after its caption.
    for (const auto &[title, view] : {std::pair(9, 11), std::pair(10, 12), std::pair(26, 25)})
        labels.value(title)->setBuddy(labels.value(view));

    c.Label11 = static_cast<TrafficView *>(labels.value(11));
    c.Label12 = static_cast<TrafficView *>(labels.value(12));
    c.Label25 = static_cast<TrafficView *>(labels.value(25));
    c.Label27 = labels.value(27);
    c.Label28 = labels.value(28);
    c.Label29 = labels.value(29);
    c.Frame15 = qobject_cast<QFrame *>(parents.value(15));
    return c;
}
