// The command line's preview and the file managers' thumbnailer run where
// there is no display: converting a texture must map neither Qt Gui nor any
// part of a display stack into them.

#include "DdsWriter.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

struct Mapped
{
    int exitCode = -1;
    QString log;
    QSet<QString> files; // file names the dynamic loader mapped
};

Mapped runWatched(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Mapped run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.log = QString::fromLocal8Bit(process.readAllStandardError());
    static const QRegularExpression mapped(QStringLiteral("file=(\\S+)"));
    for (auto match = mapped.globalMatch(run.log); match.hasNext();)
        run.files.insert(match.next().captured(1).section(u'/', -1));
    return run;
}

} // namespace

class FrontEndLoadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
#ifndef Q_OS_LINUX
        QSKIP("LD_DEBUG is the GNU dynamic loader's");
#endif
    }

    void convertingMapsNoDisplayLibraries_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("corvane-cli preview") << "corvane-cli";
        QTest::newRow("corvane-thumbnailer") << "corvane-thumbnailer";
    }
    void convertingMapsNoDisplayLibraries()
    {
        QFETCH(QString, program);
        if (program == "corvane-thumbnailer" && QString(THUMBNAILER).isEmpty())
            QSKIP("no thumbnailer on this system");
        QTemporaryDir dir;
        const QString texture = dir.filePath("paint_t.dds");
        ddstest::writeFile(QFile::encodeName(texture).toStdString(),
                           ddstest::legacyBlockDds(ddstest::mipChain(ddstest::gradient(256, 256), 9),
                                                   ddstest::Block::Bc1, "DXT1"));
        const QString output = dir.filePath("out.png");
        const Mapped run = program == "corvane-thumbnailer"
                               ? runWatched(THUMBNAILER, {"-s", "128", texture, output})
                               : runWatched(CORVANE_CLI, {"preview", texture, output, "--size", "128"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.log.right(2000)));
        QVERIFY(QFile::exists(output));
        // Proof that the loader did report what it mapped, the library too.
        const bool libraryMapped = std::any_of(run.files.begin(), run.files.end(),
                                               [](const QString &name) { return name.startsWith("libkorrad"); });
        QVERIFY2(libraryMapped, qPrintable(run.log.right(2000)));
        QStringList forbidden;
        for (const QString &name : run.files)
            for (const char *display : {"libQt6Gui", "libQt6Widgets", "libX11", "libxcb", "libEGL", "libOpenGL",
                                        "libGLX", "libfontconfig", "libfreetype", "libxkbcommon"})
                if (name.startsWith(QLatin1String(display)))
                    forbidden << name;
        QVERIFY2(forbidden.isEmpty(), qPrintable(forbidden.join(", ") + " mapped"));
    }
};

int runFrontEndLoadTests(int argc, char **argv)
{
    FrontEndLoadTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_FrontEndLoad.moc"
