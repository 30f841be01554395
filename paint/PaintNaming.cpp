#include "PaintNaming.h"

#include "GameText.h"
#include "PaintRules.h"

#include <QFile>
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

namespace {

// A paint list line holds 253 bytes (see PaintRules); a file name 255.
constexpr qsizetype LongestListValue = 253;
constexpr qsizetype LongestFileName = 255;

bool fits(const QString &name)
{
#ifdef Q_OS_WIN
    const qsizetype onDisk = name.size(); // UTF-16 units
#else
    const qsizetype onDisk = QFile::encodeName(name).size();
#endif
    return onDisk <= LongestFileName && GameText::encode(name).size() <= LongestListValue;
}

} // namespace

QString fittedFileName(const QString &fileName, int number, bool *shortened)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    QString stem = dot > 0 ? fileName.left(dot) : fileName;
    const QString extension = dot > 0 ? fileName.mid(dot) : QString();
    const QString suffix = number > 1 ? QStringLiteral(" (%1)").arg(number) : QString();
    bool cut = false;
    while (!fits(stem + suffix + extension) && !stem.isEmpty()) {
        stem.chop(stem.size() >= 2 && stem.back().isLowSurrogate() ? 2 : 1);
        cut = true;
    }
    if (cut) {
        // Words cut in the middle read worse than a trailing space is worth.
        stem = stem.trimmed();
    }
    if (shortened)
        *shortened = cut;
    return stem + suffix + extension;
}

QString fileNameForPaint(const QString &paintName, const QString &extension)
{
    QString stem;
    for (const QChar c : paintName)
        stem += c.unicode() < 32 || QStringLiteral("<>:\"/\\|?*").contains(c) ? u' ' : c;
    stem = stem.simplified();
    while (stem.endsWith(u'.'))
        stem.chop(1);
    if (stem.isEmpty() || !PaintRules::problemWithWindowsName(stem + extension).isEmpty())
        stem = QStringLiteral("Paint ") + stem;
    return stem.trimmed() + extension;
}

} // namespace PaintNaming
