#pragma once
#include "Bitmap.h"
#include "Farbwert.h"
#include <cstdint>

// Colourises: each channel v with the factor f = Max(1, X / (256 - intensity))
// of its colour channel X becomes Trunc(((f - m) * v + v) / 2), brought into
// 0..255, where m is the mean factor / 3 with the filter and 0 without.
// Intensity 0 without the filter leaves the image unchanged; the filter
// darkens by the mean factor.
// threads = 0 picks the number of threads by the image size.
void BitmapKolorieren(TBitmap& bmp, TFarbwert farbe, uint8_t intensitaet, bool filter, int threads = 0);
