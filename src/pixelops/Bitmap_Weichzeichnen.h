#pragma once
#include "Bitmap.h"
#include <cstddef>

// Blurs with a separable triangular kernel: r = amount / 4, s = r + 1 (32-bit
// floats), half-width n = Trunc(s), less 1 when s is whole; weights s - |i|
// for i = -n..n, normalised by their 32-bit float sum. Each pass accumulates
// sum := float(sum + value * weight) with the product and sum in extended
// precision, taps from -n upward, the outermost pixel repeated at the
// borders; the result is Round(sum). Amounts outside 0..100 (NaN included) or
// a bitmap narrower or lower than 3 pixels leave it unchanged. Throws
// std::bad_alloc, with the bitmap unchanged, when memory runs out.
// threads = 0 picks the number of threads by the image size; every thread
// count gives the same bytes.
void BitmapWeichzeichnen(TBitmap& bmp, float amount, int threads = 0);

// The vertical accumulation on its own, as the blur runs it over a row:
// ziel[k] = float(... float(0 + zeilen[0][k] * gewichte[0]) ... + zeilen[i][k] *
// gewichte[i]), each step rounded once from extended precision. Lets tests
// reach the rare steps whose double sum falls exactly between two floats.
// The rows hold values >= 0, as the blur's horizontal results do.
void WeichzeichnenSpalten(const float* const* zeilen, const float* gewichte, int abgriffe, float* ziel,
                          size_t anzahl);
