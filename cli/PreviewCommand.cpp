#include "Commands.h"
#include "ConversionLibrary.h"
#include "ExitStatus.h"
#include "PictureFile.h"
#include "SafeSave.h"
#include "Session.h"
#include "TemporaryBitmap.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr int ExportMode = 2;
constexpr int ExportSizeHint = 2;
constexpr int FullSizeHint = 0;
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

    ConversionLibrary library(QString::fromLatin1(ConversionLibrary::DefaultName));
    const ConversionLibrary::ValidProc isValid = library.validProc();
    const ConversionLibrary::ConvertProc convert = library.convertProc(grey);
    if (!isValid || !convert) {
        session.fail(QString::fromLatin1(ConversionLibrary::DefaultName),
                     QStringLiteral("The conversion library could not be loaded: %1").arg(library.errorString()));
        return ExitStatus::Failed;
    }
    const QByteArray source = QFile::encodeName(texture);
    if (!QFileInfo(texture).isFile() || !isValid(source.constData())) {
        session.fail(texture, QStringLiteral("The conversion library cannot read this picture."));
        return ExitStatus::Failed;
    }
    TemporaryBitmap converted(QStringLiteral("corvane-cli"));
    if (converted.path().isEmpty()) {
        session.fail(TemporaryBitmap::temporaryFolder(), QStringLiteral("No temporary file can be made here."));
        return ExitStatus::Failed;
    }
    unsigned char workArea[1024] = {};
    if (!convert(source.constData(), QFile::encodeName(converted.path()).constData(), workArea, ExportMode,
                 side ? ExportSizeHint : FullSizeHint)) {
        session.fail(texture, QStringLiteral("The conversion library could not convert this picture."));
        return ExitStatus::Failed;
    }

    Picture picture = PictureFile::readBmp(converted.path());
    if (side && !picture.isNull())
        picture = PictureFile::fitted(picture, side);
    const QByteArray bytes = PictureFile::encode(picture, output);
    if (bytes.isEmpty()) {
        session.fail(texture, QStringLiteral("The converted picture could not be read back."));
        return ExitStatus::Failed;
    }
    QString reason;
    if (!SafeSave::writeFile(output, bytes, &reason)) {
        session.fail(output, QStringLiteral("The picture could not be written: %1").arg(reason));
        return ExitStatus::Failed;
    }
    session.document.insert(QStringLiteral("texture"), QDir::toNativeSeparators(texture));
    session.document.insert(QStringLiteral("output"), QDir::toNativeSeparators(output));
    session.document.insert(QStringLiteral("width"), picture.width);
    session.document.insert(QStringLiteral("height"), picture.height);
    session.print(QStringLiteral("%1: %2 x %3 pixels").arg(QDir::toNativeSeparators(output)).arg(picture.width).arg(picture.height));
    return ExitStatus::Success;
}
