// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "stats.h"

#include <QJsonObject>
#include <QString>

#include <optional>
#include <vector>

// One measured figure, next to the floor measured in the same run.
struct Figure {
    Figure(QString family, QString name, QString unit, Summary value, std::optional<Summary> floor = {},
           QString target = {})
        : family(std::move(family)), name(std::move(name)), unit(std::move(unit)), value(value), floor(floor),
          target(std::move(target))
    {}

    QString family;
    QString name;
    QString unit;
    Summary value;
    std::optional<Summary> floor;
    QString target;          // empty: reported for information
    std::optional<bool> met; // whether the target was reached
    QString note;

    // value median over floor median; empty without a non-zero floor
    std::optional<double> ratio() const;
};

class Report
{
public:
    void add(Figure figure);
    // A family that could not run says why here instead of giving figures.
    void skip(const QString &family, const QString &reason);

    const std::vector<Figure> &figures() const { return m_figures; }

    QString table() const;
    // The figures with the run's circumstances (machine, load, options).
    bool writeJson(const QString &path, const QJsonObject &run) const;

private:
    std::vector<Figure> m_figures;
    std::vector<std::pair<QString, QString>> m_skipped;
};
