#include "BmpWriter.h"

#include <bit>
#include <cstring>

#include "DdsLayout.h"

namespace korrad {
namespace {

void put16(std::uint8_t *at, std::uint32_t value)
{
    at[0] = std::uint8_t(value);
    at[1] = std::uint8_t(value >> 8);
}

void put32(std::uint8_t *at, std::uint32_t value)
{
    put16(at, value);
    put16(at + 2, value >> 16);
}

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t PixelsPerMetre = 2835; // 72 dpi

} // namespace

BmpWriter::BmpWriter(ByteSink &sink, bool grey) : m_sink(sink), m_grey(grey) {}

bool BmpWriter::begin(std::uint32_t width, std::uint32_t height)
{
    if (width == 0 || height == 0 || width > MaxTextureSide || height > MaxTextureSide)
        return false;
    const std::uint32_t stride = (width * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * height;
    std::uint8_t header[FileHeaderSize + InfoHeaderSize] = {};
    header[0] = 'B';
    header[1] = 'M';
    put32(header + 2, FileHeaderSize + InfoHeaderSize + imageSize);
    put32(header + 10, FileHeaderSize + InfoHeaderSize);
    std::uint8_t *info = header + FileHeaderSize;
    put32(info, InfoHeaderSize);
    put32(info + 4, width);
    put32(info + 8, height); // positive: bottom row first
    put16(info + 12, 1);
    put16(info + 14, 24);
    put32(info + 20, imageSize);
    put32(info + 24, PixelsPerMetre);
    put32(info + 28, PixelsPerMetre);
    m_width = width;
    m_nextRow = height - 1;
    m_rowsLeft = height;
    m_line.assign(stride, 0);
    return m_sink.write(header, sizeof header);
}

bool BmpWriter::row(std::uint32_t y, const std::uint8_t *rgba)
{
    if (m_rowsLeft == 0 || y != m_nextRow)
        return false;
    std::uint8_t *out = m_line.data();
    if (m_grey) {
        for (std::uint32_t x = 0; x < m_width; ++x, rgba += 4, out += 3) {
            const std::uint8_t luma =
                std::uint8_t((299u * rgba[0] + 587u * rgba[1] + 114u * rgba[2] + 500u) / 1000u);
            out[0] = out[1] = out[2] = luma;
        }
    } else {
        std::uint32_t left = m_width;
        if constexpr (std::endian::native == std::endian::little) {
            // A pixel a word: blue, green and red land where they belong; the
            // fourth byte falls on the next pixel, which is written over it.
            for (; left > 1; --left, rgba += 4, out += 3) {
                std::uint32_t pixel;
                std::memcpy(&pixel, rgba, 4);
                const std::uint32_t bgr = (pixel & 0xff) << 16 | (pixel & 0xff00) | (pixel >> 16 & 0xff);
                std::memcpy(out, &bgr, 4);
            }
        }
        for (; left > 0; --left, rgba += 4, out += 3) {
            out[0] = rgba[2];
            out[1] = rgba[1];
            out[2] = rgba[0];
        }
    }
    --m_rowsLeft;
    --m_nextRow;
    return m_sink.write(m_line.data(), m_line.size());
}

bool BmpWriter::finish()
{
    return m_rowsLeft == 0;
}

} // namespace korrad
