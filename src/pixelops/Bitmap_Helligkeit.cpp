#include "Bitmap_Helligkeit.h"
#include "Runden.h"
#include "Zeilenbaender.h"
#include <cfloat>
#include <cmath>
#include <cstdint>

static_assert(LDBL_MANT_DIG == 64, "the factor is rounded from 80-bit extended arithmetic");

void BitmapHelligkeit(TBitmap& bmp, float amount, int threads)
{
    if (!(amount >= -100.0f && amount <= 100.0f) || bmp.IsEmpty())
        return;
    const long double a = amount;
    const float faktor = float(a >= 0 ? a / 25.0L + 1.0L : 1.0L - std::fabs(a) / 100.0L);
    // The result depends on the channel value only.
    uint8_t tabelle[256];
    for (int v = 0; v < 256; ++v)
        tabelle[v] = uint8_t(std::min(Gerundet((long double)v * faktor), 255.0L));

    TabelleAnwenden(bmp, tabelle, threads);
}
