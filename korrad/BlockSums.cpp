#include "BlockSums.h"

#include "AreaMean.h"

#include <algorithm>
#include <array>
#include <vector>

namespace korrad {
namespace {

constexpr std::size_t ChunkBytes = 256 * 1024;

// For each index byte: how often it names each of the four palette entries,
// one count per byte lane. Four bytes add up to at most 16 per lane.
constexpr std::array<std::uint32_t, 256> IndexCounts = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t byte = 0; byte < 256; ++byte)
        for (int pixel = 0; pixel < 4; ++pixel)
            table[byte] += 1u << (8 * ((byte >> (2 * pixel)) & 3));
    return table;
}();

void expand565(std::uint32_t value, std::uint32_t colour[3])
{
    const std::uint32_t red = (value >> 11) & 0x1f, green = (value >> 5) & 0x3f, blue = value & 0x1f;
    colour[0] = (red << 3) | (red >> 2);
    colour[1] = (green << 2) | (green >> 4);
    colour[2] = (blue << 3) | (blue >> 2);
}

bool isColourBlockEncoding(PixelEncoding encoding)
{
    return encoding == PixelEncoding::Bc1 || encoding == PixelEncoding::Bc2 || encoding == PixelEncoding::Bc3;
}

} // namespace

void colourBlockSums(const std::uint8_t *block, bool bc1, std::uint64_t sums[3])
{
    const std::uint32_t first = block[0] | std::uint32_t(block[1]) << 8;
    const std::uint32_t second = block[2] | std::uint32_t(block[3]) << 8;
    std::uint32_t palette[4][3];
    expand565(first, palette[0]);
    expand565(second, palette[1]);
    const bool threeColours = bc1 && first <= second;
    for (int c = 0; c < 3; ++c) {
        const std::uint32_t a = palette[0][c], b = palette[1][c];
        // The decoder's own integer steps, so the sums stay exact.
        palette[2][c] = threeColours ? (a + b) / 2 : (2 * a + b) / 3;
        palette[3][c] = threeColours ? 0 : (a + 2 * b) / 3;
    }
    const std::uint32_t counts = IndexCounts[block[4]] + IndexCounts[block[5]] + IndexCounts[block[6]]
                                 + IndexCounts[block[7]];
    for (int c = 0; c < 3; ++c) {
        std::uint64_t sum = 0;
        for (int entry = 0; entry < 4; ++entry)
            sum += std::uint64_t((counts >> (8 * entry)) & 0xff) * palette[entry][c];
        sums[c] = sum;
    }
}

bool canReduceByBlockSums(const DdsLayout &layout, std::uint32_t level, std::uint32_t width, std::uint32_t height)
{
    if (!isColourBlockEncoding(layout.encoding) || level >= layout.levelCount || width == 0 || height == 0)
        return false;
    const std::uint32_t levelWidth = layout.levelWidth(level), levelHeight = layout.levelHeight(level);
    return levelWidth % width == 0 && levelHeight % height == 0 && (levelWidth / width) % 4 == 0
           && (levelHeight / height) % 4 == 0;
}

bool reduceByBlockSums(ByteSource &source, const DdsLayout &layout, std::uint32_t level, std::uint32_t width,
                       std::uint32_t height, RowConsumer &consumer)
{
    if (!canReduceByBlockSums(layout, level, width, height))
        return false;
    const std::uint64_t offset = layout.levelOffset(level);
    if (offset > source.size() || layout.levelSize(level) > source.size() - offset)
        return false;
    const std::uint32_t spanX = layout.levelWidth(level) / width;
    const std::uint32_t spanY = layout.levelHeight(level) / height;
    const std::uint32_t blocksAcross = spanX / 4;
    const bool bc1 = layout.encoding == PixelEncoding::Bc1;
    const std::size_t blockBytes = bc1 ? 8 : 16;
    const std::size_t colourAt = bc1 ? 0 : 8; // BC2 and BC3 keep alpha first
    const std::size_t rowBytes = std::size_t(layout.storedRowSize(level));
    const std::size_t bandBytes = rowBytes * (spanY / 4); // the block rows of one output row
    const std::uint32_t bandsPerChunk = std::uint32_t(std::clamp<std::size_t>(ChunkBytes / bandBytes, 1, height));
    if (!consumer.begin(width, height))
        return false;

    const AreaMean mean(spanX, spanY);
    std::vector<std::uint8_t> chunk(bandBytes * bandsPerChunk);
    std::vector<std::uint64_t> sums(std::size_t(width) * 3);
    std::vector<std::uint8_t> line(std::size_t(width) * 4, 255);
    for (std::uint32_t top = height; top > 0;) {
        const std::uint32_t first = top > bandsPerChunk ? top - bandsPerChunk : 0;
        if (!source.read(offset + std::uint64_t(first) * bandBytes, chunk.data(), (top - first) * bandBytes))
            return false;
        for (std::uint32_t y = top; y-- > first;) {
            std::fill(sums.begin(), sums.end(), 0);
            const std::uint8_t *band = chunk.data() + (y - first) * bandBytes;
            for (std::uint32_t blockRow = 0; blockRow < spanY / 4; ++blockRow) {
                const std::uint8_t *block = band + blockRow * rowBytes + colourAt;
                for (std::uint32_t x = 0; x < width; ++x)
                    for (std::uint32_t k = 0; k < blocksAcross; ++k, block += blockBytes) {
                        std::uint64_t blockSums[3];
                        colourBlockSums(block, bc1, blockSums);
                        sums[x * 3] += blockSums[0];
                        sums[x * 3 + 1] += blockSums[1];
                        sums[x * 3 + 2] += blockSums[2];
                    }
            }
            for (std::uint32_t x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    line[x * 4 + c] = mean(sums[x * 3 + c]);
            if (!consumer.row(y, line.data()))
                return false;
        }
        top = first;
    }
    return consumer.finish();
}

} // namespace korrad
