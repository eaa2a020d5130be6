// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/form3.h"

#include "console/catalog.h"
#include "main/accessible_role.h"
#include "main/outer_height.h"
#include "main/twips.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <span>

namespace {

constexpr int tabStop = 8;

QFont captionFont(QFont font)
{
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

bool captionFits(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return button->fontMetrics().horizontalAdvance(button->text()) <= room.width();
}

// At the given size, the longest caption is a few pixels wider than its
// button in common fonts; the buttons share the largest size that fits them all.
void fitCaptions(std::initializer_list<QPushButton *> buttons)
{
    constexpr qreal smallest = 6;
    for (qreal points = captionFont({}).pointSizeF(); points >= smallest; points -= 0.25) {
        for (QPushButton *button : buttons) {
            QFont font = button->font();
            font.setPointSizeF(points);
            button->setFont(font);
        }
        if (std::ranges::all_of(buttons, captionFits))
            return;
    }
}

QPushButton *makeButton(QWidget *window, int number, const char *caption, const QRect &twips)
{
    auto *button = new QPushButton(QString::fromLatin1(caption), window);
    button->setObjectName(QStringLiteral("Command%1").arg(number));
    button->setGeometry(fromTwips(twips));
    button->setFont(captionFont(button->font()));
    return button;
}

QLabel *makeLegend(QWidget *window, int number, const char *text, const QRect &twips)
{
    auto *label = new QLabel(QString::fromLatin1(text), window);
    label->setObjectName(QStringLiteral("Label%1").arg(number));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(fromTwips(twips));
    label->setFont(captionFont(label->font()));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
    return label;
}

// The entries line their descriptions up with tabs; a list cannot draw tabs,
// so it shows them as spaces to the next tab stop in a fixed-pitch font.
QString displayText(const QString &entry)
{
    QString shown;
    for (const QChar c : entry) {
        if (c != u'\t') {
            shown += c;
            continue;
        }
        do
            shown += u' ';
        while (shown.size() % tabStop != 0);
    }
    return shown;
}

// The item's data keeps the entry as it is, tabs and all: that is what the
// console cuts.
QComboBox *makeList(QWidget *window, int number, const char *name, std::span<const std::string_view> entries,
                    const QRect &twips)
{
    auto *list = new QComboBox(window);
    list->setObjectName(QStringLiteral("Combo%1").arg(number));
    list->setAccessibleName(QLatin1String(name));
    list->setGeometry(fromTwips(twips));
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    int widest = 0;
    for (const std::string_view entry : entries) {
        const QString text = QString::fromLatin1(entry.data(), qsizetype(entry.size()));
        const QString shown = displayText(text);
        list->addItem(shown, text);
        widest = std::max(widest, list->fontMetrics().horizontalAdvance(shown));
    }
    // The long descriptions stay readable in the open list.
    const int margins =
        list->view()->verticalScrollBar()->sizeHint().width() + 2 * list->view()->frameWidth() + 8;
    list->view()->setMinimumWidth(widest + margins);
    return list;
}

} // namespace

Form3::Form3(ConsoleHost &main, QWidget *parent) : QWidget(parent, Qt::Window), m_main(main)
{
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Command List"));
    setAccessibleRole(this, QAccessible::Window);
    setFixedWidth(qRound(clientWidth / 15.0));
    // Until the console is framed, a frame like the main window's is the best guess.
    m_outerHeight = new OuterHeight(this, outerHeight, parent);

    // Created in keyboard tab order; the legends take no focus.
    Combo1 = makeList(this, 1, "Basic Command List", kBasicCommands, {120, 1560, 5055, 300});
    Command1 = makeButton(this, 1, "SEND", {9000, 680, 855, 375});
    Command2 = makeButton(this, 2, "CLOSE", {9000, 1320, 855, 375});
    Command3 = makeButton(this, 3, "Basic Command List", {120, 120, 2415, 375});
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    // It has no caption on the window; what it holds is the command SEND sends.
    Text1->setAccessibleName(QStringLiteral("Command"));
    Text1->setGeometry(fromTwips({120, 720, 8655, 300}));
    Text1->setMaxLength(std::numeric_limits<int>::max());
    Command4 = makeButton(this, 4, "Expand Command List", {2760, 120, 2655, 375});
    Command5 = makeButton(this, 5, "Expand Read Command List", {5760, 120, 3015, 375});
    Label1 = makeLegend(this, 1, "% :Parameter (0-9).", {4560, 1200, 2895, 300});
    Combo2 = makeList(this, 2, "Expand Command List", kExpandCommands, {120, 1560, 8655, 300});
    Combo3 = makeList(this, 3, "Expand Read Command List", kExpandReadCommands, {120, 1560, 8655, 300});
    Label2 = makeLegend(this, 2, "[CR] :Carriage Return Code (0x0D)", {240, 1200, 3975, 300});
    fitCaptions({Command1, Command2, Command3, Command4, Command5});

    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form3::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form3::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form3::Command5_Click);
    connect(Text1, &QLineEdit::textChanged, this, &Form3::Text1_Change);
    // activated: every choice by the operator, also of the item already current.
    for (int number = 1; number <= 3; ++number)
        connect(list(number), &QComboBox::activated, this, [this, number] { Combo_Click(number); });

