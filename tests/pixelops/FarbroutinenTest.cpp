#include "pixelops/Bitmap_Einfaerben.h"
#include "pixelops/Bitmap_Farbkorrektur.h"
#include "pixelops/Bitmap_Graustufen.h"
#include "pixelops/Bitmap_Kolorieren.h"
#include "pixelops/Bitmap_Toenen.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <functional>
#include "ZufallsBild.h"

namespace {

using TPixel = std::array<int, 3>;   // blue, green, red

constexpr TFarbwert Weiss = 0xFFFFFF, Schwarz = 0, Rot = 0x0000FF;

// The routine applied to a single pixel.
TPixel Eins(TPixel p, const std::function<void(TBitmap&)>& routine)
{
    TBitmap b(1, 1);
    SetzePixel(b, 0, 0, p[0], p[1], p[2]);
    routine(b);
    return PixelBGR(b, 0, 0);
}

TPixel Grau(int g) { return {g, g, g}; }

int Klemme(long long v) { return int(std::clamp<long long>(v, 0, 255)); }

// Literal per-pixel forms of the routines, without tables.
void RefKorrektur(TBitmap& b, TFarbwert f, uint8_t i)
{
    const int r = i * int(f & 255) / 255, g = i * int((f >> 8) & 255) / 255, bl = i * int((f >> 16) & 255) / 255;
    const int off = (5 * r + 10 * g + 7 * bl) / 32 + 32;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            auto p = PixelBGR(b, x, y);
            SetzePixel(b, x, y, Klemme(p[0] + bl - off), Klemme(p[1] + g - off), Klemme(p[2] + r - off));
        }
}

void RefToenen(TBitmap& b, int i, int typ)
{
    const int dHi = int(std::nearbyintl(i * 0.444L)), dLo = int(std::nearbyintl(i * 0.167L));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            auto p = PixelBGR(b, x, y);
            const int gr = (p[0] + p[1] + p[2]) / 3, hi = std::min(gr + dHi, 255), lo = std::min(gr + dLo, 255);
            switch (typ) {
            case 0: break;
            case 1: SetzePixel(b, x, y, gr, lo, hi); break;
            case 2: SetzePixel(b, x, y, hi, lo, gr); break;
            case 3: SetzePixel(b, x, y, lo, gr, hi); break;
            case 4: SetzePixel(b, x, y, lo, hi, gr); break;
            case 5: SetzePixel(b, x, y, hi, gr, lo); break;
            default: SetzePixel(b, x, y, gr, gr, gr); break;
            }
        }
}

void RefEinfaerben(TBitmap& b, TFarbwert f, int grauG, uint8_t i, int schwarzG, int weissG)
{
    const int pB = (i * int((f >> 16) & 255)) >> 8, pG = (i * int((f >> 8) & 255)) >> 8, pR = (i * int(f & 255)) >> 8;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            auto p = PixelBGR(b, x, y);
            int gr = (p[0] + p[1] + p[2]) / 3;
            if (gr > weissG)
                SetzePixel(b, x, y, Klemme(290 + pB - 64), Klemme(290 + pG - 64), Klemme(290 + pR - 64));
            else if (gr < schwarzG)
                SetzePixel(b, x, y, 0, 0, 0);
            else {
                if (gr < grauG)
                    gr = 60;
                SetzePixel(b, x, y, Klemme(gr + pB - 64), Klemme(gr + pG - 64), Klemme(gr + pR - 64));
            }
        }
}

void RefKolorieren(TBitmap& b, TFarbwert f, uint8_t i, bool filter)
{
    const double fB = double(std::max(1.0L, (long double)((f >> 16) & 255) / (256 - i)));
    const double fG = double(std::max(1.0L, (long double)((f >> 8) & 255) / (256 - i)));
    const double fR = double(std::max(1.0L, (long double)(f & 255) / (256 - i)));
    const double m = double(((long double)fB + fG + fR) / 9 * (filter ? 1 : 0));
    auto kanal = [&](int v, double fak) { return Klemme((long long)((((long double)fak - m) * v + v) / 2)); };
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            auto p = PixelBGR(b, x, y);
            SetzePixel(b, x, y, kanal(p[0], fB), kanal(p[1], fG), kanal(p[2], fR));
        }
}

void RefGraustufen(TBitmap& b, float wr, float wg, float wb)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            auto p = PixelBGR(b, x, y);
            const long double s = (long double)p[2] * wr + (long double)p[1] * wg + (long double)p[0] * wb;
            const int g = Klemme((long long)std::nearbyintl(s));
            SetzePixel(b, x, y, g, g, g);
        }
}

// Compares a routine with its literal form on random images, with one and
// with several threads.
void Vergleichen(const std::function<void(TBitmap&, int)>& schnell, const std::function<void(TBitmap&)>& literal,
                 unsigned saat)
{
    const TBitmap q = ZufallsBitmap(61, 47, saat);
    TBitmap ref = q;
    literal(ref);
    for (int threads : {1, 5}) {
        TBitmap b = q;
        schnell(b, threads);
        ASSERT_TRUE(PixelGleich(b, ref)) << "Threads " << threads;
    }
}

