// SPDX-License-Identifier: GPL-3.0-or-later
#include "report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace {

QString number(double value)
{
    const double size = std::fabs(value);
    const int decimals = size == 0 ? 0 : size < 1 ? 3 : size < 100 ? 2 : 1;
    return QString::number(value, 'f', decimals);
}

QJsonObject toJson(const Summary &summary)
{
    return {{QStringLiteral("count"), double(summary.count)},
            {QStringLiteral("median"), summary.median},
            {QStringLiteral("p99"), summary.p99},
            {QStringLiteral("max"), summary.max}};
}

} // namespace

std::optional<double> Figure::ratio() const
{
    if (!floor || floor->median == 0)
        return std::nullopt;
    return value.median / floor->median;
}

void Report::add(Figure figure)
{
    // A figure without samples reached nothing.
    if (figure.value.count == 0 && figure.met)
        figure.met = false;
    m_figures.push_back(std::move(figure));
}

void Report::skip(const QString &family, const QString &reason)
{
    m_skipped.emplace_back(family, reason);
}

QString Report::table() const
{
    QString out;
    const auto row = [&out](const QStringList &cells) {
        static constexpr int widths[] = {-36, -6, 5, 9, 9, 9, 10, 10, 8, -34, -4};
        QStringList padded;
        for (qsizetype i = 0; i < cells.size(); ++i)
            padded << QStringLiteral("%1").arg(cells[i], widths[i]);
        QString line = padded.join(u' ');
        while (line.endsWith(u' '))
            line.chop(1);
        out += line + u'\n';
    };
    row({QStringLiteral("figure"), QStringLiteral("unit"), QStringLiteral("n"), QStringLiteral("median"),
         QStringLiteral("p99"), QStringLiteral("max"), QStringLiteral("floor med"),
         QStringLiteral("floor p99"), QStringLiteral("ratio"), QStringLiteral("target"),
         QStringLiteral("met")});
    QString notes;
    for (const Figure &f : m_figures) {
        const auto ratio = f.ratio();
        row({f.name, f.unit, QString::number(f.value.count), number(f.value.median), number(f.value.p99),
             number(f.value.max), f.floor ? number(f.floor->median) : QStringLiteral("-"),
             f.floor ? number(f.floor->p99) : QStringLiteral("-"),
             ratio ? number(*ratio) + u'x' : QStringLiteral("-"),
             f.target.isEmpty() ? QStringLiteral("-") : f.target,
             !f.met   ? QStringLiteral("-")
             : *f.met ? QStringLiteral("yes")
                      : QStringLiteral("NO")});
        if (!f.note.isEmpty())
            notes += QStringLiteral("  %1: %2\n").arg(f.name, f.note);
    }
    for (const auto &[family, reason] : m_skipped)
        notes += QStringLiteral("  %1 skipped: %2\n").arg(family, reason);
    if (!notes.isEmpty())
        out += QStringLiteral("\nnotes:\n") + notes;
    return out;
}

bool Report::writeJson(const QString &path, const QJsonObject &run) const
{
    QJsonArray figures;
    for (const Figure &f : m_figures) {
        QJsonObject entry{{QStringLiteral("family"), f.family},
                          {QStringLiteral("name"), f.name},
                          {QStringLiteral("unit"), f.unit},
                          {QStringLiteral("value"), toJson(f.value)}};
        if (f.floor)
            entry.insert(QStringLiteral("floor"), toJson(*f.floor));
        if (const auto ratio = f.ratio())
            entry.insert(QStringLiteral("ratio"), *ratio);
        if (!f.target.isEmpty())
            entry.insert(QStringLiteral("target"), f.target);
        if (f.met)
            entry.insert(QStringLiteral("met"), *f.met);
        if (!f.note.isEmpty())
            entry.insert(QStringLiteral("note"), f.note);
        figures.append(entry);
    }
    QJsonObject skipped;
    for (const auto &[family, reason] : m_skipped)
        skipped.insert(family, reason);
    QJsonObject document = run;
    document.insert(QStringLiteral("figures"), figures);
    document.insert(QStringLiteral("skipped"), skipped);

    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(QJsonDocument(document).toJson()) > 0;
}
