// SPDX-License-Identifier: GPL-3.0-or-later
// The three windows as an operator reads them, and as a screen reader
// presents them.
#include "fakes/fake_panel.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString accessibleName(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// What the button's style leaves for the caption, in the font it has.
bool captionFits(const QAbstractButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool radio = qobject_cast<const QRadioButton *>(button);
    const QRect room = button->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents, &option, button);
    const QSize caption = QFontMetrics(button->font()).size(Qt::TextShowMnemonic, button->text());
    return caption.width() <= room.width() && caption.height() <= room.height();
}

// A frame's title: the texts it holds, as a sighted operator reads them.
QString title(const QWidget *frame)
{
    if (const auto *box = qobject_cast<const QGroupBox *>(frame))
        return box->title();
    QStringList texts;
    for (const QLabel *label : frame->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
        texts << label->text();
    return texts.join(u' ').simplified();
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_panel = std::make_unique<FakePanel>();
        m_panel->form.show();
        m_panel->form.Command33_Click();
        m_panel->form.Command74_Click();
    }

    void shouldFitEveryCaptionAndNameEveryGroupAndButton()
    {
        const QList<QWidget *> windows{&m_panel->form, m_panel->dialog(), m_panel->console()};
        for (QWidget *window : windows) {
            for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
                if (button->window() != window)
                    continue;
                QVERIFY2(captionFits(button),
                         qPrintable(button->objectName() + u" of "_s + window->objectName()));
                QVERIFY(!accessibleName(button).isEmpty());
            }
            for (QWidget *frame : window->findChildren<QWidget *>(QRegularExpression(u"^Frame\\d+$"_s))) {
                if (frame->window() != window)
                    continue;
                QVERIFY(!title(frame).isEmpty());
                QCOMPARE(accessibleName(frame), title(frame));
            }
        }
    }

    void shouldTakeAClickOnTheChosenPortOptionAsAChoice()
    {
        m_panel->dialog()->close();
        m_panel->module.PortNumber = 2;
        m_panel->form.Command33_Click();
        QTest::keyClicks(control<QLineEdit>(m_panel->dialog(), u"Text1"_s), u"9"_s);
        QCOMPARE(m_panel->module.PortNumber, qint16(9));
        QTest::mouseClick(control<QRadioButton>(m_panel->dialog(), u"Option4"_s), Qt::LeftButton);
        QCOMPARE(m_panel->module.PortNumber, qint16(2));
    }

private:
    std::unique_ptr<FakePanel> m_panel;
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
