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

// The three channels of a palette entry side by side in one word, each in a
// lane wide enough for the sum of 16 pixels, so that one multiplication by a
// count weighs all three at once.
constexpr int LaneBits = 16;

constexpr std::uint32_t expanded(std::uint32_t value, int bits)
{
    return bits == 5 ? (value << 3) | (value >> 2) : (value << 2) | (value >> 4);
}

// For one channel's two raw end values: the channel of each of the four
// palette entries, with the decoder's own integer steps so that sums stay
// exact. Indexed by first << bits | second.
struct ChannelPalettes
{
    std::array<std::uint8_t, 4> fourColours; // the block's first value is above its second
    std::array<std::uint8_t, 4> threeColours; // BC1 otherwise: a midpoint and black
};

template<int Bits>
constexpr auto PaletteTable = [] {
    std::array<ChannelPalettes, (1u << Bits) * (1u << Bits)> table{};
    for (std::uint32_t first = 0; first < (1u << Bits); ++first)
        for (std::uint32_t second = 0; second < (1u << Bits); ++second) {
            const std::uint32_t a = expanded(first, Bits), b = expanded(second, Bits);
            table[first << Bits | second] = {
                {std::uint8_t(a), std::uint8_t(b), std::uint8_t((2 * a + b) / 3), std::uint8_t((a + 2 * b) / 3)},
                {std::uint8_t(a), std::uint8_t(b), std::uint8_t((a + b) / 2), 0}};
        }
    return table;
}();

bool isColourBlockEncoding(PixelEncoding encoding)
{
    return encoding == PixelEncoding::Bc1 || encoding == PixelEncoding::Bc2 || encoding == PixelEncoding::Bc3;
}

// The four palette entries of a colour block, red, green and blue side by
// side in one word each (see LaneBits).
struct PackedPalette
{
    std::uint64_t entries[4];
};

#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline PackedPalette packedPalette(const std::uint8_t *block, bool bc1)
{
    const std::uint32_t first = block[0] | std::uint32_t(block[1]) << 8;
    const std::uint32_t second = block[2] | std::uint32_t(block[3]) << 8;
    const bool threeColours = bc1 && first <= second;
    const auto channel = [&](const auto &table, int shift, int mask, int bits) {
        const ChannelPalettes &entry = table[((first >> shift) & mask) << bits | ((second >> shift) & mask)];
        return threeColours ? entry.threeColours : entry.fourColours;
    };
    const auto red = channel(PaletteTable<5>, 11, 0x1f, 5);
    const auto green = channel(PaletteTable<6>, 5, 0x3f, 6);
    const auto blue = channel(PaletteTable<5>, 0, 0x1f, 5);
    PackedPalette palette;
    for (int entry = 0; entry < 4; ++entry)
        palette.entries[entry] = red[entry] | std::uint64_t(green[entry]) << LaneBits
                                 | std::uint64_t(blue[entry]) << (2 * LaneBits);
    return palette;
}

// The palette weighed by how often each entry is used (IndexCounts' lanes).
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline std::uint64_t weighed(const PackedPalette &palette, std::uint32_t counts)
{
    std::uint64_t sums = 0;
    for (int entry = 0; entry < 4; ++entry)
        sums += ((counts >> (8 * entry)) & 0xff) * palette.entries[entry];
    return sums;
}

// The block's red, green and blue sums, one per 16-bit lane. Inlined into
// the reduction's inner loop, where it is most of a preview's time.
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline std::uint64_t packedBlockSums(const std::uint8_t *block, bool bc1)
{
    const std::uint32_t counts = IndexCounts[block[4]] + IndexCounts[block[5]] + IndexCounts[block[6]]
                                 + IndexCounts[block[7]];
    return weighed(packedPalette(block, bc1), counts);
}

// One channel's sum out of packedBlockSums' word: 0 red, 1 green, 2 blue.
std::uint32_t lane(std::uint64_t packed, int channel)
{
    return std::uint32_t(packed >> (channel * LaneBits)) & ((1u << LaneBits) - 1);
}

