#pragma once
#include "Bitmap.h"
#include <cstdint>
#include "Zeilenbaender.h"

// Table-driven walks shared by the colour routines. Each writes every pixel
// of every row from its own bytes only, so they split into row bands.

// Calls pixel(p) for every pixel, p pointing at its blue, green and red byte.
template <class F> void JedesPixel(TBitmap& bmp, int threads, F&& pixel)
{
    if (bmp.IsEmpty())
        return;
    const int breite = bmp.Width();
    uint8_t* bits = bmp.ScanLine(0);   // detaches a shared picture once, here
    const qsizetype stride = bmp.Stride();
    InZeilenbaendern(bmp.Height(), ThreadZahl(threads, (long long)breite * bmp.Height()), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t* p = bits + qsizetype(y) * stride;
            for (int x = 0; x < breite; ++x, p += 3)
                pixel(p);
        }
    });
}

// Each channel through its own table: blue through tb, green tg, red tr.
void KanalTabellenAnwenden(TBitmap& bmp, const uint8_t tb[256], const uint8_t tg[256], const uint8_t tr[256],
                           int threads);

// The whole pixel from the sum blue + green + red (0..765): it becomes the
// triple tabelle[sum] (blue, green, red). A grey of (B + G + R) div 3 is then
// a lookup, not a division per pixel.
void SummenTabelleAnwenden(TBitmap& bmp, const uint8_t tabelle[766][3], int threads);
