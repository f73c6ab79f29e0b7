#pragma once
#include "Bitmap.h"

// Sharpens with a five-point cross in 16.16 fixed point: f = amount / 20 + 1,
// g = (f - 1) / 5 (32-bit floats), F = Round(f * 65536), G = Round(g * 65536);
// an inner value becomes ((c * F + 32767) shr 16) - ((S * G + 32767) shr 16),
// clamped to 0..255, where S is the centre plus its four neighbours, all read
// from the unchanged image. The outer frame of one pixel is kept. Amounts
// outside 0..100 (NaN included) or a bitmap smaller than 3 x 3 leave it
// unchanged. Throws std::bad_alloc, with the bitmap unchanged, when the new
// bitmap cannot be made. threads = 0 picks the number of threads by the image
// size.
void BitmapSchaerfen(TBitmap& bmp, float amount, int threads = 0);
