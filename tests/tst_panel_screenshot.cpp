// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_panel.h"
#include "panel/panel_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>

// How the panel looks: rendered into PNGs next to the test binary, so that
// anyone can look at it, with the controls of every group clear of each
// other, the arrows' triangles, the views and one face for every text.
class TestPanelScreenshot : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldRenderThePanel_data()
    {
        QTest::addColumn<int>("heightTwips");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("file");
        // Offscreen windows have no title bar, so the outer height is all client area.
        QTest::newRow("compact") << Form1::compactHeight << QSize(692, 385)
                                 << QStringLiteral("panel-compact.png");
        QTest::newRow("expanded") << Form1::expandedHeight << QSize(692, 540)
                                  << QStringLiteral("panel-expanded.png");
    }
    void shouldRenderThePanel()
    {
        QFETCH(int, heightTwips);
        QFETCH(QSize, size);
        QFETCH(QString, file);
        FakePanel p;
        p.form.setHeightTwips(heightTwips);

        const QImage image = p.form.grab().toImage();
        QCOMPARE(image.size(), size * image.devicePixelRatio());
        QCOMPARE(image.pixelColor(QPoint(2, 2) * image.devicePixelRatio()), QColor(192, 192, 192));
        const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(file);
        QVERIFY2(image.save(path), qPrintable(path));
    }

    void shouldNotOverlapSiblingControls()
    {
        FakePanel p;
        const QRect client(0, 0, 692, 508);
        QList<QWidget *> parents{&p.form};
        for (QFrame *frame : p.form.findChildren<QFrame *>(QRegularExpression(QStringLiteral("^Frame\\d+$"))))
            parents += frame;
        for (QWidget *parent : parents) {
            QList<QWidget *> siblings;
            for (QWidget *child : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                // The lines are decoration drawn around the cursor pad.
                if (!child->isWindow() && !child->objectName().startsWith(QLatin1String("Line")))
                    siblings += child;
            }
            QVERIFY(!siblings.isEmpty());
            const QRect area = parent == &p.form ? client : parent->rect();
            for (qsizetype i = 0; i < siblings.size(); ++i) {
                QVERIFY2(
                    area.contains(siblings[i]->geometry()),
                    qPrintable(siblings[i]->objectName() + QLatin1String(" leaves ") + parent->objectName()));
                for (qsizetype j = i + 1; j < siblings.size(); ++j) {
                    QVERIFY2(!siblings[i]->geometry().intersects(siblings[j]->geometry()),
                             qPrintable(siblings[i]->objectName() + QLatin1String(" overlaps ") +
                                        siblings[j]->objectName()));
                }
            }
        }
    }

    void shouldPaintTheArrowTriangle_data()
    {
        QTest::addColumn<int>("number");
        for (const PanelButton &row : kPanelButtons) {
            if (row.arrow != Direction::None)
                QTest::addRow("Command%d", row.number) << row.number;
        }
    }
    // Counted stripe by stripe across the direction of the arrow, the black
    // pixels must grow 1, 3, ... 17 from the apex: 9 deep, 17 across the base.
    void shouldPaintTheArrowTriangle()
    {
        QFETCH(int, number);
        const Direction direction = findPanelButton(number)->arrow;
        FakePanel p;
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

    // White boxes for the views, their text large; the legends on the window's grey.
    void shouldGiveTheViewsTheirLook()
    {
        FakePanel p;
        const struct {
            QLabel *label;
            qreal points;
        } views[] = {{p.form.Label11, 12}, {p.form.Label12, 12}, {p.form.Label25, 10.5}};
        for (const auto &view : views) {
            QCOMPARE(view.label->font().pointSizeF(), view.points);
            QCOMPARE(view.label->grab().toImage().pixelColor(1, 1), QColor(Qt::white));
        }
        QVERIFY(!p.form.Label29->autoFillBackground());
        QCOMPARE(p.form.palette().color(QPalette::Window), QColor(192, 192, 192));
    }

    void shouldUseOneProportionalBoldFace()
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
};

QTEST_MAIN(TestPanelScreenshot)
#include "tst_panel_screenshot.moc"
