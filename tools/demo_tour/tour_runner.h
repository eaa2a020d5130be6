// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tour_step.h"

#include <QList>

class Form1;
class QTextStream;

// Runs the steps one after the other on the panel and lists, for each, the
// sent, reply and status views as the operator sees them.
class TourRunner
{
public:
    TourRunner(Form1 &form, QTextStream &out);

    // True when every step showed what it should.
    bool run(const QList<TourStep> &steps);

private:
    bool runStep(int number, const TourStep &step);
    bool shows(const TourStep &step) const;
    // The text of Label<number>, one of the three views.
    QString view(int label) const;
    void endTransaction();
    void printView(const char *name, const QString &text, const QString &pattern, const QString &remark = {});

    Form1 &m_form;
    QTextStream &m_out;
};
