#pragma once

#include <QStringList>
#include <QTextStream>

// Runs the command line given without the program's name; answers the exit
// status (see ExitStatus.h).
int runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err);
