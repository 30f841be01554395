#include "CorvaneApplication.h"
#include "CorvaneIcon.h"
#include "ErrorBox.h"
#include "InterpretedRegexes.h"
#include "StartOptions.h"
#include "TAboutForm.h"
#include "TEditForm.h"
#include "TRezidu.h"
#include "UserSettings.h"

#include <exception>
#include <memory>

int main(int argc, char *argv[])
{
    useInterpretedRegexes();
    CorvaneApplication app(argc, argv);
    app.setWindowIcon(corvaneIcon());
    // Lets the desktop match the window to its menu entry and icon.
    app.setDesktopFileName(QStringLiteral(CORVANE_APP_ID));

    std::unique_ptr<TRezidu> Rezidu;
    try {
        Rezidu = std::make_unique<TRezidu>(openUserSettings());
        auto *AboutForm = new TAboutForm(Rezidu.get());
        Rezidu->setAboutForm(AboutForm);
        auto *EditForm = new TEditForm(Rezidu.get());
        Rezidu->setEditForm(EditForm);
    } catch (const std::exception &error) {
        showErrorBox(QString::fromLocal8Bit(error.what()));
        return 0;
    }
    Rezidu->showAtStart(StartOptions::from(app.arguments()));
    return app.exec();
}
