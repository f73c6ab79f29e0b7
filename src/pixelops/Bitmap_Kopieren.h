#pragma once
#include "Bitmap.h"

// ziel := an own copy of quelle's pixels (24 bits). ziel's picture is
// reused when it has the size already and nothing else shares it, so a
// preview taken again and again touches no fresh memory; the rows are copied
// in bands. False when no memory could be had for the copy (ziel is then
// empty).
// threads = 0 picks the number of threads by the image size.
bool BitmapKopieren(const TBitmap& quelle, TBitmap& ziel, int threads = 0);
