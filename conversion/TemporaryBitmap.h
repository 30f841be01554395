#pragma once

#include <QString>

// The BMP file a conversion writes into, in the temporary folder. Its name is
// made unique (and the file created empty) so neither another copy of the
// program nor a player's own file of the same name is overwritten; the file
// is removed when this object goes.
class TemporaryBitmap
{
public:
    // TEMP, else TMP, else the system's temporary folder.
    static QString temporaryFolder();

    // `baseName` starts the file's name, for whoever looks in the folder.
    explicit TemporaryBitmap(const QString &baseName);
    ~TemporaryBitmap();
    TemporaryBitmap(const TemporaryBitmap &) = delete;
    TemporaryBitmap &operator=(const TemporaryBitmap &) = delete;

    // Empty when the file could not be created.
    QString path() const { return m_path; }
    void remove();

private:
    QString m_path;
};
