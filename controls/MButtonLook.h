#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <optional>
#include <utility>

namespace corvane::controls {

enum class FrameTone { Light, Dark, Background };

// What the bitmap button's state asks of its frame.
struct MButtonLookState {
    QSize size;
    int pressX = 0;
    bool down = false;
    bool rockerLR = false;
    bool border = true;
    bool hot = false;
};

struct MButtonFrame {
    // One tone per half-edge: left lower, left upper, top left, top right,
    // right upper, right lower, bottom right, bottom left.
    std::array<FrameTone, 8> tones{};
    // Set when a rocker press decided which half is pressed.
    std::optional<bool> clickLeft;
};

MButtonFrame mbuttonFrame(const MButtonLookState &state);

// The eight segments of the frame as (from, to) with `to` excluded, in the
// order of MButtonFrame::tones.
std::array<std::pair<QPoint, QPoint>, 8> mbuttonFrameSegments(QSize size);

// Where the picture goes. Stretched: a square of side height - 6 at (2, 2)
// whatever the width. Unstretched: centred, halves truncated toward zero, so
// a picture bigger than the button is clipped on both sides.
QRect mbuttonPictureRect(QSize button, QSize picture, bool stretch);

} // namespace corvane::controls
