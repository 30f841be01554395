#include "FileVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane::platform;

#ifdef Q_OS_WIN

// On Windows the version comes from the library's version resource, and the
// loader's search finds the conversion library beside the program.
class TstLibraryVersion : public QObject
{
    Q_OBJECT

private slots:
    void libraryVersionByWindowsName()
    {
        QCOMPARE(libraryProductVersion(QStringLiteral("korrad.dll")),
                 ProductVersion::fromParts(CORVANE_KORRAD_VERSION_PARTS));
        QVERIFY(!libraryProductVersion(QStringLiteral("cvabsent.dll")).has_value());
    }
};

#else

namespace {

bool writeFile(const QString &path, const QByteArray &text = {})
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// A library laid out the way a build installs one: the real, versioned file
// and the chain of links to it.
bool installLibrary(const QString &folder, const QString &base, const QString &version)
{
    const QDir dir(folder);
    const QString real = base + u'.' + version;
    const QString soname = base + u'.' + version.section(u'.', 0, 0);
    return writeFile(dir.filePath(real)) && QFile::link(real, dir.filePath(soname))
           && QFile::link(soname, dir.filePath(base));
}

} // namespace

class TstLibraryVersion : public QObject
{
    Q_OBJECT

    QByteArray savedLibraryPath;

private slots:
    void initTestCase() { savedLibraryPath = qgetenv("LD_LIBRARY_PATH"); }
    void cleanup() { qputenv("LD_LIBRARY_PATH", savedLibraryPath); }

    void versionFromRealFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("parts"); // empty: no version
        QTest::newRow("four parts") << "/usr/lib/libkorrad.so.1.0.0.2" << QList<int>{1, 0, 0, 2};
        QTest::newRow("missing parts are 0") << "libfoo.so.3.1" << QList<int>{3, 1, 0, 0};
        QTest::newRow("largest") << "libfoo.so.65535.0.0.65535" << QList<int>{65535, 0, 0, 65535};
        QTest::newRow("no version") << "libfoo.so" << QList<int>{};
        QTest::newRow("five parts") << "libfoo.so.1.2.3.4.5" << QList<int>{};
        QTest::newRow("part too big") << "libfoo.so.65536.0.0.0" << QList<int>{};
        QTest::newRow("not a number") << "libfoo.so.1.x" << QList<int>{};
        QTest::newRow("empty part") << "libfoo.so.1..2" << QList<int>{};
    }
    void versionFromRealFileName()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, parts);
        const auto version = versionFromSharedObjectName(name);
        QCOMPARE(version.has_value(), !parts.isEmpty());
        if (version)
            QCOMPARE(*version, ProductVersion::fromParts(parts[0], parts[1], parts[2], parts[3]));
    }

    void firstFolderHoldingTheLibraryWins()
    {
        QTemporaryDir root;
        const QDir dir(root.path());
        for (const char *name : {"empty", "dangling", "first", "second"})
            QVERIFY(dir.mkdir(QLatin1String(name)));
        QVERIFY(QFile::link(QStringLiteral("libfoo.so.7"), dir.filePath(QStringLiteral("dangling/libfoo.so"))));
        QVERIFY(installLibrary(dir.filePath(QStringLiteral("first")), QStringLiteral("libfoo.so"), "2.0.0.1"));
        QVERIFY(installLibrary(dir.filePath(QStringLiteral("second")), QStringLiteral("libfoo.so"), "9.0.0.0"));
        QStringList folders;
        for (const char *name : {"empty", "dangling", "first", "second"})
            folders << dir.filePath(QLatin1String(name));
        QCOMPARE(findSharedObject(QStringLiteral("libfoo.so"), folders),
                 QFileInfo(dir.filePath(QStringLiteral("first/libfoo.so.2.0.0.1"))).canonicalFilePath());
        QVERIFY(findSharedObject(QStringLiteral("libbar.so"), folders).isEmpty());
    }

    void loaderConfigFollowsIncludes()
    {
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkdir(QStringLiteral("conf.d")));
        const QString top = dir.filePath(QStringLiteral("ld.so.conf"));
        QVERIFY(writeFile(top, "# comment\n/opt/one   # note\ninclude conf.d/*.conf\n/opt/two:/opt/three\nrelative\n"));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("conf.d/b.conf")), "/opt/b\n"));
        // Includes the top file again: must not loop.
        QVERIFY(writeFile(dir.filePath(QStringLiteral("conf.d/a.conf")), "/opt/a\ninclude " + top.toUtf8() + "\n"));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("conf.d/skipped.txt")), "/opt/skipped\n"));
        const QStringList expected{QStringLiteral("/opt/one"), QStringLiteral("/opt/a"), QStringLiteral("/opt/b"),
                                   QStringLiteral("/opt/two"), QStringLiteral("/opt/three")};
        QCOMPARE(foldersFromLoaderConfig(top), expected);
    }

    void libraryVersionByWindowsName()
    {
        QTemporaryDir elsewhere;
        QVERIFY(installLibrary(elsewhere.path(), QStringLiteral("libcvprobe.so"), QStringLiteral("4.0.0.9")));
        QVERIFY(writeFile(QDir(elsewhere.path()).filePath(QStringLiteral("libcvplain.so"))));
        qputenv("LD_LIBRARY_PATH", "/nonexistent::" + QFile::encodeName(elsewhere.path()));
        QCOMPARE(libraryProductVersion(QStringLiteral("cvprobe.dll")), ProductVersion::fromParts(4, 0, 0, 9));
        QVERIFY(!libraryProductVersion(QStringLiteral("cvabsent.dll")).has_value());
        QVERIFY(!libraryProductVersion(QStringLiteral("cvplain.dll")).has_value()); // no version in its name

        // The program's own folder comes before the loader's paths.
        const QDir programFolder(QCoreApplication::applicationDirPath());
        const auto removeProbe = qScopeGuard([&] {
            for (const char *name : {"libcvprobe.so", "libcvprobe.so.3", "libcvprobe.so.3.0.0.1"})
                QFile::remove(programFolder.filePath(QLatin1String(name)));
        });
        QVERIFY(installLibrary(programFolder.path(), QStringLiteral("libcvprobe.so"), QStringLiteral("3.0.0.1")));
        QCOMPARE(libraryProductVersion(QStringLiteral("cvprobe.dll")), ProductVersion::fromParts(3, 0, 0, 1));
    }
};

#endif

QTEST_GUILESS_MAIN(TstLibraryVersion)
#include "tst_LibraryVersion.moc"
