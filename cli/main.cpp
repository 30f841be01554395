#include "CommandLine.h"
#include "InterpretedRegexes.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    useInterpretedRegexes();
    QCoreApplication application(argc, argv);
    // The window's name, so both find the same data folder (paint sets).
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const int status = runCommandLine(arguments, out, err);
    out.flush();
    err.flush();
    return status;
}
