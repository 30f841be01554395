#include "LutrisConfig.h"

#include <yaml-cpp/yaml.h>

namespace {

QString scalarAt(const QByteArray &yamlText, const char *section, const char *key)
{
    try {
        const YAML::Node root = YAML::Load(yamlText.toStdString());
        if (!root.IsMap())
            return QString();
        const YAML::Node group = root[section];
        if (!group.IsMap())
            return QString();
        const YAML::Node value = group[key];
        if (!value.IsScalar())
            return QString();
        return QString::fromStdString(value.Scalar());
    } catch (...) {
        return QString();
    }
}

} // namespace

QString lutrisGamePrefix(const QByteArray &yamlText)
{
    return scalarAt(yamlText, "game", "prefix");
}

QString lutrisGamesFolder(const QByteArray &yamlText)
{
    return scalarAt(yamlText, "system", "game_path");
}
