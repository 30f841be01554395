#include "PaintSetFile.h"
#include "PaintSetStore.h"
#include "TempTree.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

using TempTree::readFile;
using TempTree::writeFile;

namespace {

// JSON written with single quotes, which read more easily inside C++ text.
QByteArray q(const char *json)
{
    return QByteArray(json).replace('\'', '"');
}

QByteArray setWith(const QByteArray &aircraftEntries, const QByteArray &version = "1")
{
    return "{\"corvanePaintSet\": " + version + ", \"name\": \"Squadron\", \"aircraft\": [" + aircraftEntries + "]}";
}

const QByteArray P51Desert = q("{'folder': 'P51', 'definition': 'P51', 'paint': 'Desert', 'texture': 'desert.dds'}");

PaintSet sampleSet()
{
    PaintChoice desert{"P51", "P51", "P-51D Mustang", false, "Desert", "desert.dds", QString(64, u'a'), 2796344};
    PaintChoice zero{"Zero", "A6M2", QString::fromUtf8("Zéro"), true, {}, {}, {}, -1};
    PaintChoice local{"Bf109", "Bf109", "Bf 109", false, QString::fromUtf8("Gelb 14 – Marseille"), "gelb14.dds", {}, -1};
    return PaintSet{QString::fromUtf8("JG 27 – Winter"), {desert, zero, local}};
}

void compareSets(const PaintSet &a, const PaintSet &b)
{
    QCOMPARE(a.name, b.name);
    QCOMPARE(a.choices.size(), b.choices.size());
    for (qsizetype i = 0; i < a.choices.size(); ++i) {
        const PaintChoice &x = a.choices.at(i);
        const PaintChoice &y = b.choices.at(i);
        QCOMPARE(QStringList({x.folder, x.definition, x.title, x.paint, x.textureFile, x.sha256}),
                 QStringList({y.folder, y.definition, y.title, y.paint, y.textureFile, y.sha256}));
        QCOMPARE(x.original, y.original);
        QCOMPARE(x.size, y.size);
    }
}

} // namespace

