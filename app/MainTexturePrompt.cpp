#include "MainTexturePrompt.h"

#include "FocusedWindow.h"

#include <QFileDialog>
#include <QMessageBox>

const QString MainTexturePrompt::MessageText = QStringLiteral(
    "Unable to identify the main texture for this aircraft\n\n"
    "Please select the correct DDS file in the file dialog\n"
    "that will appear next\n");

namespace {

const QStringList MainTextureFilters = {
    QStringLiteral("Main Texture File (*_t.dds)"),
    QStringLiteral("Any Texture File (*.dds)"),
};

} // namespace

MainTexturePrompt::MainTexturePrompt(QFileDialog &dialog)
    : m_dialog(dialog)
{
}

std::optional<QString> MainTexturePrompt::operator()(const QString &baseName,
                                                     const QString &folder) const
{
    QMessageBox::information(focusedWindow(), baseName, MessageText, QMessageBox::Ok);

    m_dialog.setWindowTitle(QStringLiteral("Select main texture for ") + baseName);
    m_dialog.setDirectory(folder);
    m_dialog.selectNameFilter(MainTextureFilters.first());
    m_dialog.selectFile(QString());
    if (m_dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = m_dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    return files.first();
}

void configureMainTextureDialog(QFileDialog &dialog)
{
    dialog.setObjectName(QStringLiteral("maintex"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("dds"));
    dialog.setNameFilters(MainTextureFilters);
    // Textures of a game installed on Windows are often named P51_T.DDS.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
}

QFileDialog *createMainTextureDialog(QWidget *parent)
{
    auto *dialog = new QFileDialog(parent);
    configureMainTextureDialog(*dialog);
    return dialog;
}
