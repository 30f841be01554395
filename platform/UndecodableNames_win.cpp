#include "UndecodableNames.h"

QStringList undecodableNames(const QString &)
{
    return {};
}
