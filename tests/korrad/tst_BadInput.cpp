// Files the library must refuse without reading past them, crashing or
// leaving a BMP behind; and requests it must refuse for good files.

#include "KorradTestSupport.h"

#include "korrad.h"

#include <QDir>
#include <QTest>

#include <functional>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace korradtest;
using namespace ddstest;

using Bytes = std::vector<std::uint8_t>;
using Spoiler = std::function<void(Bytes &)>;
Q_DECLARE_METATYPE(Spoiler)

namespace {

Bytes goodDxt1() { return legacyBlockDds(mipChain(gradient(64, 32), 7), Block::Bc1, "DXT1"); }
Bytes goodDx10() { return dx10BlockDds(mipChain(gradient(64, 32), 7), Block::Bc3, 77); }
Bytes goodBitMask() { return legacyBitMaskDds({gradient(16, 16)}, r5g6b5()); }

Spoiler set(std::size_t offset, std::uint32_t value)
{
    return [=](Bytes &bytes) { put32(bytes, offset, value); };
}

Spoiler cutTo(std::size_t length)
{
    return [=](Bytes &bytes) { bytes.resize(std::min(length, bytes.size())); };
}

Spoiler cutBy(std::size_t count)
{
    return [=](Bytes &bytes) { bytes.resize(bytes.size() - count); };
}

bool refusedEverywhere(const QString &path, const QTemporaryDir &folder)
{
    if (isValid(path))
        return false;
    for (int mode : {1, 2})
        for (int hint : {0, 1, 3})
            for (bool grey : {false, true})
                if (convert(path, folder, mode, hint, grey))
                    return false;
    return true;
}

} // namespace

