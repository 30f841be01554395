#include "LoadedLists.h"
#include "AircraftScanner.h"
#include "DdsWriter.h"
#include "InstallPlan.h"
#include "PaintListFile.h"
#include "PictureTexture.h"
#include "TestArchive.h"
#include "TestGame.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <bit>

#include <squish.h>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace {

QByteArray bytesOf(const std::vector<std::uint8_t> &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// Four solid quadrants: red, green, blue and half-transparent white, so the
// middle of each survives scaling and compression nearly unchanged.
ddstest::RgbaImage quadrants(int width, int height)
{
    ddstest::RgbaImage image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int quadrant = (y >= height / 2) * 2 + (x >= width / 2);
            static const std::uint8_t colours[4][4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 128}};
            std::copy(colours[quadrant], colours[quadrant] + 4, image.at(x, y));
        }
    }
    return image;
}

void appendBytes(void *context, void *data, int size)
{
    static_cast<QByteArray *>(context)->append(static_cast<const char *>(data), size);
}

QByteArray picture(const QString &kind, int width, int height)
{
    const ddstest::RgbaImage image = quadrants(width, height);
    QByteArray bytes;
    if (kind == "png")
        stbi_write_png_to_func(appendBytes, &bytes, width, height, 4, image.pixels.data(), width * 4);
    else if (kind == "bmp")
        stbi_write_bmp_to_func(appendBytes, &bytes, width, height, 4, image.pixels.data());
    else if (kind == "tga")
        stbi_write_tga_to_func(appendBytes, &bytes, width, height, 4, image.pixels.data());
    else
        stbi_write_jpg_to_func(appendBytes, &bytes, width, height, 4, image.pixels.data(), 95);
    return bytes;
}

QByteArray original(const QString &format, int width, int height)
{
    const std::vector<ddstest::RgbaImage> levels{ddstest::gradient(width, height)};
    if (format == "DXT1")
        return bytesOf(ddstest::legacyBlockDds(levels, ddstest::Block::Bc1, "DXT1"));
    if (format == "DXT3")
        return bytesOf(ddstest::legacyBlockDds(levels, ddstest::Block::Bc2, "DXT3"));
    if (format == "DXT5")
        return bytesOf(ddstest::legacyBlockDds(levels, ddstest::Block::Bc3, "DXT5"));
    if (format == "BC3 behind DX10")
        return bytesOf(ddstest::dx10BlockDds(levels, ddstest::Block::Bc3, 77));
    if (format == "A8R8G8B8")
        return bytesOf(ddstest::legacyBitMaskDds(levels, ddstest::a8r8g8b8()));
    if (format == "R8G8B8")
        return bytesOf(ddstest::legacyBitMaskDds(levels, ddstest::r8g8b8()));
    return bytesOf(ddstest::legacyBitMaskDds(levels, ddstest::r5g6b5()));
}

quint32 word(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// The top level's pixels as RGBA, whatever the file holds.
std::vector<std::uint8_t> topLevel(const QByteArray &dds, int width, int height)
{
    std::vector<std::uint8_t> rgba(size_t(width) * height * 4, 255);
    const QByteArray fourCC = dds.mid(84, 4);
    const auto *data = reinterpret_cast<const squish::u8 *>(dds.constData() + 128);
    if (fourCC == "DXT1" || fourCC == "DXT3" || fourCC == "DXT5") {
        const int flags = fourCC == "DXT1" ? squish::kDxt1 : fourCC == "DXT3" ? squish::kDxt3 : squish::kDxt5;
        squish::DecompressImage(rgba.data(), width, height, data, flags);
        return rgba;
    }
    const int pixelBytes = int(word(dds, 88)) / 8;
    for (size_t i = 0; i < size_t(width) * height; ++i) {
        quint32 value = 0;
        for (int b = 0; b < pixelBytes; ++b)
            value |= quint32(data[i * pixelBytes + b]) << (8 * b);
        for (int c = 0; c < 4; ++c) {
            const quint32 mask = word(dds, 92 + 4 * c);
            if (mask)
                rgba[i * 4 + c] = std::uint8_t((value & mask) >> std::countr_zero(mask));
        }
    }
    return rgba;
}

} // namespace

