#pragma once

#include "ConversionLibrary.h"

#include <QImage>
#include <QString>

// The picture of a texture file for a thumbnail, no side longer than
// `side`, through the conversion library's entry point (resolved once by
// the caller); a null image when it cannot be read. Safe to call from
// several worker threads at once.
QImage thumbnailPicture(ConversionLibrary::ConvertProc convert, const QString &path, int side);

// A thumbnail's PNG in the standard's form: the picture, the file's URI,
// modification time and size as text.
struct ThumbnailIdentity;
QByteArray thumbnailPng(const QImage &picture, const ThumbnailIdentity &identity);
