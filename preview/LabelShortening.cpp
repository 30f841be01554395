#include "LabelShortening.h"

ShortLabel shortenLabel(const QString &label, int side, const std::function<int(const QString &)> &textWidth)
{
    ShortLabel result{label, textWidth(label)};
    // The margin is measured once, from the full label.
    int margin = (side - result.width) / 2;
    if (margin < 4)
        margin = 4;
    while (result.width + margin > side && !result.text.isEmpty()) {
        result.text.chop(1);
        const qsizetype length = result.text.size();
        if (length > 4) {
            result.text[length - 1] = u'.';
            result.text[length - 2] = u'.';
        }
        result.width = textWidth(result.text);
    }
    return result;
}
