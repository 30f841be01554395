#include "GameFiles.h"
#include "GameText.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestGameFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();

    // Letter case
    void exactMatchWins();
    void otherLetterCaseFound();
    void missingFileKeepsDerivedName();
    void foldersInOtherLetterCaseFound();
    void windowsListingOrder();

    // Backup copy
    void backupCopiesOnce();
    void backupNeverReplacesExistingInAnyCase();
    void backupOfMissingTextureMakesNothing();
    void backupFromUpperCaseTextureKeepsDerivedName();

    // Replacing copy
    void replacingCopyOverwritesFoundFile();
    void replacingCopyFromMissingSourceKeepsTarget();
    void copiesFailingHalfWayLeaveNothingBehind();

    // Text of the game's files
    void decodeUtf8AndWindows1252();
    void everyByteSurvivesWindows1252();
    void encodePrefersWindows1252();
    void encodeFallsBackToUtf8();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList filesInFolder() const
    {
        QStringList files = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
        files.sort();
        return files;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestGameFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestGameFiles::exactMatchWins()
{
#ifdef Q_OS_WIN
    QSKIP("the file system ignores letter case");
#endif
    QVERIFY(TestFiles::write(path("P51_T.DDS"), "upper"));
    QVERIFY(TestFiles::write(path("P51_t.dds"), "exact"));
    QCOMPARE(GameFiles::findGameFile(path("P51_t.dds")), path("P51_t.dds"));
    QCOMPARE(GameFiles::findGameFile(path("P51_T.DDS")), path("P51_T.DDS"));
}

void TestGameFiles::otherLetterCaseFound()
{
    QVERIFY(TestFiles::write(path("P51_T.DDS"), "upper"));
    QCOMPARE(GameFiles::findGameFile(path("p51_t.dds")), path("P51_T.DDS"));
    QVERIFY(GameFiles::canOpenForReading(GameFiles::findGameFile(path("P51_t.Dds"))));
    QCOMPARE(GameFiles::findGameFile(m_dir->path() + "/./p51_T.dds"),
             m_dir->path() + "/./P51_T.DDS");
    // Wildcards name no file, least of all one they would match.
    QCOMPARE(GameFiles::findGameFile(path("*.dds")), path("*.dds"));
    QCOMPARE(GameFiles::findGameFile(path("p51?t.dds")), path("p51?t.dds"));
}

void TestGameFiles::missingFileKeepsDerivedName()
{
    QVERIFY(TestFiles::write(path("other.dds"), "x"));
    QCOMPARE(GameFiles::findGameFile(path("P51_t.dds")), path("P51_t.dds"));
    QCOMPARE(GameFiles::findGameFile(path("nofolder/P51_t.dds")), path("nofolder/P51_t.dds"));
    QVERIFY(!GameFiles::canOpenForReading(path("P51_t.dds")));
}

void TestGameFiles::foldersInOtherLetterCaseFound()
{
#ifdef Q_OS_WIN
    QSKIP("the file system ignores letter case");
#endif
    QVERIFY(TestFiles::write(path("AIRCRAFT/P51/Skins/P51_T.DDS"), "x"));
    const QString root = m_dir->path() + '/';
    const struct
    {
        const char *given;
        const char *found;
    } cases[] = {
        {"aircraft/p51/skins/p51_t.dds", "AIRCRAFT/P51/Skins/P51_T.DDS"},
        {"Aircraft/", "AIRCRAFT/"},
        {"Aircraft/p51/", "AIRCRAFT/P51/"},
        // A file to create lands in the folder that exists.
        {"aircraft/p51/new.pnt", "AIRCRAFT/P51/new.pnt"},
        {"aircraft/nothere/new.pnt", "AIRCRAFT/nothere/new.pnt"},
        // A folder path never ends at a file; a file path may name anything.
        {"aircraft/p51/skins/p51_t.dds/", "AIRCRAFT/P51/Skins/p51_t.dds/"},
        {"aircraft/p51", "AIRCRAFT/P51"},
    };
    for (const auto &c : cases)
        QCOMPARE(GameFiles::findGameFile(root + c.given), root + c.found);
}

void TestGameFiles::windowsListingOrder()
{
    QStringList names = {"zero", "Bf109", "a_b", "AB", "Typhoon", "ab", "bf109", "Ab", "b"};
    GameFiles::sortAsListed(names);
    // Upper-case forms decide ("B" < "_"); the same form in several
    // spellings keeps a fixed order.
    QCOMPARE(names, QStringList({"AB", "Ab", "ab", "a_b", "b", "Bf109", "bf109", "Typhoon", "zero"}));
}

void TestGameFiles::backupCopiesOnce()
{
    QVERIFY(TestFiles::write(path("a_t.dds"), "original"));
    QVERIFY(GameFiles::copyIfAbsent(m_dir->path(), path("a_t.dds"), path("a_t.dds.bak")));
    QCOMPARE(TestFiles::read(path("a_t.dds.bak")), QByteArray("original"));

    QVERIFY(TestFiles::write(path("a_t.dds"), "applied paint"));
    const PaintResult again = GameFiles::copyIfAbsent(m_dir->path(), path("a_t.dds"), path("a_t.dds.bak"));
    QVERIFY(!again);
    QCOMPARE(again.file, QDir::toNativeSeparators(path("a_t.dds.bak")));
    QVERIFY(!again.reason.isEmpty());
    QCOMPARE(TestFiles::read(path("a_t.dds.bak")), QByteArray("original"));
    QCOMPARE(filesInFolder(), (QStringList{"a_t.dds", "a_t.dds.bak"}));
}

void TestGameFiles::backupNeverReplacesExistingInAnyCase()
{
#ifdef Q_OS_WIN
    QSKIP("the file system ignores letter case");
#endif
    QVERIFY(TestFiles::write(path("a_t.dds"), "now"));
    QVERIFY(TestFiles::write(path("A_T.DDS.BAK"), "from windows"));
    QVERIFY(!GameFiles::copyIfAbsent(m_dir->path(), path("a_t.dds"), path("a_t.dds.bak")));
    QCOMPARE(TestFiles::read(path("A_T.DDS.BAK")), QByteArray("from windows"));
    QCOMPARE(filesInFolder(), (QStringList{"A_T.DDS.BAK", "a_t.dds"}));
}

void TestGameFiles::backupOfMissingTextureMakesNothing()
{
    QVERIFY(!GameFiles::copyIfAbsent(m_dir->path(), path("gone_t.dds"), path("gone_t.dds.bak")));
    QVERIFY(filesInFolder().isEmpty());
}

void TestGameFiles::backupFromUpperCaseTextureKeepsDerivedName()
{
#ifdef Q_OS_WIN
    QSKIP("the file system ignores letter case");
#endif
    QByteArray big(1 << 20, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = char(i * 7);
    QVERIFY(TestFiles::write(path("SPIT_T.DDS"), big));
    QVERIFY(GameFiles::copyIfAbsent(m_dir->path(), path("spit_t.dds"), path("spit_t.dds.bak")));
    QCOMPARE(TestFiles::read(path("spit_t.dds.bak")), big);
    QCOMPARE(filesInFolder(), (QStringList{"SPIT_T.DDS", "spit_t.dds.bak"}));
}

void TestGameFiles::replacingCopyOverwritesFoundFile()
{
#ifdef Q_OS_WIN
    QSKIP("the file system ignores letter case");
#endif
    QVERIFY(TestFiles::write(path("P51_T.DDS"), "main"));
    QVERIFY(TestFiles::write(path("Red.DDS"), "red paint"));
    QVERIFY(GameFiles::copyReplacing(m_dir->path(), path("red.dds"), path("P51_t.dds")));
    QCOMPARE(TestFiles::read(path("P51_T.DDS")), QByteArray("red paint"));
    QCOMPARE(filesInFolder(), (QStringList{"P51_T.DDS", "Red.DDS"}));
}

void TestGameFiles::replacingCopyFromMissingSourceKeepsTarget()
{
    QVERIFY(TestFiles::write(path("main.dds"), "main"));
    // The file at fault is the missing source, not the target kept.
    const PaintResult copied = GameFiles::copyReplacing(m_dir->path(), path("absent.dds"), path("main.dds"));
    QVERIFY(!copied);
    QCOMPARE(copied.file, QDir::toNativeSeparators(path("absent.dds")));
    QCOMPARE(copied.reason, QDir::toNativeSeparators(path("absent.dds")) + " does not exist");
    QCOMPARE(TestFiles::read(path("main.dds")), QByteArray("main"));
    QCOMPARE(filesInFolder(), QStringList{"main.dds"});
}

void TestGameFiles::copiesFailingHalfWayLeaveNothingBehind()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a file size limit");
#else
    const QByteArray paint(64 * 1024, 'p');
    QVERIFY(TestFiles::write(path("big.dds"), paint));
    QVERIFY(TestFiles::write(path("main.dds"), "main"));
    PaintResult replaced;
    PaintResult backedUp;
    {
        TestFiles::FileSizeLimit limit(4096);
        QVERIFY(limit.isActive());
        replaced = GameFiles::copyReplacing(m_dir->path(), path("big.dds"), path("main.dds"));
        backedUp = GameFiles::copyIfAbsent(m_dir->path(), path("big.dds"), path("big.dds.bak"));
    }
    QVERIFY(!replaced);
    QCOMPARE(replaced.file, QDir::toNativeSeparators(path("main.dds")));
    QVERIFY(!replaced.reason.isEmpty());
    QVERIFY(!backedUp);
    QCOMPARE(backedUp.file, QDir::toNativeSeparators(path("big.dds.bak")));
    QVERIFY(!backedUp.reason.isEmpty());
    QCOMPARE(TestFiles::read(path("main.dds")), QByteArray("main"));
    QCOMPARE(filesInFolder(), (QStringList{"big.dds", "main.dds"}));
#endif
}

void TestGameFiles::decodeUtf8AndWindows1252()
{
    QCOMPARE(GameText::decode("Gr\xC3\xBCn"), QString::fromUtf8("Grün"));
    QCOMPARE(GameText::decode("Gr\xFCn"), QString::fromUtf8("Grün"));
    QCOMPARE(GameText::decode("\x80 \x9F"), QString::fromUtf8("€ Ÿ"));
    // A byte-order mark inside a value is text, not something to drop.
    QCOMPARE(GameText::decode("\xEF\xBB\xBFx"), QString(QChar(0xFEFF)) + u'x');
    QCOMPARE(GameText::decode("\x81"), QString(QChar(0x81)));
}

void TestGameFiles::everyByteSurvivesWindows1252()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = GameText::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(GameText::encode(text), all);
}

void TestGameFiles::encodePrefersWindows1252()
{
    QCOMPARE(GameText::encode(QString::fromUtf8("Grün €")), QByteArray("Gr\xFCn \x80"));
    QCOMPARE(GameText::encode(QStringLiteral("P51_t.dds")), QByteArray("P51_t.dds"));
}

void TestGameFiles::encodeFallsBackToUtf8()
{
    const QString cjk = QString::fromUtf8("零戦");
    QCOMPARE(GameText::encode(cjk), cjk.toUtf8());
    // Windows-1252 bytes for this text would be valid UTF-8 for other text.
    const QString lookalike = QString::fromUtf8("Ã©");
    QCOMPARE(GameText::encode(lookalike), lookalike.toUtf8());
    for (const QString &s : {cjk, lookalike, QString::fromUtf8("Ünïcödé ™")})
        QCOMPARE(GameText::decode(GameText::encode(s)), s);
}

QTEST_GUILESS_MAIN(TestGameFiles)
#include "tst_GameFiles.moc"
