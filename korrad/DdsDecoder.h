#pragma once

#include "ByteSource.h"
#include "DdsLayout.h"
#include "RowConsumer.h"

namespace korrad {

// Decodes one stored level of a checked layout and hands its rows, bottom row
// first, to the consumer. Reads the level in chunks from the bottom up and
// holds no more than one chunk and one row of 4x4 blocks at a time. BC3
// alpha is not decoded (left opaque): the pictures made from these rows have
// none.
bool decodeDdsLevel(ByteSource &source, const DdsLayout &layout, std::uint32_t level,
                    RowConsumer &consumer);

} // namespace korrad
