// SPDX-License-Identifier: GPL-3.0-or-later
// The built panel against the panel as the operator knows it, typed in here
// independently of the tables the program builds from.
#include "fakes/fake_panel.h"
#include "panel/layout_table.h"
#include "panel/panel_builder.h"
#include "panel/panel_table.h"
#include "serial/render.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

using enum Face;
using enum Action;
using enum Direction;

const QRect kClientArea(0, 0, 692, 508);
constexpr int kFaceBorder = 2;

// Arrows have no caption: their direction and accessible name stand in.
struct Expected {
    int number;
    const char *caption;
    int frame;
    Action action;
    const char *code;
    Face face;
    Direction arrow = None;
    const char *accessibleName = nullptr;
    int repeatKey = 0;
};

const Expected kExpected[] = {
    {17, "ON", 1, Click, "C00", On},
    {18, "OFF", 1, Click, "C01", Off},
    {27, "Computer 1", 2, Click, "C05", Function},
    {28, "Analg RGB", 2, Click, "C50", Function},
    {29, "Component", 2, Click, "C54", Function},
    {53, "Scart", 2, Click, "C51", Function},
    {40, "Computer 2", 11, Click, "C06", Function},
    {63, "RGB", 11, Click, "C25", Function},
    {64, "DVI (PC Digital)", 11, Click, "C5B", Function},
    {65, "DVI(AV HDCP)", 11, Click, "C5C", Function},
    {66, "Video(Auto Video S-Video)", 12, Click, "C07", Function},
    {15, "Video", 12, Click, "CF INPUT VIDEO", Function},
    {41, "S-video", 12, Click, "C34", Function},
    {31, "Normal", 5, Click, "C0F", Function},
    {32, "Wide", 5, Click, "C10", Function},
    {71, "Ready", 14, Click, "C2A", Function},
    {72, "OFF", 14, Click, "C2B", Function},
    {56, "Shut down", 14, Click, "C2E", Function},
    {23, "ON", 6, Click, "C1C", On},
    {24, "OFF", 6, Click, "C1D", Off},
    {19, "ON", 3, Click, "C0B", On},
    {20, "OFF", 3, Click, "C0C", Off},
    {21, "ON", 4, Click, "C0D", On},
    {22, "OFF", 4, Click, "C0E", Off},
    {25, "ON", 7, Click, "C43", On},
    {26, "OFF", 7, Click, "C44", Off},
    {5, "", 0, Hold, "C3C", Arrow, Up, "Cursor up", 3},
    {9, "", 0, Hold, "C3B", Arrow, Left, "Cursor left", 5},
    {6, "ENTER", 0, Click, "C3F", Enter},
    {8, "", 0, Hold, "C3A", Arrow, Right, "Cursor right", 6},
    {7, "", 0, Hold, "C3D", Arrow, Down, "Cursor down", 4},
    {1, "", 19, Hold, "C09", Arrow, Up, "VOL up", 1},
    {2, "", 19, Hold, "C0A", Arrow, Down, "VOL down", 2},
    {10, "", 10, Hold, "C8E", Arrow, Up, "KEYSTONE up", 11},
    {35, "", 10, Hold, "C8F", Arrow, Down, "KEYSTONE down", 12},
    {30, "", 17, Hold, "C20", Arrow, Up, "Bright up", 7},
    {42, "", 17, Hold, "C21", Arrow, Down, "Bright down", 8},
    {48, "", 16, Hold, "C30", Arrow, Up, "D.Zoom up", 9},
    {49, "", 16, Hold, "C31", Arrow, Down, "D.Zoom down", 10},
    {4, "STAND", 0, Click, "C11", Function},
    {36, "REAL", 0, Click, "C12", Function},
    {37, "CINEMA", 0, Click, "C13", Function},
    {50, "IMAGE1", 0, Click, "C14", Function},
    {51, "IMAGE2", 0, Click, "C15", Function},
    {52, "IMAGE3", 0, Click, "C16", Function},
    {57, "IMAGE4", 0, Click, "C17", Function},
    {58, "B.Board", 0, Click, "C18", Function},
    {59, "Dynamic", 0, Click, "C19", Function},
    {3, "DISPLAY CLEAR", 0, Click, "C1E", Function},
    {73, "IMAGE(Toggle)", 0, Click, "C27", Function},
    {12, "Image Colorboard", 0, Click, "C39", Function},
    {14, "P-TIMER", 0, Click, "C8A", Function},
    {13, "AUTO PC ADJ.", 0, Click, "C89", Function},
    {69, "Enable", 13, Click, "C28", On},
    {70, "Disable", 13, Click, "C29", Off},
    {60, "NONE", 20, Click, "CF KEYDIS NONE", Function},
    {61, "R/C", 20, Click, "CF KEYDIS RC", Function},
    {62, "KEY", 20, Click, "CF KEYDIS KEY", Function},
    {67, "HIGH", 21, Click, "CF LAMPMODE HIGH", Function},
    {68, "NORMAL", 21, Click, "CF LAMPMODE NORMAL", Function},
    {75, "ECO", 21, Click, "CF LAMPMODE ECO", Function},
    {44, "STATUS", 0, Click, "CR0", StatusRead},
    {45, "MODE", 0, Click, "CR1", StatusRead},
    {54, "TEMP", 0, Click, "CR6", StatusRead},
    {47, "SETTING", 0, Click, "CR4", StatusRead},
    {46, "LAMP-TIME", 0, Click, "CR3", StatusRead},
    {55, "LAMP-STATUS", 0, Click, "CR LAMPSTS", StatusRead},
    {76, "LAMP-MODE", 0, Click, "CR LAMPMODE", StatusRead},
    {16, "END", 0, End, nullptr, Plain},
    {74, "COMMANDTABLE", 0, Console, nullptr, Plain},
    {33, "COM", 0, Port, nullptr, Plain},
};

