#include "FileVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane::platform;

namespace {

bool touch(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

bool writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// Lays out a library the way a build installs one: the real, versioned file
// and the chain of links to it.
QString installLibrary(const QString &folder, const QString &base, const QString &version)
{
    const QDir dir(folder);
    const QString real = base + u'.' + version;
    const QString soname = base + u'.' + version.section(u'.', 0, 0);
    if (!touch(dir.filePath(real)) || !QFile::link(real, dir.filePath(soname))
        || !QFile::link(soname, dir.filePath(base)))
        return {};
    return dir.filePath(real);
}

class EnvironmentGuard
{
public:
    explicit EnvironmentGuard(const char *name)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_value(qgetenv(name)) {}
    ~EnvironmentGuard()
    {
        if (m_had)
            qputenv(m_name, m_value);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_value;
};

} // namespace

class TstLibraryVersion : public QObject
{
    Q_OBJECT

private slots:
    void namesMapToSharedObjects()
    {
        QCOMPARE(sharedObjectName(QStringLiteral("korrad.dll")), QStringLiteral("libkorrad.so"));
        QCOMPARE(sharedObjectName(QStringLiteral("korrad.DLL")), QStringLiteral("libkorrad.so"));
        QCOMPARE(sharedObjectName(QStringLiteral("korrad")), QStringLiteral("libkorrad.so"));
    }

    void versionFromRealFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QList<int>>("parts");
        QTest::newRow("four parts") << "libkorrad.so.1.0.0.2" << true << QList<int>{1, 0, 0, 2};
        QTest::newRow("full path") << "/usr/lib/libfoo.so.2.0.0.1" << true << QList<int>{2, 0, 0, 1};
        QTest::newRow("missing parts are 0") << "libfoo.so.3.1" << true << QList<int>{3, 1, 0, 0};
        QTest::newRow("largest parts") << "libfoo.so.65535.65535.65535.65535" << true
                                       << QList<int>{65535, 65535, 65535, 65535};
        QTest::newRow("no version") << "libfoo.so" << false << QList<int>{};
        QTest::newRow("five parts") << "libfoo.so.1.2.3.4.5" << false << QList<int>{};
        QTest::newRow("part too big") << "libfoo.so.65536.0.0.0" << false << QList<int>{};
        QTest::newRow("not a number") << "libfoo.so.1.x" << false << QList<int>{};
        QTest::newRow("empty part") << "libfoo.so.1..2" << false << QList<int>{};
        QTest::newRow("not a library name") << "Corvane" << false << QList<int>{};
    }
    void versionFromRealFileName()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QFETCH(QList<int>, parts);
        const auto version = versionFromSharedObjectName(name);
        QCOMPARE(version.has_value(), valid);
        if (valid)
            QCOMPARE(*version, ProductVersion::fromParts(parts[0], parts[1], parts[2], parts[3]));
    }

    void firstFolderHoldingTheLibraryWins()
    {
        QTemporaryDir root;
        const QDir dir(root.path());
        for (const char *name : {"empty", "dangling", "first", "second"})
            QVERIFY(dir.mkdir(QLatin1String(name)));
        QVERIFY(QFile::link(QStringLiteral("libfoo.so.7"), dir.filePath(QStringLiteral("dangling/libfoo.so"))));
        const QString first = installLibrary(dir.filePath(QStringLiteral("first")), QStringLiteral("libfoo.so"),
                                             QStringLiteral("2.0.0.1"));
        QVERIFY(!installLibrary(dir.filePath(QStringLiteral("second")), QStringLiteral("libfoo.so"),
                                QStringLiteral("9.0.0.0")).isEmpty());

        const QStringList folders{dir.filePath(QStringLiteral("empty")), dir.filePath(QStringLiteral("dangling")),
                                  dir.filePath(QStringLiteral("first")), dir.filePath(QStringLiteral("second"))};
        const QString found = findSharedObject(QStringLiteral("libfoo.so"), folders);
        QCOMPARE(found, QFileInfo(first).canonicalFilePath());
        QCOMPARE(*versionFromSharedObjectName(found), ProductVersion::fromParts(2, 0, 0, 1));
        QVERIFY(findSharedObject(QStringLiteral("libbar.so"), folders).isEmpty());
    }

