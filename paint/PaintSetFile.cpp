#include "PaintSetFile.h"

#include "GameText.h"
#include "PaintRules.h"
#include "RegularFileOpen.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

const QString FormatKey = QStringLiteral("corvanePaintSet");

// A bare name of one folder or file: a shared set must never lead anywhere
// but into the aircraft folder it names.
bool isBareName(const QString &name)
{
    return !name.isEmpty() && name != u'.' && name != QLatin1StringView("..") && !name.contains(u'/')
           && !name.contains(u'\\') && !name.contains(u':') && !name.contains(QChar(0));
}

bool isSha256(const QString &text)
{
    if (text.size() != 64)
        return false;
    for (QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

// Reads one entry of "aircraft"; an empty text on success.
QString readChoice(const QJsonValue &value, PaintChoice &choice)
{
    if (!value.isObject())
        return QStringLiteral("is not an object");
    const QJsonObject object = value.toObject();
    auto text = [&](const char *key, QString &into, bool required) -> QString {
        const QJsonValue field = object.value(QLatin1StringView(key));
        if (field.isUndefined()) {
            return required ? QStringLiteral("has no \"%1\"").arg(QLatin1StringView(key)) : QString();
        }
        if (!field.isString())
            return QStringLiteral("has a \"%1\" that is not a text").arg(QLatin1StringView(key));
        into = field.toString();
        return QString();
    };

    QString problem = text("folder", choice.folder, true);
    if (problem.isEmpty())
        problem = text("definition", choice.definition, false);
    if (problem.isEmpty())
        problem = text("title", choice.title, false);
    if (!problem.isEmpty())
        return problem;
    if (!isBareName(choice.folder))
        return QStringLiteral("names the folder \"%1\", which is not a plain folder name").arg(choice.folder);
    if (!choice.definition.isEmpty() && !isBareName(choice.definition))
        return QStringLiteral("names the definition \"%1\", which is not a plain file name").arg(choice.definition);

    const QJsonValue original = object.value(QLatin1StringView("original"));
    if (!original.isUndefined() && !original.isBool())
        return QStringLiteral("has an \"original\" that is not true or false");
    choice.original = original.toBool(false);
    if (choice.original)
        return QString();

    problem = text("paint", choice.paint, true);
    if (problem.isEmpty())
        problem = text("texture", choice.textureFile, true);
    if (problem.isEmpty())
        problem = text("sha256", choice.sha256, false);
    if (!problem.isEmpty())
        return problem;
    if (const QString bad = PaintRules::problemWithName(GameText::encode(choice.paint)); !bad.isEmpty())
        return QStringLiteral("names the paint \"%1\": %2").arg(choice.paint, bad);
    if (choice.textureFile.isEmpty() || !PaintRules::staysInAircraftFolder(GameText::encode(choice.textureFile)))
        return QStringLiteral("names the texture \"%1\", which leads outside the aircraft's folder").arg(choice.textureFile);
    if (!choice.sha256.isEmpty()) {
        if (!isSha256(choice.sha256))
            return QStringLiteral("has a \"sha256\" that is not 64 lower-case hexadecimal digits");
        const QJsonValue size = object.value(QLatin1StringView("size"));
        if (!size.isDouble() || size.toDouble() < 0 || size.toDouble() != double(qint64(size.toDouble())))
            return QStringLiteral("has a \"sha256\" without a whole \"size\" in bytes");
        choice.size = qint64(size.toDouble());
    }
    return QString();
}

QString aircraftKey(const PaintChoice &choice)
{
    return (choice.folder + u'/' + choice.definition).toCaseFolded();
}

} // namespace

namespace PaintSetFile {

QByteArray toJson(const PaintSet &set)
{
    QJsonArray aircraft;
    for (const PaintChoice &choice : set.choices) {
        QJsonObject entry{{QStringLiteral("folder"), choice.folder}};
        if (!choice.definition.isEmpty())
            entry.insert(QStringLiteral("definition"), choice.definition);
        if (!choice.title.isEmpty())
            entry.insert(QStringLiteral("title"), choice.title);
        if (choice.original) {
            entry.insert(QStringLiteral("original"), true);
        } else {
            entry.insert(QStringLiteral("paint"), choice.paint);
            entry.insert(QStringLiteral("texture"), choice.textureFile);
            if (choice.isShared()) {
                entry.insert(QStringLiteral("sha256"), choice.sha256);
                entry.insert(QStringLiteral("size"), double(choice.size));
            }
        }
        aircraft.append(entry);
    }
    const QJsonObject document{{FormatKey, Version}, {QStringLiteral("name"), set.name},
                               {QStringLiteral("aircraft"), aircraft}};
    QByteArray json = QJsonDocument(document).toJson(QJsonDocument::Indented);
    // Shared with players on Windows, whose editors expect CR LF.
    return json.replace('\n', "\r\n");
}

namespace {
std::optional<PaintSet> parsed(const QByteArray &json, QString &problem)
{
    auto refuse = [&](const QString &why) -> std::optional<PaintSet> {
        problem = why;
        return std::nullopt;
    };
    if (json.size() > MaxBytes)
        return refuse(QStringLiteral("The paint set file is larger than %1 MiB, far more than any set needs.")
                          .arg(MaxBytes / (1024 * 1024)));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return refuse(QStringLiteral("The paint set file is not valid JSON (%1 at byte %2).")
                          .arg(error.errorString())
                          .arg(error.offset));
    if (!document.isObject() || !document.object().contains(FormatKey))
        return refuse(QStringLiteral("The file is not a Corvane paint set."));
    const QJsonObject root = document.object();
    const QJsonValue version = root.value(FormatKey);
    if (!version.isDouble() || version.toDouble() != Version)
        return refuse(QStringLiteral("The paint set file is of version %1; this Corvane reads version %2 only.")
                          .arg(version.isDouble() ? QString::number(version.toDouble()) : QStringLiteral("(none)"))
                          .arg(Version));

    PaintSet set;
    const QJsonValue name = root.value(QLatin1StringView("name"));
    if (!name.isUndefined() && !name.isString())
        return refuse(QStringLiteral("The paint set's \"name\" is not a text."));
    set.name = name.toString();
    const QJsonValue aircraft = root.value(QLatin1StringView("aircraft"));
    if (!aircraft.isArray())
        return refuse(QStringLiteral("The paint set has no \"aircraft\" list."));
    const QJsonArray entries = aircraft.toArray();
    if (entries.size() > MaxChoices)
        return refuse(QStringLiteral("The paint set lists %1 aircraft, more than the %2 it may.")
                          .arg(entries.size())
                          .arg(MaxChoices));

    QSet<QString> seen;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        PaintChoice choice;
        if (const QString bad = readChoice(entries.at(i), choice); !bad.isEmpty())
            return refuse(QStringLiteral("Entry %1 of the paint set's aircraft %2.").arg(i + 1).arg(bad));
        // Two choices for one aircraft: which would win is anyone's guess.
        const QString key = aircraftKey(choice);
        if (seen.contains(key))
            return refuse(QStringLiteral("The paint set lists the aircraft %1 (folder %2) twice.")
                              .arg(choice.aircraftLabel(), choice.folder));
        seen.insert(key);
        set.choices.append(choice);
    }
    return set;
}
} // namespace

PaintResult fromJson(const QByteArray &json, PaintSet &set)
{
    QString problem;
    std::optional<PaintSet> read = parsed(json, problem);
    if (!read)
        return PaintResult::failure(QString(), problem);
    set = std::move(*read);
    return PaintResult::success();
}

PaintResult read(const QString &path, PaintSet &set)
{
    QByteArray bytes;
    bool tooLarge = false;
    if (const PaintResult read = RegularFileOpen::readAll(path, MaxBytes, bytes, &tooLarge); !read) {
        return PaintResult::failure(
            path, tooLarge ? QStringLiteral("The paint set file is larger than %1 MiB, far more than any set needs.")
                                 .arg(MaxBytes / (1024 * 1024))
                           : QStringLiteral("The paint set file %1.").arg(read.reason));
    }
    const PaintResult parsed = fromJson(bytes, set);
    return parsed ? PaintResult::success(path) : PaintResult::failure(path, parsed.reason);
}

QString problemWithName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("A paint set needs a name.");
    if (name.size() > 100)
        return QStringLiteral("A paint set's name may be at most 100 characters long.");
    if (name.startsWith(u'.') || name.startsWith(u' '))
        return QStringLiteral("A paint set's name may not begin with a dot or a space.");
    for (QChar c : name) {
        if (c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c))
            return QStringLiteral("A paint set's name may not hold any of / \\ : * ? \" < > | or control characters.");
    }
    if (const QString windows = PaintRules::problemWithWindowsName(name); !windows.isEmpty())
        return QStringLiteral("\"%1\" cannot be a paint set's name: %2").arg(name, windows);
    return QString();
}

} // namespace PaintSetFile
