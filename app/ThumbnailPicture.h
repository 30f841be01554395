#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

struct ThumbnailIdentity;

// The picture of a texture file for a thumbnail, no side longer than
// `side`, through the conversion road; a null image when it cannot be read.
// Safe to call from several worker threads at once.
QImage thumbnailPicture(const QString &path, int side);

// A thumbnail's PNG in the standard's form: the picture, the file's URI,
// modification time and size as text.
QByteArray thumbnailPng(const QImage &picture, const ThumbnailIdentity &identity);
