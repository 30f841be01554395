#include "Commands.h"
#include "ExitStatus.h"
#include "PictureConversion.h"
#include "PictureFile.h"
#include "SafeSave.h"
#include "Session.h"

#include <QFileInfo>

namespace {

// The window's preview square: without --size the command shows what the
// window shows, from the same mipmap level.
constexpr int WindowPreviewSide = 512;
// Far beyond any preview the window shows; a side past it only costs memory
// (a picture of 100000 pixels a side is 30 GB).
constexpr int LargestSide = 4096;

} // namespace

int runPreviewCommand(Session &session, const Arguments &arguments)
{
    const QString texture = arguments.positional.at(0);
    const QString output = arguments.positional.at(1);
    const QString suffix = QFileInfo(output).suffix().toLower();
    if (suffix != QLatin1String("bmp") && suffix != QLatin1String("png")) {
        session.fail(output, QStringLiteral("The output must end in .bmp or .png."));
        return ExitStatus::Usage;
    }
    int side = 0;
    if (arguments.values.contains(QStringLiteral("size"))) {
        bool isNumber = false;
        side = arguments.values.value(QStringLiteral("size")).toInt(&isNumber);
        if (!isNumber || side <= 0 || side > LargestSide) {
            session.fail(QStringLiteral("--size needs a whole number of pixels from 1 to %1.").arg(LargestSide));
            return ExitStatus::Usage;
        }
    }
    const bool grey = arguments.has(QStringLiteral("grey"));

    // The smallest mipmap level that serves, as the window reads it: a large
    // texture is never decoded whole for a small picture.
    const ConvertedPicture converted = convertPicture(texture, PictureRequest::forSide(side ? side : WindowPreviewSide, grey));
    if (!converted.result) {
        session.fail(converted.result);
        return ExitStatus::Failed;
    }
    Picture picture = PictureFile::readBmp(converted.bitmapPath());
    if (side && !picture.isNull())
        picture = PictureFile::fitted(picture, side);
    const QByteArray bytes = PictureFile::encode(picture, suffix == QLatin1String("png") ? PictureFile::Png : PictureFile::Bmp);
    if (bytes.isEmpty()) {
        session.fail(texture, QStringLiteral("The converted picture could not be read back."));
        return ExitStatus::Failed;
    }
    if (const PaintResult written = SafeSave::writeFile(output, bytes); !written) {
        session.fail(output, QStringLiteral("The picture could not be written: %1").arg(written.reason));
        return ExitStatus::Failed;
    }
    session.document.insert(QStringLiteral("texture"), QDir::toNativeSeparators(texture));
    session.document.insert(QStringLiteral("output"), QDir::toNativeSeparators(output));
    session.document.insert(QStringLiteral("width"), picture.width);
    session.document.insert(QStringLiteral("height"), picture.height);
    session.print(QStringLiteral("%1: %2 x %3 pixels").arg(QDir::toNativeSeparators(output)).arg(picture.width).arg(picture.height));
    return ExitStatus::Success;
}
