// SPDX-License-Identifier: GPL-3.0-or-later
#include "tour_runner.h"

#include "panel/form1.h"
#include "panel_operator.h"
#include "serial/transaction.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QRegularExpression>
#include <QTextStream>
#include <QTimer>

namespace {

constexpr std::chrono::milliseconds kPause{150};

bool fits(const QString &text, const QString &pattern)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
}

} // namespace

TourRunner::TourRunner(Form1 &form, QTextStream &out) : m_form(form), m_out(out) {}

bool TourRunner::run(const QList<TourStep> &steps)
{
    int failed = 0;
    for (int i = 0; i < steps.size(); ++i)
        failed += runStep(i + 1, steps[i]) ? 0 : 1;
    if (failed == 0)
        m_out << "Every step showed what it should.\n";
    else
        m_out << failed << " of " << steps.size() << " steps did not show what they should.\n";
    m_out.flush();
    return failed == 0;
}

bool TourRunner::runStep(int number, const TourStep &step)
{
    // A moment between two steps, as the operator takes, so that a late
    // reply to the last one is not taken for a reply to this one.
    if (m_form.repeatKey() == 0)
        runFor(kPause);
    endTransaction();
    step.act();
    QElapsedTimer clock;
    clock.start();
    qint64 actedAt = 0;
    while (!shows(step) && clock.elapsed() < step.timeout.count()) {
        runFor(std::chrono::milliseconds(10));
        const bool answered = m_form.transaction().replyPending() == 0;
        if (step.retry.count() > 0 && answered && clock.elapsed() - actedAt >= step.retry.count() &&
            !shows(step)) {
            endTransaction();
            step.act();
            actedAt = clock.elapsed();
        }
    }

    const bool ok = shows(step);
    m_out << QStringLiteral("%1. %2").arg(number, 2).arg(step.title).leftJustified(64)
          << (ok ? "ok" : "FAILED") << '\n';
    printView("TxD", view(11), step.sent);
    printView("RxD", view(12), step.reply);
    printView("STATUS", view(25), step.status,
              m_form.findChild<QFrame *>(QStringLiteral("Frame15"))->isHidden()
                  ? QStringLiteral("(hidden while the console is open)")
                  : QString());
    if (step.note)
        m_out << "      " << step.note() << '\n';
    m_out << '\n';
    m_out.flush();
    return ok;
}

bool TourRunner::shows(const TourStep &step) const
{
    return fits(view(11), step.sent) && fits(view(12), step.reply) && fits(view(25), step.status);
}

QString TourRunner::view(int label) const
{
    return m_form.findChild<QLabel *>(QStringLiteral("Label%1").arg(label))->text();
}

// The operator would wait for the views to clear; the tour ticks the two
// transaction timers at once instead, except while a key is held.
void TourRunner::endTransaction()
{
    if (m_form.repeatKey() != 0)
        return;
    Transaction &transaction = m_form.transaction();
    if (transaction.findChild<QTimer *>(QStringLiteral("Timer2"))->isActive())
        transaction.Timer2_Timer();
    if (transaction.findChild<QTimer *>(QStringLiteral("Timer4"))->isActive())
        transaction.Timer4_Timer();
}

void TourRunner::printView(const char *name, const QString &text, const QString &pattern,
                           const QString &remark)
{
    m_out << "      " << QString::fromLatin1(name).leftJustified(8) << '"' << text << '"';
    if (!remark.isEmpty())
        m_out << ' ' << remark;
    if (!fits(text, pattern))
        m_out << "   <- expected /" << pattern << '/';
    m_out << '\n';
}
