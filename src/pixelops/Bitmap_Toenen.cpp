#include "Bitmap_Toenen.h"
#include <algorithm>
#include <cfloat>
#include "Farbtabellen.h"
#include "Runden.h"

static_assert(LDBL_MANT_DIG == 64, "the tone steps are rounded from 80-bit extended products");

void BitmapToenen(TBitmap& bmp, int intensitaet, int typ, int threads)
{
    if (typ == 0)
        return;
    // Ties go to even, from the extended products (125 gives dHi = 56).
    const int dHi = Runden((long double)intensitaet * 0.444L);
    const int dLo = Runden((long double)intensitaet * 0.167L);
    uint8_t tabelle[766][3];
    for (int summe = 0; summe < 766; ++summe) {
        const int grau = summe / 3;
        const uint8_t g = uint8_t(grau);
        // A negative intensity (no caller passes one) stops at black.
        const uint8_t hi = uint8_t(std::clamp(grau + dHi, 0, 255));
        const uint8_t lo = uint8_t(std::clamp(grau + dLo, 0, 255));
        uint8_t* t = tabelle[summe];
        switch (typ) {
        case 1: t[0] = g, t[1] = lo, t[2] = hi; break;
        case 2: t[0] = hi, t[1] = lo, t[2] = g; break;
        case 3: t[0] = lo, t[1] = g, t[2] = hi; break;
        case 4: t[0] = lo, t[1] = hi, t[2] = g; break;
        case 5: t[0] = hi, t[1] = g, t[2] = lo; break;
        default: t[0] = t[1] = t[2] = g; break;
        }
    }
    SummenTabelleAnwenden(bmp, tabelle, threads);
}
