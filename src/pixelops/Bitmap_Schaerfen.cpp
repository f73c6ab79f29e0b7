#include "Bitmap_Schaerfen.h"
#include "Bildspeicher.h"
#include "Runden.h"
#include "Zeilenbaender.h"
#include <cfloat>
#include <cstdint>
#include <cstring>
#include <new>

static_assert(LDBL_MANT_DIG == 64, "the factors are rounded from 80-bit extended arithmetic");

void BitmapSchaerfen(TBitmap& bmp, float amount, int threads)
{
    if (!(amount >= 0.0f && amount <= 100.0f))
        return;
    const int breite = bmp.Width();
    const int hoehe = bmp.Height();
    if (bmp.IsEmpty() || breite < 3 || hoehe < 3)
        return;
    const float f = float((long double)amount / 20.0L + 1.0L);
    const float g = float(((long double)f - 1.0L) / 5.0L);
    const int F = Runden((long double)f * 65536.0L);
    const int G = Runden((long double)g * 65536.0L);

    // Every byte is written below: no need to clear it.
    TBitmap neu(GrossesBild(breite, hoehe, QImage::Format_BGR888));
    if (neu.IsEmpty())
        throw std::bad_alloc();
    const TBitmap& quelle = bmp;
    const qsizetype bytes = qsizetype(breite) * 3;
    std::memcpy(neu.ScanLine(0), quelle.ScanLine(0), size_t(bytes));
    std::memcpy(neu.ScanLine(hoehe - 1), quelle.ScanLine(hoehe - 1), size_t(bytes));
    // Inner rows 1 .. hoehe - 2, in bands of their own.
    uint8_t* zielBits = neu.ScanLine(0);
    const qsizetype stride = neu.Stride();
    const uint8_t* quellBits = quelle.ScanLine(0);
    const qsizetype quellStride = quelle.Stride();
    InZeilenbaendern(hoehe - 2, ThreadsFuer((long long)breite * hoehe, threads, hoehe - 2), [&](int b0, int b1) {
        for (int y = b0 + 1; y < b1 + 1; ++y) {
            const uint8_t* oben = quellBits + qsizetype(y - 1) * quellStride;
            const uint8_t* mitte = oben + quellStride;
            const uint8_t* unten = mitte + quellStride;
            uint8_t* z = zielBits + qsizetype(y) * stride;
            z[0] = mitte[0];
            z[1] = mitte[1];
            z[2] = mitte[2];
            for (qsizetype k = 3; k < bytes - 3; ++k) {
                const int c = mitte[k];
                const int s = c + oben[k] + mitte[k - 3] + mitte[k + 3] + unten[k];
                const int w = ((c * F + 32767) >> 16) - ((s * G + 32767) >> 16);
                z[k] = uint8_t(w < 0 ? 0 : (w > 255 ? 255 : w));
            }
            z[bytes - 3] = mitte[bytes - 3];
            z[bytes - 2] = mitte[bytes - 2];
            z[bytes - 1] = mitte[bytes - 1];
        }
    });
    bmp = neu;
}
