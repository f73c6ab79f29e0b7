#pragma once
#include "Bitmap.h"

// Turns every pixel grey: Round(red * wRot + green * wGruen + blue * wBlau),
// summed in extended precision in that order, written to all three channels.
// Weights that add up to more than 1 would give more than 255: the value is
// clamped into 0..255 instead of wrapping round.
// threads = 0 picks the number of threads by the image size.
void BitmapGraustufen(TBitmap& bmp, float wRot, float wGruen, float wBlau, int threads = 0);
