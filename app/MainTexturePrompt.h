#pragma once

#include <QString>

#include <optional>

class QFileDialog;
class QWidget;

// The player's side of a missing default main texture: an information box,
// then the main texture file dialog in the aircraft's folder.
class MainTexturePrompt
{
public:
    static const QString MessageText;

    // The dialog is owned by the caller (the main window keeps it as
    // `maintex`); it should have been set up by configureMainTextureDialog.
    explicit MainTexturePrompt(QFileDialog &dialog);

    std::optional<QString> operator()(const QString &baseName, const QString &folder) const;

private:
    QFileDialog &m_dialog;
};

// Gives a file dialog the settings of `maintex`: object name, filters (any
// letter case), existing files only, Qt's own dialog.
void configureMainTextureDialog(QFileDialog &dialog);
QFileDialog *createMainTextureDialog(QWidget *parent);
