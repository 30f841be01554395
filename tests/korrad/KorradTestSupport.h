#pragma once

// Helpers shared by the conversion library's tests: every conversion goes
// through the library's own entry points, and its BMP is read back by Qt.

#include "DdsWriter.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <optional>

namespace korradtest {

QString referenceFolder();

bool isValid(const QString &source);

// Converts `source` into a BMP in `folder` and reads it back; nothing when
// the library refused. Fails the running test if the file written is not a
// 24-bit BMP.
std::optional<QImage> convert(const QString &source, const QTemporaryDir &folder, int mode = 2, int hint = 0,
                              bool grey = false);

QString save(const QTemporaryDir &folder, const QString &name, const std::vector<std::uint8_t> &bytes);
QString save(const QTemporaryDir &folder, const QString &name, const QByteArray &bytes);

// The largest difference of any colour channel between two pictures of the
// same size, or -1 when their sizes differ.
int largestDifference(const QImage &a, const QImage &b);

// An RGBA picture as Qt's RGB32, alpha dropped.
QImage toQImage(const ddstest::RgbaImage &image);

} // namespace korradtest
