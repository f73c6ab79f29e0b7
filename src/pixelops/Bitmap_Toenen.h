#pragma once
#include "Bitmap.h"

// Tones the image from its grey (B + G + R) div 3: with hi and lo the grey
// raised by Round(intensity * 0.444) and Round(intensity * 0.167) (at most
// 255), the type gives (blue, green, red): 0 unchanged, 1 sepia (grey, lo,
// hi), 2 blue (hi, lo, grey), 3 red (lo, grey, hi), 4 green (lo, hi, grey),
// 5 violet (hi, grey, lo), any other type plain grey.
// threads = 0 picks the number of threads by the image size.
void BitmapToenen(TBitmap& bmp, int intensitaet, int typ, int threads = 0);
