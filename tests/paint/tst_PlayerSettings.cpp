#include "IniSettingsStore.h"
#include "PlayerSettings.h"
#include "TempTree.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString section = QStringLiteral("Corvane");
const QString registryFolder = QStringLiteral("/from/registry");

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

// The settings the window and the command line share, read and written by
// the same rules whichever of them asks.
class PlayerSettingsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString iniFor(const QByteArray &content)
    {
        // Data tags hold characters Windows refuses in file names (':'), so
        // each row's file is named by a hash of its tag.
        const QByteArray tag = QCryptographicHash::hash(QTest::currentDataTag(), QCryptographicHash::Md5).toHex();
        const QString path = m_dir.filePath(QString("%1-%2.ini").arg(QTest::currentTestFunction(), QString::fromLatin1(tag)));
        if (!content.isNull())
            TempTree::writeFile(path, content);
        return path;
    }

    QString stored(const QString &ini, const QString &name)
    {
        IniSettingsStore store(ini);
        QString text = "<missing>";
        if (!store.readText(section, name, text))
            return "<unreadable>";
        return text;
    }

private slots:
    void valuesAreReadByTheirRules_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("registry");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QString>("gameFolder");
        QTest::addColumn<int>("source");
        QTest::addColumn<QStringList>("problems");
        const QString fromRegistry = native(registryFolder + "/");
        QTest::newRow("nothing stored") << QByteArray() << registryFolder << QPoint(40, 40) << fromRegistry
                                        << int(GameLocation::Origin::Registry) << QStringList();
        QTest::newRow("hexadecimal top, text that is no number")
            << QByteArray("[Corvane]\nTop=0x20\nLeft=far\n") << registryFolder << QPoint(40, 32) << fromRegistry
            << int(GameLocation::Origin::Registry) << QStringList();
        QTest::newRow("stored folder wins, even gone, and gets its separator")
            << QByteArray("[Corvane]\nLeft=-7\nCFSPath=/no/longer/there\n") << registryFolder << QPoint(-7, 40)
            << native("/no/longer/there/") << int(GameLocation::Origin::Settings) << QStringList();
        QTest::newRow("wrong types are told and the defaults used")
            << QByteArray("[Corvane]\nTop=\"1\", \"2\"\nLeft=100\nCFSPath=a, b\n") << registryFolder << QPoint(100, 40) << fromRegistry
            << int(GameLocation::Origin::Registry)
            << QStringList{"Invalid data type for 'Top'", "Invalid data type for 'CFSPath'"};
        QTest::newRow("found nowhere: empty") << QByteArray("[Corvane]\nCFSPath=\n") << QString() << QPoint(40, 40)
                                              << QString() << int(GameLocation::Origin::Nowhere) << QStringList();
    }

    void valuesAreReadByTheirRules()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, registry);
        QFETCH(QPoint, position);
        QFETCH(QString, gameFolder);
        QFETCH(int, source);
        QFETCH(QStringList, problems);
        QStringList told;
        PlayerSettings settings(std::make_unique<IniSettingsStore>(iniFor(ini)), section,
                                [&told](const PaintResult &problem) {
                                    QVERIFY(!problem.ok);
                                    told << problem.message();
                                });
        QCOMPARE(settings.windowPosition(), position);
        int registryReads = 0;
        const GameLocation::Origin origin = settings.locateGame([&] {
            ++registryReads;
            return GameInstallEntry{registry, QString()};
        });
        QCOMPARE(origin.folder, gameFolder);
        QCOMPARE(int(origin.source), source);
        QCOMPARE(registryReads, source == GameLocation::Origin::Settings ? 0 : 1);
        QCOMPARE(told, problems);
    }

    // Two windows open at once: the one closed last must not put back a
    // game folder that the other chose after it started.
    void closingKeepsTheNewerChoiceOfAnotherWindow_data()
    {
        QTest::addColumn<bool>("otherChooses");
        QTest::addColumn<bool>("thisChoosesAfter");
        QTest::addColumn<QString>("saved");
        QTest::newRow("alone: its folder, with the separator it got") << false << false << native("/start/");
        QTest::newRow("another chose since") << true << false << native("/other/");
        QTest::newRow("it chose again after the other") << true << true << native("/closing/");
    }

    void closingKeepsTheNewerChoiceOfAnotherWindow()
    {
        QFETCH(bool, otherChooses);
        QFETCH(bool, thisChoosesAfter);
        QFETCH(QString, saved);
        const QString ini = iniFor("[Corvane]\nCFSPath=/start\n");
        const auto fail = [](const PaintResult &problem) { QFAIL(qPrintable(problem.message())); };
        PlayerSettings window(std::make_unique<IniSettingsStore>(ini), section, fail);
        PlayerSettings other(std::make_unique<IniSettingsStore>(ini), section, fail);
        QString folder = window.locateGame([] { return GameInstallEntry{}; }).folder;
        other.locateGame([] { return GameInstallEntry{}; });
        if (otherChooses)
            QVERIFY(other.saveGameFolder(native("/other/")));
        if (thisChoosesAfter) {
            folder = native("/closing/");
            QVERIFY(window.saveGameFolder(folder));
        }
        QVERIFY(window.saveOnClose(QPoint(12, 34), folder));
        QCOMPARE(stored(ini, "CFSPath"), saved);
        QCOMPARE(stored(ini, "Top"), QString("34"));
        QCOMPARE(stored(ini, "Left"), QString("12"));
    }

    void aRefusedWriteIsToldAndFails()
    {
        const QString ini = iniFor(QByteArray());
        QVERIFY(QDir().mkpath(ini)); // a folder where the file should be
        QStringList told;
        PlayerSettings settings(std::make_unique<IniSettingsStore>(ini), section,
                                [&told](const PaintResult &problem) { told << problem.message(); });
        const PaintResult recorded = settings.recordProgram("/opt/corvane/Corvane");
        QVERIFY(!recorded);
        const PaintResult closed = settings.saveOnClose(QPoint(1, 2), "/g/");
        QVERIFY(!closed);
        QCOMPARE(told, (QStringList{recorded.message(), closed.message()}));
        QVERIFY2(closed.message().startsWith("Failed to set data for 'Top'"), qPrintable(closed.message()));
        QVERIFY(!settings.saveGameFolder("/g/"));
    }

    // The collection window saves its layout after every resize: a layout
    // already stored must not rewrite the file (the comment would go).
    void onlyAChangedLayoutIsWritten_data()
    {
        QTest::addColumn<QList<int>>("saved");
        QTest::addColumn<bool>("rewritten");
        QTest::newRow("the same") << QList<int>{900, 700, 300, 600} << false;
        QTest::newRow("one width") << QList<int>{900, 700, 320, 580} << true;
        QTest::newRow("the height") << QList<int>{900, 701, 300, 600} << true;
    }

    void onlyAChangedLayoutIsWritten()
    {
        QFETCH(QList<int>, saved);
        QFETCH(bool, rewritten);
        const QString ini = iniFor("; the player's note\n[Corvane]\nCollectionWidth=900\nCollectionHeight=700\n"
                                   "CollectionListWidth=300\nCollectionPaintsWidth=600\n");
        PlayerSettings settings(std::make_unique<IniSettingsStore>(ini), section, [](const PaintResult &) {});
        QCOMPARE(settings.collectionLayout().listWidth, 300);
        QVERIFY(settings.saveCollectionLayout({saved[0], saved[1], saved[2], saved[3]}));
        QCOMPARE(TempTree::readFile(ini).contains("the player's note"), !rewritten);
        const PlayerSettings::CollectionLayout now = PlayerSettings(std::make_unique<IniSettingsStore>(ini), section,
                                                                    [](const PaintResult &) {})
                                                         .collectionLayout();
        QCOMPARE((QList<int>{now.width, now.height, now.listWidth, now.paintsWidth}), saved);
    }
};

QTEST_GUILESS_MAIN(PlayerSettingsTest)
#include "tst_PlayerSettings.moc"
