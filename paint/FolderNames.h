#pragma once

#include <QHash>
#include <QString>

#include <optional>

// The names in one folder, listed once and then kept up to date by the
// caller as it adds files, so that placing thousands of files never lists
// the folder again. Names match in any letter case, as on Windows.
class FolderNames
{
public:
    explicit FolderNames(const QString &folder);

    // The name as the folder spells it, when anything of that name is there:
    // files, folders and links, links leading nowhere included.
    std::optional<QString> find(const QString &name) const;
    void add(const QString &name);

private:
    QHash<QString, QString> m_names; // case-folded -> as stored
};
