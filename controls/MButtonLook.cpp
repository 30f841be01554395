#include "MButtonLook.h"

namespace corvane::controls {

MButtonFrame mbuttonFrame(const MButtonLookState &state)
{
    using enum FrameTone;
    MButtonFrame frame;
    if (!state.down) {
        frame.tones = {Light, Light, Light, Light, Dark, Dark, Dark, Dark};
    } else if (!state.rockerLR) {
        frame.tones = {Dark, Dark, Dark, Dark, Light, Light, Light, Light};
    } else if (state.size.width() / 2 > state.pressX) {
        frame.tones = {Dark, Dark, Dark, Light, Dark, Dark, Dark, Light};
        frame.clickLeft = true;
    } else {
        frame.tones = {Light, Light, Light, Dark, Light, Light, Light, Dark};
        frame.clickLeft = false;
    }
    if (!state.border && !state.hot && !state.down)
        frame.tones.fill(Background);
    return frame;
}

std::array<std::pair<QPoint, QPoint>, 8> mbuttonFrameSegments(QSize size)
{
    const int w = size.width();
    const int h = size.height();
    const QPoint corners[9] = {
        {0, h - 1}, {0, h / 2}, {0, 0}, {w / 2, 0}, {w - 1, 0},
        {w - 1, h / 2}, {w - 1, h - 1}, {w / 2, h - 1}, {0, h - 1},
    };
    std::array<std::pair<QPoint, QPoint>, 8> segments;
    for (int i = 0; i < 8; ++i)
        segments[i] = {corners[i], corners[i + 1]};
    return segments;
}

QRect mbuttonPictureRect(QSize button, QSize picture, bool stretch)
{
    if (stretch) {
        const int side = button.height() - 6;
        return QRect(2, 2, side, side);
    }
    return QRect(QPoint((button.width() - picture.width()) / 2, (button.height() - picture.height()) / 2), picture);
}

} // namespace corvane::controls
