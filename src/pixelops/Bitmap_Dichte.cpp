#include "Bitmap_Dichte.h"
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <thread>
#include <vector>

static_assert(LDBL_MANT_DIG == 64, "k is rounded from an 80-bit extended product");

uint8_t KanalBegrenzen(int wert)
{
    if (wert < 0)
        return 0;
    if (wert > 255)
        return 255;
    return uint8_t(wert);
}

static void ZeilenUmsetzen(uint8_t* bits, qsizetype stride, qsizetype bytes, int y0, int y1,
                           const uint8_t* tabelle)
{
    for (int y = y0; y < y1; ++y) {
        uint8_t* z = bits + qsizetype(y) * stride;
        for (qsizetype k = 0; k < bytes; ++k)
            z[k] = tabelle[z[k]];
    }
}

void BitmapDichte(TBitmap& bmp, int amount, int threads)
{
    if (amount < -100 || amount > 100)
        return;
    if (bmp.IsEmpty())
        return;
    // Round to even in the default rounding mode, from the extended product.
    const int k = int(std::nearbyintl((long double)amount * 2.55L));
    // Every channel goes through the same curve, whatever its colour.
    uint8_t tabelle[256];
    for (int v = 0; v < 256; ++v)
        tabelle[v] = KanalBegrenzen(v + ((255 - v) * k) / 255);

    const int hoehe = bmp.Height();
    const qsizetype bytes = qsizetype(bmp.Width()) * 3;
    uint8_t* bits = bmp.ScanLine(0);   // detaches a shared picture once, here
    const qsizetype stride = bmp.Stride();

    if (threads <= 0) {
        const long long pixel = (long long)bmp.Width() * hoehe;
        threads = int(std::min<long long>(std::max(1u, std::thread::hardware_concurrency()),
                                          std::max(1LL, pixel / 1000000)));
    }
    threads = std::clamp(threads, 1, hoehe);
    if (threads == 1) {
        ZeilenUmsetzen(bits, stride, bytes, 0, hoehe, tabelle);
        return;
    }
    std::vector<std::thread> arbeiter;
    for (int t = 1; t < threads; ++t) {
        const int y0 = int((long long)hoehe * t / threads);
        const int y1 = int((long long)hoehe * (t + 1) / threads);
        arbeiter.emplace_back([=, &tabelle] { ZeilenUmsetzen(bits, stride, bytes, y0, y1, tabelle); });
    }
    ZeilenUmsetzen(bits, stride, bytes, 0, int((long long)hoehe / threads), tabelle);
    for (auto& a : arbeiter)
        a.join();
}
