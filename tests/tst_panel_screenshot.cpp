// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_panel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

// Renders the panel into PNGs next to the test binary, so that anyone can look
// at it, and checks that the controls of every group keep clear of each other.
class TestPanelScreenshot : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldRenderThePanel_data();
    void shouldRenderThePanel();
    void shouldNotOverlapSiblingControls();
};

void TestPanelScreenshot::shouldRenderThePanel_data()
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

void TestPanelScreenshot::shouldRenderThePanel()
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

void TestPanelScreenshot::shouldNotOverlapSiblingControls()
{
    FakePanel p;
    Form1 &form = p.form;
    const QRect client(0, 0, 692, 508);

    QList<QWidget *> parents{&form};
    for (QFrame *frame : form.findChildren<QFrame *>(QRegularExpression(QStringLiteral("^Frame\\d+$"))))
        parents += frame;
    for (QWidget *parent : parents) {
        QList<QWidget *> siblings;
        for (QWidget *child : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            // The lines are decoration drawn around the cursor pad.
            if (!child->isWindow() && !child->objectName().startsWith(QLatin1String("Line")))
                siblings += child;
        }
        QVERIFY(!siblings.isEmpty());
        const QRect area = parent == &form ? client : parent->rect();
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

QTEST_MAIN(TestPanelScreenshot)
#include "tst_panel_screenshot.moc"
