#include "LabelFit.h"

#include <algorithm>
#include <string>

namespace corvane::controls {

FittedLabel fitLabel(const QString &text, int room, const std::function<int(const QString &)> &width,
                     int minimumMargin)
{
    // Whole characters, so a character outside the basic plane is never cut
    // in half.
    std::u32string chars = text.toStdU32String();
    FittedLabel fitted{text, 0};
    int textWidth = width(fitted.text);
    fitted.x = std::max(minimumMargin, (room - textWidth) / 2);

    while (textWidth + fitted.x > room && !chars.empty()) {
        chars.pop_back();
        if (chars.size() > 4) {
            chars[chars.size() - 1] = U'.';
            chars[chars.size() - 2] = U'.';
        }
        fitted.text = QString::fromStdU32String(chars);
        textWidth = width(fitted.text);
    }
    fitted.width = textWidth;
    return fitted;
}

} // namespace corvane::controls
