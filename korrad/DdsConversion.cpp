#include "DdsConversion.h"

#include "AreaReducer.h"
#include "BlockSums.h"
#include "BmpWriter.h"
#include "DdsDecoder.h"
#include "DdsLayout.h"

namespace korrad {

bool convertDds(ByteSource &source, const ConversionRequest &request, ByteSink &sink)
{
    const auto layout = readDdsLayout(source);
    if (!layout)
        return false;
    const auto plan = planOutput(layout->width, layout->height, layout->levelCount, request);
    if (!plan)
        return false;
    BmpWriter writer(sink, request.grey);
    // Large reductions of a texture without a small enough level cost a
    // fraction of a full decode this way, with the same result.
    if (canReduceByBlockSums(*layout, plan->level, plan->width, plan->height))
        return reduceByBlockSums(source, *layout, plan->level, plan->width, plan->height, writer);
    AreaReducer reducer(plan->width, plan->height, writer);
    return decodeDdsLevel(source, *layout, plan->level, reducer);
}

} // namespace korrad
