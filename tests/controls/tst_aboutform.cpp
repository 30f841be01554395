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

namespace {

// A library of the maker's, installed where the loader looks, with a version.
bool installFakeLibrary(const QString &folder, const QString &windowsName, const QString &version)
{
    QString base = windowsName;
    base.chop(4); // ".dll"
    const QDir dir(folder);
    const QString link = QStringLiteral("lib") + base + QStringLiteral(".so");
    QFile real(dir.filePath(link + u'.' + version));
    if (!real.open(QIODevice::WriteOnly))
        return false;
    real.close();
    return QFile::link(link + u'.' + version, dir.filePath(link));
}

QString nameOfLine(const QString &line)
{
    return line.section(u' ', 0, 0);
}

} // namespace

class TstAboutForm : public QObject
{
    Q_OBJECT

    QTemporaryDir libraries;
    QByteArray savedLibraryPath;
    QString fakeLibrary; // a table name other than korrad.dll

    template <typename T>
    T *child(TAboutForm &form, const char *name)
    {
        T *found = form.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no %s", name);
        return found;
    }

private slots:
    void initTestCase()
    {
        savedLibraryPath = qgetenv("LD_LIBRARY_PATH");
        qputenv("LD_LIBRARY_PATH", QFile::encodeName(libraries.path()));
        for (const LibraryEntry &entry : libraryTable()) {
            if (entry.fileName.size() == 9)
                fakeLibrary = entry.fileName;
        }
        QVERIFY(!fakeLibrary.isEmpty());
    }
    void cleanupTestCase()
    {
        qputenv("LD_LIBRARY_PATH", savedLibraryPath);
    }

    // --- texts without a window ----------------------------------------

    void versionText_data()
    {
        QTest::addColumn<QList<int>>("parts");
        QTest::addColumn<QString>("text");
        QTest::newRow("3.0.0.2") << QList<int>{3, 0, 0, 2} << "3.00.2";
        QTest::newRow("minor is not shown, build joins revision") << QList<int>{1, 2, 3, 4} << "1.00.196612";
        QTest::newRow("2.0.0.1") << QList<int>{2, 0, 0, 1} << "2.00.1";
        QTest::newRow("largest") << QList<int>{65535, 65535, 65535, 65535} << "65535.00.4294967295";
    }
    void versionText()
    {
        QFETCH(QList<int>, parts);
        QTEST(versionNumberText(ProductVersion::fromParts(parts[0], parts[1], parts[2], parts[3])), "text");
    }

    void columnText()
    {
        QCOMPARE(libraryColumnText(QStringLiteral("kordb.dll")), QStringLiteral("    -   "));
        QCOMPARE(libraryColumnText(QStringLiteral("korscan.dll")), QStringLiteral("  -   "));
        QCOMPARE(libraryColumnText(QStringLiteral("korscan1.dll")), QStringLiteral(" -   "));
        QCOMPARE(libraryColumnText(QStringLiteral("korscan12.dll")), QStringLiteral(" -   "));
        QCOMPARE(libraryLine(QStringLiteral("kordb.dll"), ProductVersion::fromParts(2, 0, 0, 1)),
                 QStringLiteral("kordb.dll    -   2.00.1"));
        QCOMPARE(libraryLine(QStringLiteral("korscan.dll"), std::nullopt),
                 QStringLiteral("korscan.dll  -   Not found"));
    }

    void tableKeepsRowsApartWhenSorted()
    {
        const QList<LibraryEntry> &table = libraryTable();
        QCOMPARE(table.size(), 10);
        QCOMPARE(table.first().fileName, QStringLiteral("korrad.dll"));
        for (const LibraryEntry &entry : table) {
            QVERIFY(entry.fileName.size() <= 11);
            QVERIFY(entry.fileName.endsWith(QStringLiteral(".dll")));
            QVERIFY(entry.description.startsWith(entry.fileName + QStringLiteral("\n\n")));
            for (const LibraryEntry &other : table)
                QVERIFY(&entry == &other || !other.fileName.startsWith(entry.fileName));
        }
    }

