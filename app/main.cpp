#include "CorvaneApplication.h"
#include "CorvaneIcon.h"
#include "ErrorBox.h"
#include "InterpretedRegexes.h"
#include "TAboutForm.h"
#include "TCollectionForm.h"
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
    Rezidu->show();
    // Players who keep many aircraft start on the collection.
    if (app.arguments().contains(QStringLiteral("--collection")))
        TCollectionForm::showFor(Rezidu.get());
    return app.exec();
}
