#include "PictureRequest.h"

#include <initializer_list>

PictureRequest PictureRequest::forSquare(int bitmapSize, bool fullSize, bool exporting, bool grey)
{
    PictureRequest request{exporting ? Export : Preview, KORRAD_HINT_SMALL, grey};
    if (fullSize)
        request.sizeHint = KORRAD_FULL_SIZE;
    else if (exporting)
        request.sizeHint = KORRAD_HINT_MEDIUM;
    else if (bitmapSize > 100)
        request.sizeHint = KORRAD_HINT_LARGE;
    else if (bitmapSize >= 80)
        request.sizeHint = KORRAD_HINT_MEDIUM;
    return request;
}

PictureRequest PictureRequest::forSide(int side, bool grey)
{
    for (const int hint : {KORRAD_HINT_SMALL, KORRAD_HINT_MEDIUM, KORRAD_HINT_LARGE})
        if (side <= korrad_preview_side(hint))
            return {Preview, hint, grey};
    return {Preview, KORRAD_FULL_SIZE, grey};
}
