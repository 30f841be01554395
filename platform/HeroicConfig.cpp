#include "HeroicConfig.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject rootObject(const QByteArray &jsonText)
{
    const QJsonDocument document = QJsonDocument::fromJson(jsonText);
    return document.isObject() ? document.object() : QJsonObject();
}

} // namespace

QStringList heroicGamePrefixes(const QByteArray &jsonText)
{
    QStringList prefixes;
    const QJsonObject root = rootObject(jsonText);
    for (auto it = root.constBegin(); it != root.constEnd(); ++it) {
        const QString prefix = it.value().toObject().value(QStringLiteral("winePrefix")).toString();
        if (!prefix.isEmpty())
            prefixes << prefix;
    }
    return prefixes;
}

QString heroicDefaultPrefixFolder(const QByteArray &jsonText)
{
    return rootObject(jsonText)
        .value(QStringLiteral("defaultSettings"))
        .toObject()
        .value(QStringLiteral("defaultWinePrefix"))
        .toString();
}