class PictureTextureTest : public QObject
{
    Q_OBJECT

private slots:
    void madeLikeTheOriginal_data();
    void madeLikeTheOriginal();
    void installedFromADownload();

private:
    QTemporaryDir m_dir;
};

void PictureTextureTest::madeLikeTheOriginal_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QSize>("originalSize");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<int>("tolerance"); // how far a colour may stray in compression

    QTest::newRow("PNG into DXT1 at twice its size") << "png" << QSize(64, 64) << "DXT1" << QSize(128, 128) << "" << 8;
    QTest::newRow("BMP into DXT3, same size") << "bmp" << QSize(64, 32) << "DXT3" << QSize(64, 32) << "" << 8;
    QTest::newRow("TGA into DXT5 at half its size") << "tga" << QSize(128, 64) << "DXT5" << QSize(64, 32) << "" << 8;
    QTest::newRow("JPEG into BC3 of a DX10 header") << "jpg" << QSize(32, 32) << "BC3 behind DX10" << QSize(32, 32) << "" << 24;
    QTest::newRow("PNG into 32-bit RGB") << "png" << QSize(16, 16) << "A8R8G8B8" << QSize(32, 32) << "" << 0;
    QTest::newRow("PNG into 24-bit RGB, not square") << "png" << QSize(128, 32) << "R8G8B8" << QSize(64, 16) << "" << 0;
    QTest::newRow("another aspect") << "png" << QSize(64, 32) << "DXT1" << QSize(64, 64)
                                    << "not the shape of the aircraft's 64 x 64 texture" << 0;
    QTest::newRow("a format Corvane does not make") << "png" << QSize(32, 32) << "R5G6B5" << QSize(32, 32)
                                                    << "a format Corvane does not make" << 0;
}

void PictureTextureTest::madeLikeTheOriginal()
{
    QFETCH(QString, kind);
    QFETCH(QSize, pictureSize);
    QFETCH(QString, format);
    QFETCH(QSize, originalSize);
    QFETCH(QString, problem);
    QFETCH(int, tolerance);

    const QByteArray bytes = picture(kind, pictureSize.width(), pictureSize.height());
    const std::optional<PictureTexture::PictureSize> size = PictureTexture::sizeOf(bytes);
    QVERIFY(size);
    QCOMPARE(size->width, pictureSize.width());
    QCOMPARE(size->height, pictureSize.height());
    const std::optional<TextureFile::DdsShape> shape =
        TextureFile::ddsShape(original(format, originalSize.width(), originalSize.height()));
    QVERIFY(shape);

    std::optional<QByteArray> dds = QByteArray();
    const PaintResult making = PictureTexture::makeDds(bytes, *shape, *dds);
    const QString error = making.reason;
    if (!making)
        dds.reset();
    QCOMPARE(PictureTexture::problemWithMaking(*size, *shape).isEmpty(), problem.isEmpty());
    if (!problem.isEmpty()) {
        QVERIFY(!dds);
        QVERIFY2(error.contains(problem), qPrintable(error));
        return;
    }
    QVERIFY2(dds, qPrintable(error));

    // The game reads it as it reads the original, DX10 blocks as their DXT kind.
    const std::optional<TextureFile::DdsShape> made = TextureFile::ddsShape(*dds);
    QVERIFY(made);
    QCOMPARE(made->width, shape->width);
    QCOMPARE(made->height, shape->height);
    QCOMPARE(made->format, shape->format == "DX10:77" ? QByteArray("DXT5") : shape->format);

    // A full mipmap chain, down to one pixel, and nothing after it.
    const int width = originalSize.width(), height = originalSize.height();
    const int levels = std::bit_width(unsigned(std::max(width, height)));
    QCOMPARE(int(word(*dds, 28)), levels);
    qsizetype expected = 128;
    for (int w = width, h = height, level = 0; level < levels; ++level, w = std::max(1, w / 2), h = std::max(1, h / 2)) {
        const QByteArray fourCC = made->format.left(4);
        expected += fourCC.startsWith("DXT") ? qsizetype((w + 3) / 4) * ((h + 3) / 4) * (fourCC == "DXT1" ? 8 : 16)
                                             : qsizetype(w) * h * int(word(*dds, 88)) / 8;
    }
    QCOMPARE(dds->size(), expected);

    // Read back at the original's size: each quadrant keeps its colour.
    const std::vector<std::uint8_t> rgba = topLevel(*dds, width, height);
    const ddstest::RgbaImage wanted = quadrants(width, height);
    const bool hasAlpha = made->format != "DXT1" && !made->format.startsWith("RGB24") && kind != "jpg";
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        const int x = width / 4 + (quadrant % 2) * width / 2, y = height / 4 + (quadrant / 2) * height / 2;
        for (int c = 0; c < (hasAlpha ? 4 : 3); ++c) {
            const int got = rgba[(size_t(y) * width + x) * 4 + c], want = wanted.at(x, y)[c];
            QVERIFY2(std::abs(got - want) <= tolerance,
                     qPrintable(QString("quadrant %1 channel %2: %3, not %4").arg(quadrant).arg(c).arg(got).arg(want)));
        }
    }
}

