#include "Bitmap_Kontrast.h"
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
    const int k = int(std::nearbyintl((long double)amount * 2.55L));
    uint8_t tabelle[256];
    for (int v = 0; v < 256; ++v) {
        const int t = (std::abs(127 - v) * k) / 255;
        const int w = v > 127 ? v + t : v - t;
        tabelle[v] = uint8_t(std::clamp(w, 0, 255));
    }

    const qsizetype bytes = qsizetype(bmp.Width()) * 3;
    uint8_t* bits = bmp.ScanLine(0);
    const qsizetype stride = bmp.Stride();
    InZeilenbaendern(bmp.Height(), ThreadsFuer((long long)bmp.Width() * bmp.Height(), threads, bmp.Height()),
                     [&](int y0, int y1) {
                         for (int y = y0; y < y1; ++y) {
                             uint8_t* z = bits + qsizetype(y) * stride;
                             for (qsizetype k2 = 0; k2 < bytes; ++k2)
                                 z[k2] = tabelle[z[k2]];
                         }
                     });
}
