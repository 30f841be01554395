#include "PaintNaming.h"

#include "GameText.h"
#include "PaintRules.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace PaintNaming {

namespace {

// The longest file name made from a paint name; long names only make the
// list hard to read and run into path limits on Windows.
constexpr qsizetype MostFileNameCharacters = 64;
constexpr qsizetype MostReadmeNameCharacters = 48;

QString withoutKnownExtension(const QString &name)
{
    static const QSet<QString> extensions{QStringLiteral("dds"), QStringLiteral("bmp"), QStringLiteral("png"),
                                          QStringLiteral("tga"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                          QStringLiteral("zip"), QStringLiteral("7z"),  QStringLiteral("rar"),
                                          QStringLiteral("txt")};
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0 && extensions.contains(name.mid(dot + 1).toLower()))
        return name.left(dot);
    return name;
}

bool isWordBreak(const QString &text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c == u'_' || c == u'.' || c.isSpace())
        return true;
    if (c != u'-')
        return false;
    // "P-51D" is how the aircraft is written; parting it reads worse.
    const bool afterAlnum = i > 0 && text.at(i - 1).isLetterOrNumber();
    const bool beforeDigit = i + 1 < text.size() && text.at(i + 1).isDigit();
    return !(afterAlnum && beforeDigit);
}

QStringList splitCamelCase(const QString &word)
{
    QStringList words;
    qsizetype start = 0;
    for (qsizetype i = 1; i + 1 < word.size(); ++i) {
        if (word.at(i - 1).isLower() && word.at(i).isUpper() && word.at(i + 1).isLower()) {
            words << word.mid(start, i - start);
            start = i;
        }
    }
    words << word.mid(start);
    return words;
}

QStringList wordsOf(const QString &name)
{
    const QString base = withoutKnownExtension(name);
    QStringList words;
    QString word;
    for (qsizetype i = 0; i < base.size(); ++i) {
        if (isWordBreak(base, i)) {
            if (!word.isEmpty())
                words << word;
            word.clear();
        } else {
            word += base.at(i);
        }
    }
    if (!word.isEmpty())
        words << word;
    if (words.size() == 1)
        words = splitCamelCase(words.first());
    return words;
}

QString joinCapitalised(QStringList words)
{
    for (QString &word : words)
        word[0] = word[0].toUpper();
    return words.join(u' ');
}

// "P-51D", "p51d" and "P51D" are one aircraft.
QString folded(const QString &text)
{
    QString result;
    for (const QChar c : text) {
        if (c.isLetterOrNumber())
            result += c.toLower();
    }
    return result;
}

void dropRunsSpelling(QStringList &words, const QString &aircraftName)
{
    const QString wanted = folded(aircraftName);
    if (wanted.isEmpty())
        return;
    for (qsizetype first = 0; first < words.size(); ++first) {
        QString run;
        for (qsizetype last = first; last < words.size() && run.size() < wanted.size(); ++last) {
            run += folded(words.at(last));
            if (run == wanted) {
                words.remove(first, last - first + 1);
                --first;
                break;
            }
        }
    }
}

bool isGeneric(const QStringList &words)
{
    static const QSet<QString> generic{
        QStringLiteral("texture"), QStringLiteral("textures"), QStringLiteral("skin"),   QStringLiteral("skins"),
        QStringLiteral("paint"),   QStringLiteral("paints"),   QStringLiteral("repaint"), QStringLiteral("repaints"),
        QStringLiteral("aircraft"), QStringLiteral("dds"),     QStringLiteral("files"),  QStringLiteral("newfolder"),
        QStringLiteral("readme"),  QStringLiteral("main"),     QStringLiteral("install")};
    return generic.contains(folded(words.join(QString())));
}

bool isPlainTitle(const QString &line)
{
    if (line.size() < 2 || line.size() > MostReadmeNameCharacters)
        return false;
    const QString lower = line.toLower();
    for (const char *noise : {"http", "www.", "@", "readme", "read me", "read-me", "install", "instruction"}) {
        if (lower.contains(QLatin1String(noise)))
            return false;
    }
    bool hasLetter = false;
    for (const QChar c : line) {
        if (c.isLetter())
            hasLetter = true;
        else if (!c.isDigit() && !c.isSpace() && !QStringLiteral("-_.,'&()#/+!").contains(c))
            return false;
    }
    return hasLetter;
}

} // namespace

QString readableName(const QString &fileName)
{
    return joinCapitalised(wordsOf(fileName));
}

QString paintNameFrom(const QString &name, const QStringList &aircraftNames)
{
    QStringList words = wordsOf(name);
    for (const QString &aircraft : aircraftNames)
        dropRunsSpelling(words, aircraft);
    if (!words.isEmpty() && words.last().compare(QLatin1String("t"), Qt::CaseInsensitive) == 0)
        words.removeLast();
    if (words.isEmpty() || isGeneric(words))
        return QString();
    return joinCapitalised(words);
}

QString nameInReadme(const QString &text)
{
    static const QRegularExpression labelled(
        QStringLiteral("^\\s*(?:skin\\s*|paint\\s*)?(?:name|title)\\s*[:=]\\s*(.+?)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QStringList lines = text.split(u'\n');
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = labelled.match(line);
        if (match.hasMatch()) {
            const QString value = match.captured(1).simplified();
            return isPlainTitle(value) ? value : QString();
        }
    }
    for (const QString &line : lines) {
        const QString first = line.simplified();
        if (!first.isEmpty())
            return isPlainTitle(first) ? first : QString();
    }
    return QString();
}

QString fileNameForPaint(const QString &paintName, const QString &extension)
{
    QString base;
    for (const QChar c : paintName.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        const bool safe = c.unicode() < 128 && (c.isLetterOrNumber() || c == u'-' || c == u'_');
        if (safe)
            base += c;
        else if (!base.endsWith(u'_'))
            base += u'_';
    }
    while (base.startsWith(u'_') || base.startsWith(u'-'))
        base.remove(0, 1);
    base.truncate(MostFileNameCharacters);
    while (base.endsWith(u'_') || base.endsWith(u'-'))
        base.chop(1);
    if (base.isEmpty())
        base = QStringLiteral("paint");
    if (!PaintRules::problemWithWindowsName(base + extension).isEmpty())
        base += QStringLiteral("_paint");
    return base + extension;
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

} // namespace PaintNaming
