#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <archive.h>
#include <archive_entry.h>

// Writes the archives players download, hostile ones included, with the same
// library Corvane reads them with.
namespace TestArchive {

enum class Format { Zip, SevenZip };

struct Entry
{
    QByteArray path;
    QByteArray data;
    enum Kind { File, Folder, Symlink, Hardlink } kind = File;
    QByteArray linkTarget = {};
};

inline bool write(const QString &archivePath, Format format, const QList<Entry> &entries)
{
    archive *a = archive_write_new();
    if (format == Format::Zip)
        archive_write_set_format_zip(a);
    else
        archive_write_set_format_7zip(a);
    bool ok = archive_write_open_filename(a, QFile::encodeName(archivePath).constData()) == ARCHIVE_OK;
    for (const Entry &e : entries) {
        archive_entry *entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.path.constData());
        archive_entry_set_perm(entry, 0644);
        switch (e.kind) {
        case Entry::File:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_size(entry, e.data.size());
            break;
        case Entry::Folder:
            archive_entry_set_filetype(entry, AE_IFDIR);
            break;
        case Entry::Symlink:
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink(entry, e.linkTarget.constData());
            break;
        case Entry::Hardlink:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_hardlink(entry, e.linkTarget.constData());
            break;
        }
        ok = ok && archive_write_header(a, entry) == ARCHIVE_OK;
        if (e.kind == Entry::File && !e.data.isEmpty())
            ok = ok && archive_write_data(a, e.data.constData(), size_t(e.data.size())) == e.data.size();
        archive_entry_free(entry);
    }
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}

} // namespace TestArchive
