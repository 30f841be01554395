#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

namespace Ui {
class TAboutForm;
}

// The About dialog: program icon, title and version, the maker's page with
// web and mail buttons, the installed versions of the maker's libraries, and
// the terms of use. Every showing refills it.
class TAboutForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *parent = nullptr);
    ~TAboutForm() override;

    // Shown on the first page at every showing; empty unless an owner sets it.
    QString AboutText;

    static QUrl webPageUrl();
    static QUrl mailUrl();

    void AddLibraryEntry(const QString &name, const QString &description);

public slots:
    void FormShow();
    void Button1Click();
    void Button2Click();
    void MButton2Click();
    void ListBox1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void centreOnScreen();

    Ui::TAboutForm *ui;
};