void PictureTextureTest::installedFromADownload()
{
    const QString game = m_dir.filePath("game/");
    TestGame::addAircraft(game, "P51D", {});
    QVERIFY(TempTree::writeFile(game + "Aircraft/P51D/P51D_t.dds", original("DXT1", 64, 64)));
    const QString zip = m_dir.filePath("silver.zip");
    QVERIFY(TestArchive::write(zip, TestArchive::Format::Zip,
                               {{"P51D/Silver_Bird.png", picture("png", 128, 128)},
                                {"P51D/Wide_Load.png", picture("png", 128, 64)}}));
    const QList<AircraftEntry> aircraft = AircraftScanner().scanAircraft(game + "Aircraft/");

    const InstallPlan kept = planInstall({{zip}, -1, {}, true}, aircraft);
    QCOMPARE(kept.items.size(), 2);
    QVERIFY(!kept.items[0].makeDds && kept.items[1].selected);

    const InstallPlan plan = planInstall({{zip}, -1, {}}, aircraft);
    QCOMPARE(plan.items.size(), 2);
    QVERIFY(plan.items[0].makeDds && plan.items[0].selected);
    QVERIFY(!plan.items[1].selected); // refused, and the plan says why
    const QString described = describePlan(plan, aircraft);
    QVERIFY2(described.contains("made into a DDS texture") && described.contains("not the shape"), qPrintable(described));

    const QList<AircraftInstallResult> results = carryOut(plan, aircraft);
    QCOMPARE(results.size(), 1);
    QVERIFY2(results[0].problems.isEmpty(), qPrintable(linesOf(results[0].problems)));
    const QString folder = game + "Aircraft/P51D/";
    QCOMPARE(loadedList(folder + "P51D.pnt")->paints, (QList<PaintEntry>{{"Silver Bird", "Silver_Bird.dds"}}));
    const std::optional<TextureFile::DdsShape> made = TextureFile::readDdsShape(folder + "Silver_Bird.dds");
    QVERIFY(made);
    QCOMPARE(made->describe(), QString("64 x 64 DXT1"));
    QVERIFY(!QFile::exists(folder + "Silver_Bird.png"));
    QVERIFY(!QFile::exists(folder + "Wide_Load.dds"));
}

QTEST_GUILESS_MAIN(PictureTextureTest)
#include "tst_PictureTexture.moc"
