// SPDX-License-Identifier: GPL-3.0-or-later
#include "tour_steps.h"

#include "panel_operator.h"

#include <QRegularExpression>

using namespace std::chrono_literals;

namespace {

constexpr int kOn = 17;
constexpr int kStatus = 44;
constexpr int kLampMode = 76;
constexpr int kVolumeUp = 1;

QString exactly(const char *text)
{
    return QRegularExpression::escape(QString::fromLatin1(text));
}

const QString kAck = exactly("  [ACK] ");

TourStep click(PanelOperator &panel, const char *title, int number, const char *sent, const QString &reply)
{
    return {.title = QString::fromLatin1(title),
            .act = [&panel, number] { panel.click(number); },
            .sent = exactly(sent),
            .reply = reply};
}

// A status read: any complete reply, and the decoded line it must bring.
TourStep statusRead(PanelOperator &panel, const char *title, int number, const char *sent,
                    const QString &status)
{
    TourStep step = click(panel, title, number, sent, QStringLiteral(".* \\[CR\\] "));
    step.status = status;
    return step;
}

} // namespace

QList<TourStep> tourSteps(PanelOperator &panel)
{
    QList<TourStep> steps;
    steps.append(click(panel, "ON (power)", kOn, " C 0 0  [CR] ", kAck));
    steps.append(
        statusRead(panel, "STATUS", kStatus, " C R 0  [CR] ", QStringLiteral(" (Count down|Power ON)")));
    TourStep countDown = statusRead(panel, "STATUS, again until the count-down is over", kStatus,
                                    " C R 0  [CR] ", exactly(" Power ON"));
    countDown.retry = 500ms;
    countDown.timeout = 60s;
    steps.append(countDown);
    steps.append(statusRead(panel, "MODE", 45, " C R 1  [CR] ", exactly(" Input 1")));
    steps.append(statusRead(panel, "TEMP", 54, " C R 6  [CR] ",
                            QStringLiteral(" [0-9. ]+ deg C [0-9. ]+ deg C [0-9. ]+ deg C ")));
    steps.append(statusRead(panel, "SETTING", 47, " C R 4  [CR] ", exactly(" Normally")));
    steps.append(statusRead(panel, "LAMP-TIME", 46, " C R 3  [CR] ", QStringLiteral("[ 0-9]+ Hour Use")));
    steps.append(statusRead(panel, "LAMP-STATUS", 55, " C R _ L A M P S T S  [CR] ", exactly(" Lamp is ON")));
    steps.append(statusRead(panel, "LAMP-MODE", kLampMode, " C R _ L A M P M O D E  [CR] ",
                            exactly(" Lamp Mode is NORMAL")));

    steps.append(click(panel, "ECO (lamp mode)", 75, " C F _ L A M P M O D E _ E C O  [CR] ", kAck));
    steps.append(statusRead(panel, "LAMP-MODE", kLampMode, " C R _ L A M P M O D E  [CR] ",
                            exactly(" Lamp Mode is Eco")));

    // Every send of a hold empties the reply view, so the listing may catch
    // the acknowledgement or the moment before it.
    steps.append({.title = QStringLiteral("VOL up arrow, held for half a second"),
                  .act = [&panel] { panel.hold(kVolumeUp, 500ms); },
                  .sent = exactly(" C 0 9  [CR] "),
                  .reply = QStringLiteral("(%1)?").arg(kAck)});
    steps.append({.title = QStringLiteral("VOL up arrow, released"),
                  .act = [&panel] { panel.release(kVolumeUp); },
                  .note =
                      [&panel] {
                          return QStringLiteral("sent %1 times in a hold of %2 ms")
                              .arg(panel.holdSends())
                              .arg(panel.holdMs());
                      }});

    steps.append({.title = QStringLiteral("COMMANDTABLE, \"CF VOLUME 0%%\", 1 5 typed over the %%, SEND"),
                  .act =
                      [&panel] {
                          panel.openConsole();
                          panel.choose(2, QStringLiteral("CF VOLUME 0%%[CR]"));
                          panel.overtype(11, 2, QStringLiteral("15"));
                          panel.send();
                      },
                  .sent = exactly(" C F _ V O L U M E _ 0 1 5  [CR] "),
                  .reply = kAck,
                  .note = [&panel] { return QStringLiteral("command box: ") + panel.consoleText(); }});
    steps.append({.title = QStringLiteral("Console: \"CR VOLUME\" from the read list, SEND"),
                  .act =
                      [&panel] {
                          panel.choose(3, QStringLiteral("CR VOLUME[CR]"));
                          panel.send();
                      },
                  .sent = exactly(" C R _ V O L U M E  [CR] "),
                  .reply = exactly(" 0 0 0 _ 0 1 5  [CR] ")});

    TourStep back =
        statusRead(panel, "CLOSE the console, STATUS", kStatus, " C R 0  [CR] ", exactly(" Power ON"));
    back.act = [&panel] {
        panel.closeConsole();
        panel.click(kStatus);
    };
    steps.append(back);
    return steps;
}
