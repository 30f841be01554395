#pragma once

#include <QString>

#include <functional>

namespace corvane::controls {

struct FittedLabel {
    QString text;
    int x = 0;     // the margin: centred when the whole text fits, else minimumMargin
    int width = 0; // of the text as fitted
};

// Centres text in room pixels, or, when it is too wide, deletes its last
// character and, while more than four characters remain, turns its last two
// into full stops, until it fits or nothing is left. The margin is measured
// once, from the whole text, and is never below minimumMargin.
FittedLabel fitLabel(const QString &text, int room, const std::function<int(const QString &)> &width,
                     int minimumMargin = 0);

} // namespace corvane::controls
