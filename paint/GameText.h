#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Titles, names and file names in the game's files are 8-bit bytes in the
// Windows ANSI code page. Elsewhere they may come from either world: lists
// written on Windows (Windows-1252) or by a UTF-8 editor.
namespace GameText {

// For display and for opening files: the ANSI code page on Windows; elsewhere
// UTF-8 when the bytes are valid UTF-8, else Windows-1252.
QString decode(const QByteArray &bytes);

// The bytes to store for a typed name or a picked file name. Elsewhere than
// Windows this prefers Windows-1252, which the Windows copy of the game
// reads too, and falls back on UTF-8 when the text has no Windows-1252 form
// or when those bytes would read back as other text. decode(encode(s)) == s.
QByteArray encode(const QString &text);

QString decodeWindows1252(const QByteArray &bytes);
// Empty optional when a character has no Windows-1252 byte.
std::optional<QByteArray> encodeWindows1252(const QString &text);

} // namespace GameText
