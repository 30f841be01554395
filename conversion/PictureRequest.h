#pragma once

#include "korrad.h"

// What the conversion library is asked for: the mode and size hint its
// entry points take, and whether the picture is wanted in grey. Every front
// end asks through these, so the numbers mean the same everywhere.
struct PictureRequest
{
    enum Mode : int { Preview = KORRAD_MODE_PREVIEW, Export = KORRAD_MODE_EXPORT };

    int mode = Preview;
    int sizeHint = KORRAD_FULL_SIZE;
    bool grey = false;

    // The preview control's: the hint grows as its square gets smaller, an
    // export asks for a medium one, and full size wins over both.
    static PictureRequest forSquare(int bitmapSize, bool fullSize, bool exporting, bool grey = false);

    // A preview whose longer side needs `side` pixels: the smallest hint
    // that still gives that many, so the library decodes the smallest mipmap
    // level that serves; full size beyond the largest preview.
    static PictureRequest forSide(int side, bool grey = false);
};
