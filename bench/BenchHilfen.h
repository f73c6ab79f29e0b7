#pragma once
#include <QString>
#include "pixelops/Bitmap.h"

// The 6000 x 4000 24-bit test picture: read from $ZELVANO_BENCH_BILD when set
// (so that compare.sh gives every tool the same pixels), else made here:
// smooth gradients with noise, like a photograph rather than pure noise.
const TBitmap& BenchBild();
TBitmap BenchBildErzeugen(int breite, int hoehe, unsigned saat = 42);
// A folder of this run for generated files, removed at exit.
QString BenchOrdner();