class BadInputTest : public QObject
{
    Q_OBJECT

private slots:
    void spoiledTexturesAreRefused_data()
    {
        QTest::addColumn<int>("base");
        QTest::addColumn<Spoiler>("spoil");
        QTest::newRow("last byte missing") << 0 << cutBy(1);
        QTest::newRow("only the smallest level missing") << 0 << cutBy(8);
        QTest::newRow("header cut short") << 0 << cutTo(100);
        QTest::newRow("magic only") << 0 << cutTo(4);
        QTest::newRow("header, no pixels") << 0 << cutTo(128);
        QTest::newRow("DX10 header cut short") << 1 << cutTo(140);
        QTest::newRow("DX10 header, no pixels") << 1 << cutTo(148);
        QTest::newRow("zero width") << 0 << set(field::Width, 0);
        QTest::newRow("zero height") << 0 << set(field::Height, 0);
        QTest::newRow("width above 16384") << 0 << set(field::Width, 16385);
        QTest::newRow("huge height") << 0 << set(field::Height, 0x7fffffff);
        QTest::newRow("16384 square over a small file") << 0 << Spoiler([](Bytes &b) {
            put32(b, field::Width, 16384);
            put32(b, field::Height, 16384);
            put32(b, field::MipCount, 1);
        });
        QTest::newRow("mip count beyond the chain") << 0 << set(field::MipCount, 8);
        QTest::newRow("absurd mip count") << 0 << set(field::MipCount, 0xffffffff);
        QTest::newRow("mip count that lies") << 2 << set(field::MipCount, 5);
        QTest::newRow("header size wrong") << 0 << set(field::Size, 128);
        QTest::newRow("unknown FourCC") << 0 << set(field::FourCC, 0x57595a58);
        QTest::newRow("signed BC4") << 0 << set(field::FourCC, 0x53344342);
        QTest::newRow("volume whose slices are not all there") << 0 << Spoiler([](Bytes &b) {
            put32(b, field::Caps2, 0x200000);
            put32(b, field::Depth, 4);
        });
        QTest::newRow("cube map whose faces are not all there") << 0 << set(field::Caps2, 0x200 | 0xfc00);
        QTest::newRow("cube map without faces") << 0 << set(field::Caps2, 0x200);
        QTest::newRow("volume deeper than 16384") << 0 << Spoiler([](Bytes &b) {
            put32(b, field::Caps2, 0x200000);
            put32(b, field::Depth, 0x7fffffff);
            put32(b, field::MipCount, 1);
        });
        QTest::newRow("unknown DXGI format") << 1 << set(field::DxgiFormat, 95);
        QTest::newRow("DXGI format zero") << 1 << set(field::DxgiFormat, 0);
        QTest::newRow("signed BC5 DXGI") << 1 << set(field::DxgiFormat, 84);
        QTest::newRow("DX10 volume whose slices are not all there") << 1 << Spoiler([](Bytes &b) {
            put32(b, field::Dimension, 4);
            put32(b, field::Depth, 2);
        });
        QTest::newRow("DX10 array whose elements are not all there") << 1 << set(field::ArraySize, 2);
        QTest::newRow("DX10 cube map of one face") << 1 << set(field::Dimension + 4, 4);
        QTest::newRow("DX10 array of 2^32 - 1 elements") << 1 << set(field::ArraySize, 0xffffffff);
        QTest::newRow("DX10 1D texture") << 1 << set(field::Dimension, 2);
        QTest::newRow("12 bits a pixel") << 2 << set(field::BitCount, 12);
        QTest::newRow("mask beyond the pixel") << 2 << set(field::RedMask, 0x10000);
        QTest::newRow("no masks") << 2 << Spoiler([](Bytes &b) {
            for (std::size_t i = 0; i < 3; ++i)
                put32(b, field::RedMask + 4 * i, 0);
        });
        QTest::newRow("luminance mask beyond 16 bits") << 2 << Spoiler([](Bytes &b) {
            put32(b, field::PixelFlags, PixelLuminance);
            put32(b, field::RedMask, 0xff0000);
        });
        QTest::newRow("no pixel kind") << 2 << set(field::PixelFlags, 0);
        QTest::newRow("A8P8 without room for its palette") << 2 << set(field::PixelFlags, 0x20);
        QTest::newRow("palette of 12-bit indices") << 2 << Spoiler([](Bytes &b) {
            put32(b, field::PixelFlags, 0x20);
            put32(b, field::BitCount, 12);
        });
        QTest::newRow("P4 of 8 bits") << 2 << Spoiler([](Bytes &b) {
            put32(b, field::PixelFlags, 0x8);
            put32(b, field::BitCount, 8);
        });
        QTest::newRow("bump map of unknown masks") << 2 << set(field::PixelFlags, 0x80000);
        QTest::newRow("16-bit floats over an 8-bit file's length") << 2 << Spoiler([](Bytes &b) {
            put32(b, field::PixelFlags, 0x4);
            put32(b, field::FourCC, 113); // 8 bytes a pixel where 2 are stored
        });
        QTest::newRow("R32G32B32A32 float over BC3's length") << 1 << set(field::DxgiFormat, 2);
    }

    void spoiledTexturesAreRefused()
    {
        QFETCH(int, base);
        QFETCH(Spoiler, spoil);
        Bytes bytes = base == 0 ? goodDxt1() : base == 1 ? goodDx10() : goodBitMask();
        QTemporaryDir folder;
        const QString good = save(folder, "good.dds", bytes);
        QVERIFY2(isValid(good), "the unspoiled file must pass");
        spoil(bytes);
        const QString path = save(folder, "spoiled.dds", bytes);
        QVERIFY(refusedEverywhere(path, folder));
    }

