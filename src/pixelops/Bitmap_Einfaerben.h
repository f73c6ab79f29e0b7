#pragma once
#include "Bitmap.h"
#include "Farbwert.h"
#include <cstdint>

// One channel of the tint: v + part - 64, brought into 0..255.
uint8_t EinfaerbenKanal(int v, int anteil);

// Tints by the grey gr = (B + G + R) div 3 of each pixel, with the parts
// intensity * X shr 8 of the colour's channels: gr above the white limit
// takes the light colour EinfaerbenKanal(290, part); else gr below the black
// limit becomes black; else gr below the grey limit counts as 60 and each
// channel becomes EinfaerbenKanal(gr, part). With (white, 0, 255, 255, t)
// it is a threshold: grey above t white, the rest black.
// threads = 0 picks the number of threads by the image size.
void BitmapEinfaerben(TBitmap& bmp, TFarbwert farbe, int graugrenze, uint8_t intensitaet, int schwarzgrenze,
                      int weissgrenze, int threads = 0);
