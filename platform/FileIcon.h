#pragma once

#include <QIcon>
#include <QString>

namespace corvane::platform {

// The icon the desktop shows for the file; an empty icon when it has none.
QIcon fileIcon(const QString &fileName);

} // namespace corvane::platform
