#include "PictureConversion.h"

#include "TemporaryBitmap.h"

#include <QFile>
#include <QFileInfo>

#include <array>

namespace {

// The library's reason reads after the file's name ("is not a regular file").
QString refusal(ConversionLibrary &library, const QString &withoutReason)
{
    const ConversionLibrary::ReasonProc reason = library.reasonProc();
    const QString words = reason ? QString::fromLocal8Bit(reason()) : QString();
    if (words.isEmpty())
        return withoutReason;
    return QStringLiteral("This picture %1.").arg(words);
}

} // namespace

ConvertedPicture::ConvertedPicture() = default;
ConvertedPicture::ConvertedPicture(ConvertedPicture &&) noexcept = default;
ConvertedPicture &ConvertedPicture::operator=(ConvertedPicture &&) noexcept = default;
ConvertedPicture::~ConvertedPicture() = default;

QString ConvertedPicture::bitmapPath() const
{
    return m_bitmap ? m_bitmap->path() : QString();
}

ConvertedPicture convertPicture(const QString &source, const PictureRequest &request, const QString &libraryName,
                                void *workArea)
{
    ConvertedPicture converted;
    ConversionLibrary library(libraryName);
    if (const PaintResult loaded = library.loaded(); !loaded) {
        converted.result = PaintResult::failure(
            libraryName, QStringLiteral("The conversion library could not be loaded: %1").arg(loaded.reason));
        return converted;
    }
    ConversionLibrary::ValidProc valid = nullptr;
    ConversionLibrary::ConvertProc convert = nullptr;
    if (const PaintResult found = library.entryPoints(request.grey, valid, convert); !found) {
        converted.result = PaintResult::failure(
            libraryName, QStringLiteral("The conversion library lacks an entry point: %1").arg(found.reason));
        return converted;
    }

    // Paths go to the library in the system's 8-bit encoding, never null.
    const QByteArray sourceName = QFile::encodeName(source);
    // Asked before the temporary file is reserved: a file the library
    // refuses costs no file.
    if (!valid(sourceName.constData())) {
        converted.result = PaintResult::failure(
            source, refusal(library, QStringLiteral("The conversion library cannot read this picture.")));
        return converted;
    }
    auto bitmap = std::make_unique<TemporaryBitmap>(QFileInfo(source).completeBaseName());
    if (bitmap->path().isEmpty()) {
        converted.result = PaintResult::failure(TemporaryBitmap::temporaryFolder(),
                                                QStringLiteral("No temporary file can be made here."));
        return converted;
    }
    std::array<unsigned char, 1024> ownWorkArea{};
    const QByteArray target = QFile::encodeName(bitmap->path());
    if (!convert(sourceName.constData(), target.constData(), workArea ? workArea : ownWorkArea.data(),
                 request.mode, request.sizeHint)) {
        converted.result = PaintResult::failure(
            source, refusal(library, QStringLiteral("The conversion library could not convert this picture.")));
        return converted;
    }
    converted.result = PaintResult::success(source);
    converted.m_bitmap = std::move(bitmap);
    return converted;
}
