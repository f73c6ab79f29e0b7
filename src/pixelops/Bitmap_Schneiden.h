#pragma once
#include "Bitmap.h"

// Cuts the bitmap down to the rectangle links..rechts x oben..unten (right and
// bottom exclusive); pixel (0, 0) of the result is the old pixel (links, oben).
// The rectangle is first clipped to the image, so no pixel of the result is
// invented; a rectangle with nothing left after clipping leaves the bitmap as
// it was rather than throwing the picture away.
void BitmapSchneiden(TBitmap& bmp, int links, int oben, int rechts, int unten);
