#include "DdsDecoder.h"

#include "PixelRows.h"

#include <squish.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace korrad {
namespace {

constexpr std::size_t ChunkBytes = 256 * 1024;

// One row of 4x4 blocks into four rows of RGBA pixels.
class BlockRowDecoder
{
public:
    BlockRowDecoder(PixelEncoding encoding, std::uint32_t blocksAcross)
        : m_encoding(encoding), m_blocksAcross(blocksAcross),
          m_pitch(std::size_t(blocksAcross) * 16), m_strip(m_pitch * 4)
    {
    }

    std::size_t pitch() const { return m_pitch; }
    const std::uint8_t *pixelRow(int row) const { return m_strip.data() + m_pitch * std::size_t(row); }

    void decode(const std::uint8_t *blocks)
    {
        std::uint8_t pixels[64];
        for (std::uint32_t b = 0; b < m_blocksAcross; ++b) {
            blocks = decodeBlock(blocks, pixels);
            for (int row = 0; row < 4; ++row)
                std::memcpy(m_strip.data() + m_pitch * std::size_t(row) + std::size_t(b) * 16, pixels + row * 16, 16);
        }
    }

private:
    const std::uint8_t *decodeBlock(const std::uint8_t *block, std::uint8_t *pixels) const
    {
        switch (m_encoding) {
        case PixelEncoding::Bc1:
            squish::Decompress(pixels, block, squish::kDxt1);
            return block + 8;
        case PixelEncoding::Bc2:
            squish::Decompress(pixels, block, squish::kDxt3);
            return block + 16;
        case PixelEncoding::Bc3:
            decodeColourOnly(block + 8, pixels);
            return block + 16;
        case PixelEncoding::Bc3Rxgb:
            squish::Decompress(pixels, block, squish::kDxt5);
            for (int i = 0; i < 16; ++i) {
                pixels[i * 4] = pixels[i * 4 + 3];
                pixels[i * 4 + 3] = 255;
            }
            return block + 16;
        case PixelEncoding::Bc4: {
            std::uint8_t red[64];
            decodeChannel(block, red);
            for (int i = 0; i < 16; ++i) {
                pixels[i * 4] = pixels[i * 4 + 1] = pixels[i * 4 + 2] = red[i * 4 + 3];
                pixels[i * 4 + 3] = 255;
            }
            return block + 8;
        }
        case PixelEncoding::Bc5: {
            std::uint8_t red[64], green[64];
            decodeChannel(block, red);
            decodeChannel(block + 8, green);
            for (int i = 0; i < 16; ++i) {
                pixels[i * 4] = red[i * 4 + 3];
                pixels[i * 4 + 1] = green[i * 4 + 3];
                pixels[i * 4 + 2] = 0;
                pixels[i * 4 + 3] = 255;
            }
            return block + 16;
        }
        default:
            break;
        }
        return block;
    }

    // The pictures made here have no alpha, and interpolating a BC3 block's
    // alpha costs as much as its colour: the colour half is decoded as the
    // colour of a BC2 block, whose alpha is a plain copy.
    static void decodeColourOnly(const std::uint8_t *colourHalf, std::uint8_t *pixels)
    {
        std::uint8_t dxt3[16];
        std::memset(dxt3, 0xff, 8);
        std::memcpy(dxt3 + 8, colourHalf, 8);
        squish::Decompress(pixels, dxt3, squish::kDxt3);
    }

    // A BC4 channel is stored exactly like the alpha half of a DXT5 block;
    // the library's decoder reads it there, into the alpha of each pixel.
    static void decodeChannel(const std::uint8_t *channelBlock, std::uint8_t *pixels)
    {
        std::uint8_t dxt5[16] = {};
        std::memcpy(dxt5, channelBlock, 8);
        squish::Decompress(pixels, dxt5, squish::kDxt5);
    }

    PixelEncoding m_encoding;
    std::uint32_t m_blocksAcross;
    std::size_t m_pitch;
    std::vector<std::uint8_t> m_strip;
};

} // namespace

bool decodeDdsLevel(ByteSource &source, const DdsLayout &layout, std::uint32_t level,
                    RowConsumer &consumer)
{
    if (level >= layout.levelCount)
        return false;
    const std::uint32_t width = layout.levelWidth(level);
    const std::uint32_t height = layout.levelHeight(level);
    const std::uint64_t rowSize = layout.storedRowSize(level);
    const std::uint32_t rowCount = layout.storedRowCount(level);
    const std::uint64_t offset = layout.levelOffset(level);
    if (rowSize == 0 || offset > source.size() || layout.levelSize(level) > source.size() - offset)
        return false;
    if (!consumer.begin(width, height))
        return false;

    const std::uint32_t chunkRows = std::uint32_t(std::clamp<std::uint64_t>(ChunkBytes / rowSize, 1, rowCount));
    std::vector<std::uint8_t> chunk(std::size_t(rowSize) * chunkRows);

    if (layout.isBlockCompressed()) {
        BlockRowDecoder blocks(layout.encoding, (width + 3) / 4);
        for (std::uint32_t top = rowCount; top > 0;) {
            const std::uint32_t first = top > chunkRows ? top - chunkRows : 0;
            if (!source.read(offset + first * rowSize, chunk.data(), std::size_t((top - first) * rowSize)))
                return false;
            for (std::uint32_t r = top; r-- > first;) {
                blocks.decode(chunk.data() + std::size_t((r - first) * rowSize));
                for (int inner = 3; inner >= 0; --inner) {
                    const std::uint32_t y = r * 4 + std::uint32_t(inner);
                    if (y < height && !consumer.row(y, blocks.pixelRow(inner)))
                        return false;
                }
            }
            top = first;
        }
    } else {
        const auto pixels = makePixelRowDecoder(layout);
        if (!pixels)
            return false;
        std::vector<std::uint8_t> line(std::size_t(width) * 4);
        for (std::uint32_t top = rowCount; top > 0;) {
            const std::uint32_t first = top > chunkRows ? top - chunkRows : 0;
            if (!source.read(offset + first * rowSize, chunk.data(), std::size_t((top - first) * rowSize)))
                return false;
            for (std::uint32_t r = top; r-- > first;) {
                pixels->decodeRow(chunk.data() + std::size_t((r - first) * rowSize), width, line.data());
                if (!consumer.row(r, line.data()))
                    return false;
            }
            top = first;
        }
    }
    return consumer.finish();
}

} // namespace korrad
