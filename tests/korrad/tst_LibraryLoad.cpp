// Loading the conversion library must not drag a display stack into the
// processes that load it: file managers run the thumbnailer for every texture
// they show, and the command line runs where there is no display at all.

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct ProbeRun
{
    int exitCode = -1;
    QString output;
    QSet<QString> loaded; // file names the dynamic loader mapped
};

ProbeRun runProbe(const QString &source, const QString &target)
{
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(KORRAD_LOAD_PROBE), {QStringLiteral(KORRAD_LIBRARY_FILE), source, target});
    ProbeRun run;
    if (!probe.waitForFinished(60000))
        return run;
    run.exitCode = probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -1;
    run.output = QString::fromLocal8Bit(probe.readAllStandardError());
    static const QRegularExpression mapped(QStringLiteral("file=(\\S+)"));
    for (auto match = mapped.globalMatch(run.output); match.hasNext();)
        run.loaded.insert(match.next().captured(1).section(u'/', -1));
    return run;
}

} // namespace

class LibraryLoadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
#ifndef Q_OS_LINUX
        QSKIP("LD_DEBUG is the GNU dynamic loader's; other systems list loaded libraries differently");
#endif
    }

    void loadsNoDisplayLibraries_data()
    {
        QTest::addColumn<QString>("forbidden");
        QTest::newRow("Qt Gui") << "libQt6Gui";
        QTest::newRow("Qt Core") << "libQt6Core";
        QTest::newRow("X11") << "libX11";
        QTest::newRow("xcb") << "libxcb";
        QTest::newRow("EGL") << "libEGL";
        QTest::newRow("OpenGL") << "libOpenGL";
        QTest::newRow("GLX") << "libGLX";
        QTest::newRow("fontconfig") << "libfontconfig";
        QTest::newRow("freetype") << "libfreetype";
    }

    void loadsNoDisplayLibraries()
    {
        QFETCH(QString, forbidden);
        QTemporaryDir folder;
        const QString source = folder.filePath("paint.png");
        QImage picture(600, 300, QImage::Format_RGB32);
        picture.fill(qRgb(40, 80, 160));
        QVERIFY(picture.save(source, "PNG"));

        const ProbeRun run = runProbe(source, folder.filePath("paint.bmp"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.output.right(2000)));
        // Proof that the loader did report what it mapped.
        QVERIFY2(run.loaded.contains(QStringLiteral(KORRAD_LIBRARY_NAME)), qPrintable(run.output.right(2000)));
        for (const QString &name : run.loaded)
            QVERIFY2(!name.startsWith(forbidden), qPrintable(name + " was loaded with the library"));
    }
};

int runLibraryLoadTests(int argc, char **argv)
{
    LibraryLoadTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_LibraryLoad.moc"
