#include "SampleGame.h"

#include "DdsWriter.h"
#include "GameText.h"
#include "PaintListFile.h"
#include "PaintPainter.h"

#include <QDir>
#include <QFile>

#include <cstring>

namespace SampleGame {

namespace {

const QString Marker = QStringLiteral(".corvane-sample-game");

enum class ListKind {
    None,       // the first scan creates it
    Full,       // as Corvane writes it
    FullWithBom // as a text editor saves it after a hand edit
};

struct SamplePaint
{
    QString name;
    QString file;
    ddstest::Block format;
    QColor base;
    QColor accent;
};

struct SampleAircraft
{
    QString folder;
    QString definition;
    QString title;
    QString mainTextureFile; // as it lies on disk
    QString mainTextureInList;
    QColor base;
    QColor accent;
    QList<SamplePaint> paints;
    ListKind list;
};

using Format = ddstest::Block;

QList<SampleAircraft> aircraft()
{
    return {
        {"P51D", "P51D.xdp", "P-51D Mustang", "P51D_t.dds", "P51D_t.dds",
         QColor(96, 104, 64), QColor(230, 230, 230),
         {{"Red Tail", "P51D_RedTail.dds", Format::Bc1, QColor(190, 195, 200), QColor(200, 20, 30)},
          {"Blue Nose", "P51D_BlueNose.dds", Format::Bc2, QColor(175, 180, 185), QColor(20, 60, 200)},
          {"Invasion Stripes", "P51D_Invasion.dds", Format::Bc1, QColor(80, 90, 60), QColor(250, 250, 250)}},
         ListKind::Full},
        // The texture file is in upper case while the list uses the game's
        // usual spelling, as on a game copied from Windows.
        {"Spitfire", "Spitfire.xdp", "Spitfire Mk IX", "SPITFIRE_T.DDS", "Spitfire_t.dds",
         QColor(110, 110, 80), QColor(120, 120, 130),
         {{"Desert", "Spitfire_Desert.dds", Format::Bc2, QColor(200, 170, 110), QColor(150, 80, 40)},
          {"Eagle Squadron", "Spitfire_Eagle.dds", Format::Bc1, QColor(60, 90, 60), QColor(30, 40, 150)}},
         ListKind::Full},
        // Upper-case definition and texture, no list yet: the first scan
        // writes one without asking.
        {"Zero", "A6M2.XDP", "A6M2", "A6M2_T.DDS", "",
         QColor(200, 200, 185), QColor(190, 30, 30),
         {{"Carrier Akagi", "A6M2_Akagi.dds", Format::Bc1, QColor(210, 210, 195), QColor(20, 20, 20)},
          {"Jungle Green", "A6M2_Green.dds", Format::Bc2, QColor(40, 90, 50), QColor(190, 30, 30)}},
         ListKind::None},
        // Two aircraft in one folder.
        {"Bf109", "Bf109E.xdp", "Bf 109 E-4", "Bf109E_t.dds", "Bf109E_t.dds",
         QColor(90, 110, 140), QColor(240, 220, 40),
         {{"Tropical", "Bf109E_Trop.dds", Format::Bc1, QColor(190, 160, 100), QColor(240, 240, 240)},
          {"Battle of Britain", "Bf109E_BoB.dds", Format::Bc2, QColor(70, 90, 70), QColor(240, 220, 40)}},
         ListKind::Full},
        {"Bf109", "Bf109G.xdp", "Bf 109 G-6", "Bf109G_t.dds", "Bf109G_t.dds",
         QColor(100, 105, 110), QColor(200, 40, 40),
         {{QString::fromUtf8("Grünherz"), "Bf109G_Gruenherz.dds", Format::Bc1, QColor(120, 130, 120), QColor(40, 180, 60)},
          {"Winter", "Bf109G_Winter.dds", Format::Bc2, QColor(235, 235, 235), QColor(100, 100, 100)}},
         ListKind::Full},
        // No default main texture: the first scan asks for it.
        {"Mosquito", "Mosquito.xdp", "Mosquito", "Mosquito_Body_t.dds", "",
         QColor(70, 80, 70), QColor(150, 140, 120),
         {{"Invasion", "Mosquito_Invasion.dds", Format::Bc1, QColor(70, 80, 70), QColor(255, 255, 255)},
          {"Night Fighter", "Mosquito_Night.dds", Format::Bc2, QColor(25, 25, 30), QColor(120, 20, 20)}},
         ListKind::None},
        {"Fw190", "Fw190A.xdp", "Fw 190 A-8", "Fw190A_t.dds", "Fw190A_t.dds",
         QColor(110, 120, 110), QColor(230, 200, 30),
         {{"JG 2", "Fw190A_JG2.dds", Format::Bc1, QColor(120, 125, 130), QColor(220, 30, 30)},
          {"Defence of the Reich", "Fw190A_Defence.dds", Format::Bc2, QColor(100, 110, 100), QColor(30, 60, 200)},
          {"Captured", "Fw190A_Captured.dds", Format::Bc1, QColor(60, 90, 60), QColor(240, 200, 40)}},
         ListKind::FullWithBom},
        // Never looked into: its folder name begins with a dot.
        {".Prototype", "Proto.xdp", "Prototype", "Proto_t.dds", "Proto_t.dds",
         QColor(200, 120, 20), QColor(30, 30, 30), {}, ListKind::Full},
    };
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

// Every level down to 1 x 1, as the game's own textures carry them.
std::vector<std::uint8_t> encodeTexture(const QImage &picture, Format format)
{
    const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
    ddstest::RgbaImage image(rgba.width(), rgba.height());
    for (int y = 0; y < rgba.height(); ++y)
        std::memcpy(image.at(0, y), rgba.constScanLine(y), size_t(rgba.width()) * 4);
    std::uint32_t levels = 1;
    for (int side = qMax(rgba.width(), rgba.height()); side > 1; side /= 2)
        ++levels;
    return ddstest::legacyBlockDds(ddstest::mipChain(image, levels), format, format == Format::Bc1 ? "DXT1" : "DXT3");
}

bool writeTexture(const QString &path, const PaintLook &look, Format format, QString *error)
{
    if (!ddstest::writeFile(QFile::encodeName(path).toStdString(), encodeTexture(paintTexture(look), format))) {
        *error = QStringLiteral("%1: cannot write the texture").arg(path);
        return false;
    }
    return true;
}

bool prepareFolder(const QString &gameFolder, QString *error)
{
    QDir dir(gameFolder);
    if (dir.exists()) {
        if (QFileInfo::exists(dir.filePath(Marker))) {
            if (!dir.removeRecursively()) {
                *error = QStringLiteral("%1: cannot remove the previous sample game").arg(gameFolder);
                return false;
            }
        } else if (!dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            *error = QStringLiteral("%1 is not empty and is not a sample game; nothing written")
                         .arg(gameFolder);
            return false;
        }
    }
    if (!QDir().mkpath(gameFolder + QStringLiteral("/Aircraft"))) {
        *error = QStringLiteral("%1: cannot create the folder").arg(gameFolder);
        return false;
    }
    return writeFile(dir.filePath(Marker), "Written by corvane-samplegame; rerunning replaces it.\n",
                     error);
}

} // namespace

bool write(const QString &gameFolder, QString *error)
{
    if (!prepareFolder(gameFolder, error))
        return false;
    if (!writeFile(gameFolder + QStringLiteral("/cfs3.exe"),
                   "MZ stand-in for the game's program: Corvane only looks for its folder.\r\n",
                   error))
        return false;

    for (const SampleAircraft &plane : aircraft()) {
        const QString folder = gameFolder + QStringLiteral("/Aircraft/") + plane.folder + u'/';
        QDir().mkpath(folder);
        const QString baseName = plane.definition.chopped(4);
        const QByteArray definition = "<?xml version=\"1.0\"?>\r\n<aircraft name=\""
                                      + plane.title.toUtf8() + "\" />\r\n";
        if (!writeFile(folder + plane.definition, definition, error))
            return false;
        if (!writeTexture(folder + plane.mainTextureFile,
                          {plane.title, QStringLiteral("Factory Finish"), plane.base, plane.accent},
                          Format::Bc1, error))
            return false;

        QList<PaintEntry> entries;
        for (const SamplePaint &paint : plane.paints) {
            if (!writeTexture(folder + paint.file, {plane.title, paint.name, paint.base, paint.accent},
                              paint.format, error))
                return false;
            entries.append({GameText::encode(paint.name), GameText::encode(paint.file)});
        }

        const QString listPath = folder + baseName + QStringLiteral(".pnt");
        const QByteArray form = PaintListFile::fullForm(
            GameText::encode(plane.title), GameText::encode(plane.mainTextureInList), entries);
        if (plane.list == ListKind::Full && !writeFile(listPath, form, error))
            return false;
        if (plane.list == ListKind::FullWithBom
            && !writeFile(listPath, QByteArrayLiteral("\xEF\xBB\xBF") + form, error))
            return false;
    }
    return true;
}

} // namespace SampleGame
