#pragma once

// Downloads and games for the install benchmarks, made in the run.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QRandomGenerator>
#include <QString>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cstring>

namespace {

struct Entry
{
    QByteArray path;
    QByteArray data;
};

void writeZip(const QString &path, const QList<Entry> &entries)
{
    archive *a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_set_options(a, "zip:compression-level=1");
    if (archive_write_open_filename(a, QFile::encodeName(path).constData()) != ARCHIVE_OK)
        qFatal("cannot write %s", qPrintable(path));
    for (const Entry &e : entries) {
        archive_entry *entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.path.constData());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, e.data.size());
        archive_write_header(a, entry);
        archive_write_data(a, e.data.constData(), size_t(e.data.size()));
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
}

// A texture of that size whose bytes deflate about as well as DXT blocks do.
QByteArray texture(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (qsizetype i = 0; i < size; i += 8) {
        const quint64 word = random.generate64() & 0x0f0f0f0f0f0f0f0full;
        memcpy(bytes.data() + i, &word, std::min<qsizetype>(8, size - i));
    }
    memcpy(bytes.data(), "DDS ", 4);
    return bytes;
}

QString makeGame(const QString &root)
{
    const QString folder = root + "/Aircraft/P51/";
    QDir().mkpath(folder);
    QFile(folder + "P51.xdp").open(QIODevice::WriteOnly);
    QFile main(folder + "P51_t.dds");
    main.open(QIODevice::WriteOnly);
    main.write("DDS original");
    return root + "/";
}

// The large download of the benchmarks: textures of `largestMiB` each, in
// all about `totalMiB`, for the aircraft P51. Made one texture at a time, so
// that this process's peak stays its own.
QString writeLargeZip(const QString &path, int totalMiB, int largestMiB)
{
    archive *a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_set_options(a, "zip:compression-level=1");
    if (archive_write_open_filename(a, QFile::encodeName(path).constData()) != ARCHIVE_OK)
        qFatal("cannot write %s", qPrintable(path));
    for (int i = 0; i * largestMiB < totalMiB; ++i) {
        const QByteArray name = QString("P51/large_%1.dds").arg(i).toUtf8();
        const QByteArray data = texture(qsizetype(largestMiB) << 20, 1000 + i);
        archive_entry *entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.constData());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, data.size());
        archive_write_header(a, entry);
        archive_write_data(a, data.constData(), size_t(data.size()));
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
    return path;
}

} // namespace
