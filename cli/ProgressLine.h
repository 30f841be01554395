#pragma once

#include "InstallProgress.h"

#include <QString>

class QTextStream;

// A line on standard error that shows how far a long command has got,
// rewritten in place and ended once the work is done. Only a terminal gets
// it: a file or a pipe collecting the output would keep every step.
class ProgressLine
{
public:
    explicit ProgressLine(QTextStream &err);
    ~ProgressLine(); // ends the line, when one was shown

    // Reports of the progress go to this line, under the given action.
    void follow(InstallProgress &progress, const QString &action);
    void end();

    // The text shown for a step: the action, the count when known and
    // the current name, made safe and short for a terminal.
    static QString text(const QString &action, int done, int total, const QString &current);

private:
    void show(const QString &text);

    QTextStream &m_err;
    bool m_enabled;
    qsizetype m_shownLength = 0;
};
