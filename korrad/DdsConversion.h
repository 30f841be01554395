#pragma once

#include "ByteSink.h"
#include "ByteSource.h"
#include "OutputPlan.h"

namespace korrad {

// The whole road from DDS bytes to BMP bytes: check the header, choose the
// level, decode it, shrink it when the preview wants it smaller, write it.
bool convertDds(ByteSource &source, const ConversionRequest &request, ByteSink &sink);

} // namespace korrad
