#pragma once

#include <QString>

// The settings section of this copy of the program: its file name less
// ".exe", so a renamed copy keeps settings of its own. Holds "Corvane" until
// the main window sets it; the remove confirmation uses it as its caption.
extern QString SectionName;

QString sectionNameFor(const QString &programPath);
