#include "ModalDriver.h"
#include "TEditForm.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class NameDialogTest : public QObject
{
    Q_OBJECT

    QWidget m_main;
    TEditForm *m_form = nullptr;

    // Shows the dialog modally and lets `player` act on it from inside.
    void use(const QString &prompt, const std::function<void(TEditForm *)> &player)
    {
        m_form->Edit1->setText(prompt);
        ModalDriver::answerNext([player](QWidget *modal) { player(qobject_cast<TEditForm *>(modal)); });
        m_form->exec();
    }

private slots:
    void initTestCase()
    {
        m_main.setGeometry(100, 150, 300, 200);
        m_main.show();
        m_form = new TEditForm(&m_main);
    }

    void layout()
    {
        QCOMPARE(m_form->windowTitle(), QString("Corvane"));
        QCOMPARE(m_form->Panel1->geometry(), QRect(-3, -6, 217, 97));
        QCOMPARE(m_form->Edit1->geometry(), QRect(16, 16, 185, 21));
        QCOMPARE(m_form->Button5->geometry(), QRect(16, 64, 57, 25));
        QCOMPARE(m_form->Button6->geometry(), QRect(136, 64, 65, 25));
        QCOMPARE(m_form->Edit1->text(), QString("Enter descriptive name here"));
        QVERIFY(!m_form->Button5->isDefault() && !m_form->Button5->autoDefault());
        QVERIFY(!m_form->Button6->isDefault() && !m_form->Button6->autoDefault());
    }

    void okTakesTheTextAsLeft()
    {
        use("Enter name for new Paint entry", [](TEditForm *form) { form->Button5->click(); });
        QCOMPARE(m_form->OkPressed, 1);
        QCOMPARE(m_form->Edit1->text(), QString("Enter name for new Paint entry"));

        use("prompt", [](TEditForm *form) {
            form->Edit1->clear();
            form->Button5->click();
        });
        QCOMPARE(m_form->OkPressed, 1);
        QCOMPARE(m_form->Edit1->text(), QString());
    }

    void cancelAndTheCloseBoxLeaveOkUnset()
    {
        use("prompt", [](TEditForm *form) { form->Button5->click(); });
        use("prompt", [](TEditForm *form) { form->Button6->click(); });
        QCOMPARE(m_form->OkPressed, 0); // reset by the show, not carried over
        use("prompt", [](TEditForm *form) {
            QTest::keyClicks(form->Edit1, "Desert");
            form->close();
        });
        QCOMPARE(m_form->OkPressed, 0);
    }

    void enterAndEscapeDoNotEndTheDialog()
    {
        bool stillOpen = false;
        use("prompt", [&](TEditForm *form) {
            QTest::keyClick(form->Edit1, Qt::Key_Return);
            QTest::keyClick(form->Edit1, Qt::Key_Enter);
            QTest::keyClick(form->Edit1, Qt::Key_Escape);
            form->Button5->setFocus();
            QTest::keyClick(form->Button5, Qt::Key_Return);
            stillOpen = form->isVisible() && QApplication::activeModalWidget() == form;
            form->Button6->click();
        });
        QVERIFY(stillOpen);
        QCOMPARE(m_form->OkPressed, 0);
    }

    void typingReplacesThePromptAtEveryShow()
    {
        for (const QString &name : QStringList{"Desert", "Arctic"}) {
            QWidget *focused = nullptr;
            QString selected;
            use("Enter name for new Paint entry", [&](TEditForm *form) {
                focused = form->focusWidget();
                selected = form->Edit1->selectedText();
                QTest::keyClicks(form->focusWidget(), name);
                // A click gives the button the focus the next show must take back.
                QTest::mouseClick(form->Button5, Qt::LeftButton);
            });
            QCOMPARE(focused, m_form->Edit1);
            QCOMPARE(selected, QString("Enter name for new Paint entry"));
            QCOMPARE(m_form->Edit1->text(), name);
            QCOMPARE(m_form->OkPressed, 1);
        }
    }

    void alwaysShownBelowTheMainWindowsCorner()
    {
        QPoint shownAt;
        use("prompt", [&](TEditForm *form) {
            shownAt = form->pos();
            form->move(500, 500); // the player drags it away
            form->Button6->click();
        });
        QCOMPARE(shownAt, m_main.pos() + QPoint(10, 320));
        m_main.move(200, 50);
        use("prompt", [&](TEditForm *form) {
            shownAt = form->pos();
            form->Button6->click();
        });
        QCOMPARE(shownAt, QPoint(210, 370));
    }
};

QTEST_MAIN(NameDialogTest)
#include "tst_NameDialog.moc"
