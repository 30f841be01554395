#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Titles, names and file names in the game's files are 8-bit bytes: Windows-1252
// in lists written by Windows programs of the old code page, UTF-8 in lists
// written by a UTF-8 editor (or by Windows programs of the UTF-8 code page).
namespace GameText {

// For display and for opening files: UTF-8 when the bytes are valid UTF-8,
// else Windows-1252.
QString decode(const QByteArray &bytes);

// The bytes to store for a typed name or a picked file name. This prefers
// Windows-1252, which older Windows programs read too, and falls back on
// UTF-8 when the text has no Windows-1252 form or when those bytes would read
// back as other text. decode(encode(s)) == s.
QByteArray encode(const QString &text);

QString decodeWindows1252(const QByteArray &bytes);
// Empty optional when a character has no Windows-1252 byte.
std::optional<QByteArray> encodeWindows1252(const QString &text);

} // namespace GameText
