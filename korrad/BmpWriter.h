#pragma once

#include "ByteSink.h"
#include "RowConsumer.h"

#include <vector>

namespace korrad {

// Writes the rows as a bottom-up 24-bit BMP. Alpha is dropped; in grey mode
// every pixel becomes its Rec. 601 luma.
class BmpWriter final : public RowConsumer
{
public:
    BmpWriter(ByteSink &sink, bool grey);

    bool begin(std::uint32_t width, std::uint32_t height) override;
    bool row(std::uint32_t y, const std::uint8_t *rgba) override;
    bool finish() override;

private:
    ByteSink &m_sink;
    bool m_grey;
    std::uint32_t m_width = 0;
    std::uint32_t m_nextRow = 0;
    std::uint32_t m_rowsLeft = 0;
    std::vector<std::uint8_t> m_line;
};

} // namespace korrad
