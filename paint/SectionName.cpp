#include "SectionName.h"

#include <QFileInfo>

QString SectionName = QStringLiteral("Corvane");

QString sectionNameFor(const QString &programPath)
{
    QString name = QFileInfo(programPath).fileName();
    // Cutting four characters off a name without ".exe" would mangle it.
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        name.chop(4);
    return name;
}
