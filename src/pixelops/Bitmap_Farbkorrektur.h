#pragma once
#include "Bitmap.h"
#include "Farbwert.h"
#include <cstdint>

// One channel of the correction: v + part - offset, brought into 0..255.
uint8_t KorrekturKanal(int v, int anteil, int versatz);

// Shifts every channel by its share of farbe at the given intensity, less a
// common offset: with r = intensity * R div 255 (g, b likewise) and
// offset = (5r + 10g + 7b) div 32 + 32, blue becomes KorrekturKanal(blue, b,
// offset) and so on. Black or intensity 0 darken every channel by 32.
// threads = 0 picks the number of threads by the image size.
void BitmapFarbkorrektur(TBitmap& bmp, TFarbwert farbe, uint8_t intensitaet, int threads = 0);
