// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/status_decoder.h"

#include "serial/status_tables.h"

namespace {

bool isCommand(const QByteArray &pending, const char *code)
{
    return pending == QByteArray(code) + '\r';
}

std::optional<QString> lookUp(const StatusTable &table, const QString &rendered)
{
    QString compared;
    if (table.compare == StatusTable::Compare::Prefix) {
        compared = rendered.left(table.length);
    } else {
        if (rendered.size() < 7)
            return std::nullopt;
        compared = rendered.left(rendered.size() - 7);
    }
    for (const StatusRow &row : table.rows) {
        if (compared == QLatin1String(row.pattern))
            return QString::fromLatin1(row.text);
    }
    return std::nullopt;
}

// Five digits and a CR: leading zeros become spaces, the rest stays as rendered.
// The range stops 5 short of the end, so it takes in the first space of " [CR] ".
QString lampHours(const QString &rendered)
{
    QString out;
    bool significant = false;
    const qsizetype end = rendered.size() - 5;
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = rendered.at(i);
        if (!significant && (c == u' ' || c == u'0')) {
            out += u' ';
        } else {
            out += c;
            significant = true;
        }
    }
    return out + QLatin1String(" Hour Use");
}

// Three five-character values separated by one character each, then a CR.
QString temperatures(const QString &rendered)
{
    const QLatin1String unit(" deg C ");
    return rendered.left(10) + unit + rendered.mid(13, 9) + unit + rendered.mid(25, 9) + unit;
}

} // namespace

std::optional<QString> decodeStatus(const QByteArray &pendingCommand, const QString &rendered,
                                    qsizetype rawLength)
{
    for (const StatusTable &table : kStatusTables) {
        if (isCommand(pendingCommand, table.command))
            return lookUp(table, rendered);
    }
    if (isCommand(pendingCommand, "CR3"))
        return rawLength == 6 ? std::optional(lampHours(rendered)) : std::nullopt;
    if (isCommand(pendingCommand, "CR6"))
        return rawLength == 18 ? std::optional(temperatures(rendered)) : std::nullopt;
    return std::nullopt;
}
