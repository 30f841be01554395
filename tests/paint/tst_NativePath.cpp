#include "NativePath.h"

#include <QTest>

class TestNativePath : public QObject
{
    Q_OBJECT

private slots:
    void splitsAtTheLastSeparator_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::newRow("file in a folder") << "/games/CFS3/cfs3.exe" << "/games/CFS3/" << "cfs3.exe";
        QTest::newRow("folder with its separator") << "/games/CFS3/" << "/games/CFS3/" << "";
        QTest::newRow("bare name") << "P51.pnt" << "" << "P51.pnt";
        QTest::newRow("spaces and dots") << "/My Game/Aircraft/P.51/a b.dds" << "/My Game/Aircraft/P.51/" << "a b.dds";
#ifdef Q_OS_WIN
        QTest::newRow("drive") << "C:cfs3.exe" << "C:" << "cfs3.exe";
        QTest::newRow("either slash") << "C:\\Games/CFS3\\cfs3.exe" << "C:\\Games/CFS3\\" << "cfs3.exe";
#else
        QTest::newRow("backslash is a character here") << "/games/a\\b.dds" << "/games/" << "a\\b.dds";
#endif
    }

    void splitsAtTheLastSeparator()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QCOMPARE(NativePath::folderOf(path), folder);
        QCOMPARE(NativePath::fileName(path), name);
        QCOMPARE(NativePath::folderOf(path) + NativePath::fileName(path), path);
    }

    void withoutExtensionCutsAtTheLastDot_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stem");
        QTest::newRow("list") << "P51D.pnt" << "P51D";
        QTest::newRow("two dots") << "plane.old.dds" << "plane.old";
        QTest::newRow("none") << "P51D" << "P51D";
        QTest::newRow("definition without a base name") << ".pnt" << "";
    }
    void withoutExtensionCutsAtTheLastDot()
    {
        QFETCH(QString, name);
        QFETCH(QString, stem);
        QCOMPARE(NativePath::withoutExtension(name), stem);
    }
};

QTEST_GUILESS_MAIN(TestNativePath)
#include "tst_NativePath.moc"
