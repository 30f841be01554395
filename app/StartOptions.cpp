#include "StartOptions.h"

StartOptions StartOptions::from(const QStringList &arguments)
{
    StartOptions options;
    // The first is the program itself, whatever it was renamed to.
    options.collection = arguments.indexOf(QStringLiteral("--collection"), 1) >= 1;
    return options;
}
