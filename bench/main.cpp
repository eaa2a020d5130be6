// SPDX-License-Identifier: GPL-3.0-or-later
// tallis-bench: how fast the program answers, how evenly it repeats, how it
// copes with a flood, and what it costs to start and to sit idle, each next
// to the floor the machine allows, measured in the same run.
#include "families.h"
#include "report.h"
#include "run_info.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>

namespace {

struct Family {
    const char *name;
    void (*run)(const BenchOptions &, Report &);
};

constexpr Family families[] = {
    {"click", benchClickToWire}, {"network", benchClickOverNetwork},
    {"reply", benchReplyToView}, {"cadence", benchRepeatCadence},
    {"flood", benchFlood},       {"startup", benchStartUp},
    {"idle", benchIdle},         {"pjlink", benchPjlink},
};

} // namespace

int main(int argc, char *argv[])
{
    // The in-process windows need no screen; the real program gets its own.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true); // never the operator's settings

    QStringList names;
    for (const Family &family : families)
        names << QString::fromLatin1(family.name);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Measures tallis-control against the floor of this machine."));
    parser.addHelpOption();
    const QCommandLineOption quick(QStringLiteral("quick"), QStringLiteral("Shorter runs, fewer samples."));
    const QCommandLineOption only(QStringLiteral("only"),
                                  QStringLiteral("Run only these families (%1), comma-separated or repeated.")
                                      .arg(names.join(QStringLiteral(", "))),
                                  QStringLiteral("names"));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Where to write the figures as JSON."),
                                  QStringLiteral("path"), QStringLiteral("build/bench.json"));
    const QCommandLineOption program(
        QStringLiteral("program"), QStringLiteral("The tallis-control executable for start-up and idle."),
        QStringLiteral("path"),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../src/main/tallis-control")));
    parser.addOptions({quick, only, json, program});
    parser.process(app);

    QStringList selected;
    for (const QString &value : parser.values(only))
        selected += value.split(u',', Qt::SkipEmptyParts);
    for (const QString &name : selected) {
        if (!names.contains(name.trimmed())) {
            std::fprintf(stderr, "unknown family %s; known: %s\n", qPrintable(name),
                         qPrintable(names.join(u' ')));
            return 2;
        }
    }

    BenchOptions options;
    options.quick = parser.isSet(quick);
    options.program = QDir::cleanPath(parser.value(program));
    options.bareWindow =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tallis-bench-bare-window"));

    QJsonObject run = describeRun();
    run.insert(QStringLiteral("quick"), options.quick);
    if (run.value(QStringLiteral("load average")).toDouble() > 0.5)
        std::fprintf(stderr, "note: load average %.2f; figures are steadier on a quiet machine\n",
                     run.value(QStringLiteral("load average")).toDouble());
    Report report;
    for (const Family &family : families) {
        const QString name = QString::fromLatin1(family.name);
        if (!selected.isEmpty() && !selected.contains(name))
            continue;
        std::fprintf(stderr, "measuring %s...\n", family.name);
        family.run(options, report);
    }
    run.insert(QStringLiteral("load average after"), loadAverage());

    std::fputs(qPrintable(report.table()), stdout);
    const QString path = parser.value(json);
    if (!report.writeJson(path, run)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return 1;
    }
    std::fprintf(stderr, "figures written to %s\n", qPrintable(QFileInfo(path).absoluteFilePath()));
    return 0;
}
