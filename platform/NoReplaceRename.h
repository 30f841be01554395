#pragma once

#include <QString>

// Gives a file a new name only when nothing at all has that name yet: no
// file, no folder, and no link, a link that leads nowhere included (renaming
// onto one must never create the file it points at). Atomic where the
// system can do it.
namespace NoReplaceRename {

bool rename(const QString &from, const QString &to, QString *reason = nullptr);

} // namespace NoReplaceRename