    void loaderConfigFollowsIncludes()
    {
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkdir(QStringLiteral("conf.d")));
        QVERIFY(writeText(dir.filePath(QStringLiteral("ld.so.conf")),
                          "# leading comment\n"
                          "/opt/one   # trailing comment\n"
                          "include conf.d/*.conf\n"
                          "/opt/two:/opt/three\n"
                          "relative/ignored\n"));
        QVERIFY(writeText(dir.filePath(QStringLiteral("conf.d/b.conf")), "/opt/b\n"));
        // Includes the top file again: must not loop.
        QVERIFY(writeText(dir.filePath(QStringLiteral("conf.d/a.conf")),
                          "/opt/a\ninclude " + dir.filePath(QStringLiteral("ld.so.conf")).toUtf8() + "\n"));
        QVERIFY(writeText(dir.filePath(QStringLiteral("conf.d/skipped.txt")), "/opt/skipped\n"));

        const QStringList expected{QStringLiteral("/opt/one"), QStringLiteral("/opt/a"), QStringLiteral("/opt/b"),
                                   QStringLiteral("/opt/two"), QStringLiteral("/opt/three")};
        QCOMPARE(foldersFromLoaderConfig(dir.filePath(QStringLiteral("ld.so.conf"))), expected);
        QVERIFY(foldersFromLoaderConfig(dir.filePath(QStringLiteral("missing.conf"))).isEmpty());
    }

    void loaderFoldersStartWithTheEnvironment()
    {
        EnvironmentGuard guard("LD_LIBRARY_PATH");
        qputenv("LD_LIBRARY_PATH", "/opt/first::/opt/second");
        const QStringList folders = loaderSearchFolders();
        QVERIFY(folders.size() >= 4);
        QCOMPARE(folders.at(0), QStringLiteral("/opt/first"));
        QCOMPARE(folders.at(1), QStringLiteral("/opt/second"));
        QVERIFY(folders.contains(QStringLiteral("/usr/lib")));
        QVERIFY(folders.indexOf(QStringLiteral("/usr/lib")) > 1);
    }

    void libraryVersionByWindowsName()
    {
        EnvironmentGuard guard("LD_LIBRARY_PATH");
        QTemporaryDir elsewhere;
        QVERIFY(!installLibrary(elsewhere.path(), QStringLiteral("libcvprobe.so"), QStringLiteral("4.0.0.9")).isEmpty());
        qputenv("LD_LIBRARY_PATH", QFile::encodeName(elsewhere.path()));
        QCOMPARE(libraryProductVersion(QStringLiteral("cvprobe.dll")), ProductVersion::fromParts(4, 0, 0, 9));
        QVERIFY(!libraryProductVersion(QStringLiteral("cvabsent.dll")).has_value());

        // The program's own folder comes before the loader's paths.
        const QDir programFolder(QCoreApplication::applicationDirPath());
        const QString real = installLibrary(programFolder.path(), QStringLiteral("libcvprobe.so"),
                                            QStringLiteral("3.0.0.1"));
        const auto removeProbe = qScopeGuard([&] {
            for (const char *name : {"libcvprobe.so", "libcvprobe.so.3", "libcvprobe.so.3.0.0.1"})
                QFile::remove(programFolder.filePath(QLatin1String(name)));
        });
        QVERIFY(!real.isEmpty());
        QCOMPARE(libraryProductVersion(QStringLiteral("cvprobe.dll")), ProductVersion::fromParts(3, 0, 0, 1));
    }

    void libraryWithoutVersionReadsAsMissing()
    {
        EnvironmentGuard guard("LD_LIBRARY_PATH");
        QTemporaryDir dir;
        QVERIFY(touch(QDir(dir.path()).filePath(QStringLiteral("libcvplain.so"))));
        qputenv("LD_LIBRARY_PATH", QFile::encodeName(dir.path()));
        QVERIFY(!libraryProductVersion(QStringLiteral("cvplain.dll")).has_value());
    }
};

QTEST_GUILESS_MAIN(TstLibraryVersion)
#include "tst_libraryversion.moc"