// A set file comes from anyone: it is read whole and as written, or refused
// with a reason, never half taken.
class PaintSetFileTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void readsBackWhatItWrites()
    {
        const QByteArray json = PaintSetFile::toJson(sampleSet());
        QVERIFY(json.contains("\r\n") && !json.contains("\n\n"));
        PaintSet read;
        const PaintResult parsed = PaintSetFile::fromJson(json, read);
        QVERIFY2(parsed, qPrintable(parsed.reason));
        compareSets(read, sampleSet());
    }

    void refusesBadFiles_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("told");
        QTest::newRow("invalid JSON") << QByteArray("{\"corvanePaintSet\": 1, ") << "not valid JSON";
        QTest::newRow("not an object") << QByteArray("[1, 2]") << "not a Corvane paint set";
        QTest::newRow("another program's JSON") << QByteArray("{\"name\": \"x\", \"aircraft\": []}")
                                                << "not a Corvane paint set";
        QTest::newRow("unknown version") << setWith(P51Desert, "2") << "version 2";
        QTest::newRow("version as text") << setWith(P51Desert, "\"1\"") << "version (none)";
        QTest::newRow("name not a text") << QByteArray("{\"corvanePaintSet\": 1, \"name\": 7, \"aircraft\": []}")
                                         << "\"name\" is not a text";
        QTest::newRow("no aircraft list") << QByteArray("{\"corvanePaintSet\": 1, \"aircraft\": {}}") << "no \"aircraft\" list";
        QTest::newRow("entry not an object") << setWith("\"P51\"") << "Entry 1 of the paint set's aircraft is not an object";
        QTest::newRow("missing folder") << setWith(q("{'paint': 'Desert', 'texture': 'desert.dds'}")) << "has no \"folder\"";
        QTest::newRow("folder a number") << setWith(q("{'folder': 51, 'paint': 'Desert', 'texture': 'd.dds'}"))
                                         << "\"folder\" that is not a text";
        QTest::newRow("folder leading up") << setWith(q("{'folder': '../x', 'original': true}")) << "not a plain folder name";
        QTest::newRow("folder dot dot") << setWith(q("{'folder': '..', 'original': true}")) << "not a plain folder name";
        QTest::newRow("folder with drive") << setWith(q("{'folder': 'C:', 'original': true}")) << "not a plain folder name";
        QTest::newRow("definition leading up") << setWith(q("{'folder': 'P51', 'definition': '..\\\\P51', 'original': true}"))
                                               << "not a plain file name";
        QTest::newRow("missing paint") << setWith(q("{'folder': 'P51', 'texture': 'desert.dds'}")) << "has no \"paint\"";
        QTest::newRow("missing texture") << setWith(q("{'folder': 'P51', 'paint': 'Desert'}")) << "has no \"texture\"";
        QTest::newRow("texture leading out") << setWith(q("{'folder': 'P51', 'paint': 'D', 'texture': '../../cfs3.exe'}"))
                                             << "leads outside the aircraft's folder";
        QTest::newRow("texture absolute") << setWith(q("{'folder': 'P51', 'paint': 'D', 'texture': '/etc/passwd'}"))
                                          << "leads outside the aircraft's folder";
        QTest::newRow("texture on a drive") << setWith(q("{'folder': 'P51', 'paint': 'D', 'texture': 'C:\\\\x.dds'}"))
                                            << "leads outside the aircraft's folder";
        QTest::newRow("paint name breaking the list") << setWith(q("{'folder': 'P51', 'paint': ';Desert', 'texture': 'd.dds'}"))
                                                      << "names the paint \";Desert\"";
        QTest::newRow("original not a truth") << setWith(q("{'folder': 'P51', 'original': 'yes'}")) << "not true or false";
        QTest::newRow("hash not hexadecimal") << setWith(q("{'folder': 'P51', 'paint': 'D', 'texture': 'd.dds', 'sha256': 'xyz', 'size': 1}"))
                                              << "64 lower-case hexadecimal";
        QTest::newRow("hash without size")
            << setWith(q("{'folder': 'P51', 'paint': 'D', 'texture': 'd.dds', 'sha256': '") + QByteArray(64, 'a') + "\"}")
            << "without a whole \"size\"";
        QTest::newRow("negative size")
            << setWith(q("{'folder': 'P51', 'paint': 'D', 'texture': 'd.dds', 'sha256': '") + QByteArray(64, 'a')
                       + "\", \"size\": -5}")
            << "without a whole \"size\"";
        QTest::newRow("aircraft twice, letter case aside")
            << setWith(P51Desert + q(", {'folder': 'p51', 'definition': 'p51', 'original': true}")) << "twice";
        QTest::newRow("second entry bad, first fine") << setWith(P51Desert + ", 3") << "Entry 2";

        QByteArray many;
        for (int i = 0; i <= PaintSetFile::MaxChoices; ++i)
            many += (i ? "," : "") + QByteArray(q("{'folder':'A")) + QByteArray::number(i) + q("','original':true}");
        QTest::newRow("too many aircraft") << setWith(many) << "more than the 20000";
        QTest::newRow("huge") << QByteArray(PaintSetFile::MaxBytes + 1, ' ') << "larger than 4 MiB";
    }

    void refusesBadFiles()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, told);
        PaintSet set;
        const PaintResult parsed = PaintSetFile::fromJson(json, set);
        QVERIFY(!parsed);
        QVERIFY2(parsed.reason.contains(told), qPrintable(parsed.reason));

        // The same through a file, and a store holding it names it as a
        // problem rather than as a set.
        const QString folder = m_dir.filePath(QString("store-%1/").arg(QTest::currentDataTag()));
        QVERIFY(writeFile(folder + "Broken.json", json));
        const PaintResult read = PaintSetFile::read(folder + "Broken.json", set);
        QVERIFY(!read);
        QCOMPARE(read.file, QDir::toNativeSeparators(folder + "Broken.json"));
        QVERIFY2(read.reason.contains(told), qPrintable(read.reason));
        QList<PaintResult> problems;
        QCOMPARE(PaintSetStore(folder).names(&problems), QStringList());
        QCOMPARE(problems.size(), 1);
        const PaintResult failure = PaintSetStore(folder).load("broken", set);
        QVERIFY(!failure);
        QVERIFY2(failure.reason.contains(told) && failure.file.endsWith("Broken.json"), qPrintable(failure.line()));
    }

    void refusesNamesNoSystemCanStore_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fine");
        QTest::newRow("plain") << "Squadron 1" << true;
        QTest::newRow("accents and dashes") << QString::fromUtf8("JG 27 – Wüste") << true;
        QTest::newRow("leading up") << "../x" << false;
        QTest::newRow("path") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("device") << "CON" << false;
        QTest::newRow("device in lower case with extension") << "lpt1.old" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank") << "   " << false;
        QTest::newRow("hidden") << ".sets" << false;
        QTest::newRow("drive") << "C:x" << false;
        QTest::newRow("trailing dot") << "Winter." << false;
        QTest::newRow("line break") << "two\nlines" << false;
        QTest::newRow("too long") << QString(101, u'x') << false;
    }

    void refusesNamesNoSystemCanStore()
    {
        QFETCH(QString, name);
        QFETCH(bool, fine);
        QCOMPARE(PaintSetFile::problemWithName(name).isEmpty(), fine);
        // Nothing is ever written outside the store's folder.
        const QString root = m_dir.filePath(QString("names-%1/").arg(QTest::currentDataTag()));
        PaintSetStore store(root + "sets/");
        PaintSet set = sampleSet();
        set.name = name;
        QCOMPARE(bool(store.save(set)), fine);
        QStringList written;
        QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            written << QDir(root).relativeFilePath(it.next());
        QCOMPARE(written, fine ? QStringList{"sets/" + name + ".json"} : QStringList());
    }

    void storeKeepsSetsUnderNamesOfAnyLetterCase()
    {
        const QString folder = m_dir.filePath("store/");
        PaintSetStore store(folder);
        PaintSet set = sampleSet();
        set.name = "Winter";
        QVERIFY(store.save(set));
        set.name = "Summer";
        set.choices.removeLast();
        QVERIFY(store.add(set));
        QCOMPARE(store.names(), QStringList({"Summer", "Winter"}));

        // One name whatever its letter case: adding refuses, saving replaces.
        set.name = "WINTER";
        QVERIFY(!store.add(set));
        QVERIFY(store.save(set));
        QCOMPARE(store.names(), QStringList({"Summer", "WINTER"}));
        PaintSet loaded;
        const PaintResult read = store.load("winter", loaded);
        QVERIFY2(read, qPrintable(read.line()));
        QCOMPARE(read.file, QDir::toNativeSeparators(folder + "WINTER.json"));
        QCOMPARE(loaded.name, "WINTER");
        QCOMPARE(loaded.choices.size(), 2);

        // Renaming: never over another set; its own file changes name.
        const QByteArray summer = readFile(folder + "Summer.json");
        QVERIFY(!store.rename("winter", "summer"));
        QCOMPARE(readFile(folder + "Summer.json"), summer);
        QVERIFY(store.rename("winter", "Snow"));
        QCOMPARE(store.names(), QStringList({"Snow", "Summer"}));
        QVERIFY(store.load("snow", loaded));
        QCOMPARE(loaded.choices.size(), 2);
        PaintSet snow;
        QVERIFY(PaintSetFile::fromJson(readFile(folder + "Snow.json"), snow));
        QCOMPARE(snow.name, "Snow");
        QVERIFY(!store.rename("Snow", "../Snow"));
        QVERIFY(!store.rename("Rain", "Hail"));

        QVERIFY(store.remove("SNOW"));
        QVERIFY(!store.remove("Snow"));
        QCOMPARE(store.names(), QStringList({"Summer"}));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"Summer.json"}));
    }

    void exportNeverReplacesAFile()
    {
        const QString path = m_dir.filePath("shared.json");
        QVERIFY(writeFile(path, "the player's own file"));
        QVERIFY(!PaintSetStore::exportTo(sampleSet(), path));
        QCOMPARE(readFile(path), QByteArray("the player's own file"));
        QVERIFY(QFile::remove(path));
        QVERIFY(PaintSetStore::exportTo(sampleSet(), path));
        PaintSet exported;
        QVERIFY(PaintSetFile::read(path, exported));
        compareSets(exported, sampleSet());
    }
};

QTEST_GUILESS_MAIN(PaintSetFileTest)
#include "tst_PaintSetFile.moc"
