// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/click_button.h"

#include <QSignalSpy>
#include <QTest>

class TestClickButton : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldActOncePerClick_data();
    void shouldActOncePerClick();
    void shouldActBeforeRepaintingReleased();
};

void TestClickButton::shouldActOncePerClick_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("acts");
    QTest::newRow("left mouse") << "left" << 1;
    QTest::newRow("right mouse") << "right" << 0;
    QTest::newRow("released outside") << "outside" << 0;
    QTest::newRow("space bar") << "space" << 1;
    QTest::newRow("program click") << "click" << 1;
}

void TestClickButton::shouldActOncePerClick()
{
    QFETCH(QString, how);
    ClickButton button(QStringLiteral("ON"));
    button.resize(60, 30);
    QSignalSpy acts(&button, &ClickButton::activated);
    if (how == QLatin1String("left"))
        QTest::mouseClick(&button, Qt::LeftButton);
    else if (how == QLatin1String("right"))
        QTest::mouseClick(&button, Qt::RightButton);
    else if (how == QLatin1String("outside")) {
        QTest::mousePress(&button, Qt::LeftButton);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(200, 200));
    } else if (how == QLatin1String("space"))
        QTest::keyClick(&button, Qt::Key_Space);
    else
        button.click();
    QTEST(int(acts.count()), "acts");
}

void TestClickButton::shouldActBeforeRepaintingReleased()
{
    ClickButton button(QStringLiteral("ON"));
    button.resize(60, 30);
    bool downWhenActing = false;
    connect(&button, &ClickButton::activated, this, [&] { downWhenActing = button.isDown(); });
    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(downWhenActing);
}

QTEST_MAIN(TestClickButton)
#include "tst_click_button.moc"
