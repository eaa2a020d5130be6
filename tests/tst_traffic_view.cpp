// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/traffic_view.h"

#include <QImage>
#include <QTest>

namespace {

// Whether anything is drawn in the right half of the view.
bool hasInkOnTheRight(TrafficView &view)
{
    const QImage image = view.grab().toImage();
    const QRgb background = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = image.width() / 2; x < image.width(); ++x) {
            if (image.pixel(x, y) != background)
                return true;
        }
    }
    return false;
}

} // namespace

class TestTrafficView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldShowTheNewestPartOfALongText();
    void shouldKeepTheWholeText();
};

void TestTrafficView::shouldShowTheNewestPartOfALongText()
{
    TrafficView view;
    view.setAutoFillBackground(true);
    view.setStyleSheet(QStringLiteral("background: white; color: black;"));
    view.resize(300, 20);
    view.setText(QString(5000, u' '));
    QVERIFY(!hasInkOnTheRight(view));
    view.setText(QString(5000, u' ') + QStringLiteral("W"));
    QVERIFY(hasInkOnTheRight(view)); // a plain label would show only the leading blanks
}

// Status decoding reads the view back: it must hold the whole rendering.
void TestTrafficView::shouldKeepTheWholeText()
{
    TrafficView view;
    const QString text = QString(40000, u'a') + QStringLiteral(" [CR] ");
    view.setText(text);
    QCOMPARE(view.text(), text);
}

QTEST_MAIN(TestTrafficView)
#include "tst_traffic_view.moc"
