#pragma once

#include "PaintListFile.h"
#include "PaintTable.h"

#include <optional>

// A list read for a test that only needs its values: nothing when it cannot
// be read (tests of the reason call the core directly).
inline std::optional<PaintListContents> loadedList(const QString &path)
{
    PaintListContents contents;
    if (!PaintListFile::load(path, contents))
        return std::nullopt;
    return contents;
}

inline std::optional<PaintTable> loadedTable(const QString &path)
{
    PaintTable table;
    if (!PaintTable::load(path, table))
        return std::nullopt;
    return table;
}
