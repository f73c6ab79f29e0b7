#pragma once
#include "Bitmap.h"

// Multiplies every channel by a factor held as a 32-bit float: amount / 25 + 1
// for amount >= 0 (100 gives 5), 1 - |amount| / 100 below (-100 gives black);
// each value becomes Min(Round(v * factor), 255), ties to even. An amount
// outside -100..100 (NaN included) leaves the bitmap unchanged.
// threads = 0 picks the number of threads by the image size.
void BitmapHelligkeit(TBitmap& bmp, float amount, int threads = 0);
