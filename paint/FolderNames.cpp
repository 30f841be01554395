#include "FolderNames.h"

#include <QDirIterator>

FolderNames::FolderNames(const QString &folder)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext())
        add(it.nextFileInfo().fileName());
}

std::optional<QString> FolderNames::find(const QString &name) const
{
    const auto it = m_names.constFind(name.toCaseFolded());
    if (it == m_names.cend())
        return std::nullopt;
    return *it;
}

void FolderNames::add(const QString &name)
{
    m_names.insert(name.toCaseFolded(), name);
}
