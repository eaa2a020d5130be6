// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/layout_table.h"
#include "panel/panel_table.h"

#include <QSet>
#include <QTest>

#include <algorithm>

namespace {

using enum Face;
using enum Action;
using enum Direction;

// The panel as the operator knows it, typed in independently of the table
// the program builds from. Arrows have no caption; their direction stands in.
struct Expected {
    int number;
    const char *caption;
    int frame;
    Action action;
    const char *code;
    int repeatKey;
    Face face;
    Direction arrow = None;
    const char *accessibleName = nullptr;
};

const Expected kExpected[] = {
    {17, "ON", 1, Click, "C00", 0, On},
    {18, "OFF", 1, Click, "C01", 0, Off},
    {27, "Computer 1", 2, Click, "C05", 0, Function},
    {28, "Analg RGB", 2, Click, "C50", 0, Function},
    {29, "Component", 2, Click, "C54", 0, Function},
    {53, "Scart", 2, Click, "C51", 0, Function},
    {40, "Computer 2", 11, Click, "C06", 0, Function},
    {63, "RGB", 11, Click, "C25", 0, Function},
    {64, "DVI (PC Digital)", 11, Click, "C5B", 0, Function},
    {65, "DVI(AV HDCP)", 11, Click, "C5C", 0, Function},
    {66, "Video(Auto Video S-Video)", 12, Click, "C07", 0, Function},
    {15, "Video", 12, Click, "CF INPUT VIDEO", 0, Function},
    {41, "S-video", 12, Click, "C34", 0, Function},
    {31, "Normal", 5, Click, "C0F", 0, Function},
    {32, "Wide", 5, Click, "C10", 0, Function},
    {71, "Ready", 14, Click, "C2A", 0, Function},
    {72, "OFF", 14, Click, "C2B", 0, Function},
    {56, "Shut down", 14, Click, "C2E", 0, Function},
    {23, "ON", 6, Click, "C1C", 0, On},
    {24, "OFF", 6, Click, "C1D", 0, Off},
    {19, "ON", 3, Click, "C0B", 0, On},
    {20, "OFF", 3, Click, "C0C", 0, Off},
    {21, "ON", 4, Click, "C0D", 0, On},
    {22, "OFF", 4, Click, "C0E", 0, Off},
    {25, "ON", 7, Click, "C43", 0, On},
    {26, "OFF", 7, Click, "C44", 0, Off},
    {5, "", 0, Hold, "C3C", 3, Arrow, Up, "Cursor up"},
    {9, "", 0, Hold, "C3B", 5, Arrow, Left, "Cursor left"},
    {6, "ENTER", 0, Click, "C3F", 0, Enter},
    {8, "", 0, Hold, "C3A", 6, Arrow, Right, "Cursor right"},
    {7, "", 0, Hold, "C3D", 4, Arrow, Down, "Cursor down"},
    {1, "", 19, Hold, "C09", 1, Arrow, Up, "VOL up"},
    {2, "", 19, Hold, "C0A", 2, Arrow, Down, "VOL down"},
    {10, "", 10, Hold, "C8E", 11, Arrow, Up, "KEYSTONE up"},
    {35, "", 10, Hold, "C8F", 12, Arrow, Down, "KEYSTONE down"},
    {30, "", 17, Hold, "C20", 7, Arrow, Up, "Bright up"},
    {42, "", 17, Hold, "C21", 8, Arrow, Down, "Bright down"},
    {48, "", 16, Hold, "C30", 9, Arrow, Up, "D.Zoom up"},
    {49, "", 16, Hold, "C31", 10, Arrow, Down, "D.Zoom down"},
    {4, "STAND", 0, Click, "C11", 0, Function},
    {36, "REAL", 0, Click, "C12", 0, Function},
    {37, "CINEMA", 0, Click, "C13", 0, Function},
    {50, "IMAGE1", 0, Click, "C14", 0, Function},
    {51, "IMAGE2", 0, Click, "C15", 0, Function},
    {52, "IMAGE3", 0, Click, "C16", 0, Function},
    {57, "IMAGE4", 0, Click, "C17", 0, Function},
    {58, "B.Board", 0, Click, "C18", 0, Function},
    {59, "Dynamic", 0, Click, "C19", 0, Function},
    {3, "DISPLAY CLEAR", 0, Click, "C1E", 0, Function},
    {73, "IMAGE(Toggle)", 0, Click, "C27", 0, Function},
    {12, "Image Colorboard", 0, Click, "C39", 0, Function},
    {14, "P-TIMER", 0, Click, "C8A", 0, Function},
    {13, "AUTO PC ADJ.", 0, Click, "C89", 0, Function},
    {69, "Enable", 13, Click, "C28", 0, On},
    {70, "Disable", 13, Click, "C29", 0, Off},
    {60, "NONE", 20, Click, "CF KEYDIS NONE", 0, Function},
    {61, "R/C", 20, Click, "CF KEYDIS RC", 0, Function},
    {62, "KEY", 20, Click, "CF KEYDIS KEY", 0, Function},
    {67, "HIGH", 21, Click, "CF LAMPMODE HIGH", 0, Function},
    {68, "NORMAL", 21, Click, "CF LAMPMODE NORMAL", 0, Function},
    {75, "ECO", 21, Click, "CF LAMPMODE ECO", 0, Function},
    {44, "STATUS", 0, Click, "CR0", 0, StatusRead},
    {45, "MODE", 0, Click, "CR1", 0, StatusRead},
    {54, "TEMP", 0, Click, "CR6", 0, StatusRead},
    {47, "SETTING", 0, Click, "CR4", 0, StatusRead},
    {46, "LAMP-TIME", 0, Click, "CR3", 0, StatusRead},
    {55, "LAMP-STATUS", 0, Click, "CR LAMPSTS", 0, StatusRead},
    {76, "LAMP-MODE", 0, Click, "CR LAMPMODE", 0, StatusRead},
    {16, "END", 0, End, nullptr, 0, Plain},
    {74, "COMMANDTABLE", 0, Console, nullptr, 0, Plain},
    {33, "COM", 0, Port, nullptr, 0, Plain},
};

const PanelFrame *findFrame(int number)
{
    const auto it = std::ranges::find(kPanelFrames, number, &PanelFrame::number);
    return it == kPanelFrames.end() ? nullptr : &*it;
}

QByteArray orEmpty(const char *text)
{
    return text ? QByteArray(text) : QByteArray();
}

} // namespace

