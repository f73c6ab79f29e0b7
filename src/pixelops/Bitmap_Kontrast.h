#pragma once
#include "Bitmap.h"

// Spreads channel values away from 127 (amount > 0) or pulls them toward it
// (amount < 0): with k = Round(amount * 2.55) and d = |127 - v|, a value moves
// by (d * k) div 255, clamped to 0..255; 127 never moves. An amount outside
// -100..100 leaves the bitmap unchanged.
// threads = 0 picks the number of threads by the image size.
void BitmapKontrast(TBitmap& bmp, int amount, int threads = 0);
