#pragma once

#include <QString>
#include <QStringList>

// A file dialog filter whose patterns match file names in any letter case,
// as the game's files are matched on Windows. Show it with
// QFileDialog::HideNameFilterDetails so the player reads the plain pattern
// in the description, not the bracket form.
QString anyCaseFilter(const QString &description, const QStringList &patterns);
