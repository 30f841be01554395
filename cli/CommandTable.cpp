#include "Commands.h"

const QList<Command> &commands()
{
    static const QList<Command> table{
        {QStringLiteral("aircraft"), QStringLiteral("aircraft"),
         QStringLiteral("every aircraft: title, folder, list file, number of paints, installed paint"),
         QStringLiteral("Lists the aircraft of the game's Aircraft folder in the order the window shows them.\n"
                        "\"installed\" is the paint whose file holds the main texture's content, \"original\"\n"
                        "when it is the original texture, or \"unknown\". Changes no file."),
         0, 0, {}, {}, true, runAircraftCommand},
        {QStringLiteral("paints"), QStringLiteral("paints AIRCRAFT"),
         QStringLiteral("the rows of one aircraft with their files and the installed one"),
         QStringLiteral("Row 0 is the installed main texture, row 1 the default paint (the backup of the\n"
                        "original), rows 2 and on the paints of the list. Changes no file."),
         1, 1, {}, {}, true, runPaintsCommand},
        {QStringLiteral("apply"), QStringLiteral("apply AIRCRAFT PAINT [--adopt]"),
         QStringLiteral("apply a paint, by name or by its row number"),
         QStringLiteral("Copies the paint's texture over the aircraft's main texture. The original main\n"
                        "texture is backed up first, once; an existing backup is never replaced.\n"
                        "PAINT is a name or a row number as \"paints\" shows it (1 is the default paint).\n"
                        "A main texture that matches neither the backup nor any paint (an update of the\n"
                        "aircraft put it there) is never overwritten: the command fails, unless --adopt\n"
                        "keeps it as the new original first (see \"adopt\"). Only DDS textures the game\n"
                        "can load are applied; a paint of another size or format than the original is\n"
                        "applied and told."),
         2, 2, {}, {QStringLiteral("adopt")}, true, runApplyCommand},
        {QStringLiteral("restore"), QStringLiteral("restore AIRCRAFT... | restore --all [--adopt]"),
         QStringLiteral("put the original texture back on these aircraft, or on every one wearing a paint"),
         QStringLiteral("Copies each aircraft's backup over its main texture and reports each aircraft.\n"
                        "--all takes every aircraft that wears something else and has a backup. A main\n"
                        "texture that matches neither the backup nor any paint is left alone and told,\n"
                        "unless --adopt keeps it as the new original (then restoring changes nothing)."),
         0, -1, {}, {QStringLiteral("all"), QStringLiteral("adopt")}, true, runRestoreCommand},
        {QStringLiteral("adopt"), QStringLiteral("adopt AIRCRAFT..."),
         QStringLiteral("keep a main texture that changed outside Corvane as the new original"),
         QStringLiteral("For an aircraft whose main texture matches neither the backup nor any paint (an\n"
                        "update of the aircraft brought a new one): the main texture becomes the backup,\n"
                        "the original restoring goes back to, and the old backup is kept as NAME.bak.N and\n"
                        "listed as the paint \"Original before DATE\". Applies nothing; changes nothing\n"
                        "for an aircraft whose main texture is known."),
         1, -1, {}, {}, true, runAdoptCommand},
        {QStringLiteral("add"), QStringLiteral("add AIRCRAFT NAME FILE"),
         QStringLiteral("add a paint to an aircraft's list"),
         QStringLiteral("NAME and FILE's name are checked first: a name the list would misread (one\n"
                        "beginning with \";\" or \"#\") is refused before anything is copied. A FILE outside\n"
                        "the aircraft's folder is then copied into it, never over a different file of the\n"
                        "same name nor under the main texture's or its backup's name. The list is\n"
                        "rewritten with the new paint last, and the original texture kept."),
         3, 3, {}, {}, true, runAddCommand},
        {QStringLiteral("install"), QStringLiteral("install ARCHIVE|FILE... [--aircraft A] [--name N] [--keep-pictures] [--yes]"),
         QStringLiteral("install downloaded paints (zip, 7z, rar or loose textures), matched to their aircraft"),
         QStringLiteral("Prints the plan: each texture, its aircraft and its paint name; only --yes installs it.\n"
                        "Each texture goes to the aircraft given by --aircraft; else to the aircraft whose\n"
                        "folder or definition name its path in the archive holds (any letter case, the\n"
                        "longest name winning; the archive's own name when its path holds none); else to\n"
                        "the one aircraft whose main texture has the same size and DDS format.\n"
                        "Textures are copied in under their own names, never over a different file (a\n"
                        "\" (2)\" name is taken instead). Links, paths leading outside a folder and anything\n"
                        "but DDS, BMP, PNG, TGA and JPEG pictures are skipped and listed. Archives larger\n"
                        "than 512 MiB, or unpacking an entry larger than 128 MiB or textures of more than\n"
                        "512 MiB in all, are refused. --name N names the paint (with several textures, each\n"
                        "name starts with N).\n"
                        "Each paint is named by its read-me (a \"Name:\" line or its first line), else its\n"
                        "texture's file name, else its folder in the archive, else the archive; its file\n"
                        "is named after the paint, and its read-me kept beside it as NAME.txt.\n"
                        "A PNG, BMP, TGA or JPEG picture is made into a DDS texture in the format and at the\n"
                        "size of the aircraft's main texture, with mipmaps; one of another shape is left\n"
                        "out. --keep-pictures installs pictures as they are."),
         1, -1, {QStringLiteral("aircraft"), QStringLiteral("name")}, {QStringLiteral("yes"), QStringLiteral("keep-pictures")},
         true, runInstallCommand},
        {QStringLiteral("remove"), QStringLiteral("remove AIRCRAFT PAINT"),
         QStringLiteral("drop a paint from the list (its file stays)"),
         QStringLiteral("PAINT is a name or a row number (2 and on) as \"paints\" shows it."),
         2, 2, {}, {}, true, runRemoveCommand},
        {QStringLiteral("check"), QStringLiteral("check [AIRCRAFT...]"),
         QStringLiteral("report problems of every aircraft, or of these, changing nothing"),
         QStringLiteral("Reports missing texture files, values leading outside the aircraft's folder,\n"
                        "lists that cannot be read, textures the game cannot load, and main textures\n"
                        "that match neither the backup nor any paint. Exit status 1 when it finds any."),
         0, -1, {}, {}, true, runCheckCommand},
        {QStringLiteral("preview"), QStringLiteral("preview TEXTURE OUT [--size N] [--grey]"),
         QStringLiteral("convert a texture through the conversion library into a BMP or PNG file"),
         QStringLiteral("OUT's extension (.bmp or .png) picks the format. The picture is what the window\n"
                        "shows, at most 512 pixels a side, read from the same mipmap level; --size N fits\n"
                        "it into N pixels on its longer side (up to 4096); --grey writes it in grey."),
         2, 2, {QStringLiteral("size")}, {QStringLiteral("grey")}, false, runPreviewCommand},
        {QStringLiteral("set"),
         QStringLiteral("set ACTION ..."),
         QStringLiteral("paint sets: save what the aircraft wear under a name, apply it again in one step, share it"),
         QStringLiteral("  set list\n"
                        "  set save NAME [--only AIRCRAFT...]\n"
                        "  set apply NAME [--adopt]\n"
                        "  set show NAME | set delete NAME\n"
                        "  set export NAME FILE | set import FILE [--name NAME]\n\n"
                        "save keeps what every aircraft wears now (or these, with --only) as the set NAME,\n"
                        "replacing a set of that name; an aircraft whose main texture changed outside\n"
                        "Corvane is left out and told. apply puts each aircraft's paint (or its original)\n"
                        "back, each as \"apply\" would, and reports each aircraft: applied, already on,\n"
                        "missing aircraft, missing paint or refused; --adopt as for \"apply\".\n"
                        "export writes the set to FILE for other players, naming each paint's texture by\n"
                        "its content (SHA-256); import reads such a file and finds each paint on this\n"
                        "machine by that content, never by its name alone; paints and aircraft not here\n"
                        "are told. Sets are kept in the user's data folder."),
         1, -1, {QStringLiteral("name")}, {QStringLiteral("only"), QStringLiteral("adopt")}, false, runSetCommand, true},
        {QStringLiteral("info"), QStringLiteral("info"),
         QStringLiteral("which game folder is in use and where it was found"),
         QStringLiteral("Names the game folder, its Aircraft folder and how many aircraft it holds, and\n"
                        "where the folder was found: --game, Corvane's settings (CFSPath), or the game's\n"
                        "registry entry (on Linux, with the Wine prefix it was read from). Changes no file;\n"
                        "exit status 1 when no game folder is known."),
         0, 0, {}, {}, false, runInfoCommand, true},
    };
    return table;
}