QColor faceColour(Face face)
{
    switch (face) {
    case On:
        return {128, 255, 128};
    case Off:
        return {255, 128, 128};
    case Function:
        return {0, 192, 192};
    case StatusRead:
        return {192, 255, 255};
    case Arrow:
        return {255, 255, 128};
    case Enter:
        return {255, 192, 128};
    case Plain:
        break;
    }
    return {};
}

QString parentName(int frame)
{
    return frame == 0 ? QStringLiteral("Form1") : QStringLiteral("Frame%1").arg(frame);
}

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

// Bold, of a readable size, and the text fits the box on one line.
void verifyReadable(QWidget *widget, const QString &text, const QRect &box)
{
    QVERIFY(widget->font().bold());
    QVERIFY(widget->font().pointSizeF() >= 7.5 && widget->font().pointSizeF() <= 12);
    const QFontMetrics metrics(widget->font());
    QVERIFY2(metrics.horizontalAdvance(text) <= box.width(), qPrintable(text));
    QVERIFY2(metrics.height() <= box.height(), qPrintable(text));
}

} // namespace

class TestPanelTable : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldBuildEveryButtonAsListed_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kExpected)); ++i)
            QTest::addRow("Command%d", kExpected[i].number) << i;
    }
    void shouldBuildEveryButtonAsListed()
    {
        QFETCH(int, index);
        const Expected &want = kExpected[index];
        const PanelButton *row = findPanelButton(want.number);
        QVERIFY(row);
        QCOMPARE(row->action, want.action);
        QCOMPARE(row->arrow, want.arrow); // the look test draws the triangle the row asks for

        FakePanel p;
        QPushButton *b = p.button(want.number);
        QVERIFY(b);
        QCOMPARE(p.form.buttons->button(want.number), b);
        QCOMPARE(p.form.buttons->buttons().size(), qsizetype(std::size(kExpected)));
        QCOMPARE(b->parentWidget()->objectName(), parentName(want.frame));
        QCOMPARE(b->text(), QString::fromLatin1(want.caption));
        QCOMPARE(accessibleName(b),
                 QString::fromLatin1(want.accessibleName ? want.accessibleName : want.caption));
        QVERIFY(!accessibleName(b).isEmpty());
        QVERIFY(b->isVisibleTo(&p.form));
        QVERIFY(kClientArea.contains(QRect(b->mapTo(&p.form, QPoint()), b->size())));
        // Inside the border; a caption with "&" would lose it to a keyboard mnemonic.
        verifyReadable(b, b->text(),
                       b->rect().adjusted(kFaceBorder + 1, kFaceBorder, -kFaceBorder - 1, -kFaceBorder));
        QVERIFY(!b->text().contains(u'&'));

        // The face inside the border, left of any centred caption or triangle.
        const QImage image = b->grab().toImage();
        const QColor face =
            image.pixelColor(QPoint(kFaceBorder + 2, b->height() / 2) * image.devicePixelRatio());
        if (want.face == Plain) {
            for (Face f : {On, Off, Function, StatusRead, Arrow, Enter})
                QVERIFY(face != faceColour(f));
        } else {
            QCOMPARE(face, faceColour(want.face));
        }

        const QByteArray command = QByteArray(want.code) + '\r';
        if (want.action == Click) {
            QTest::mouseClick(b, Qt::LeftButton);
            QCOMPARE(p.port->written, command);
            QCOMPARE(p.module.PendingCommand, command);
            QCOMPARE(p.form.Label11->text(), renderTokens(command).text);
            QVERIFY(p.form.Timer2->isActive() && p.form.Timer4->isActive());
        } else if (want.action == Hold) {
            // No click handler: the keyboard and a screen reader's press action send nothing.
            for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
                QTest::keyClick(b, key);
            b->click();
            QVERIFY(p.port->written.isEmpty());
            QVERIFY(!p.form.Timer1->isActive());
            QTest::mousePress(b, Qt::LeftButton);
            QCOMPARE(int(p.form.repeatKey()), want.repeatKey);
            p.form.Timer1_Timer();
            QCOMPARE(p.port->written, command + command);
            QTest::mouseRelease(b, Qt::LeftButton);
        }
    }

    // Buttons on the window whose place is given exactly; framed groups only
    // have an arrangement, checked by the screenshot test.
    void shouldPlaceTheButtonsGivenByPlace_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QRect>("twips");
        // Cursor pad: 855 x 375, 960 apart across and 480 down.
        QTest::newRow("cursor up") << 5 << QRect(1200, 2520, 855, 375);
        QTest::newRow("cursor left") << 9 << QRect(240, 3000, 855, 375);
        QTest::newRow("ENTER") << 6 << QRect(1200, 3000, 855, 375);
        QTest::newRow("cursor right") << 8 << QRect(2160, 3000, 855, 375);
        QTest::newRow("cursor down") << 7 << QRect(1200, 3480, 855, 375);
        // Image grid: three by three, 1095 x 300, filling 3315 x 930.
        const int grid[] = {4, 36, 37, 50, 51, 52, 57, 58, 59};
        for (int i = 0; i < 9; ++i)
            QTest::addRow("image grid %d", grid[i])
                << grid[i] << QRect(3330 + 1110 * (i % 3), 3600 + 315 * (i / 3), 1095, 300);
        // Status column: END 375 high, then the reads 300 apart down to 7450.
        QTest::newRow("END") << 16 << QRect(8720, 4800, 1500, 375);
        const int reads[] = {44, 45, 54, 47, 46, 55, 76};
        for (int i = 0; i < 7; ++i)
            QTest::addRow("status read %d", reads[i]) << reads[i] << QRect(8720, 5350 + 300 * i, 1500, 300);
        QTest::newRow("COMMANDTABLE") << 74 << QRect(6480, 6660, 1850, 375);
        QTest::newRow("COM") << 33 << QRect(6480, 7080, 1850, 375);
        // The function columns give only their left edges.
        for (int number : {3, 73, 12})
            QTest::addRow("function column %d", number) << number << QRect(6750, 0, 0, 0);
        for (int number : {14, 13})
            QTest::addRow("function column %d", number) << number << QRect(8500, 0, 0, 0);
    }
    void shouldPlaceTheButtonsGivenByPlace()
    {
        QFETCH(int, number);
        QFETCH(QRect, twips);
        FakePanel p;
        const QRect place = p.button(number)->geometry();
        QCOMPARE(place.x(), fromTwips(twips).x());
        if (!twips.isEmpty())
            QCOMPARE(place, fromTwips(twips));
    }

    void shouldPlaceTheFrames_data()
    {
        QTest::addColumn<int>("frame");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("power") << 1 << QRect(120, 0, 975, 1520);
        QTest::newRow("computer 1 input") << 2 << QRect(1200, 0, 5655, 732);
        QTest::newRow("computer 2 input") << 11 << QRect(1200, 800, 5655, 732);
        QTest::newRow("video input") << 12 << QRect(6960, 0, 3255, 1275);
        QTest::newRow("screen") << 5 << QRect(7240, 1365, 1450, 1515);
        QTest::newRow("power management") << 14 << QRect(8760, 1365, 1450, 2055);
        QTest::newRow("menu") << 6 << QRect(120, 1600, 1700, 732);
        QTest::newRow("audio mute") << 3 << QRect(1900, 1600, 1700, 732);
        QTest::newRow("video mute") << 4 << QRect(3680, 1600, 1700, 732);
        QTest::newRow("freeze") << 7 << QRect(5450, 1600, 1700, 732);
        QTest::newRow("volume") << 19 << QRect(3240, 2400, 855, 1095);
        QTest::newRow("keystone") << 10 << QRect(4120, 2400, 1200, 1095);
        QTest::newRow("brightness") << 17 << QRect(5350, 2400, 855, 1095);
        QTest::newRow("digital zoom") << 16 << QRect(6260, 2400, 855, 1095);
        QTest::newRow("on start") << 13 << QRect(120, 4020, 3135, 495);
        QTest::newRow("key lock") << 20 << QRect(120, 4680, 4000, 495);
        QTest::newRow("lamp mode") << 21 << QRect(4200, 4680, 4335, 495);
        QTest::newRow("traffic views") << 9 << QRect(120, 5400, 8295, 948);
        QTest::newRow("status line") << 15 << QRect(120, 6960, 6105, 492);
    }
    void shouldPlaceTheFrames()
    {
        QFETCH(int, frame);
        QFETCH(QRect, twips);
        QCOMPARE(qsizetype(kPanelFrames.size()), qsizetype(19));
        FakePanel p;
        auto *widget = p.form.findChild<QFrame *>(parentName(frame));
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget(), &p.form);
        QCOMPARE(widget->geometry(), fromTwips(twips));
        QVERIFY(kClientArea.contains(widget->geometry()));
        QCOMPARE(widget->frameShape(), QFrame::Box);
        QCOMPARE(widget->frameShadow(), QFrame::Plain);
        if (frame == 15)
            QCOMPARE(p.form.Frame15, widget);
    }

    void shouldTitleTheGroupsAndViews_data()
    {
        QTest::addColumn<int>("label");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("frame");
        QTest::addColumn<bool>("shown");
        QTest::newRow("power") << 1 << "POWER" << 1 << true;
        QTest::newRow("computer 1") << 2 << "Computer1" << 2 << true;
        QTest::newRow("volume") << 3 << "VOL" << 19 << true;
        QTest::newRow("audio mute") << 4 << "AUDIO MUTE" << 3 << true;
        QTest::newRow("video mute") << 5 << "VIDEO MUTE" << 4 << true;
        QTest::newRow("screen") << 6 << "SCREEN" << 5 << true;
        QTest::newRow("menu") << 7 << "MENU" << 6 << true;
        QTest::newRow("freeze") << 8 << "FREEZE" << 7 << true;
        QTest::newRow("TxD") << 9 << "TxD" << 9 << true;
        QTest::newRow("RxD") << 10 << "RxD" << 9 << true;
        QTest::newRow("sent view") << 11 << "" << 9 << true;
        QTest::newRow("reply view") << 12 << "" << 9 << true;
        QTest::newRow("keystone") << 13 << "KEYSTONE" << 10 << true;
        QTest::newRow("key lock") << 14 << "R/C KEY OFF" << 20 << true;
        QTest::newRow("brightness") << 16 << "Bright" << 17 << true;
        QTest::newRow("digital zoom") << 17 << "D.Zoom" << 16 << true;
        QTest::newRow("lamp mode") << 18 << "LAMP MODE" << 21 << true;
        QTest::newRow("management") << 20 << "Management" << 14 << true;
        QTest::newRow("computer 2") << 21 << "Computer2" << 11 << true;
        QTest::newRow("video") << 22 << "Video" << 12 << true;
        QTest::newRow("on start") << 23 << "ON START" << 13 << true;
        QTest::newRow("power management") << 24 << "POWER " << 14 << true;
        QTest::newRow("status view") << 25 << "" << 15 << true;
        QTest::newRow("STATUS") << 26 << "STATUS" << 15 << true;
        QTest::newRow("space legend") << 27 << "_ :Space Code (0x20)" << 0 << false;
        QTest::newRow("CR legend") << 28 << "[CR] :Carriage Return Code (0x0D)" << 0 << false;
        QTest::newRow("ACK legend") << 29 << "[ACK]  :ACKnowledgemend Code (0x06)" << 0 << true;
    }
    void shouldTitleTheGroupsAndViews()
    {
        QFETCH(int, label);
        QFETCH(QString, text);
        QFETCH(int, frame);
        QFETCH(bool, shown);
        QCOMPARE(qsizetype(kPanelLabels.size()), qsizetype(27));
        FakePanel p;
        auto *widget = p.form.findChild<QLabel *>(QStringLiteral("Label%1").arg(label));
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget()->objectName(), parentName(frame));
        QCOMPARE(widget->text(), text);
        QCOMPARE(widget->textFormat(), Qt::PlainText);
        QCOMPARE(widget->geometry(),
                 fromTwips(std::ranges::find(kPanelLabels, label, &PanelLabel::number)->twips));
        QCOMPARE(widget->isVisibleTo(&p.form), shown);
        // The power title dark red, the status view and the legends red, the rest as the system has it.
        const QColor colour = label == 1                   ? QColor(192, 0, 0)
                              : label == 25 || label >= 27 ? QColor(255, 0, 0)
                                                           : QPalette().color(QPalette::WindowText);
        QCOMPARE(widget->palette().color(QPalette::WindowText), colour);
        verifyReadable(widget, text, widget->contentsRect());
        if (!text.isEmpty())
            QCOMPARE(accessibleName(widget), text);
    }

    // Every line must lie on the border of the plus (inside on one side,
    // outside on the other) and together they must cover its whole perimeter;
    // drawn 2 pixels wide in blue, under the buttons.
    void shouldOutlineThePlusSignExactly()
    {
        const QRect vertical(QPoint(1080, 2400), QPoint(2160, 3960));
        const QRect horizontal(QPoint(120, 2880), QPoint(3120, 3480));
        const auto inside = [&](QPointF p) {
            const auto in = [p](const QRect &r) {
                return p.x() > r.left() && p.x() < r.right() && p.y() > r.top() && p.y() < r.bottom();
            };
            return in(vertical) || in(horizontal);
        };
        FakePanel p;
        const QObjectList children = p.form.children();
        const qsizetype firstButton = children.indexOf(p.button(5));

        QCOMPARE(qsizetype(kPanelLines.size()), qsizetype(12));
        QSet<int> numbers;
        int length = 0;
        for (const PanelLine &row : kPanelLines) {
            const QByteArray name = "Line" + QByteArray::number(row.number);
            numbers.insert(row.number);
            const QLine line = row.twips;
            QVERIFY2(line.dx() == 0 || line.dy() == 0, name);
            const QPointF mid = QLineF(line).center();
            const QPointF across = line.dx() == 0 ? QPointF(1, 0) : QPointF(0, 1);
            QVERIFY2(inside(mid + across) != inside(mid - across), name);
            length += qAbs(line.dx()) + qAbs(line.dy());

            auto *widget = p.form.findChild<QWidget *>(QString::fromLatin1(name));
            QVERIFY2(widget, name);
            QCOMPARE(widget->parentWidget(), &p.form);
            QCOMPARE(qMin(widget->width(), widget->height()), 2);
            QCOMPARE(qMax(widget->width(), widget->height()), qRound(QLineF(line).length() / 15) + 2);
            QCOMPARE(widget->grab().toImage().pixelColor(0, 0), QColor(128, 128, 255));
            QVERIFY(children.indexOf(widget) < firstButton);
            QVERIFY(widget->geometry().contains(fromTwips(QRect(line.p1(), QSize(1, 1))).topLeft()));
            QVERIFY(widget->geometry().contains(fromTwips(QRect(line.p2(), QSize(1, 1))).topLeft()));
        }
        QCOMPARE(numbers, QSet<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
        // Both bars' perimeters less the four edges hidden in the crossing.
        QCOMPARE(length, 2 * (1080 + 1560) + 2 * (3000 + 600) - 2 * 600 - 2 * 1080);
    }
};

QTEST_MAIN(TestPanelTable)
#include "tst_panel_table.moc"
