#include "Bitmap_Kolorieren.h"
#include <algorithm>
#include <cfloat>
#include <cmath>
#include "Farbtabellen.h"

static_assert(LDBL_MANT_DIG == 64, "the channel expression is evaluated in 80-bit extended precision");

namespace {

// The channel's new value, the expression in extended precision as the
// factors were meant to be used; NaN cannot arise (f and m are finite).
uint8_t KolorierenKanal(int v, double f, double m)
{
    const long double wert = (((long double)f - (long double)m) * (long double)v + (long double)v) / 2.0L;
    if (wert <= 0.0L)
        return 0;
    if (wert >= 256.0L)
        return 255;
    return uint8_t(int(wert));
}

double Faktor(int kanal, int intensitaet)
{
    return std::max(1.0L, (long double)kanal / (long double)(256 - intensitaet));
}

} // namespace

void BitmapKolorieren(TBitmap& bmp, TFarbwert farbe, uint8_t intensitaet, bool filter, int threads)
{
    const double fB = Faktor(FarbwertBlau(farbe), intensitaet);
    const double fG = Faktor(FarbwertGruen(farbe), intensitaet);
    const double fR = Faktor(FarbwertRot(farbe), intensitaet);
    const double m = double(((long double)fB + fG + fR) / 9.0L * (filter ? 1 : 0));
    uint8_t tb[256], tg[256], tr[256];
    for (int v = 0; v < 256; ++v) {
        tb[v] = KolorierenKanal(v, fB, m);
        tg[v] = KolorierenKanal(v, fG, m);
        tr[v] = KolorierenKanal(v, fR, m);
    }
    KanalTabellenAnwenden(bmp, tb, tg, tr, threads);
}
