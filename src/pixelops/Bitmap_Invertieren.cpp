#include "Bitmap_Invertieren.h"
#include "Zeilenbaender.h"

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
    InZeilenbaendern(hoehe, ThreadZahl(threads, (long long)bmp.Width() * hoehe, 2000000),
                     [=](int y0, int y1) { ZeilenInvertieren(bits, stride, bytes, y0, y1); });
}
