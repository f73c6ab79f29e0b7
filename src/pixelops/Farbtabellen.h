#pragma once
#include "Bitmap.h"
#include <cstdint>

// Table-driven walks shared by the colour routines. Both write every pixel
// of every row from its own bytes only, so they split into row bands.

// Each channel through its own table: blue through tb, green tg, red tr.
void KanalTabellenAnwenden(TBitmap& bmp, const uint8_t tb[256], const uint8_t tg[256], const uint8_t tr[256],
                           int threads);

// The whole pixel from the sum blue + green + red (0..765): it becomes the
// triple tabelle[sum] (blue, green, red). A grey of (B + G + R) div 3 is then
// a lookup, not a division per pixel.
void SummenTabelleAnwenden(TBitmap& bmp, const uint8_t tabelle[766][3], int threads);
