// Feeds arbitrary bytes to the DDS reader the way the library's entry points
// do: header check first, then conversions at a few modes and size hints.
// Besides the sanitizers' findings it stops on two broken promises: a file
// that passes the check must convert, and the BMP written must be complete.

#include "ByteSink.h"
#include "ByteSource.h"
#include "DdsConversion.h"
#include "DdsLayout.h"

#include <cstdint>
#include <cstdlib>

namespace {

std::uint32_t le32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void checkBmp(const std::vector<std::uint8_t> &bytes)
{
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || le32(bytes.data() + 2) != bytes.size())
        std::abort();
    const std::uint32_t width = le32(bytes.data() + 18), height = le32(bytes.data() + 22);
    if (std::uint64_t((width * 3 + 3) & ~3u) * height + 54 != bytes.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    korrad::MemoryByteSource source(data, size);
    const bool valid = korrad::hasDdsMagic(source) && korrad::readDdsLayout(source).has_value();
    const korrad::ConversionRequest requests[] = {{1, 1, false}, {1, 3, true}, {2, 2, false}};
    for (const auto &request : requests) {
        korrad::MemoryByteSink sink;
        const bool converted = korrad::convertDds(source, request, sink);
        if (converted != valid)
            std::abort();
        if (converted)
            checkBmp(sink.bytes());
    }
    return 0;
}
