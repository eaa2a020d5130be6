// SPDX-License-Identifier: GPL-3.0-or-later
// From a reply's bytes written on the far end to the reply and status views
// showing the decoded text, against a bare read of the same bytes.
#include "event_loop.h"
#include "families.h"
#include "form_rig.h"
#include "report.h"
#include "wire_watcher.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QTest>

#include <cmath>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int statusButton = 44;
const QByteArray reply("00\r");
const QString decoded = QStringLiteral(" Power ON");

// Notes the first paint of a label once it shows the expected text.
class PaintSpy : public QObject
{
public:
    PaintSpy(QLabel *label, QString text) : m_label(label), m_text(std::move(text))
    {
        label->installEventFilter(this);
    }
    void reset() { m_paintedAt.reset(); }
    std::optional<BenchClock::time_point> paintedAt() const { return m_paintedAt; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_label && event->type() == QEvent::Paint && !m_paintedAt && m_label->text() == m_text)
            m_paintedAt = BenchClock::now();
        return false;
    }

private:
    QLabel *m_label;
    QString m_text;
    std::optional<BenchClock::time_point> m_paintedAt;
};

// A bare write on one end of a pseudo-terminal and a blocking read on the other.
double bareReply(int master, int slave)
{
    const auto start = BenchClock::now();
    if (::write(master, reply.constData(), size_t(reply.size())) != reply.size())
        return NAN;
    qsizetype got = 0;
    pollfd readable{slave, POLLIN, 0};
    while (got < reply.size() && poll(&readable, 1, 1000) > 0) {
        char buffer[16];
        const ssize_t n = ::read(slave, buffer, sizeof buffer);
        if (n > 0)
            got += n;
    }
    return got == reply.size() ? msBetween(start, BenchClock::now()) : NAN;
}

} // namespace

void benchReplyToView(const BenchOptions &options, Report &report)
{
    FormRig rig;
    QAbstractButton *button = rig.button(statusButton);
    PtyPair bare;
    const int bareSlave = ::open(bare.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (!rig.isReady() || !button || bareSlave < 0) {
        report.skip(QStringLiteral("reply"),
                    QStringLiteral("no window with an open port and button Command44"));
        return;
    }
    Form1 &form = rig.form();
    WireWatcher wire(rig.pty().masterFd(), wakeMainThread);
    auto *statusView = form.findChild<QLabel *>(QStringLiteral("Label25"));
    PaintSpy statusPaint(statusView, decoded);
    std::optional<BenchClock::time_point> textAt;
    QObject context;
    // Connected after the window's own handler, so this runs once it has set the views.
    QObject::connect(&form.commPort(), &CommPort::onComm, &context, [&] {
        if (!textAt && statusView->text() == decoded)
            textAt = BenchClock::now();
    });

    const int warmUp = 20;
    const int samples = options.quick ? 60 : 300;
    std::vector<double> toText;
    std::vector<double> toPaint;
    std::vector<double> floor;
    int lost = 0;
    for (int i = 0; i < warmUp + samples; ++i) {
        rig.settle();
        wire.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        spinUntil([&] { return wire.markCount() >= 1; }, 1000);
        runEventLoopFor(5); // the sent view is painted before the reply comes
        textAt.reset();
        statusPaint.reset();
        const auto start = BenchClock::now();
        rig.pty().write(reply);
        const bool shown = spinUntil([&] { return statusPaint.paintedAt().has_value(); }, 1000);
        const double bareTime = bareReply(bare.masterFd(), bareSlave);
        if (i < warmUp)
            continue;
        if (!shown || !textAt || std::isnan(bareTime)) {
            ++lost;
            continue;
        }
        toText.push_back(msBetween(start, *textAt));
        toPaint.push_back(msBetween(start, *statusPaint.paintedAt()));
        floor.push_back(bareTime);
    }
    ::close(bareSlave);

    const QString target = QStringLiteral("median < 1");
    Figure text(QStringLiteral("reply"), QStringLiteral("reply to view (text set)"), QStringLiteral("ms"),
                summarize(toText), summarize(floor), target);
    text.met = text.value.median < 1;
    text.note = QStringLiteral("\"00\\r\" written on the master after STATUS, until Label12/Label25 hold the "
                               "decoded \"%1\"; floor: bare write/read across a pty")
                    .arg(decoded.trimmed());
    if (lost)
        text.note += QStringLiteral("; %1 samples timed out").arg(lost);
    Figure painted(QStringLiteral("reply"), QStringLiteral("reply to view (painted)"), QStringLiteral("ms"),
                   summarize(toPaint), summarize(floor), target);
    painted.met = painted.value.median < 1;
    painted.note = QStringLiteral("until Label25's first paint with the decoded text");
    report.add(text);
    report.add(painted);
}
