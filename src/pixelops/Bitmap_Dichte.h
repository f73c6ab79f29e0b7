#pragma once
#include "Bitmap.h"
#include <cstdint>

// A channel value brought to a byte: below 0 gives 0, above 255 gives 255.
uint8_t KanalBegrenzen(int wert);

// Lightens (amount > 0) or darkens (amount < 0) every channel: each value v
// moves by ((255 - v) * k) div 255 with k = Round(amount * 2.55). Also used as
// the display gamma. An amount outside -100..100 leaves the bitmap unchanged.
// threads = 0 picks the number of threads by the image size.
void BitmapDichte(TBitmap& bmp, int amount, int threads = 0);