class TestPanelTable : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldHoldExactlyTheNumberedButtons();
    void shouldDescribeEveryButton_data();
    void shouldDescribeEveryButton();
    void shouldCountClickHoldAndProgramButtons();
    void shouldRepeatEachKeyFromOneButton();
    void shouldRepeatTheKeysCode_data();
    void shouldRepeatTheKeysCode();
    void shouldPlaceTheFrames_data();
    void shouldPlaceTheFrames();
    void shouldPlaceTheButtonsGivenByPlace_data();
    void shouldPlaceTheButtonsGivenByPlace();
    void shouldKeepFramedButtonsInsideTheirFrame();
    void shouldTitleTheGroupsAndViews_data();
    void shouldTitleTheGroupsAndViews();
    void shouldOutlineThePlusSignExactly();
};

void TestPanelTable::shouldHoldExactlyTheNumberedButtons()
{
    QSet<int> expected;
    for (int n = 1; n <= 76; ++n)
        expected.insert(n);
    for (int unused : {11, 34, 38, 39, 43})
        expected.remove(unused);

    QSet<int> numbers;
    for (const PanelButton &row : kPanelButtons)
        numbers.insert(row.number);
    QCOMPARE(qsizetype(kPanelButtons.size()), qsizetype(71));
    QCOMPARE(numbers.size(), qsizetype(71)); // no number twice
    QCOMPARE(numbers, expected);
    QVERIFY(!findPanelButton(11));
    QVERIFY(!findPanelButton(77));
}

void TestPanelTable::shouldDescribeEveryButton_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kExpected)); ++i)
        QTest::addRow("Command%d", kExpected[i].number) << i;
}

void TestPanelTable::shouldDescribeEveryButton()
{
    QFETCH(int, index);
    const Expected &want = kExpected[index];
    const PanelButton *row = findPanelButton(want.number);
    QVERIFY(row);
    QCOMPARE(QByteArray(row->caption), QByteArray(want.caption));
    QCOMPARE(row->frame, want.frame);
    QCOMPARE(row->action, want.action);
    QCOMPARE(orEmpty(row->code), orEmpty(want.code));
    QCOMPARE(int(row->repeatKey), want.repeatKey);
    QCOMPARE(row->face, want.face);
    QCOMPARE(row->arrow, want.arrow);
    QCOMPARE(orEmpty(row->accessibleName), orEmpty(want.accessibleName));
    // A caption with "&" would lose it to a keyboard mnemonic.
    QVERIFY(!QByteArray(row->caption).contains('&'));
}

void TestPanelTable::shouldCountClickHoldAndProgramButtons()
{
    const auto count = [](Action action) {
        return std::ranges::count(kPanelButtons, action, &PanelButton::action);
    };
    QCOMPARE(count(Click), 56);
    QCOMPARE(count(Hold), 12);
    QCOMPARE(count(End), 1);
    QCOMPARE(count(Console), 1);
    QCOMPARE(count(Port), 1);
    for (const PanelButton &row : kPanelButtons) {
        const bool sends = row.action == Click || row.action == Hold;
        QCOMPARE(row.code != nullptr && *row.code != '\0', sends);
    }
}

