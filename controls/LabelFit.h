#pragma once

#include <QString>

#include <functional>

namespace corvane::controls {

struct FittedLabel {
    QString text;
    int x = 0; // offset inside the room: centred when it fits, else 0
};

// Centres text in room pixels, or, when it is too wide, deletes its last
// character and, while more than four characters remain, turns its last two
// into full stops, until it fits or nothing is left.
FittedLabel fitLabel(const QString &text, int room, const std::function<int(const QString &)> &width);

} // namespace corvane::controls