// ---- Correction ----

TEST(FarbkorrekturTest, SchwarzOderIntensitaetNull_Minus32)
{
    auto mitSchwarz = [](TBitmap& b) { BitmapFarbkorrektur(b, Schwarz, 200); };
    auto ohneIntensitaet = [](TBitmap& b) { BitmapFarbkorrektur(b, Weiss, 0); };
    EXPECT_EQ(Eins({100, 50, 20}, mitSchwarz), (TPixel{68, 18, 0}));
    EXPECT_EQ(Eins({100, 50, 20}, ohneIntensitaet), (TPixel{68, 18, 0}));
}

TEST(FarbkorrekturTest, WeissVoll_Plus48UndRotAufGrau)
{
    EXPECT_EQ(Eins({100, 200, 230}, [](TBitmap& b) { BitmapFarbkorrektur(b, Weiss, 255); }),
              (TPixel{148, 248, 255}));
    // Red at 255 on grey 128: offset 71.
    EXPECT_EQ(Eins(Grau(128), [](TBitmap& b) { BitmapFarbkorrektur(b, Rot, 255); }), (TPixel{57, 57, 255}));
}

TEST(FarbkorrekturTest, GleichDerLiteralenRechnung)
{
    unsigned saat = 100;
    for (TFarbwert f : {0xFFFFFFu, 0x123456u, 0x00FF80u, 0u})
        for (int i : {0, 37, 100, 200, 255})
            Vergleichen([&](TBitmap& b, int t) { BitmapFarbkorrektur(b, f, uint8_t(i), t); },
                        [&](TBitmap& b) { RefKorrektur(b, f, uint8_t(i)); }, saat++);
}

// ---- Toning ----

TEST(ToenenTest, TypNullLaesstUndIntensitaetNullMachtGrau)
{
    EXPECT_EQ(Eins({30, 60, 90}, [](TBitmap& b) { BitmapToenen(b, 200, 0); }), (TPixel{30, 60, 90}));
    EXPECT_EQ(Eins({30, 60, 90}, [](TBitmap& b) { BitmapToenen(b, 0, 1); }), Grau(60));
}

TEST(ToenenTest, SepiaUndDieAnderenTypen)
{
    // Intensity 100: dHi 44, dLo 17.
    EXPECT_EQ(Eins({30, 60, 90}, [](TBitmap& b) { BitmapToenen(b, 100, 1); }), (TPixel{60, 77, 104}));
    EXPECT_EQ(Eins({30, 60, 90}, [](TBitmap& b) { BitmapToenen(b, 100, 5); }), (TPixel{104, 60, 77}));
    EXPECT_EQ(Eins({30, 60, 90}, [](TBitmap& b) { BitmapToenen(b, 100, 7); }), Grau(60));
    EXPECT_EQ(Eins({30, 60, 90}, [](TBitmap& b) { BitmapToenen(b, 100, -1); }), Grau(60));
    // Intensity 125: dHi = Round(55.5) = 56 by ties to even, dLo 21.
    EXPECT_EQ(Eins(Grau(100), [](TBitmap& b) { BitmapToenen(b, 125, 1); }), (TPixel{100, 121, 156}));
    // hi and lo stop at 255, and at 0 for a negative intensity instead of
    // wrapping round to a light value.
    EXPECT_EQ(Eins(Grau(250), [](TBitmap& b) { BitmapToenen(b, 300, 2); }), (TPixel{255, 255, 250}));
    EXPECT_EQ(Eins(Grau(10), [](TBitmap& b) { BitmapToenen(b, -300, 1); }), (TPixel{10, 0, 0}));
}

TEST(ToenenTest, GleichDerLiteralenRechnung)
{
    unsigned saat = 200;
    for (int typ : {1, 2, 3, 4, 5, 6})
        for (int i : {0, 125, 300})
            Vergleichen([&](TBitmap& b, int t) { BitmapToenen(b, i, typ, t); },
                        [&](TBitmap& b) { RefToenen(b, i, typ); }, saat++);
}

// ---- Tinting and threshold ----

TEST(EinfaerbenTest, GrenzenInIhrerReihenfolge)
{
    // Red at 255: parts R 254, G 0, B 0; grey limit 100, black 20, white 200.
    auto ein = [](TBitmap& b) { BitmapEinfaerben(b, Rot, 100, 255, 20, 200); };
    EXPECT_EQ(Eins(Grau(150), ein), (TPixel{86, 86, 255}));
    EXPECT_EQ(Eins(Grau(50), ein), (TPixel{0, 0, 250}));
    EXPECT_EQ(Eins(Grau(10), ein), Grau(0));
    EXPECT_EQ(Eins(Grau(210), ein), (TPixel{226, 226, 255}));
    // White limit below the black limit: the white test wins.
    EXPECT_EQ(Eins(Grau(40), [](TBitmap& b) { BitmapEinfaerben(b, Rot, 0, 255, 100, 30); }),
              (TPixel{226, 226, 255}));
}