    void defaultTitle_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("windows program") << "C:\\Games\\MyTool.exe" << "Mytool";
        QTest::newRow("this program") << "/opt/corvane/Corvane" << "Corvane";
        QTest::newRow("first full stop") << "/x/My.Tool.bin" << "My";
        QTest::newRow("first letter kept as it is") << "/x/painter" << "painter";
        QTest::newRow("upper case") << "/x/PAINTER" << "Painter";
        QTest::newRow("empty") << "" << "";
    }
    void defaultTitle()
    {
        QFETCH(QString, path);
        QTEST(defaultApplicationTitle(path), "title");
    }

    // --- the dialog ----------------------------------------------------

    void layout()
    {
        TAboutForm form;
        QCOMPARE(form.objectName(), QStringLiteral("AboutForm"));
        QCOMPARE(form.windowTitle(), QStringLiteral("About "));
        QCOMPARE(form.size(), QSize(471, 315));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(!form.windowIcon().isNull());

        auto *pages = child<QTabWidget>(form, "PageControl1");
        QCOMPARE(pages->count(), 4);
        const QStringList titles{QStringLiteral("Program"), QStringLiteral("Ostrel"), QStringLiteral("DLLs"),
                                 QStringLiteral("Copyrights")};
        const QStringList sheets{QStringLiteral("TabSheet1"), QStringLiteral("TabSheet2"), QStringLiteral("TabSheet4"),
                                 QStringLiteral("TabSheet3")};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(pages->tabText(i), titles[i]);
            QCOMPARE(pages->widget(i)->objectName(), sheets[i]);
        }
        QCOMPARE(pages->currentIndex(), 0);

        // Logo and Close lie over the pages, so every page shows them.
        QCOMPARE(child<TMButton>(form, "MButton1")->parentWidget(), &form);
        QCOMPARE(child<QPushButton>(form, "Button1")->parentWidget(), &form);
        QCOMPARE(child<QPushButton>(form, "Button1")->text(), QStringLiteral("Close"));
        QCOMPARE(child<QPushButton>(form, "Button1")->geometry(), QRect(296, 240, 105, 25));
        QCOMPARE(child<TMButton>(form, "MButton1")->geometry(), QRect(272, 72, 145, 145));

        auto *exe = child<TExeButton>(form, "ExeButton1");
        QCOMPARE(exe->geometry(), QRect(24, 24, 104, 40));
        QVERIFY(exe->down());
        QVERIFY(!exe->autoRun());
        QVERIFY(exe->fileName().isEmpty());
        QCOMPARE(exe->caption(), defaultApplicationTitle(QCoreApplication::applicationFilePath()));
        QVERIFY(!exe->icon().isNull());

        for (const char *name : {"MButton1", "MButton2", "MButton3", "MButton4"}) {
            auto *button = child<TMButton>(form, name);
            QVERIFY(!button->border());
            QVERIFY(!button->stretch());
            QVERIFY(!button->bitmap().isNull());
        }
        QCOMPARE(child<TMButton>(form, "MButton3")->bitmap().size(), QSize(40, 32));
        QCOMPARE(child<TMButton>(form, "MButton2")->bitmap().size(), QSize(40, 32));
        QCOMPARE(child<TMButton>(form, "MButton1")->bitmap().size(), QSize(134, 137));
        QCOMPARE(child<TMButton>(form, "MButton3")->toolTip(), QStringLiteral("Visit the Ostrel Website"));
        QCOMPARE(child<TMButton>(form, "MButton4")->toolTip(), QStringLiteral("Visit the Ostrel Website"));
        QCOMPARE(child<TMButton>(form, "MButton2")->toolTip(), QStringLiteral("Contact"));

        QCOMPARE(child<QLabel>(form, "Label11")->text(),
                 QStringLiteral("Many Ostrel programs require the korrad system Dlls in order to function. "
                                "Your system has the following Versions installed"));
        QCOMPARE(child<QLabel>(form, "Label12")->text(),
                 QStringLiteral("Visit the Ostrel Website to obtain the latest versions of the system Dlls"));
        QCOMPARE(child<QLabel>(form, "Label3")->text(), QStringLiteral("Click on entry for description"));
        QVERIFY(child<QLabel>(form, "Label2")->text().isEmpty());
        QVERIFY(child<QListWidget>(form, "ListBox1")->isSortingEnabled());
        QVERIFY(child<QListWidget>(form, "ListBox2")->isHidden());
        QVERIFY(child<QListWidget>(form, "ListBox1")->count() == 0); // filled only when shown
    }

    void showingFillsEverything()
    {
        TAboutForm form;
        form.AboutText = QStringLiteral("Built for <the> squadron");
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        const quint32 low = quint32(CORVANE_VERSION_PATCH) << 16 | CORVANE_VERSION_TWEAK;
        QCOMPARE(child<QLabel>(form, "Label2")->text(),
                 QStringLiteral("Version %1.00.%2").arg(CORVANE_VERSION_MAJOR).arg(low));
        QCOMPARE(child<QLabel>(form, "Label1")->text(), form.AboutText);

        auto *lines = child<QListWidget>(form, "ListBox1");
        QCOMPARE(lines->count(), libraryTable().size());
        for (int row = 0; row < lines->count(); ++row) {
            const QString line = lines->item(row)->text();
            if (nameOfLine(line) != QStringLiteral("korrad.dll"))
                QVERIFY2(line.endsWith(QStringLiteral(" -   Not found")), qPrintable(line));
            QCOMPARE(line.indexOf(QStringLiteral(" -   ")), 12); // one column for every version
        }
    }

    void libraryInstalledLaterShowsAtNextShowing()
    {
        TAboutForm form;
        form.show();
        form.hide();
        QVERIFY(installFakeLibrary(libraries.path(), fakeLibrary, QStringLiteral("2.0.0.1")));
        const auto uninstall = qScopeGuard([&] {
            QDir(libraries.path()).removeRecursively();
            QDir().mkpath(libraries.path());
        });
        form.show();

        auto *lines = child<QListWidget>(form, "ListBox1");
        auto *descriptions = child<QListWidget>(form, "ListBox2");
        QCOMPARE(lines->count(), libraryTable().size());
        QCOMPARE(descriptions->count(), libraryTable().size());
        QStringList names;
        for (int row = 0; row < lines->count(); ++row)
            names << nameOfLine(lines->item(row)->text());
        QCOMPARE(names.removeDuplicates(), 0);
        const QList<QListWidgetItem *> found = lines->findItems(fakeLibrary, Qt::MatchStartsWith);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first()->text(), fakeLibrary + QStringLiteral("    -   2.00.1"));
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
        QStringList shownOrder;
        for (int row = 0; row < lines->count(); ++row)
            shownOrder << nameOfLine(lines->item(row)->text());
        QVERIFY(shownOrder != tableOrder); // otherwise this proves nothing

        for (int row = lines->count() - 1; row >= 0; --row) {
            lines->scrollToItem(lines->item(row));
            QTest::mouseClick(lines->viewport(), Qt::LeftButton, {}, lines->visualItemRect(lines->item(row)).center());
            const QString name = shownOrder[row];
            const auto entry = std::find_if(libraryTable().begin(), libraryTable().end(),
                                            [&](const LibraryEntry &e) { return e.fileName == name; });
            QCOMPARE(label->text(), entry->description + u' ');
        }

        // A new showing keeps the last description.
        const QString last = label->text();
        form.hide();
        form.show();
        QCOMPARE(label->text(), last);
    }

    void closeButtonClosesWithCancel()
    {
        TAboutForm form;
        ModalDriver::answerNext([](QWidget *dialog) {
            dialog->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        });
        QCOMPARE(form.exec(), int(QDialog::Rejected));
        QVERIFY(!form.isVisible());
    }

    void webAndMailButtonsOpenTheMakerAndClose_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("page");
        QTest::addColumn<QUrl>("url");
        QTest::newRow("web on the maker's page") << "MButton3" << 1 << TAboutForm::webPageUrl();
        QTest::newRow("web on the libraries page") << "MButton4" << 2 << TAboutForm::webPageUrl();
        QTest::newRow("contact") << "MButton2" << 1 << TAboutForm::mailUrl();
    }
    void webAndMailButtonsOpenTheMakerAndClose()
    {
        QFETCH(QString, button);
        QFETCH(int, page);
        QFETCH(QUrl, url);
        UrlRecorder desktop({QStringLiteral("https"), QStringLiteral("http"), QStringLiteral("mailto")});
        TAboutForm form;
        child<QTabWidget>(form, "PageControl1")->setCurrentIndex(page);
        ModalDriver::answerNext([button](QWidget *dialog) {
            MouseSend::click(dialog->findChild<TMButton *>(button), {10, 10});
        });
        QCOMPARE(form.exec(), int(QDialog::Rejected));
        QCOMPARE(desktop.urls, QList<QUrl>{url});
        QVERIFY(url.scheme() == QStringLiteral("https") || url.scheme() == QStringLiteral("mailto"));
    }
};

QTEST_MAIN(TstAboutForm)
#include "tst_aboutform.moc"
