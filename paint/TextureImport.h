#pragma once

#include "PaintResult.h"

#include <QString>

namespace TextureImport {

// Makes a texture file available in an aircraft's folder (separator at the
// end), the way "Add new Texture" does without asking: the file itself when it
// lies there already, else a copy under its own name. A different file of
// that name is never replaced; one with the same content is taken as it is.
// The result's file is the path inside the folder.
PaintResult bringIntoFolder(const QString &file, const QString &folder);

} // namespace TextureImport