    void thingsThatAreNoPicture_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("text") << QByteArray("[Paint]\r\nName=Nothing to see\r\n");
        QTest::newRow("zeros") << QByteArray(4096, '\0');
        QTest::newRow("PNG signature only") << QByteArray("\x89PNG\r\n\x1a\n", 8);
        QTest::newRow("BMP header only") << QByteArray("BM\x36\0\0\0\0\0\0\0\x36\0\0\0", 14);
    }

    void thingsThatAreNoPicture()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir folder;
        QFile file(folder.filePath("plane_t.dds"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QVERIFY(refusedEverywhere(file.fileName(), folder));
    }

    void pathsThatAreNoFile()
    {
        QTemporaryDir folder;
        QVERIFY(refusedEverywhere(folder.filePath("missing.dds"), folder));
        QVERIFY(refusedEverywhere(folder.path(), folder));
#ifndef Q_OS_WIN
        const QByteArray pipe = QFile::encodeName(folder.filePath("pipe.dds"));
        QCOMPARE(mkfifo(pipe.constData(), 0600), 0);
        QVERIFY(refusedEverywhere(folder.filePath("pipe.dds"), folder)); // without waiting for a writer
#endif
        unsigned char work[1024] = {};
        QCOMPARE(_Pic_Valid(""), 0);
        QCOMPARE(_Pic_Valid(nullptr), 0);
        const QByteArray target = QFile::encodeName(folder.filePath("out.bmp"));
        QCOMPARE(_anytobmps("", target.constData(), work, 1, 1), 0);
        QCOMPARE(_anytobmps(nullptr, target.constData(), work, 1, 1), 0);
        QVERIFY(!QFile::exists(folder.filePath("out.bmp")));
    }

    void goodFileWithUnknownRequestIsRefused_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("hint");
        QTest::newRow("mode 0") << 0 << 1;
        QTest::newRow("mode 3") << 3 << 1;
        QTest::newRow("hint -1") << 1 << -1;
        QTest::newRow("hint 4") << 1 << 4;
    }

    void goodFileWithUnknownRequestIsRefused()
    {
        QFETCH(int, mode);
        QFETCH(int, hint);
        QTemporaryDir folder;
        const QString path = save(folder, "good.dds", goodDxt1());
        QVERIFY(convert(path, folder, 1, 1).has_value());
        QVERIFY(!convert(path, folder, mode, hint).has_value());
    }

    void targetProblemsFailWithoutHarm()
    {
        QTemporaryDir folder;
        const QString path = save(folder, "good.dds", goodDxt1());
        const QByteArray source = QFile::encodeName(path);
        unsigned char work[1024] = {};

        const QByteArray nowhere = QFile::encodeName(folder.filePath("no/such/folder/out.bmp"));
        QCOMPARE(_anytobmps(source.constData(), nowhere.constData(), work, 1, 1), 0);
        QCOMPARE(_anytobmps(source.constData(), "", work, 1, 1), 0);
        QCOMPARE(_anytobmps(source.constData(), nullptr, work, 1, 1), 0);

        // Converting a file onto itself would destroy it while reading it.
        const qint64 size = QFileInfo(path).size();
        QCOMPARE(_anytobmps(source.constData(), source.constData(), work, 2, 0), 0);
        QCOMPARE(QFileInfo(path).size(), size);
        QVERIFY(isValid(path));
    }

    void targetIsWrittenOverWhateverItHeld_data()
    {
        QTest::addColumn<QByteArray>("earlier");
        QTest::newRow("reserved empty") << QByteArray();
        QTest::newRow("longer than the picture") << QByteArray(100000, 'x');
        QTest::newRow("shorter than the picture") << QByteArray(60, 'y');
    }

    void targetIsWrittenOverWhateverItHeld()
    {
        QFETCH(QByteArray, earlier);
        QTemporaryDir folder;
        const QString path = save(folder, "good.dds", goodDxt1());
        const QString target = folder.filePath("out.bmp");
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(earlier);
        file.close();
        unsigned char work[1024] = {};
        QCOMPARE(_anytobmps(QFile::encodeName(path).constData(), QFile::encodeName(target).constData(), work, 2, 0),
                 1);
        // 64 x 32 at 24 bits: 192-byte rows, and the 54-byte headers.
        QCOMPARE(QFileInfo(target).size(), 54 + 192 * 32);
        QVERIFY(!QImage(target, "BMP").isNull());
    }
};

int runBadInputTests(int argc, char **argv)
{
    BadInputTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_BadInput.moc"
