#include "Bitmap_Dichte.h"
#include <cfloat>
#include "Runden.h"
#include "Zeilenbaender.h"

static_assert(LDBL_MANT_DIG == 64, "k is rounded from an 80-bit extended product");

uint8_t KanalBegrenzen(int wert)
{
    if (wert < 0)
        return 0;
    if (wert > 255)
        return 255;
    return uint8_t(wert);
}

void BitmapDichte(TBitmap& bmp, int amount, int threads)
{
    if (amount < -100 || amount > 100)
        return;
    if (bmp.IsEmpty())
        return;
    // Rounded from the extended product.
    const int k = Runden((long double)amount * 2.55L);
    // Every channel goes through the same curve, whatever its colour.
    uint8_t tabelle[256];
    for (int v = 0; v < 256; ++v)
        tabelle[v] = KanalBegrenzen(v + ((255 - v) * k) / 255);

    TabelleAnwenden(bmp, tabelle, threads);
}
