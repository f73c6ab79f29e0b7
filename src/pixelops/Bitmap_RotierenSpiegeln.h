#pragma once
#include "Bitmap.h"
#include <cstdint>

// The quarter turns and mirrors of the edit menu.
enum : uint8_t {
    rsPlus90 = 0,      // clockwise: W x H becomes H x W
    rs180 = 1,
    rsMinus90 = 2,     // counter-clockwise: W x H becomes H x W
    rsHorizontal = 3,  // left and right swap
    rsVertikal = 4,    // top and bottom swap
};

// Turns or mirrors the bitmap in place. Destination pixel (x, y) takes source
// pixel: mode 0 (y, H-1-x), 1 (W-1-x, H-1-y), 2 (W-1-y, x), 3 (W-1-x, y),
// 4 (x, H-1-y), with W and H the source size. Any other mode leaves the bitmap
// unchanged. Sizes are not limited beyond what the image itself allows.
// threads = 0 picks the number of threads by the image size; every thread
// count gives the same bytes.
void BitmapRotierenSpiegeln(TBitmap& bmp, uint8_t modus, int threads = 0);
