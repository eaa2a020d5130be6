// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_panel.h"
#include "panel/hold_button.h"
#include "panel/layout_table.h"
#include "panel/panel_builder.h"
#include "panel/panel_table.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

namespace {

const QRect clientArea(0, 0, 692, 508);
constexpr int faceBorder = 2;

std::optional<QColor> expectedFace(Face face)
{
    switch (face) {
    case Face::On:
        return QColor(128, 255, 128);
    case Face::Off:
        return QColor(255, 128, 128);
    case Face::Function:
        return QColor(0, 192, 192);
    case Face::StatusRead:
        return QColor(192, 255, 255);
    case Face::Arrow:
        return QColor(255, 255, 128);
    case Face::Enter:
        return QColor(255, 192, 128);
    case Face::Plain:
        break;
    }
    return std::nullopt;
}

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

// What the sent view shows for a command of printable characters and spaces.
QString sentView(const QByteArray &code)
{
    QString view = QStringLiteral(" ");
    for (const char c : code)
        view += c == ' ' ? QStringLiteral("_ ") : QString(QLatin1Char(c)) + u' ';
    return view + QStringLiteral(" [CR] ");
}

QString parentName(const PanelButton &row)
{
    return row.frame == 0 ? QStringLiteral("Form1") : QStringLiteral("Frame%1").arg(row.frame);
}

} // namespace

class TestForm1Buttons : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldBuildEveryButtonFromItsRow_data();
    void shouldBuildEveryButtonFromItsRow();
    void shouldPaintEachButtonInItsColourClass_data();
    void shouldPaintEachButtonInItsColourClass();
    void shouldSendTheCodeOfEachClickButton_data();
    void shouldSendTheCodeOfEachClickButton();
    void shouldSendAgainAtASecondClick();
    void shouldSendNothingFromTheKeyboardOnAnArrow_data();
    void shouldSendNothingFromTheKeyboardOnAnArrow();
    void shouldPaintTheArrowTriangle_data();
    void shouldPaintTheArrowTriangle();
    void shouldBuildTheFrames();
    void shouldBuildTheLabels_data();
    void shouldBuildTheLabels();
    void shouldGiveTheViewsTheirLook();
    void shouldNameTheViewsByTheirText();
    void shouldDrawTheLinesBehindTheCursorPad();
    void shouldUseOneProportionalSansSerifFace();
};

static void addRows(const std::function<bool(const PanelButton &)> &wanted)
{
    QTest::addColumn<int>("number");
    for (const PanelButton &row : kPanelButtons) {
        if (wanted(row))
            QTest::addRow("Command%d", row.number) << row.number;
    }
}

void TestForm1Buttons::shouldBuildEveryButtonFromItsRow_data()
{
    addRows([](const PanelButton &) { return true; });
}

void TestForm1Buttons::shouldBuildEveryButtonFromItsRow()
{
    FakePanel p;
    QFETCH(int, number);
    const PanelButton &row = *findPanelButton(number);
    QPushButton *b = p.button(number);
    QVERIFY(b);
    QCOMPARE(p.form.buttons->button(number), b);
    QCOMPARE(p.form.buttons->buttons().size(), qsizetype(71));
    QCOMPARE(b->parentWidget()->objectName(), parentName(row));
    QCOMPARE(b->text(), QString::fromLatin1(row.caption));
    QCOMPARE(b->geometry(), fromTwips(row.twips));
    QVERIFY(clientArea.contains(QRect(b->mapTo(&p.form, QPoint()), b->size())));
    QVERIFY(b->isVisibleTo(&p.form));
    QCOMPARE(qobject_cast<HoldButton *>(b) != nullptr, row.action == Action::Hold);

    const QString name = row.arrow == Direction::None ? QString::fromLatin1(row.caption)
                                                      : QString::fromLatin1(row.accessibleName);
    QVERIFY(!name.isEmpty());
    QCOMPARE(accessibleName(b), name);

    // The caption must be readable in full: inside the border, one line high.
    QVERIFY(b->font().bold());
    QVERIFY(b->font().pointSizeF() >= 7.5 && b->font().pointSizeF() <= 12);
    const QFontMetrics metrics(b->font());
    QVERIFY2(metrics.horizontalAdvance(b->text()) + 2 * (faceBorder + 1) <= b->width(),
             qPrintable(b->text()));
    QVERIFY2(metrics.height() <= b->height() - 2 * faceBorder, qPrintable(b->text()));
}

void TestForm1Buttons::shouldPaintEachButtonInItsColourClass_data()
{
    addRows([](const PanelButton &) { return true; });
}

