#include "PaintRules.h"

#include "GameText.h"

#include <QList>

#include <algorithm>
#include <QStringList>

namespace PaintRules {

namespace {

// A list line is read in pieces of at most 254 bytes, line end included
// once CR LF is folded: a value of 254 bytes leaves its line end for the
// next read, which then reads as an empty value and shifts every later one.
constexpr int LongestValue = 253;

QString problemWithValue(const QByteArray &value, const QString &what)
{
    if (value.startsWith(';') || value.startsWith('#'))
        return QStringLiteral("%1 cannot begin with \";\" or \"#\": the paint list would read it as a comment or as its end.").arg(what);
    if (value.contains('\r') || value.contains('\n'))
        return QStringLiteral("%1 cannot contain a line break.").arg(what);
    if (value.size() > LongestValue)
        return QStringLiteral("%1 is longer than %2 characters, more than the paint list can hold on one line.").arg(what).arg(LongestValue);
    return QString();
}

} // namespace

bool staysInAircraftFolder(const QByteArray &textureValue)
{
    if (textureValue.startsWith('/') || textureValue.startsWith('\\'))
        return false;
    if (textureValue.size() >= 2 && textureValue.at(1) == ':')
        return false;
    QByteArray normalised = textureValue;
    normalised.replace('\\', '/');
    const QList<QByteArray> parts = normalised.split('/');
    for (const QByteArray &part : parts) {
        if (part == "..")
            return false;
    }
    return true;
}

QString problemWithName(const QByteArray &name)
{
    return problemWithValue(name, QStringLiteral("A paint name"));
}

QString problemWithFileName(const QByteArray &fileName)
{
    if (const QString problem = problemWithValue(fileName, QStringLiteral("A texture file name")); !problem.isEmpty())
        return problem;
    if (const QString problem = problemWithWindowsName(GameText::decode(fileName)); !problem.isEmpty())
        return problem + u'.';
    return QString();
}

QStringList originalTextureNames(const QString &paintListPath, const QByteArray &mainTextureValue)
{
    const QString listName = paintListPath.mid(std::max(paintListPath.lastIndexOf(u'/'), paintListPath.lastIndexOf(u'\\')) + 1);
    const qsizetype dot = listName.lastIndexOf(u'.');
    QStringList names{(dot < 0 ? listName : listName.left(dot)) + QStringLiteral("_t.dds")};
    // A value may name a file in a subfolder; only its own name is taken.
    if (const QString main = GameText::decode(mainTextureValue); !main.isEmpty())
        names << main.mid(std::max(main.lastIndexOf(u'/'), main.lastIndexOf(u'\\')) + 1);
    for (qsizetype i = 0, count = names.size(); i < count; ++i)
        names << names.at(i) + QStringLiteral(".bak");
    return names;
}

QString problemWithWindowsName(const QString &fileName)
{
    if (fileName.endsWith(u'.') || fileName.endsWith(u' '))
        return QStringLiteral("%1 ends in a dot or a space, which Windows drops from file names").arg(fileName);
    // Windows takes "NUL.dds" and "nul .txt" for the device itself.
    const QString stem = fileName.section(u'.', 0, 0).trimmed().toUpper();
    static const QStringList devices = {"CON", "PRN", "AUX", "NUL"};
    const bool numbered = stem.size() == 4 && (stem.startsWith(u"COM") || stem.startsWith(u"LPT"))
                          && stem.at(3) >= u'1' && stem.at(3) <= u'9';
    if (numbered || devices.contains(stem))
        return QStringLiteral("%1 is a name Windows keeps for a device").arg(fileName);
    return QString();
}

} // namespace PaintRules
