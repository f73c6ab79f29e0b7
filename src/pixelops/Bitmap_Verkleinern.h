#pragma once
#include "Bitmap.h"

// Reduces quelle by area averaging into ziel at neueBreite x neueHoehe.
// A requested size of 0 (or less) in either direction leaves ziel untouched;
// a request not smaller than the source in both directions makes ziel an exact
// copy at the source's own size. Each destination pixel is the sum of its
// block times 65535 div (block size), shifted down by 16 bits, so a white
// block gives 254 and a single pixel of value v gives v - 1; a block of more
// than 256 pixels takes sum * 65535 / (65536 * block size) exactly, so white
// stays 254 at any size and every block is within one step of its mean.
// threads = 0 picks the number of threads by the image size; every thread
// count gives the same bytes.
void BitmapVerkleinern(const TBitmap& quelle, TBitmap& ziel, int neueBreite, int neueHoehe,
                       int threads = 0);
