#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// Draws a stand-in aircraft skin: the paint's colours with panel lines and a
// band, and its name written large so previews tell paints apart at a glance.
struct PaintLook
{
    QString aircraft;
    QString label;
    QColor base;
    QColor accent;
};

QImage paintTexture(const PaintLook &look, int size = 1024);
