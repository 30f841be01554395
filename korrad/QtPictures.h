#pragma once

#include "ByteSink.h"
#include "OutputPlan.h"

namespace korrad {

// BMP, PNG, JPEG and TGA pictures, read by Qt's image readers.
bool canReadQtPicture(const char *path);
bool convertQtPicture(const char *path, const ConversionRequest &request, ByteSink &sink);

} // namespace korrad
