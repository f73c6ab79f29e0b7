#include "Bitmap_Invertieren.h"
#include <algorithm>
#include <thread>
#include <vector>

static void ZeilenInvertieren(uint8_t* bits, qsizetype stride, qsizetype bytes, int y0, int y1)
{
    for (int y = y0; y < y1; ++y) {
        uint8_t* z = bits + qsizetype(y) * stride;
        for (qsizetype k = 0; k < bytes; ++k)
            z[k] = uint8_t(~z[k]);
    }
}

void BitmapInvertieren(TBitmap& bmp, int threads)
{
    if (bmp.IsEmpty())
        return;
    if (bmp.Bild().format() != QImage::Format_BGR888)
        bmp.Assign(bmp.Bild());

    const int hoehe = bmp.Height();
    const qsizetype bytes = qsizetype(bmp.Width()) * 3;
    uint8_t* bits = bmp.ScanLine(0);   // detaches a shared picture once, here
    const qsizetype stride = bmp.Stride();

    if (threads <= 0) {
        const long long pixel = (long long)bmp.Width() * hoehe;
        threads = int(std::min<long long>(std::max(1u, std::thread::hardware_concurrency()),
                                          std::max(1LL, pixel / 2000000)));
    }
    threads = std::clamp(threads, 1, hoehe);
    std::vector<std::thread> arbeiter;
    for (int t = 1; t < threads; ++t) {
        const int y0 = int((long long)hoehe * t / threads);
        const int y1 = int((long long)hoehe * (t + 1) / threads);
        arbeiter.emplace_back([=] { ZeilenInvertieren(bits, stride, bytes, y0, y1); });
    }
    ZeilenInvertieren(bits, stride, bytes, 0, int((long long)hoehe / threads));
    for (auto& a : arbeiter)
        a.join();
}
