// The collection window over a real main window: it opens with F3, follows
// the main window's selection and back, applies and restores through the
// main window's operations, filters as the player types, keeps its size,
// and its thumbnails come from the disk cache while the file is unchanged.
#include "AircraftLock.h"
#include "AircraftRowDelegate.h"
#include "CollectionModel.h"
#include "DdsWriter.h"
#include "InterpretedRegexes.h"
#include "ModalDriver.h"
#include "PaintGridModel.h"
#include "PaintWindow.h"
#include "StartOptions.h"
#include "TCollectionForm.h"
#include "TRezidu.h"
#include "TempTree.h"
#include "TestGame.h"
#include "ThumbnailLoader.h"
#include "ThumbnailStore.h"
#include "TSetReportForm.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

using TempTree::readFile;
using TempTree::writeFile;
using Kind = AircraftStatus::Kind;

enum class Way { F3, ListMenu, StartOption };
Q_DECLARE_METATYPE(Way)

namespace {

QByteArray realTexture(unsigned seed)
{
    const auto levels = ddstest::mipChain(ddstest::gradient(256, 256, seed), 9);
    const std::vector<std::uint8_t> bytes = ddstest::legacyBlockDds(levels, ddstest::Block::Bc1, "DXT1");
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// The rows a view shows, by their text.
QStringList shownTexts(const QAbstractItemModel *model)
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data().toString();
    return texts;
}

bool waitForSurvey(TCollectionForm *form)
{
    if (form->model()->surveyFinished())
        return true;
    QSignalSpy done(form->model(), &CollectionModel::surveyDone);
    return done.wait(10000);
}

// A player's right-click on the row: the press selects it, then the list's
// menu opens and the entry is picked from it. False when there was no such
// entry (the menu is closed then, so the test goes on).
bool pickFromListMenu(QListWidget *list, int row, const QString &entry)
{
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, at);
    bool picked = false;
    ModalDriver::answerNextPopup([&](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        for (QAction *action : menu ? menu->actions() : QList<QAction *>()) {
            if (action->text().startsWith(entry)) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                picked = true;
            }
        }
        popup->close();
    });
    QContextMenuEvent opened(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &opened);
    return picked;
}

void answerNextWith(QMessageBox::StandardButton button)
{
    ModalDriver::answerNext([button](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        box->button(button)->click();
    });
}

// Answers the next modal window of that kind, once whatever modal window is
// up before it has gone: the progress of work on a worker stays up until the
// work has stopped.
template<typename Window>
void answerNextOf(const std::function<void(Window *)> &answer)
{
    auto *poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, answer, given = QDeadlineTimer(10000)] {
        auto *box = qobject_cast<Window *>(QApplication::activeModalWidget());
        if (!box && !given.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        if (box)
            answer(box);
    });
    poll->start();
}

} // namespace

class CollectionWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_game;
    QString m_ini;

    std::unique_ptr<TRezidu> openMain(const StartOptions &options = {})
    {
        return PaintWindow::open(m_ini, m_dir.filePath("no-wine"), options);
    }
    TCollectionForm *pressF3(TRezidu &main)
    {
        QTest::keyClick(&main, Qt::Key_F3);
        auto *form = main.findChild<TCollectionForm *>();
        if (form && QTest::qWaitForWindowExposed(form) && waitForSurvey(form))
            return form;
        return nullptr;
    }
    void doubleClickPaint(TCollectionForm *form, const QString &name)
    {
        auto *view = form->findChild<QListView *>("paintView");
        const QModelIndexList found =
            form->paintModel()->match(form->paintModel()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        const QPoint at = view->visualRect(found.first()).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }
    QString mainTexture(const QString &plane) const
    {
        return m_game + "Aircraft/" + plane + "/" + plane + "_t.dds";
    }

private slots:
    void init()
    {
        m_game = m_dir.filePath(QString("game-%1/").arg(QTest::currentTestFunction()));
        TestGame::addAircraft(m_game, "P51", {{"Desert Fox", "desert.dds"}, {"Navy", "navy.dds"}});
        TestGame::addAircraft(m_game, "Zero", {{"Green", "green.dds"}});
        TestGame::addAircraft(m_game, "Spitfire", {});
        m_ini = m_dir.filePath(QString("%1.ini").arg(QTest::currentTestFunction()));
        writeFile(m_ini, "[tst_app_collection_window]\nCFSPath=" + m_game.toUtf8() + "\n");
    }

    // The Sets menu: a set saved from the window and applied again through
    // it, with the dialogs answered as a player would and the report read.
    void setsMenuSavesAndAppliesASet()
    {
        qputenv("CORVANE_SETS_FOLDER", m_dir.filePath("sets-window").toLocal8Bit());
        auto main = openMain();
        QVERIFY(main);
        TCollectionForm *form = pressF3(*main);
        QVERIFY(form);
        Hangar &hangar = main->hangar();
        const int p51 = hangar.find("P51").constFirst();
        QVERIFY(hangar.select(p51));
        QVERIFY(hangar.apply(3)); // Navy

        QStringList reported;
        auto answerThenReport = [&](const std::function<void(QInputDialog *)> &answer) {
            ModalDriver::answerNext([&, answer](QWidget *modal) {
                auto *dialog = qobject_cast<QInputDialog *>(modal);
                QVERIFY(dialog);
                answer(dialog);
                answerNextOf<TSetReportForm>([&](TSetReportForm *report) {
                    reported = report->lines();
                    report->reject();
                });
                dialog->accept();
            });
        };
        answerThenReport([](QInputDialog *dialog) { dialog->setTextValue("Evening"); });
        form->findChild<QAction *>("actionSaveSet")->trigger();
        QVERIFY2(reported.contains("P51: listed Navy"), qPrintable(reported.join('\n')));

        QVERIFY(hangar.select(p51));
        QVERIFY(hangar.apply(2)); // Desert Fox
        reported.clear();
        answerThenReport([](QInputDialog *dialog) { dialog->setTextValue("Evening"); });
        form->findChild<QAction *>("actionApplySet")->trigger();
        QVERIFY2(reported.contains("P51: applied Navy"), qPrintable(reported.join('\n')));
        QCOMPARE(readFile(mainTexture("P51")), TestGame::texture("paint navy.dds"));
        qunsetenv("CORVANE_SETS_FOLDER");
    }

    void opensWithF3AndFollowsTheMainWindow()
    {
        auto main = openMain();
        QVERIFY(main);
        TCollectionForm *form = pressF3(*main);
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QString("Corvane Collection"));
        QCOMPARE(shownTexts(form->filterModel()), (QStringList{"P51", "Spitfire", "Zero"}));
        QCOMPARE(form->model()->index(0, 0).data(CollectionModel::PaintCountRole).toInt(), 2);
        QCOMPARE(form->model()->index(1, 0).data(CollectionModel::PaintCountRole).toInt(), 0);

        // The collection's choice is the main window's.
        auto *aircraft = form->findChild<QListView *>("aircraftView");
        aircraft->setCurrentIndex(form->filterModel()->index(2, 0));
        QCOMPARE(main->InList->currentRow(), 2);
        QCOMPARE(main->OutList->count(), 3);
        QCOMPARE(shownTexts(form->paintModel()), (QStringList{"Currently Installed Paint", "Default Paint", "Green"}));

        // And the other way round.
        main->InList->setCurrentRow(0);
        QCOMPARE(aircraft->currentIndex().row(), 0);
        QCOMPARE(shownTexts(form->paintModel()),
                 (QStringList{"Currently Installed Paint", "Default Paint", "Desert Fox", "Navy"}));
        // One window, however often asked for.
        QTest::keyClick(main.get(), Qt::Key_F3);
        QCOMPARE(main->findChildren<TCollectionForm *>().size(), 1);
    }

    void opensOnTheMainWindowsAircraft_data()
    {
        QTest::addColumn<Way>("way");
        QTest::newRow("F3") << Way::F3;
        QTest::newRow("aircraft list's menu") << Way::ListMenu;
        QTest::newRow("--collection") << Way::StartOption;
    }

    // However opened, the collection shows the aircraft chosen in the main
    // window, with its paints.
    void opensOnTheMainWindowsAircraft()
    {
        QFETCH(Way, way);
        const int zero = 2; // P51, Spitfire, Zero
        auto main = openMain(StartOptions::from({"Corvane", way == Way::StartOption ? "--collection" : ""}));
        QVERIFY(main);
        QCOMPARE(main->findChildren<TCollectionForm *>().size(), way == Way::StartOption ? 1 : 0);
        if (way == Way::ListMenu) {
            main->InList->setCurrentRow(0);
            QVERIFY(pickFromListMenu(main->InList, zero, "Show in the Collection"));
        } else {
            main->InList->setCurrentRow(zero);
            if (way == Way::F3)
                QTest::keyClick(main.get(), Qt::Key_F3);
        }
        auto *form = main->findChild<TCollectionForm *>();
        QVERIFY(form);
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QVERIFY(waitForSurvey(form));
        QCOMPARE(main->InList->currentRow(), zero);
        QCOMPARE(shownTexts(form->filterModel()), (QStringList{"P51", "Spitfire", "Zero"}));
        QCOMPARE(form->findChild<QListView *>("aircraftView")->currentIndex().data().toString(), QString("Zero"));
        QCOMPARE(shownTexts(form->paintModel()), (QStringList{"Currently Installed Paint", "Default Paint", "Green"}));
    }

    void startOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("collection");
        QTest::newRow("none") << QStringList{"Corvane"} << false;
        QTest::newRow("asked") << QStringList{"Corvane", "--collection"} << true;
        QTest::newRow("among others") << QStringList{"Corvane", "C:/Games/CFS3/", "--collection", "-x"} << true;
        QTest::newRow("look-alikes") << QStringList{"Corvane", "--collections", "-collection", "collection"} << false;
        QTest::newRow("only the program's own name") << QStringList{"--collection"} << false;
        QTest::newRow("nothing at all") << QStringList{} << false;
    }

    void startOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, collection);
        QCOMPARE(StartOptions::from(arguments).collection, collection);
    }

    void doubleClickAppliesAsTheMainWindowDoes()
    {
        auto main = openMain();
        QVERIFY(main);
        TCollectionForm *form = pressF3(*main);
        QVERIFY(form);
        main->InList->setCurrentRow(0);
        doubleClickPaint(form, "Navy");
        QCOMPARE(readFile(mainTexture("P51")), TestGame::texture("paint navy.dds"));
        QCOMPARE(readFile(mainTexture("P51") + ".bak"), TestGame::texture("original P51"));
        // The main window marks the row worn, the collection too.
        QVERIFY(main->OutList->item(3)->font().bold());
        QCOMPARE(main->OutList->currentRow(), 0);
        const QModelIndexList navy = form->paintModel()->match(form->paintModel()->index(0, 0), Qt::DisplayRole, "Navy");
        QVERIFY(navy.first().data(PaintGridModel::InstalledRole).toBool());
        QTRY_COMPARE(form->model()->statusOf(0).kind, Kind::WearingPaint);
        QCOMPARE(form->model()->statusOf(0).paintName, QString("Navy"));

        // A main texture changed outside Corvane: the main window's question,
        // and "No" writes nothing.
        const QByteArray patched = TestGame::texture("patched P51");
        QVERIFY(writeFile(mainTexture("P51"), patched));
        answerNextWith(QMessageBox::No);
        doubleClickPaint(form, "Desert Fox");
        QCOMPARE(readFile(mainTexture("P51")), patched);
        // Row 0 is what the aircraft wears: nothing to apply.
        doubleClickPaint(form, "Currently Installed Paint");
        QCOMPARE(readFile(mainTexture("P51")), patched);
    }

    void searchAndStatusFilter()
    {
        auto main = openMain();
        QVERIFY(main);
        TCollectionForm *form = pressF3(*main);
        QVERIFY(form);
        auto *search = form->findChild<QLineEdit *>("searchBox");
        QTest::keyClicks(search, "NAVY p5");
        QCOMPARE(shownTexts(form->filterModel()), QStringList{"P51"});
        main->InList->setCurrentRow(0);
        QCOMPARE(shownTexts(form->paintModel()), (QStringList{"Currently Installed Paint", "Default Paint", "Navy"}));
        search->clear();
        QCOMPARE(form->filterModel()->rowCount(), 3);

        auto *status = form->findChild<QComboBox *>("statusFilter");
        status->setCurrentIndex(int(CollectionFilter::StatusChoice::WearingPaint));
        QCOMPARE(form->filterModel()->rowCount(), 0);
        doubleClickPaint(form, "Navy");
        QTRY_COMPARE(shownTexts(form->filterModel()), QStringList{"P51"});
        status->setCurrentIndex(int(CollectionFilter::StatusChoice::Problems));
        QCOMPARE(form->filterModel()->rowCount(), 0);
        QVERIFY(QFile::remove(m_game + "Aircraft/Zero/green.dds"));
        form->model()->lookAgain(2);
        QTRY_COMPARE(shownTexts(form->filterModel()), QStringList{"Zero"});
        QVERIFY(form->model()->index(2, 0).data(Qt::ToolTipRole).toString().contains("missing"));
    }

    void restoreAllAsksThenRestores()
    {
        auto main = openMain();
        QVERIFY(main);
        TCollectionForm *form = pressF3(*main);
        QVERIFY(form);
        main->InList->setCurrentRow(2);
        doubleClickPaint(form, "Green");
        main->InList->setCurrentRow(0);
        doubleClickPaint(form, "Desert Fox");
        QTRY_COMPARE(form->model()->statusOf(2).kind, Kind::WearingPaint);
        QTRY_VERIFY(form->model()->surveyFinished());
        QTRY_COMPARE(form->model()->statusOf(0).kind, Kind::WearingPaint);

        // Cancel changes nothing.
        QString asked;
        ModalDriver::answerNext([&asked](QWidget *modal) {
            asked = static_cast<QMessageBox *>(modal)->text();
            static_cast<QMessageBox *>(modal)->button(QMessageBox::Cancel)->click();
        });
        form->restoreAll();
        QVERIFY2(asked.contains("2 aircraft"), qPrintable(asked));
        QCOMPARE(readFile(mainTexture("Zero")), TestGame::texture("paint green.dds"));

        answerNextWith(QMessageBox::Ok);
        answerNextOf<QMessageBox>([](QMessageBox *report) { report->accept(); });
        form->restoreAll();
        QCOMPARE(readFile(mainTexture("Zero")), TestGame::texture("original Zero"));
        QCOMPARE(readFile(mainTexture("P51")), TestGame::texture("original P51"));
        // The main window shows the P51 again, its original marked.
        QCOMPARE(main->InList->currentRow(), 0);
        QVERIFY(main->OutList->item(1)->font().bold());
        QTRY_COMPARE(form->model()->statusOf(0).kind, Kind::Original);
    }

    // The restore runs on a worker: while it waits for an aircraft another
    // Corvane is changing, the window's event loop turns and shows the
    // progress, and Cancel stops it before the next aircraft.
    void restoreAllRunsOffTheWindowsThreadAndStopsAtCancel()
    {
        TestGame::addAircraft(m_game, "Yak", {{"Red Star", "redstar.dds"}});
        auto main = openMain();
        QVERIFY(main);
        TCollectionForm *form = pressF3(*main);
        QVERIFY(form);
        const QStringList order{"P51", "Yak", "Zero"};
        const QStringList paints{"Navy", "Red Star", "Green"};
        const QByteArray worn[] = {TestGame::texture("paint navy.dds"), TestGame::texture("paint redstar.dds"),
                                   TestGame::texture("paint green.dds")};
        for (int i = 0; i < order.size(); ++i) {
            const QList<QListWidgetItem *> rows = main->InList->findItems(order.at(i), Qt::MatchExactly);
            QCOMPARE(rows.size(), 1);
            main->InList->setCurrentItem(rows.first());
            doubleClickPaint(form, paints.at(i));
            QCOMPARE(readFile(mainTexture(order.at(i))), worn[i]);
        }
        QTRY_VERIFY(form->model()->surveyFinished());
        for (const QString &aircraft : order)
            QTRY_COMPARE(form->model()->statusOf(main->hangar().find(aircraft).constFirst()).kind, Kind::WearingPaint);

        // Another writer holds the Yak, so the worker waits there.
        AircraftLock otherWriter(m_game + "Aircraft/Yak/");
        QVERIFY(otherWriter.acquire(0));
        bool progressShown = false;
        int mainRowAfterClick = -1;
        QByteArray p51WhileShown;
        QByteArray zeroWhileShown;
        QString report;
        ModalDriver::answerNext([&](QWidget *confirm) {
            static_cast<QMessageBox *>(confirm)->button(QMessageBox::Ok)->click();
            ModalDriver::answerNext([&](QWidget *modal) {
                auto *progress = qobject_cast<QProgressDialog *>(modal);
                progressShown = progress != nullptr;
                p51WhileShown = readFile(mainTexture("P51"));
                zeroWhileShown = readFile(mainTexture("Zero"));
                // The main window draws the same hangar: it takes no clicks
                // meanwhile (sent as the system sends them, to its window).
                QListWidgetItem *p51 = main->InList->findItems("P51", Qt::MatchExactly).constFirst();
                const QPoint at =
                    main->InList->viewport()->mapTo(main.get(), main->InList->visualItemRect(p51).center());
                QTest::mouseClick(main->windowHandle(), Qt::LeftButton, {}, at);
                mainRowAfterClick = main->InList->currentRow();
                if (progress)
                    progress->findChild<QPushButton *>()->click();
                otherWriter.release();
                answerNextOf<QMessageBox>([&](QMessageBox *done) {
                    report = done->text();
                    done->accept();
                });
            });
        });
        form->restoreAll();

        QVERIFY(progressShown);
        QCOMPARE(mainRowAfterClick, main->InList->row(main->InList->findItems("Zero", Qt::MatchExactly).constFirst()));
        QCOMPARE(p51WhileShown, TestGame::texture("original P51"));
        QCOMPARE(zeroWhileShown, worn[2]);
        // The Yak was under way when Cancel came; the Zero was never begun.
        QCOMPARE(readFile(mainTexture("Yak")), TestGame::texture("original Yak"));
        QCOMPARE(readFile(mainTexture("Zero")), worn[2]);
        QVERIFY2(report.startsWith("2 aircraft wear their original paint again."), qPrintable(report));
        QVERIFY2(report.contains("Stopped: 1 more were left as they were."), qPrintable(report));
        QVERIFY(!main->hangarBusy());
        QTRY_COMPARE(form->model()->statusOf(main->hangar().find("Yak").constFirst()).kind, Kind::Original);
        QCOMPARE(form->model()->statusOf(main->hangar().find("Zero").constFirst()).kind, Kind::WearingPaint);
    }

    void sizeAndSplitterAreKept()
    {
        QList<int> chosen;
        {
            auto main = openMain();
            QVERIFY(main);
            TCollectionForm *form = pressF3(*main);
            QVERIFY(form);
            form->resize(900, 600);
            form->findChild<QSplitter *>("splitter")->setSizes({250, 600});
            chosen = form->findChild<QSplitter *>("splitter")->sizes();
            form->close();
        }
        const QByteArray ini = readFile(m_ini);
        QVERIFY2(ini.contains("CollectionWidth=900"), ini.constData());
        auto main = openMain();
        QVERIFY(main);
        TCollectionForm *form = pressF3(*main);
        QVERIFY(form);
        QCOMPARE(form->size(), QSize(900, 600));
        QCOMPARE(form->findChild<QSplitter *>("splitter")->sizes(), chosen);
    }

    void thumbnailsComeFromTheCacheWhileTheFileIsUnchanged()
    {
        const QString texture = m_game + "Aircraft/P51/navy.dds";
        QVERIFY(writeFile(texture, realTexture(7)));
        const ThumbnailFolder own(m_dir.filePath("own-cache"), ThumbnailFolder::Upkeep::Own);
        const ThumbnailFolder shared(m_dir.filePath("shared-cache"), ThumbnailFolder::Upkeep::Shared);
        auto pictureOf = [&](const QString &path) {
            ThumbnailLoader loader(own, shared);
            QSignalSpy ready(&loader, &ThumbnailLoader::ready);
            if (!loader.picture(path).isNull() || !ready.wait(10000))
                return QImage();
            return ready.first().at(1).value<QImage>();
        };

        const QImage made = pictureOf(texture);
        QCOMPARE(made.size(), QSize(ThumbnailLoader::Side, ThumbnailLoader::Side));
        const ThumbnailIdentity identity = ThumbnailIdentity::of(texture);
        QVERIFY(!own.find(identity).isEmpty());
        // The file managers' form: 256 pixels, and their metadata.
        const QString sharedFile = shared.find(identity);
        QVERIFY(!sharedFile.isEmpty());
        QCOMPARE(QImage(sharedFile).size(), QSize(ThumbnailLoader::SharedSide, ThumbnailLoader::SharedSide));
        QCOMPARE(QImage(sharedFile).text("Thumb::URI"), identity.uri);

        // Unreadable bytes of the same size and time: only a cache can show it.
        const QDateTime modified = QFileInfo(texture).lastModified();
        QVERIFY(writeFile(texture, QByteArray(readFile(texture).size(), 'x')));
        QFile file(texture);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(modified, QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(pictureOf(texture), made);

        // Once the file is newer, neither cache is believed.
        QVERIFY(file.open(QIODevice::ReadWrite)
                && file.setFileTime(modified.addSecs(5), QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(pictureOf(texture).isNull());
        QVERIFY(!QFile::exists(own.folder() + identity.fileName()));
    }

    // A row's picture is drawn at a third of its size: reduced by
    // averaging, a pattern of single pixels becomes an even grey; the
    // painter's sampling would keep some pixels black or white.
    void rowPictureIsReducedSmoothly()
    {
        QImage pattern(ThumbnailLoader::Side, ThumbnailLoader::Side, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < pattern.height(); ++y) {
            for (int x = 0; x < pattern.width(); ++x)
                pattern.setPixel(x, y, (x + y) % 2 ? 0xffffffff : 0xff000000);
        }
        QStandardItemModel rows;
        auto *row = new QStandardItem("P-51D Mustang");
        row->setData(pattern, Qt::DecorationRole);
        rows.appendRow(row);
        AircraftRowDelegate delegate;
        QImage canvas(300, AircraftRowDelegate::PictureSide + 6, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::white);
        QStyleOptionViewItem option;
        option.rect = canvas.rect();
        option.palette = QApplication::palette();
        option.font = QApplication::font();
        option.fontMetrics = QFontMetrics(option.font);
        {
            QPainter painter(&canvas);
            delegate.paint(&painter, option, rows.index(0, 0));
        }
        // Inside the picture, clear of its edges.
        for (int y = 8; y < AircraftRowDelegate::PictureSide - 2; y += 3) {
            for (int x = 8; x < AircraftRowDelegate::PictureSide - 2; x += 3) {
                const int grey = qGray(canvas.pixel(x, y));
                QVERIFY2(grey > 96 && grey < 160, qPrintable(QString("%1 at %2,%3").arg(grey).arg(x).arg(y)));
            }
        }
    }

    // Pictures asked for together reach the window in batches: each must
    // arrive once, settled, in the format the window draws in, whether made
    // from the texture or read from a cache, and an unreadable file as none.
    void picturesAskedTogetherEachArriveOnce()
    {
        QStringList paths;
        for (int n = 0; n < 5; ++n) {
            paths << m_game + QString("Aircraft/P51/many%1.dds").arg(n);
            QVERIFY(writeFile(paths.last(), realTexture(20 + n)));
        }
        const QString broken = m_game + "Aircraft/P51/broken.dds";
        QVERIFY(writeFile(broken, "no texture"));
        paths << broken;
        const ThumbnailFolder own(m_dir.filePath("own-many"), ThumbnailFolder::Upkeep::Own);
        const ThumbnailFolder shared(m_dir.filePath("shared-many"), ThumbnailFolder::Upkeep::Shared);
        for (const QString pass : {"made", "from the caches"}) {
            ThumbnailLoader loader(own, shared);
            QSignalSpy ready(&loader, &ThumbnailLoader::ready);
            loader.prefer(paths);
            QTRY_COMPARE_WITH_TIMEOUT(loader.pendingCount(), 0, 30000);
            QStringList arrived;
            for (const QList<QVariant> &signal : std::as_const(ready))
                arrived << signal.at(0).toString();
            arrived.sort();
            QStringList expected = paths;
            expected.sort();
            QCOMPARE(arrived, expected);
            for (const QString &path : std::as_const(paths)) {
                QVERIFY2(loader.isSettled(path), qPrintable(pass + ": " + path));
                const QImage picture = loader.picture(path);
                QCOMPARE(picture.isNull(), path == broken);
                if (!picture.isNull())
                    QCOMPARE(picture.format(), QImage::Format_ARGB32_Premultiplied);
            }
            QVERIFY(!own.find(ThumbnailIdentity::of(paths.first())).isEmpty());
        }
    }
};

int main(int argc, char **argv)
{
    // As the program starts: its thumbnail workers match regular expressions.
    useInterpretedRegexes();
    // The thumbnail caches of the window stay inside the test's folder.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    QApplication app(argc, argv);
    CollectionWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_CollectionWindow.moc"
