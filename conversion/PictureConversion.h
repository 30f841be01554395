#pragma once

#include "ConversionLibrary.h"
#include "PaintResult.h"
#include "PictureRequest.h"

#include <QString>

#include <memory>

class TemporaryBitmap;

// A picture the conversion library has written as a BMP into the temporary
// folder; the file is removed when this object goes.
class ConvertedPicture
{
public:
    ConvertedPicture();
    ConvertedPicture(ConvertedPicture &&) noexcept;
    ConvertedPicture &operator=(ConvertedPicture &&) noexcept;
    ~ConvertedPicture();

    // Success, or the file concerned and why not, with the library's own
    // reason when it gives one.
    PaintResult result;

    // Empty unless the conversion succeeded.
    QString bitmapPath() const;

private:
    friend ConvertedPicture convertPicture(const QString &, const PictureRequest &, const QString &, void *);
    std::unique_ptr<TemporaryBitmap> m_bitmap;
};

// The one road from a picture file to a BMP, for the preview, the command
// line and the thumbnailer alike: loads the library for this picture, asks
// whether it can read the file, converts it into a temporary BMP and unloads
// the library again. Safe to call from several threads at once.
// `workArea` is the caller's 1024-byte block, when it keeps one.
ConvertedPicture convertPicture(const QString &source, const PictureRequest &request,
                                const QString &libraryName = QString::fromLatin1(ConversionLibrary::DefaultName),
                                void *workArea = nullptr);
