// Two Corvane processes changing one aircraft at once: every row one of them
// reports added is in the list at the end, and no removed row comes back.
#include "LoadedLists.h"
#include "Hangar.h"
#include "PaintListFile.h"
#include "TestArchive.h"
#include "TestGame.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// Child side: "--writer add GAME PREFIX COUNT", "--writer remove GAME COUNT"
// or "--writer install GAME DOWNLOAD". Prints one line per row it changed.
int runWriter(const QStringList &args)
{
    const QString action = args.value(0), game = args.value(1);
    // As the command line does: an aircraft seen for the first time gets
    // its list before anything else.
    auto selectP51 = [&](Hangar &hangar) {
        hangar.scan(Hangar::ListCreation::ReadOnly);
        const int index = hangar.find(QStringLiteral("P51")).value(0, -1);
        return hangar.createPaintList(index).ok && hangar.select(index).ok;
    };
    int failures = 0;
    if (action == "add" || action == "remove") {
        const int count = args.value(action == "add" ? 3 : 2).toInt();
        for (int i = 0; i < count; ++i) {
            Hangar hangar(game);
            if (!selectP51(hangar)) {
                ++failures;
                continue;
            }
            if (action == "add") {
                const QByteArray name = args.value(2).toUtf8() + QByteArray::number(i);
                if (const PaintResult added = hangar.add(name, QString::fromUtf8(name) + ".dds"))
                    std::printf("%s\n", name.constData());
                else {
                    std::fprintf(stderr, "%s\n", qPrintable(added.line()));
                    ++failures;
                }
            } else {
                const QByteArray name = hangar.paintTable().paints().value(0).name;
                if (!name.isEmpty() && hangar.remove(2))
                    std::printf("%s\n", name.constData());
            }
        }
    } else if (action == "install") {
        Hangar hangar(game);
        if (!selectP51(hangar))
            return 1;
        const InstallPlan plan = hangar.planInstall({{args.value(2)}, hangar.selectedIndex(), {}});
        for (const AircraftInstallResult &result : hangar.install(plan)) {
            for (const QString &name : result.added)
                std::printf("%s\n", qPrintable(name));
            failures += int(result.problems.size());
        }
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

class TwoWritersTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Starts both writers together and gives the rows each reported.
    static QList<QStringList> runTogether(const QList<QStringList> &writers)
    {
        QList<QProcess *> processes;
        for (const QStringList &args : writers) {
            auto *process = new QProcess;
            process->start(QCoreApplication::applicationFilePath(), QStringList{"--writer"} + args);
            processes << process;
        }
        QList<QStringList> reported;
        for (QProcess *process : processes) {
            process->waitForFinished(120000);
            // Text mode on Windows ends the child's lines with CR LF.
            const QString out = QString::fromUtf8(process->readAllStandardOutput()).remove('\r');
            reported << out.split('\n', Qt::SkipEmptyParts);
            if (process->exitCode() != 0)
                qWarning("a writer failed: %s", process->readAllStandardError().constData());
            delete process;
        }
        return reported;
    }

    static QStringList listedNames(const QString &game)
    {
        QStringList names;
        const std::optional<PaintListContents> list = loadedList(game + "Aircraft/P51/P51.pnt");
        for (const PaintEntry &paint : list->paints)
            names << QString::fromUtf8(paint.name);
        return names;
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_RUNTIME_DIR", m_dir.filePath("runtime").toLocal8Bit());
        QVERIFY(QDir().mkpath(m_dir.filePath("runtime")));
    }

    void racingWriters_data()
    {
        QTest::addColumn<QString>("second"); // what runs against a writer that adds
        QTest::newRow("two adds") << "add";
        QTest::newRow("two first adds") << "first add";
        QTest::newRow("an install against removes") << "install";
    }

    void racingWriters()
    {
        QFETCH(QString, second);
        const QString game = m_dir.filePath(QStringLiteral("%1/").arg(QTest::currentDataTag()));
        QList<QPair<QByteArray, QByteArray>> existing;
        for (int i = 0; i < 30; ++i)
            existing.append({"Old" + QByteArray::number(i), "old" + QByteArray::number(i) + ".dds"});
        TestGame::addAircraft(game, "P51", existing);
        if (second == "first add") { // an aircraft Corvane has not seen yet
            QVERIFY(QFile::remove(game + "Aircraft/P51/P51.pnt"));
            existing.clear();
        }

        QList<QStringList> writers;
        if (second != "install") {
            writers = {{"add", game, "First", "30"}, {"add", game, "Second", "30"}};
        } else {
            QList<TestArchive::Entry> entries;
            for (int i = 0; i < 20; ++i)
                entries.append({"P51/new" + QByteArray::number(i) + ".dds", "DDS new " + QByteArray::number(i)});
            const QString zip = game + "paints.zip";
            QVERIFY(TestArchive::write(zip, TestArchive::Format::Zip, entries));
            // The removes take the first row each time: only old rows.
            writers = {{"remove", game, "30"}, {"install", game, zip}};
        }
        const QList<QStringList> reported = runTogether(writers);
        const QStringList listed = listedNames(game);

        if (second != "install") {
            QCOMPARE(reported[0].size() + reported[1].size(), 60);
            QCOMPARE(listed.size(), existing.size() + 60);
            for (const QString &row : reported[0] + reported[1])
                QVERIFY2(listed.contains(row), qPrintable(row + " was reported added but is not listed"));
        } else {
            QCOMPARE(reported[0].size(), 30);
            QCOMPARE(reported[1].size(), 20);
            for (const QString &removed : reported[0])
                QVERIFY2(!listed.contains(removed), qPrintable(removed + " was removed but came back"));
            QCOMPARE(listed.size(), 20);
        }
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--writer") == 0)
        return runWriter(app.arguments().mid(2));
    TwoWritersTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_TwoWriters.moc"
