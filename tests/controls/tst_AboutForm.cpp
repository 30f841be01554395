#include "ApplicationTitle.h"
#include "LibraryTable.h"
#include "TAboutForm.h"
#include "TExeButton.h"
#include "TMButton.h"
#include "VersionText.h"

#include "ModalDriver.h"
#include "MouseSend.h"
#include "UrlRecorder.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane::controls;
using corvane::platform::ProductVersion;

#ifdef Q_OS_WIN
// Searched by the loader after the program's and the system's folders.
constexpr char LibraryPathVariable[] = "PATH";
#else
constexpr char LibraryPathVariable[] = "LD_LIBRARY_PATH";
#endif

class TstAboutForm : public QObject
{
    Q_OBJECT

    QTemporaryDir libraries;
    QByteArray savedLibraryPath;

    template <typename T>
    static T *child(QWidget &form, const char *name)
    {
        return form.findChild<T *>(QLatin1String(name));
    }
    static QStringList namesShown(QListWidget *list)
    {
        QStringList names;
        for (int row = 0; row < list->count(); ++row)
            names << list->item(row)->text().section(u' ', 0, 0);
        return names;
    }

private slots:
    void initTestCase()
    {
        savedLibraryPath = qgetenv(LibraryPathVariable);
#ifdef Q_OS_WIN
        qputenv(LibraryPathVariable, QDir::toNativeSeparators(libraries.path()).toUtf8() + ';' + savedLibraryPath);
#else
        qputenv(LibraryPathVariable, QFile::encodeName(libraries.path()));
#endif
    }
    void cleanupTestCase() { qputenv(LibraryPathVariable, savedLibraryPath); }

    void versionText_data()
    {
        QTest::addColumn<QList<int>>("parts");
        QTest::addColumn<QString>("text");
        QTest::newRow("3.0.0.2") << QList<int>{3, 0, 0, 2} << "3.00.2";
        QTest::newRow("minor hidden, build joins revision") << QList<int>{1, 2, 3, 4} << "1.00.196612";
        QTest::newRow("largest") << QList<int>{65535, 65535, 65535, 65535} << "65535.00.4294967295";
    }
    void versionText()
    {
        QFETCH(QList<int>, parts);
        QTEST(versionNumberText(ProductVersion::fromParts(parts[0], parts[1], parts[2], parts[3])), "text");
    }

    void libraryLines()
    {
        QCOMPARE(libraryLine(QStringLiteral("kordb.dll"), ProductVersion::fromParts(2, 0, 0, 1)),
                 QStringLiteral("kordb.dll    -   2.00.1"));
        QCOMPARE(libraryLine(QStringLiteral("korscan.dll"), std::nullopt),
                 QStringLiteral("korscan.dll  -   Not found"));
        QCOMPARE(libraryColumnText(QStringLiteral("korscan12.dll")), QStringLiteral(" -   "));
    }

    void defaultTitle()
    {
        QCOMPARE(defaultApplicationTitle(QStringLiteral("C:\\Games\\MyTool.exe")), QStringLiteral("Mytool"));
        QCOMPARE(defaultApplicationTitle(QStringLiteral("/opt/corvane/Corvane")), QStringLiteral("Corvane"));
        QCOMPARE(defaultApplicationTitle(QStringLiteral("/x/painter.v2.bin")), QStringLiteral("painter"));
    }

    void layout()
    {
        TAboutForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("About "));
        QCOMPARE(form.size(), QSize(471, 315));
        QCOMPARE(form.minimumSize(), form.maximumSize());

        auto *pages = child<QTabWidget>(form, "PageControl1");
        QCOMPARE(pages->count(), 4);
        const char *titles[] = {"Program", "Ostrel", "DLLs", "Copyrights"};
        const char *sheets[] = {"TabSheet1", "TabSheet2", "TabSheet4", "TabSheet3"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(pages->tabText(i), QLatin1String(titles[i]));
            QCOMPARE(pages->widget(i)->objectName(), QLatin1String(sheets[i]));
        }
        QCOMPARE(pages->currentIndex(), 0);
        // Logo and Close lie over the pages, so every page shows them.
        QCOMPARE(child<TMButton>(form, "MButton1")->parentWidget(), &form);
        QCOMPARE(child<QPushButton>(form, "Button1")->parentWidget(), &form);