void TestForm1Buttons::shouldPaintEachButtonInItsColourClass()
{
    FakePanel p;
    QFETCH(int, number);
    QPushButton *b = p.button(number);
    const QImage image = b->grab().toImage();
    // Inside the border, left of any centred caption or triangle.
    const QColor face = image.pixelColor(QPoint(faceBorder + 2, b->height() / 2) * image.devicePixelRatio());
    if (const auto want = expectedFace(findPanelButton(number)->face)) {
        QCOMPARE(face, *want);
    } else {
        for (Face f : {Face::On, Face::Off, Face::Function, Face::StatusRead, Face::Arrow, Face::Enter})
            QVERIFY(face != *expectedFace(f));
    }
}

void TestForm1Buttons::shouldSendTheCodeOfEachClickButton_data()
{
    addRows([](const PanelButton &row) { return row.action == Action::Click; });
}

void TestForm1Buttons::shouldSendTheCodeOfEachClickButton()
{
    FakePanel p;
    QFETCH(int, number);
    const QByteArray code(findPanelButton(number)->code);
    QTest::mouseClick(p.button(number), Qt::LeftButton);
    QCOMPARE(p.port->written, code + '\r');
    QCOMPARE(p.module.PendingCommand, code + '\r');
    QCOMPARE(p.form.Label11->text(), sentView(code));
    QVERIFY(p.form.Timer2->isActive());
    QVERIFY(p.form.Timer4->isActive());
}

void TestForm1Buttons::shouldSendAgainAtASecondClick()
{
    FakePanel p;
    QTest::mouseClick(p.button(17), Qt::LeftButton);
    QTest::mouseClick(p.button(17), Qt::LeftButton);
    QCOMPARE(p.port->written, QByteArray("C00\rC00\r"));
    QCOMPARE(p.form.Label11->text(), QStringLiteral(" C 0 0  [CR] "));
}

void TestForm1Buttons::shouldSendNothingFromTheKeyboardOnAnArrow_data()
{
    addRows([](const PanelButton &row) { return row.action == Action::Hold; });
}

void TestForm1Buttons::shouldSendNothingFromTheKeyboardOnAnArrow()
{
    FakePanel p;
    QFETCH(int, number);
    QPushButton *b = p.button(number);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(b, key);
    b->click(); // where a screen reader's press action ends
    QVERIFY(p.port->written.isEmpty());
    QCOMPARE(p.form.repeatKey(), quint8(0));
    QVERIFY(!p.form.Timer1->isActive());
}

void TestForm1Buttons::shouldPaintTheArrowTriangle_data()
{
    addRows([](const PanelButton &row) { return row.arrow != Direction::None; });
}

// Counted stripe by stripe across the direction of the arrow, the black
// pixels must grow 1, 3, ... 17 from the apex: 9 deep, 17 across the base.
void TestForm1Buttons::shouldPaintTheArrowTriangle()
{
    FakePanel p;
    QFETCH(int, number);
    const Direction direction = findPanelButton(number)->arrow;
    QPushButton *b = p.button(number);
    QImage image = b->grab().toImage();
    image.setDevicePixelRatio(1);
    image = image.scaled(b->size());

    const bool vertical = direction == Direction::Up || direction == Direction::Down;
    QList<int> stripes;
    QRect box;
    for (int a = 0; a < (vertical ? image.height() : image.width()); ++a) {
        int black = 0;
        for (int c = 0; c < (vertical ? image.width() : image.height()); ++c) {
            const QPoint p = vertical ? QPoint(c, a) : QPoint(a, c);
            if (image.pixelColor(p) == Qt::black) {
                ++black;
                box |= QRect(p, QSize(1, 1));
            }
        }
        if (black > 0)
            stripes += black;
    }
    QList<int> expected{1, 3, 5, 7, 9, 11, 13, 15, 17};
    if (direction == Direction::Down || direction == Direction::Right)
        std::ranges::reverse(expected);
    QCOMPARE(stripes, expected);
    QCOMPARE(box.size(), vertical ? QSize(17, 9) : QSize(9, 17));
    QVERIFY(qAbs(box.center().x() - b->width() / 2) <= 1);
    QVERIFY(qAbs(box.center().y() - b->height() / 2) <= 1);
}

void TestForm1Buttons::shouldBuildTheFrames()
{
    FakePanel p;
    for (const PanelFrame &row : kPanelFrames) {
        auto *frame = p.form.findChild<QFrame *>(QStringLiteral("Frame%1").arg(row.number));
        QVERIFY(frame);
        QCOMPARE(frame->parentWidget(), &p.form);
        QCOMPARE(frame->geometry(), fromTwips(row.twips));
        QVERIFY(clientArea.contains(frame->geometry()));
        QCOMPARE(frame->frameShape(), QFrame::Box);
        QCOMPARE(frame->frameShadow(), QFrame::Plain);
    }
    QCOMPARE(p.form.Frame15->objectName(), QStringLiteral("Frame15"));
}

