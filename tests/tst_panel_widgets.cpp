// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/click_button.h"
#include "panel/traffic_view.h"

#include <QImage>
#include <QTest>

class TestPanelWidgets : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Once per click, by the left mouse button or the keyboard. A mouse click
    // acts before the button is drawn released, so the command is on the wire
    // before the panel spends time painting.
    void shouldActOncePerClickBeforeRepainting()
    {
        ClickButton button(QStringLiteral("ON"));
        QList<bool> downWhenActing;
        connect(&button, &ClickButton::activated, this, [&] { downWhenActing << button.isDown(); });
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(downWhenActing, QList<bool>{true});
        QTest::mousePress(&button, Qt::LeftButton);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(downWhenActing.size(), 1);
        QTest::keyClick(&button, Qt::Key_Space);
        QCOMPARE(downWhenActing.size(), 2);
    }

    // The view holds the whole text, which the status decoder reads back, but
    // draws its newest part: a plain label would show only the leading blanks.
    void shouldShowTheNewestPartOfALongText()
    {
        TrafficView view;
        view.setAutoFillBackground(true);
        view.resize(300, 20);
        const auto inkOnTheRight = [&view] {
            const QImage image = view.grab().toImage();
            QImage blank(image.width() / 2, image.height(), image.format());
            blank.fill(image.pixel(0, 0));
            return image.copy(image.width() / 2, 0, blank.width(), blank.height()) != blank;
        };
        view.setText(QString(40000, u' '));
        QVERIFY(!inkOnTheRight());
        const QString text = QString(40000, u' ') + QStringLiteral("W [CR] ");
        view.setText(text);
        QVERIFY(inkOnTheRight());
        QCOMPARE(view.text(), text);
    }
};

QTEST_MAIN(TestPanelWidgets)
#include "tst_panel_widgets.moc"
