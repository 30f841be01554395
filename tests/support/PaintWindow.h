#pragma once

#include "IniSettingsStore.h"
#include "ModalDriver.h"
#include "StartOptions.h"
#include "TEditForm.h"
#include "TRezidu.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

// The main window as a player meets it, for the tests of its paint buttons.
namespace PaintWindow {

// Opens the window with the settings file, its name dialog attached, as the
// program does with these options, and runs the first tick (the scan) at
// once. Null when it never showed.
inline std::unique_ptr<TRezidu> open(const QString &ini, const QString &noWinePrefix,
                                     const StartOptions &options = {})
{
    qputenv("WINEPREFIX", noWinePrefix.toLocal8Bit());
    auto window = std::make_unique<TRezidu>(std::make_unique<IniSettingsStore>(ini));
    window->setEditForm(new TEditForm(window.get()));
    window->showAtStart(options);
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    window->Timer1Timer();
    return window;
}

// "Add new Texture": the player names the paint, then types the file name in
// the file dialog. beforeAccept runs just before the file dialog closes, to
// line up answers for what the window asks next.
inline void addPaint(TRezidu &window, const QString &name, const QString &fileName,
                     std::function<void()> beforeAccept = {})
{
    ModalDriver::answerNext([name, fileName, beforeAccept](QWidget *modal) {
        auto *form = qobject_cast<TEditForm *>(modal);
        form->Edit1->setText(name);
        ModalDriver::answerNext([fileName, beforeAccept](QWidget *dialog) {
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(fileName);
            if (beforeAccept)
                beforeAccept();
            static_cast<QDialog *>(dialog)->accept();
        });
        form->Button5->click();
    });
    window.Button3Click();
}

} // namespace PaintWindow
