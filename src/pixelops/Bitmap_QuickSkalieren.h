#pragma once
#include "Bitmap.h"

// Bilinear resize in 16.16 fixed point: steps MulDiv(SW - 1, 65536, DW) and
// MulDiv(SH - 1, 65536, DH); the row weights 65536 - fy and fy + 1 add up to
// 65537, so a uniform image stays uniform (255 stays 255). The same size
// leaves the bitmap as it is; a size of 0 or less leaves an empty bitmap.
// Throws std::bad_alloc when the new bitmap cannot be made (bmp unchanged).
// threads = 0 picks the number of threads by the image size.
void BitmapQuickSkalieren(TBitmap& bmp, int neueBreite, int neueHoehe, int threads = 0);

// a * b / c rounded to the nearest integer, halves away from zero; -1 for c = 0
// and for a result beyond 32 bits.
int MulDiv(int a, int b, int c);
