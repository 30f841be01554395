#include "PaintNote.h"

#include "AircraftFileCheck.h"
#include "GameFiles.h"
#include "GameText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace PaintNote {

namespace {

// UTF-16 without a mark shows itself by the zero bytes of its ASCII text.
std::optional<QStringConverter::Encoding> utf16Without(const QByteArray &bytes)
{
    const qsizetype pairs = std::min<qsizetype>(bytes.size() / 2, 256);
    if (pairs < 2)
        return std::nullopt;
    qsizetype evenZeros = 0, oddZeros = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        evenZeros += bytes.at(2 * i) == 0;
        oddZeros += bytes.at(2 * i + 1) == 0;
    }
    if (oddZeros * 10 >= pairs * 8 && evenZeros == 0)
        return QStringConverter::Utf16LE;
    if (evenZeros * 10 >= pairs * 8 && oddZeros == 0)
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

QString decodedText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        return decoder.decode(bytes.mid(2));
    }
    if (const auto encoding = utf16Without(bytes)) {
        QStringDecoder decoder(*encoding);
        return decoder.decode(bytes);
    }
    return GameText::decode(bytes);
}

} // namespace

bool isNoteFileName(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive) && fileName.size() > 4;
}

QString decode(const QByteArray &bytes)
{
    QString text = decodedText(bytes.left(MostBytes));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : std::as_const(text)) {
        const bool control = c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
        if (!control || c == u'\n' || c == u'\t')
            clean += c;
    }
    return clean.trimmed();
}

QByteArray encode(const QString &text)
{
    QString withCrLf = text;
    withCrLf.replace(u'\n', QLatin1String("\r\n"));
    return withCrLf.toUtf8() + "\r\n";
}

QString noteFileNameFor(const QString &textureFileName)
{
    const qsizetype dot = textureFileName.lastIndexOf(u'.');
    return (dot > 0 ? textureFileName.left(dot) : textureFileName) + QStringLiteral(".txt");
}

QString readFor(const QString &aircraftFolder, const QString &texturePath)
{
    const QFileInfo texture(texturePath);
    const QString notePath = GameFiles::findGameFile(texture.path() + u'/' + noteFileNameFor(texture.fileName()));
    if (!AircraftFileCheck::entryExists(notePath))
        return QString();
    const FileVerdict verdict = AircraftFileCheck::mayRead(aircraftFolder, notePath);
    if (!verdict)
        return QString();
    QFile file(verdict.realPath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return decode(file.read(MostBytes));
}

} // namespace PaintNote