void TestPanelTable::shouldRepeatEachKeyFromOneButton()
{
    QList<int> keys;
    for (const PanelButton &row : kPanelButtons) {
        if (row.repeatKey != 0)
            keys += row.repeatKey;
    }
    std::ranges::sort(keys);
    QCOMPARE(keys, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

void TestPanelTable::shouldRepeatTheKeysCode_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("code");
    QTest::newRow("no key") << 0 << QByteArray();
    QTest::newRow("volume up") << 1 << QByteArray("C09");
    QTest::newRow("volume down") << 2 << QByteArray("C0A");
    QTest::newRow("cursor up") << 3 << QByteArray("C3C");
    QTest::newRow("cursor down") << 4 << QByteArray("C3D");
    QTest::newRow("cursor left") << 5 << QByteArray("C3B");
    QTest::newRow("cursor right") << 6 << QByteArray("C3A");
    QTest::newRow("brightness up") << 7 << QByteArray("C20");
    QTest::newRow("brightness down") << 8 << QByteArray("C21");
    QTest::newRow("digital zoom up") << 9 << QByteArray("C30");
    QTest::newRow("digital zoom down") << 10 << QByteArray("C31");
    QTest::newRow("keystone up") << 11 << QByteArray("C8E");
    QTest::newRow("keystone down") << 12 << QByteArray("C8F");
    QTest::newRow("beyond the keys") << 13 << QByteArray();
}

void TestPanelTable::shouldRepeatTheKeysCode()
{
    QFETCH(int, key);
    QFETCH(QByteArray, code);
    QCOMPARE(repeatCode(quint8(key)), code);
}

void TestPanelTable::shouldPlaceTheFrames_data()
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

void TestPanelTable::shouldPlaceTheFrames()
{
    QFETCH(int, frame);
    QFETCH(QRect, twips);
    QCOMPARE(qsizetype(kPanelFrames.size()), qsizetype(19));
    const PanelFrame *row = findFrame(frame);
    QVERIFY(row);
    QCOMPARE(row->twips, twips);
}

// Buttons on the window whose place is given exactly; framed groups only have
// an arrangement, checked by the screenshot test.
void TestPanelTable::shouldPlaceTheButtonsGivenByPlace_data()
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
}

void TestPanelTable::shouldPlaceTheButtonsGivenByPlace()
{
    QFETCH(int, number);
    QFETCH(QRect, twips);
    const PanelButton *row = findPanelButton(number);
    QVERIFY(row);
    QCOMPARE(row->twips, twips);
}

void TestPanelTable::shouldKeepFramedButtonsInsideTheirFrame()
{
    for (const PanelButton &row : kPanelButtons) {
        if (row.frame == 0)
            continue;
        const PanelFrame *frame = findFrame(row.frame);
        QVERIFY2(frame, row.caption);
        QVERIFY2(QRect(QPoint(), frame->twips.size()).contains(row.twips),
                 qPrintable(QString::number(row.number)));
    }
    // The function column: one column at x 6750, the other at x 8500.
    for (int number : {3, 73, 12})
        QCOMPARE(findPanelButton(number)->twips.x(), 6750);
    for (int number : {14, 13})
        QCOMPARE(findPanelButton(number)->twips.x(), 8500);
}

void TestPanelTable::shouldTitleTheGroupsAndViews_data()
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

void TestPanelTable::shouldTitleTheGroupsAndViews()
{
    QFETCH(int, label);
    QFETCH(QString, text);
    QFETCH(int, frame);
    QFETCH(bool, shown);
    QCOMPARE(qsizetype(kPanelLabels.size()), qsizetype(27));
    const auto it = std::ranges::find(kPanelLabels, label, &PanelLabel::number);
    QVERIFY(it != kPanelLabels.end());
    QCOMPARE(QString::fromLatin1(it->text), text);
    QCOMPARE(it->frame, frame);
    QCOMPARE(it->shownAtStart, shown);
    QCOMPARE(it->look == LabelLook::PowerTitle, label == 1);
}

// Every line must lie on the border of the plus (inside on one side, outside
// on the other) and together they must cover its whole perimeter.
void TestPanelTable::shouldOutlineThePlusSignExactly()
{
    const QRect vertical(QPoint(1080, 2400), QPoint(2160, 3960));
    const QRect horizontal(QPoint(120, 2880), QPoint(3120, 3480));
    const auto inside = [&](QPointF p) {
        const auto in = [p](const QRect &r) {
            return p.x() > r.left() && p.x() < r.right() && p.y() > r.top() && p.y() < r.bottom();
        };
        return in(vertical) || in(horizontal);
    };

    QCOMPARE(qsizetype(kPanelLines.size()), qsizetype(12));
    QSet<int> numbers;
    int length = 0;
    for (const PanelLine &row : kPanelLines) {
        numbers.insert(row.number);
        const QLine line = row.twips;
        QVERIFY2(line.dx() == 0 || line.dy() == 0, qPrintable(QString::number(row.number)));
        const QPointF mid = QLineF(line).center();
        const QPointF across = line.dx() == 0 ? QPointF(1, 0) : QPointF(0, 1);
        QVERIFY2(inside(mid + across) != inside(mid - across), qPrintable(QString::number(row.number)));
        length += qAbs(line.dx()) + qAbs(line.dy());
    }
    QCOMPARE(numbers, QSet<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    // Both bars' perimeters less the four edges hidden in the crossing.
    QCOMPARE(length, 2 * (1080 + 1560) + 2 * (3000 + 600) - 2 * 600 - 2 * 1080);
}

QTEST_GUILESS_MAIN(TestPanelTable)
#include "tst_panel_table.moc"