void TestForm1Buttons::shouldBuildTheLabels_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QColor>("textColour");
    for (const PanelLabel &row : kPanelLabels) {
        QColor colour = QPalette().color(QPalette::WindowText);
        if (row.number == 1)
            colour = QColor(192, 0, 0);
        else if (row.number == 25 || row.number >= 27)
            colour = QColor(255, 0, 0);
        QTest::addRow("Label%d", row.number) << row.number << colour;
    }
}

void TestForm1Buttons::shouldBuildTheLabels()
{
    FakePanel p;
    QFETCH(int, number);
    QFETCH(QColor, textColour);
    const PanelLabel &row = *std::ranges::find(kPanelLabels, number, &PanelLabel::number);
    auto *label = p.form.findChild<QLabel *>(QStringLiteral("Label%1").arg(number));
    QVERIFY(label);
    QCOMPARE(label->parentWidget()->objectName(),
             row.frame == 0 ? QStringLiteral("Form1") : QStringLiteral("Frame%1").arg(row.frame));
    QCOMPARE(label->text(), QString::fromLatin1(row.text));
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QCOMPARE(label->geometry(), fromTwips(row.twips));
    QCOMPARE(label->isVisibleTo(&p.form), row.shownAtStart);
    QCOMPARE(label->palette().color(QPalette::WindowText), textColour);
    QVERIFY(label->font().bold());
    QVERIFY(label->font().pointSizeF() >= 7.5 && label->font().pointSizeF() <= 12);
    const QFontMetrics metrics(label->font());
    QVERIFY(metrics.horizontalAdvance(label->text()) <= label->contentsRect().width());
    QVERIFY(metrics.height() <= label->contentsRect().height());
    if (!label->text().isEmpty())
        QCOMPARE(accessibleName(label), label->text());
}

void TestForm1Buttons::shouldGiveTheViewsTheirLook()
{
    FakePanel p;
    const struct {
        QLabel *label;
        qreal points;
    } views[] = {{p.form.Label11, 12}, {p.form.Label12, 12}, {p.form.Label25, 10.5}};
    for (const auto &view : views) {
        QCOMPARE(view.label->font().pointSizeF(), view.points);
        QVERIFY(view.label->text().isEmpty());
        const QImage image = view.label->grab().toImage();
        QCOMPARE(image.pixelColor(1, 1), QColor(Qt::white));
    }
    // Legends stand on the window's grey.
    QVERIFY(!p.form.Label29->autoFillBackground());
    QCOMPARE(p.form.palette().color(QPalette::Window), QColor(192, 192, 192));
}

void TestForm1Buttons::shouldNameTheViewsByTheirText()
{
    FakePanel p;
    QTest::mouseClick(p.button(44), Qt::LeftButton);
    p.port->receive("00\r");
    QCOMPARE(accessibleName(p.form.Label11), QStringLiteral(" C R 0  [CR] "));
    QCOMPARE(accessibleName(p.form.Label12), QStringLiteral(" 0 0  [CR] "));
    QCOMPARE(accessibleName(p.form.Label25), p.form.Label25->text());
    QVERIFY(!p.form.Label25->text().isEmpty());
}

void TestForm1Buttons::shouldDrawTheLinesBehindTheCursorPad()
{
    FakePanel p;
    const QObjectList children = p.form.children();
    const qsizetype firstButton = children.indexOf(p.button(5));
    for (const PanelLine &row : kPanelLines) {
        auto *line = p.form.findChild<QWidget *>(QStringLiteral("Line%1").arg(row.number));
        QVERIFY(line);
        QCOMPARE(line->parentWidget(), &p.form);
        QCOMPARE(qMin(line->width(), line->height()), 2);
        QCOMPARE(qMax(line->width(), line->height()), qRound(QLineF(row.twips).length() / 15) + 2);
        QCOMPARE(line->grab().toImage().pixelColor(0, 0), QColor(128, 128, 255));
        QVERIFY(children.indexOf(line) < firstButton); // stacked under the buttons
        QVERIFY(
            line->geometry().contains(QPoint(qRound(row.twips.x1() / 15.0), qRound(row.twips.y1() / 15.0))));
        QVERIFY(
            line->geometry().contains(QPoint(qRound(row.twips.x2() / 15.0), qRound(row.twips.y2() / 15.0))));
    }
}

void TestForm1Buttons::shouldUseOneProportionalSansSerifFace()
{
    FakePanel p;
    QSet<QString> families;
    for (QWidget *widget : p.form.findChildren<QWidget *>()) {
        if (!qobject_cast<QPushButton *>(widget) && !qobject_cast<QLabel *>(widget))
            continue;
        const QFontInfo info(widget->font());
        QVERIFY(!info.fixedPitch());
        QVERIFY(info.bold());
        families.insert(info.family());
    }
    QCOMPARE(families.size(), qsizetype(1));
}

QTEST_MAIN(TestForm1Buttons)
#include "tst_form1_buttons.moc"