TEST(EinfaerbenTest, Schwellwert128)
{
    auto schwelle = [](int t) {
        return [t](TBitmap& b) { BitmapEinfaerben(b, Weiss, 0, 255, 255, t); };
    };
    EXPECT_EQ(Eins(Grau(128), schwelle(128)), Grau(0));
    EXPECT_EQ(Eins(Grau(129), schwelle(128)), Grau(255));
    EXPECT_EQ(Eins(Grau(255), schwelle(255)), Grau(255));
    EXPECT_EQ(Eins(Grau(254), schwelle(255)), Grau(0));
}

TEST(EinfaerbenTest, GleichDerLiteralenRechnung)
{
    unsigned saat = 300;
    for (auto [g, i, s, w] : {std::array{0, 128, 0, 255}, {100, 255, 20, 200}, {200, 10, 100, 30}, {0, 255, 255, 77}})
        Vergleichen([&](TBitmap& b, int t) { BitmapEinfaerben(b, 0x2080C0, g, uint8_t(i), s, w, t); },
                    [&](TBitmap& b) { RefEinfaerben(b, 0x2080C0, g, uint8_t(i), s, w); }, saat++);
}

// ---- Colourising ----

TEST(KolorierenTest, IntensitaetNull)
{
    EXPECT_EQ(Eins({255, 100, 7}, [](TBitmap& b) { BitmapKolorieren(b, Rot, 0, false); }), (TPixel{255, 100, 7}));
    // With the filter: Trunc(5v/6).
    EXPECT_EQ(Eins({255, 100, 7}, [](TBitmap& b) { BitmapKolorieren(b, Rot, 0, true); }), (TPixel{212, 83, 5}));
}

TEST(KolorierenTest, WeissVoll_EinsWird128DerRest255)
{
    // Factor 255 without filter: Trunc(128 v), so 1 gives 128, not 255.
    auto kol = [](TBitmap& b) { BitmapKolorieren(b, Weiss, 255, false); };
    EXPECT_EQ(Eins({0, 1, 2}, kol), (TPixel{0, 128, 255}));
    EXPECT_EQ(Eins({255, 3, 100}, kol), (TPixel{255, 255, 255}));
}

TEST(KolorierenTest, GleichDerLiteralenRechnung)
{
    unsigned saat = 400;
    for (TFarbwert f : {0x0000FFu, 0x008000u, 0xFFFF00u, 0xFFFFFFu})
        for (int i : {0, 101, 200, 255})
            for (bool filter : {false, true})
                Vergleichen([&](TBitmap& b, int t) { BitmapKolorieren(b, f, uint8_t(i), filter, t); },
                            [&](TBitmap& b) { RefKolorieren(b, f, uint8_t(i), filter); }, saat++);
}

// ---- Grey scale ----

TEST(GraustufenTest, IsoGewichte)
{
    auto iso = [](TBitmap& b) { BitmapGraustufen(b, 0.30f, 0.59f, 0.11f); };
    EXPECT_EQ(Eins({0, 0, 255}, iso), Grau(77));   // 0.30f lies just above 0.3
    EXPECT_EQ(Eins({0, 255, 0}, iso), Grau(150));
    EXPECT_EQ(Eins({255, 0, 0}, iso), Grau(28));
    EXPECT_EQ(Eins({255, 255, 255}, iso), Grau(255));
}

TEST(GraustufenTest, GewichteUeberEinsKlemmenStattUeberzulaufen)
{
    auto voll = [](TBitmap& b) { BitmapGraustufen(b, 1.0f, 1.0f, 1.0f); };
    EXPECT_EQ(Eins({100, 100, 100}, voll), Grau(255));   // 300 would wrap to 44
    EXPECT_EQ(Eins({10, 20, 30}, voll), Grau(60));
}

TEST(GraustufenTest, GleichDerLiteralenRechnung)
{
    unsigned saat = 500;
    const float gewichte[][3] = {{0.30f, 0.59f, 0.11f}, {0.34f, 0.33f, 0.33f}, {1, 0, 0},     {0, 0.5f, 0.5f},
                                 {0.01f, 0.99f, 0.0f},  {1, 1, 1},            {0.5f, 0.5f, 0.5f}, {1e-20f, 0.7f, 0.2f},
                                 {-0.5f, 0.7f, 0.2f}};
    for (const auto& w : gewichte)
        Vergleichen([&](TBitmap& b, int t) { BitmapGraustufen(b, w[0], w[1], w[2], t); },
                    [&](TBitmap& b) { RefGraustufen(b, w[0], w[1], w[2]); }, saat++);
}

TEST(GraustufenTest, HalbeWerteRundenZurGeradenZahl)
{
    // 0.5 is exact in a float: 1 x 0.5 = 0.5 gives 0, 3 x 0.5 = 1.5 gives 2.
    auto halb = [](TBitmap& b) { BitmapGraustufen(b, 0.5f, 0.0f, 0.0f); };
    EXPECT_EQ(Eins({0, 0, 1}, halb), Grau(0));
    EXPECT_EQ(Eins({0, 0, 3}, halb), Grau(2));
    EXPECT_EQ(Eins({0, 0, 5}, halb), Grau(2));
}

} // namespace
