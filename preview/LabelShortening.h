#pragma once

#include <QString>

#include <functional>

// The label under the square: too wide, it loses its last character and, while
// longer than 4 characters, ends in two dots, until it fits or is empty.
struct ShortLabel
{
    QString text;
    int width = 0;
};

ShortLabel shortenLabel(const QString &label, int side, const std::function<int(const QString &)> &textWidth);