        auto *exe = child<TExeButton>(form, "ExeButton1");
        QCOMPARE(exe->size(), QSize(104, 40));
        QVERIFY(exe->down());
        QVERIFY(!exe->icon().isNull());
        QCOMPARE(exe->caption(), defaultApplicationTitle(QCoreApplication::applicationFilePath()));
        QCOMPARE(child<TMButton>(form, "MButton3")->bitmap().size(), QSize(40, 32));
        QCOMPARE(child<TMButton>(form, "MButton1")->bitmap().size(), QSize(134, 137));
        QVERIFY(child<QLabel>(form, "Label2")->text().isEmpty()); // filled only when shown
    }

    void everyShowingRefills()
    {
        TAboutForm form;
        form.AboutText = QStringLiteral("Built for <the> squadron");
        form.show();
        const quint32 low = quint32(CORVANE_VERSION_PATCH) << 16 | CORVANE_VERSION_TWEAK;
        QCOMPARE(child<QLabel>(form, "Label2")->text(),
                 QStringLiteral("Version %1.00.%2").arg(CORVANE_VERSION_MAJOR).arg(low));
        QCOMPARE(child<QLabel>(form, "Label1")->text(), form.AboutText);
        auto *lines = child<QListWidget>(form, "ListBox1");
        QVERIFY(lines->findItems(QStringLiteral("kordb.dll    -   Not found"), Qt::MatchExactly).size() == 1);

        // A library installed while the program runs shows at the next showing, once.
        form.hide();
        const QDir dir(libraries.path());
#ifdef Q_OS_WIN
        // A DLL of the build that carries nothing but its version, 2.0.0.1.
        QVERIFY(QFile::copy(QStringLiteral(CORVANE_KORDB_PROBE), dir.filePath(QStringLiteral("kordb.dll"))));
#else
        QVERIFY(QFile(dir.filePath(QStringLiteral("libkordb.so.2.0.0.1"))).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(QStringLiteral("libkordb.so.2.0.0.1"), dir.filePath(QStringLiteral("libkordb.so"))));
#endif
        form.show();
        QCOMPARE(lines->count(), libraryTable().size());
        QCOMPARE(child<QListWidget>(form, "ListBox2")->count(), libraryTable().size());
        QStringList names = namesShown(lines);
        QCOMPARE(names.removeDuplicates(), 0);
        QCOMPARE(lines->findItems(QStringLiteral("kordb.dll    -   2.00.1"), Qt::MatchExactly).size(), 1);
    }

    void clickShowsTheSameLibrarysDescription()
    {
        TAboutForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        child<QTabWidget>(form, "PageControl1")->setCurrentIndex(2);
        auto *lines = child<QListWidget>(form, "ListBox1");
        auto *label = child<QLabel>(form, "Label3");

        QStringList tableOrder;
        for (const LibraryEntry &entry : libraryTable())
            tableOrder << entry.fileName;
        const QStringList shownOrder = namesShown(lines);
        QVERIFY(shownOrder != tableOrder); // otherwise this proves nothing

        for (int row = lines->count() - 1; row >= 0; --row) {
            lines->scrollToItem(lines->item(row));
            QTest::mouseClick(lines->viewport(), Qt::LeftButton, {}, lines->visualItemRect(lines->item(row)).center());
            const LibraryEntry &entry = libraryTable().at(tableOrder.indexOf(shownOrder[row]));
            QCOMPARE(label->text(), entry.description + u' ');
        }
        const QString last = label->text();
        form.hide();
        form.show();
        QCOMPARE(label->text(), last); // a new showing keeps it
    }

    void buttonsClose_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QList<QUrl>>("opened");
        QTest::newRow("Close") << "Button1" << QList<QUrl>{};
        QTest::newRow("web on the maker's page") << "MButton3" << QList<QUrl>{TAboutForm::webPageUrl()};
        QTest::newRow("web on the libraries page") << "MButton4" << QList<QUrl>{TAboutForm::webPageUrl()};
        QTest::newRow("contact") << "MButton2" << QList<QUrl>{TAboutForm::mailUrl()};
    }
    void buttonsClose()
    {
        QFETCH(QString, button);
        QFETCH(QList<QUrl>, opened);
        UrlRecorder desktop({QStringLiteral("https"), QStringLiteral("http"), QStringLiteral("mailto")});
        TAboutForm form;
        ModalDriver::answerNext([button](QWidget *dialog) {
            QWidget *target = dialog->findChild<QWidget *>(button);
            if (auto *push = qobject_cast<QPushButton *>(target))
                push->click();
            else
                MouseSend::click(target, {10, 10});
        });
        QCOMPARE(form.exec(), int(QDialog::Rejected));
        QCOMPARE(desktop.urls, opened);
    }
};

QTEST_MAIN(TstAboutForm)
#include "tst_AboutForm.moc"