// Halving a level: one block row gives two output rows, and each block four
// pixels, the means of its quarters.
bool halveByBlockSums(ByteSource &source, std::uint64_t offset, std::size_t rowBytes, std::uint32_t width,
                      std::uint32_t height, bool bc1, std::size_t blockBytes, std::size_t colourAt,
                      RowConsumer &consumer)
{
    const std::uint32_t blockRows = height / 2;
    const std::uint32_t blockRowsPerChunk = std::uint32_t(std::clamp<std::size_t>(ChunkBytes / rowBytes, 1, blockRows));
    if (!consumer.begin(width, height))
        return false;
    std::vector<std::uint8_t> chunk(rowBytes * blockRowsPerChunk);
    std::vector<std::uint8_t> lines[2] = {std::vector<std::uint8_t>(std::size_t(width) * 4, 255),
                                          std::vector<std::uint8_t>(std::size_t(width) * 4, 255)};
    // The mean of four 8-bit values, rounded as AreaMean rounds.
    const auto meanOfFour = [](std::uint64_t packed, int channel) {
        return std::uint8_t((lane(packed, channel) + 2) >> 2);
    };
    for (std::uint32_t top = blockRows; top > 0;) {
        const std::uint32_t first = top > blockRowsPerChunk ? top - blockRowsPerChunk : 0;
        if (!source.read(offset + std::uint64_t(first) * rowBytes, chunk.data(), (top - first) * rowBytes))
            return false;
        for (std::uint32_t blockRow = top; blockRow-- > first;) {
            const std::uint8_t *block = chunk.data() + (blockRow - first) * rowBytes + colourAt;
            for (std::uint32_t x = 0; x < width; x += 2, block += blockBytes) {
                const PackedPalette palette = packedPalette(block, bc1);
                const std::uint64_t *entry = palette.entries;
                for (int rowHalf = 0; rowHalf < 2; ++rowHalf) {
                    // Two rows of four pixels, two bits each, leftmost lowest.
                    const std::uint32_t upper = block[4 + 2 * rowHalf], lower = block[5 + 2 * rowHalf];
                    const std::uint64_t left = entry[upper & 3] + entry[(upper >> 2) & 3] + entry[lower & 3]
                                               + entry[(lower >> 2) & 3];
                    const std::uint64_t right = entry[(upper >> 4) & 3] + entry[upper >> 6] + entry[(lower >> 4) & 3]
                                                + entry[lower >> 6];
                    std::uint8_t *pixel = lines[rowHalf].data() + std::size_t(x) * 4;
                    for (int c = 0; c < 3; ++c) {
                        pixel[c] = meanOfFour(left, c);
                        pixel[4 + c] = meanOfFour(right, c);
                    }
                }
            }
            if (!consumer.row(2 * blockRow + 1, lines[1].data()) || !consumer.row(2 * blockRow, lines[0].data()))
                return false;
        }
        top = first;
    }
    return consumer.finish();
}

} // namespace

void colourBlockSums(const std::uint8_t *block, bool bc1, std::uint64_t sums[3])
{
    const std::uint64_t packed = packedBlockSums(block, bc1);
    for (int c = 0; c < 3; ++c)
        sums[c] = lane(packed, c);
}

namespace {

// Halving: every block gives four output pixels, one per 2x2 quarter.
bool isHalving(const DdsLayout &layout, std::uint32_t level, std::uint32_t width, std::uint32_t height)
{
    const std::uint32_t levelWidth = layout.levelWidth(level), levelHeight = layout.levelHeight(level);
    return levelWidth % 4 == 0 && levelHeight % 4 == 0 && levelWidth == 2 * width && levelHeight == 2 * height;
}

} // namespace

bool canReduceByBlockSums(const DdsLayout &layout, std::uint32_t level, std::uint32_t width, std::uint32_t height)
{
    if (!isColourBlockEncoding(layout.encoding) || level >= layout.levelCount || width == 0 || height == 0)
        return false;
    if (isHalving(layout, level, width, height))
        return true;
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
    const bool bc1 = layout.encoding == PixelEncoding::Bc1;
    const std::size_t blockBytes = bc1 ? 8 : 16;
    const std::size_t colourAt = bc1 ? 0 : 8; // BC2 and BC3 keep alpha first
    const std::size_t rowBytes = std::size_t(layout.storedRowSize(level));
    if (isHalving(layout, level, width, height))
        return halveByBlockSums(source, offset, rowBytes, width, height, bc1, blockBytes, colourAt, consumer);
    const std::uint32_t blocksAcross = spanX / 4;
    const std::size_t bandBytes = rowBytes * (spanY / 4); // the block rows of one output row
    const std::uint32_t bandsPerChunk = std::uint32_t(std::clamp<std::size_t>(ChunkBytes / bandBytes, 1, height));
    if (!consumer.begin(width, height))
        return false;

    const AreaMean mean(spanX, spanY);
    const bool blockPerPixel = spanX == 4 && spanY == 4;
    std::vector<std::uint8_t> chunk(bandBytes * bandsPerChunk);
    std::vector<std::uint64_t> sums(std::size_t(width) * 3);
    std::vector<std::uint8_t> line(std::size_t(width) * 4, 255);
    for (std::uint32_t top = height; top > 0;) {
        const std::uint32_t first = top > bandsPerChunk ? top - bandsPerChunk : 0;
        if (!source.read(offset + std::uint64_t(first) * bandBytes, chunk.data(), (top - first) * bandBytes))
            return false;
        for (std::uint32_t y = top; y-- > first;) {
            const std::uint8_t *band = chunk.data() + (y - first) * bandBytes;
            if (blockPerPixel) {
                // The common quarter-size preview: no sums to gather.
                const std::uint8_t *block = band + colourAt;
                for (std::uint32_t x = 0; x < width; ++x, block += blockBytes) {
                    const std::uint64_t packed = packedBlockSums(block, bc1);
                    for (int c = 0; c < 3; ++c)
                        line[x * 4 + c] = mean(lane(packed, c));
                }
                if (!consumer.row(y, line.data()))
                    return false;
                continue;
            }
            std::fill(sums.begin(), sums.end(), 0);
            for (std::uint32_t blockRow = 0; blockRow < spanY / 4; ++blockRow) {
                const std::uint8_t *block = band + blockRow * rowBytes + colourAt;
                for (std::uint32_t x = 0; x < width; ++x)
                    for (std::uint32_t k = 0; k < blocksAcross; ++k, block += blockBytes) {
                        const std::uint64_t packed = packedBlockSums(block, bc1);
                        for (int c = 0; c < 3; ++c)
                            sums[x * 3 + c] += lane(packed, c);
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
