#include "OpenFileDialogs.h"

#include <QFileDialog>

namespace {
QFileDialog *createOpenDialog(QWidget *parent, const QString &objectName, const QStringList &filters)
{
    // The laid-out title; users of the dialog other than "CFS3?" set their own.
    auto *dialog = new QFileDialog(parent, QStringLiteral("Locate CFS3.exe"));
    dialog->setObjectName(objectName);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters(filters);
    dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
    return dialog;
}
} // namespace

QFileDialog *createFindGameDialog(QWidget *parent)
{
    return createOpenDialog(parent, QStringLiteral("findcfs"), {QStringLiteral("CFS3 Program (cfs3.exe)")});
}

QFileDialog *createAddTextureDialog(QWidget *parent)
{
    QFileDialog *dialog = createOpenDialog(parent, QStringLiteral("addtex"),
                                           {QStringLiteral("DDS Texture (*.dds)"),
                                            QStringLiteral("Paint archive (*.zip *.7z *.rar)"),
                                            QStringLiteral("Any File (*)")});
    dialog->setDefaultSuffix(QStringLiteral("dds"));
    return dialog;
}
