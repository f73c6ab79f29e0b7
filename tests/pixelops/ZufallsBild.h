#pragma once
#include <algorithm>
#include <array>
#include <random>
#include "pixelops/Bitmap.h"

// Small helpers for the rotation and colour-routine tests.
inline TBitmap ZufallsBitmap(int breite, int hoehe, unsigned saat)
{
    std::mt19937 zufall(saat);
    std::uniform_int_distribution<int> wert(0, 255);
    TBitmap b(breite, hoehe);
    for (int y = 0; y < hoehe; ++y) {
        uint8_t* z = b.ScanLine(y);
        for (qsizetype k = 0; k < qsizetype(breite) * 3; ++k)
            z[k] = uint8_t(wert(zufall));
    }
    return b;
}

inline TBitmap EinfarbBitmap(int breite, int hoehe, uint8_t b, uint8_t g, uint8_t r)
{
    TBitmap bmp(breite, hoehe);
    bmp.Fill(b, g, r);
    return bmp;
}

inline std::array<int, 3> PixelBGR(const TBitmap& b, int x, int y)
{
    const uint8_t* p = b.ScanLine(y) + qsizetype(x) * 3;
    return {p[0], p[1], p[2]};
}

inline void SetzePixel(TBitmap& b, int x, int y, int blau, int gruen, int rot)
{
    uint8_t* p = b.ScanLine(y) + qsizetype(x) * 3;
    p[0] = uint8_t(blau);
    p[1] = uint8_t(gruen);
    p[2] = uint8_t(rot);
}

// Same size and the same bytes in every pixel (the row padding not counted).
inline bool PixelGleich(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.ScanLine(y), a.ScanLine(y) + qsizetype(a.Width()) * 3, b.ScanLine(y)))
            return false;
    return true;
}
