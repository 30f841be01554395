#include "ChangeTime.h"

namespace ChangeTime {

QDateTime of(const QFileInfo &file)
{
    return file.metadataChangeTime();
}

} // namespace ChangeTime
