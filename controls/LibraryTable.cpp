#include "LibraryTable.h"

namespace corvane::controls {

namespace {

LibraryEntry entry(const char *fileName, const char *what)
{
    const QString name = QString::fromLatin1(fileName);
    return {name, name + QStringLiteral("\n\n") + QString::fromLatin1(what)};
}

} // namespace

const QList<LibraryEntry> &libraryTable()
{
    static const QList<LibraryEntry> table{
        entry("korrad.dll", "Picture conversion: reads game textures and\ncommon picture files and writes plain bitmaps."),
        entry("korpal.dll", "Colour palettes: reduces pictures to 16 or\n256 colours and swaps palettes."),
        entry("kordb.dll", "Small record files for settings and lists."),
        entry("korzip.dll", "Packs and unpacks compressed archives."),
        entry("korscan.dll", "Walks folder trees and finds files by pattern."),
        entry("korfont.dll", "Draws text with bitmap fonts."),
        entry("kornet.dll", "Checks the Ostrel Website for newer versions."),
        entry("korsnd.dll", "Plays short sounds and reads sound files."),
        entry("korgrid.dll", "Table and grid controls for lists of records."),
        entry("korprn.dll", "Prints pictures and lists."),
    };
    return table;
}

} // namespace corvane::controls
