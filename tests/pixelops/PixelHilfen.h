#pragma once
// Small helpers for the pixel tests: random and uniform bitmaps, byte-wise
// comparison and single-row pictures with equal channels.
#include "pixelops/Bitmap.h"
#include <algorithm>
#include <random>
#include <vector>

inline TBitmap ZufallsBitmap(int breite, int hoehe, std::mt19937& zufall)
{
    TBitmap b(breite, hoehe);
    std::uniform_int_distribution<int> wert(0, 255);
    for (int y = 0; y < hoehe; ++y)
        for (int k = 0; k < breite * 3; ++k)
            b.ScanLine(y)[k] = uint8_t(wert(zufall));
    return b;
}

inline TBitmap Einfarbig(int breite, int hoehe, uint8_t v)
{
    TBitmap b(breite, hoehe);
    b.Fill(v, v, v);
    return b;
}

// A grey row: every channel of pixel x is werte[x].
inline TBitmap GrauZeile(const std::vector<int>& werte, int hoehe = 1)
{
    TBitmap b(int(werte.size()), hoehe);
    for (int y = 0; y < hoehe; ++y)
        for (size_t x = 0; x < werte.size(); ++x)
            std::fill_n(b.ScanLine(y) + 3 * x, 3, uint8_t(werte[x]));
    return b;
}

inline std::vector<int> ZeileLesen(const TBitmap& b, int y = 0, int kanal = 0)
{
    std::vector<int> v;
    for (int x = 0; x < b.Width(); ++x)
        v.push_back(b.ScanLine(y)[3 * x + kanal]);
    return v;
}

inline bool Gleich(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.ScanLine(y), a.ScanLine(y) + 3 * a.Width(), b.ScanLine(y)))
            return false;
    return true;
}

// An empty bitmap is never uniform: a lost picture must not pass as one.
inline bool IstEinfarbig(const TBitmap& b, int v)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int k = 0; k < 3 * b.Width(); ++k)
            if (b.ScanLine(y)[k] != v)
                return false;
    return !b.IsEmpty();
}
