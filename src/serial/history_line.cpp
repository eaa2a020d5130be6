// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/history_line.h"

#include "serial/transaction_history.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QStringList>

#include <array>

namespace {

constexpr std::array<const char *, 32> kControlNames = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

// Printable runs as they are, every other byte as a word of its own.
QString words(const QByteArray &bytes, qsizetype length)
{
    QStringList out;
    QString run;
    const auto endRun = [&] {
        if (!run.isEmpty())
            out << std::exchange(run, {});
    };
    for (const char c : bytes) {
        const auto byte = quint8(c);
        if (byte >= 0x20 && byte < 0x7F) {
            run += QLatin1Char(c);
            continue;
        }
        endRun();
        if (byte < kControlNames.size())
            out << QLatin1String(kControlNames[byte]);
        else if (byte == 0x7F)
            out << QStringLiteral("DEL");
        else
            out << QStringLiteral("0x") + QString::number(byte, 16).toUpper();
    }
    endRun();
    if (length > bytes.size())
        out << QStringLiteral("… (%1 bytes)").arg(length);
    return out.join(u' ');
}

// Every command ends in the CR that the sender appends: it says nothing.
QString command(const TransactionRecord &record)
{
    const bool endsInCr =
        record.sent.size() > 1 && record.sent.size() == record.sentLength && record.sent.endsWith('\r');
    return endsInCr ? words(record.sent.chopped(1), record.sentLength - 1)
                    : words(record.sent, record.sentLength);
}

// " 0 3 5 . 0 deg C" reads "035.0 deg C": the space between two digits or
// signs that each stand alone goes.
QString status(const QString &shown)
{
    static const QRegularExpression spelled(
        QStringLiteral("(?<=^[^\\sA-Za-z]|\\s[^\\sA-Za-z]) (?=[^\\sA-Za-z](?:\\s|$))"));
    return QString(shown).remove(spelled).simplified();
}

} // namespace

QString historyLine(const TransactionRecord &record)
{
    using Outcome = TransactionRecord::Outcome;
    QStringList parts;
    if (record.outcome == Outcome::NotSent) {
        parts << QStringLiteral("not sent ") + command(record) + QStringLiteral(": ") +
                     record.reason.split(u'\n', Qt::SkipEmptyParts).join(QStringLiteral(" · "));
    } else if (!record.sent.isEmpty()) {
        parts << QStringLiteral("sent ") + command(record);
    }
    if (record.outcome == Outcome::Replied)
        parts << QStringLiteral("reply ") + words(record.reply, record.replyLength);
    if (!record.status.isEmpty())
        parts << status(record.status);
    if (record.outcome == Outcome::NoReply)
        parts << QStringLiteral("no reply");
    const QString time = QDateTime::fromMSecsSinceEpoch(record.time).toString(QStringLiteral("HH:mm:ss"));
    return time + u' ' + parts.join(QStringLiteral(", "));
}
