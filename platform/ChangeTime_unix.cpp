#include "ChangeTime.h"

#include <QFileInfo>

namespace ChangeTime {

QDateTime of(const QString &path)
{
    return QFileInfo(path).metadataChangeTime();
}

} // namespace ChangeTime