    placeBelowMainWindow();
    Form_Load();
}

// Without a window manager nothing else places the console: under the main
// window, where it hides none of the panel, or above it when the screen
// ends first.
void Form3::placeBelowMainWindow()
{
    const QWidget *main = parentWidget();
    if (!main)
        return;
    const QRect panel = main->frameGeometry();
    const QRect screen = main->screen()->availableGeometry();
    const int outer = qRound(outerHeight / 15.0);
    int top = panel.bottom() + 1;
    if (top + outer > screen.bottom() + 1)
        top = panel.top() - outer;
    move(std::clamp(panel.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - width())),
         std::clamp(top, screen.top(), std::max(screen.top(), screen.bottom() + 1 - outer)));
}

QComboBox *Form3::list(int number) const
{
    switch (number) {
    case 1:
        return Combo1;
    case 2:
        return Combo2;
    default:
        return Combo3;
    }
}

void Form3::Form_Load()
{
    m_outerHeight->setTwips(outerHeight);
    Label1->hide();
    Label2->hide();
    showList(1);
}

void Form3::Command3_Click()
{
    showList(1);
}

void Form3::Command4_Click()
{
    showList(2);
}

void Form3::Command5_Click()
{
    showList(3);
}

void Form3::showList(int number)
{
    for (int other = 1; other <= 3; ++other) {
        if (other != number)
            list(other)->hide();
    }
    QComboBox *shown = list(number);
    shown->show();
    // Back to the first item even when it is current already, and always as
    // a fresh choice, so its legends show again.
    shown->setCurrentIndex(0);
    Combo_Click(number);
}

void Form3::Combo_Click(int number)
{
    const QComboBox *chosen = list(number);
    Label2->show();
    if (chosen == Combo2) {
        if (chosen->currentData().toString().contains(u'%')) {
            Label1->show();
            Text1->setFocus();
        } else {
            Label1->hide();
        }
    }
    takeSelection(chosen);
}

void Form3::takeSelection(const QComboBox *list)
{
    const QString entry = list->currentData().toString();
    ConsoleCommand = wireCommand(entry);
    Text1->setText(commandPart(entry).toString() + QStringLiteral("[CR]"));
}

void Form3::Text1_Change()
{
    ConsoleCommand = wireCommand(Text1->text());
}

void Form3::Command1_Click()
{
    // PendingCommand stays the panel's: a reply to a console command is
    // decoded as a reply to the last panel command.
    m_main.transmit(ConsoleCommand);
    Label1->hide();
    Label2->hide();
}

void Form3::Command2_Click()
{
    close();
}

void Form3::closeEvent(QCloseEvent *event)
{
    // CLOSE and the title bar alike give the main window back its status
    // line and its normal timing. A closed main window means the program is
    // ending (the console is closed with the rest): leave it closed.
    QWidget::closeEvent(event);
    if (m_main.isUnloaded())
        return;
    m_main.showAndRaise();
    m_main.setStatusLineVisible(true);
    m_main.setTransactionIntervals(1000, 1200);
}
