#pragma once

#include "PaintResult.h"
#include "PaintSet.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The file a paint set is kept and shared in: one small JSON document.
//
//   { "corvanePaintSet": 1, "name": "Squadron",
//     "aircraft": [ { "folder": "P51", "definition": "P51", "title": "P-51D",
//                     "paint": "Desert", "texture": "desert.dds",
//                     "sha256": "...", "size": 2796344 },
//                   { "folder": "Zero", "definition": "Zero", "original": true } ] }
//
// A file comes from anyone (a squadron's forum, a mail): it is read whole or
// refused with the reason, never taken in part.
namespace PaintSetFile {

constexpr int Version = 1;
constexpr qint64 MaxBytes = 4 * 1024 * 1024;
constexpr int MaxChoices = 20000;

QByteArray toJson(const PaintSet &set);
// The set, or refused with the reason (naming no file) and set left as it was.
PaintResult fromJson(const QByteArray &json, PaintSet &set);

// Reads a set file, refusing anything but a regular file of at most
// MaxBytes; the result names the file, its reason does not.
PaintResult read(const QString &path, PaintSet &set);

// Why a set could not be stored under this name on any system the player
// may take it to (it becomes a file name), or an empty text.
QString problemWithName(const QString &name);

} // namespace PaintSetFile
