// corvane-thumbnailer -s SIZE INPUT OUTPUT.png
//
// The freedesktop thumbnailer for DDS textures: file managers run it on every
// texture they show, so it reads nothing but the file's header and the one
// mip level it needs, and ends with 0 only when OUTPUT holds a PNG.

#include "DdsThumbnail.h"
#include "ProcessLimits.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QUrl>

#include <cstdio>

namespace {

constexpr int ExitWritten = 0;
constexpr int ExitNoThumbnail = 1;
constexpr int ExitUsage = 2;
constexpr int LargestSize = 4096;

// File managers that pass %u give a URI; %i gives a path.
QString localPathOf(const QString &argument)
{
    if (argument.startsWith(QLatin1String("file:")))
        return QUrl(argument).toLocalFile();
    return argument;
}

int usageError(const QCommandLineParser &parser, const QString &message)
{
    std::fprintf(stderr, "corvane-thumbnailer: %s\n\n%s", qPrintable(message), qPrintable(parser.helpText()));
    return ExitUsage;
}

} // namespace

int main(int argc, char *argv[])
{
    // Far above what a real texture costs (a few milliseconds, a few MiB).
    limitThisProcess(20, qint64(1) << 30);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-thumbnailer"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a PNG thumbnail of a DDS texture."));
    parser.addHelpOption();
    const QCommandLineOption sizeOption(QStringList{QStringLiteral("s"), QStringLiteral("size")},
                                        QStringLiteral("Largest side of the thumbnail, in pixels."),
                                        QStringLiteral("SIZE"));
    parser.addOption(sizeOption);
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The DDS texture."));
    parser.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("The PNG file to write."));
    if (!parser.parse(app.arguments()))
        return usageError(parser, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return ExitWritten;
    }

    bool sizeIsNumber = false;
    const int size = parser.value(sizeOption).toInt(&sizeIsNumber);
    if (!parser.isSet(sizeOption) || !sizeIsNumber || size < 1 || size > LargestSize)
        return usageError(parser, QStringLiteral("-s SIZE must be a number of pixels from 1 to %1.").arg(LargestSize));
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2)
        return usageError(parser, QStringLiteral("give one INPUT and one OUTPUT file."));

    const QString input = localPathOf(files[0]);
    PaintResult result;
    const Picture thumbnail = ddsThumbnail(input, size, &result);
    if (thumbnail.isNull()) {
        std::fprintf(stderr, "corvane-thumbnailer: %s\n", qPrintable(result.line()));
        return ExitNoThumbnail;
    }
    const QByteArray png = thumbnailPng(thumbnail);
    QFile output(files[1]);
    if (png.isEmpty() || !output.open(QIODevice::WriteOnly | QIODevice::Truncate) || output.write(png) != png.size()
        || !output.flush()) {
        const QString reason = png.isEmpty() ? QStringLiteral("the PNG could not be made") : output.errorString();
        std::fprintf(stderr, "corvane-thumbnailer: cannot write %s: %s\n", qPrintable(files[1]), qPrintable(reason));
        output.close();
        if (!png.isEmpty())
            QFile::remove(files[1]);
        return ExitNoThumbnail;
    }
    return ExitWritten;
}
