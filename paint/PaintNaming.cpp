#include "PaintNaming.h"

#include <QStringList>

namespace PaintNaming {

QString readableName(const QString &fileName)
{
    QString base = fileName;
    const qsizetype dot = base.lastIndexOf(u'.');
    if (dot > 0)
        base.truncate(dot);
    for (QChar &c : base) {
        if (c == u'_' || c == u'-' || c == u'.')
            c = u' ';
    }
    QStringList words = base.split(u' ', Qt::SkipEmptyParts);
    for (QString &word : words)
        word[0] = word[0].toUpper();
    return words.join(u' ');
}

QString numberedFileName(const QString &fileName, int number)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const qsizetype at = dot > 0 ? dot : fileName.size();
    return fileName.left(at) + QStringLiteral(" (%1)").arg(number) + fileName.mid(at);
}

} // namespace PaintNaming
