#pragma once
#include "Bitmap.h"

// Replaces every colour byte b by 255 - b; the row padding is left alone.
// threads = 0 picks the number of threads by the image size.
void BitmapInvertieren(TBitmap& bmp, int threads = 0);
