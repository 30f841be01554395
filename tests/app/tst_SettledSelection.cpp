#include "SettledSelection.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QtTest>

// When work asked for while a key repeats runs: never for rows passed, always
// for the row settled on, and before anything else acts on it.
class SettledSelectionTest : public QObject
{
    Q_OBJECT

private slots:
    void waitingWorkRunsOnlyOnceSettled_data()
    {
        QTest::addColumn<QString>("then");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<QStringList>("runBeforeTimer");
        QTest::addColumn<QStringList>("runInTheEnd");
        QTest::newRow("nothing else: the last, after a short wait")
            << "" << false << QStringList() << QStringList{"row 3"};
        QTest::newRow("the list loses the focus: at once")
            << "focus out" << false << QStringList{"row 3"} << QStringList{"row 3"};
        QTest::newRow("a click in the other list: at once")
            << "click other" << false << QStringList{"row 3"} << QStringList{"row 3"};
        QTest::newRow("a click in the same list: it may ask anew")
            << "click same" << false << QStringList() << QStringList{"row 3"};
        QTest::newRow("a press that is no repeat: newer work at once, the waiting passed over")
            << "press" << false << QStringList{"row 4"} << QStringList{"row 4"};
        QTest::newRow("busy: it keeps waiting")
            << "focus out" << true << QStringList() << QStringList();
    }

    void waitingWorkRunsOnlyOnceSettled()
    {
        QFETCH(QString, then);
        QFETCH(bool, busy);
        QFETCH(QStringList, runBeforeTimer);
        QFETCH(QStringList, runInTheEnd);
        QListWidget list;
        QListWidget other;
        SettledSelection settled;
        settled.watch(&list);
        settled.watch(&other);
        settled.setBusy([busy] { return busy; });
        QStringList ran;
        auto ask = [&](const QString &row) { settled.run([&ran, row] { ran << row; }); };
        auto key = [&](QEvent::Type type, bool repeated) {
            QKeyEvent event(type, Qt::Key_Down, Qt::NoModifier, QString(), repeated);
            QCoreApplication::sendEvent(&list, &event);
        };

        key(QEvent::KeyPress, false);
        ask("row 1"); // the only event: at once
        QCOMPARE(ran, QStringList{"row 1"});
        ran.clear();
        for (const char *row : {"row 2", "row 3"}) {
            key(QEvent::KeyRelease, true);
            key(QEvent::KeyPress, true);
            ask(row);
        }
        QVERIFY(ran.isEmpty());
        QVERIFY(settled.isWaiting());

        if (then == "focus out") {
            QFocusEvent out(QEvent::FocusOut);
            QCoreApplication::sendEvent(&list, &out);
        } else if (then.startsWith("click")) {
            QWidget *viewport = (then == "click same" ? list : other).viewport();
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), viewport->mapToGlobal(QPointF(1, 1)),
                              Qt::LeftButton, Qt::LeftButton, {});
            QCoreApplication::sendEvent(viewport, &press);
        } else if (then == "press") {
            key(QEvent::KeyPress, false);
            ask("row 4");
        }
        QCOMPARE(ran, runBeforeTimer);
        QTRY_COMPARE(ran, runInTheEnd);
        QTest::qWait(50); // and nothing runs twice
        QCOMPARE(ran, runInTheEnd);
        QCOMPARE(settled.isWaiting(), busy);
    }
};

QTEST_MAIN(SettledSelectionTest)
#include "tst_SettledSelection.moc"
