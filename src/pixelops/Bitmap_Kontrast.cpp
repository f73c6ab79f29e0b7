#include "Bitmap_Kontrast.h"
#include "Runden.h"
#include "Zeilenbaender.h"
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>

static_assert(LDBL_MANT_DIG == 64, "k is rounded from an 80-bit extended product");

void BitmapKontrast(TBitmap& bmp, int amount, int threads)
{
    if (amount < -100 || amount > 100 || bmp.IsEmpty())
        return;
    const int k = Runden((long double)amount * 2.55L);
    uint8_t tabelle[256];
    for (int v = 0; v < 256; ++v) {
        const int t = (std::abs(127 - v) * k) / 255;
        const int w = v > 127 ? v + t : v - t;
        tabelle[v] = uint8_t(std::clamp(w, 0, 255));
    }

    TabelleAnwenden(bmp, tabelle, threads);
}
