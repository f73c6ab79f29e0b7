// Brightness, contrast, blur and sharpen: known values, edge cases, and the
// fast paths against literal per-pixel references on random images.
#include "PixelHilfen.h"
#include "pixelops/Bitmap_Helligkeit.h"
#include "pixelops/Bitmap_Kontrast.h"
#include "pixelops/Bitmap_Schaerfen.h"
#include "pixelops/Bitmap_Weichzeichnen.h"
#include "pixelops/PixelTestnaht.h"
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

void HelligkeitLiteral(TBitmap& b, float amount)
{
    if (amount < -100 || amount > 100)
        return;
    const float f = float(amount >= 0 ? (long double)amount / 25 + 1 : 1 - std::fabs((long double)amount) / 100);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            uint8_t* p = b.ScanLine(y) + 3 * x;
            const int r = p[2], g = p[1], bl = p[0];
            auto neu = [&](int v) { return uint8_t(std::min<long double>(std::nearbyintl(v * (long double)f), 255)); };
            p[2] = neu(r);
            p[1] = neu(g);
            p[0] = neu(bl);
        }
}

void KontrastLiteral(TBitmap& b, int amount)
{
    if (amount < -100 || amount > 100)
        return;
    const int k = int(std::nearbyintl(amount * 2.55L));
    for (int y = 0; y < b.Height(); ++y)
        for (int i = 0; i < 3 * b.Width(); ++i) {
            uint8_t& v = b.ScanLine(y)[i];
            const int t = (std::abs(127 - v) * k) / 255;
            v = uint8_t(std::clamp(v > 127 ? v + t : v - t, 0, 255));
        }
}

// Word for word: a whole-image intermediate of floats, every step in extended.
void WeichzeichnenLiteral(TBitmap& b, float amount)
{
    const int w = b.Width(), h = b.Height();
    if (w < 3 || h < 3 || amount < 0 || amount > 100)
        return;
    const float r = float((long double)amount / 4);
    const float s = float((long double)r + 1);
    int n = int(s);
    if (s - (long double)n == 0)
        n -= 1;
    std::vector<float> g(static_cast<size_t>(2 * n + 1));
    float summe = 0;
    for (int i = -n; i <= n; ++i) {
        g[size_t(i + n)] = float((long double)s - std::abs(i));
        summe = float((long double)summe + g[size_t(i + n)]);
    }
    for (float& x : g)
        x = float((long double)x / summe);
    std::vector<float> zw(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                float sum = 0;
                for (int i = -n; i <= n; ++i) {
                    const int xx = x + i < 0 ? 0 : (x + i >= w ? w - 1 : x + i);
                    sum = float((long double)sum + (long double)b.ScanLine(y)[3 * xx + c] * g[size_t(i + n)]);
                }
                zw[(size_t(y) * w + x) * 3 + c] = sum;
            }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                float sum = 0;
                for (int j = -n; j <= n; ++j) {
                    const int yy = y + j <= 0 ? 0 : (y + j >= h ? h - 1 : y + j);
                    sum = float((long double)sum + (long double)zw[(size_t(yy) * w + x) * 3 + c] * g[size_t(j + n)]);
                }
                b.ScanLine(y)[3 * x + c] = uint8_t(std::nearbyint(sum));
            }
}

void SchaerfenLiteral(TBitmap& b, float amount)
{
    const int w = b.Width(), h = b.Height();
    if (w < 3 || h < 3 || amount < 0 || amount > 100)
        return;
    const float f = float((long double)amount / 20 + 1);
    const float g = float(((long double)f - 1) / 5);
    const int F = int(std::nearbyintl(f * 65536.0L)), G = int(std::nearbyintl(g * 65536.0L));
    const TBitmap q = TBitmap(b.Bild().copy());
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x)
            for (int c = 0; c < 3; ++c) {
                auto v = [&](int xx, int yy) { return int(q.ScanLine(yy)[3 * xx + c]); };
                const int S = v(x, y) + v(x, y - 1) + v(x - 1, y) + v(x + 1, y) + v(x, y + 1);
                const int e = ((v(x, y) * F + 32767) >> 16) - ((S * G + 32767) >> 16);
                b.ScanLine(y)[3 * x + c] = uint8_t(std::clamp(e, 0, 255));
            }
}

TBitmap Kopie(const TBitmap& b) { return TBitmap(b.Bild().copy()); }

} // namespace

TEST(Helligkeit, BekannteWerteUndGrenzen)
{
    TBitmap b = GrauZeile({0, 50, 51, 200});
    BitmapHelligkeit(b, 0);
    EXPECT_EQ(ZeileLesen(b), (std::vector<int>{0, 50, 51, 200}));
    BitmapHelligkeit(b, 100);
    EXPECT_EQ(ZeileLesen(b), (std::vector<int>{0, 250, 255, 255}));
    BitmapHelligkeit(b, -100);
    EXPECT_TRUE(IstEinfarbig(b, 0));
}

TEST(Helligkeit, FaktorAlsEinfacheGenauigkeitUndGeradeRundung)
{
    // 0.9f is just below 0.9: 15 * 0.9f stays below 13.5.
    TBitmap b = GrauZeile({15});
    BitmapHelligkeit(b, -10);
    EXPECT_EQ(ZeileLesen(b)[0], 13);
    // Exact halves go to the even neighbour.
    TBitmap h = GrauZeile({1, 3, 5});
    BitmapHelligkeit(h, -50);
    EXPECT_EQ(ZeileLesen(h), (std::vector<int>{0, 2, 2}));
}

TEST(Helligkeit, AusserhalbDesBereichsUndNaNBleibtUnveraendert)
{
    std::mt19937 z(1);
    const TBitmap a = ZufallsBitmap(7, 5, z);
    for (float m : {-100.5f, 101.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        TBitmap b = Kopie(a);
        BitmapHelligkeit(b, m);
        EXPECT_TRUE(Gleich(a, b)) << m;
    }
}

TEST(Kontrast, BekannteWerte)
{
    TBitmap b = GrauZeile({127, 128, 0, 200, 50});
    BitmapKontrast(b, 100);
    EXPECT_EQ(ZeileLesen(b), (std::vector<int>{127, 129, 0, 255, 0}));
    TBitmap c = GrauZeile({0, 255, 127});
    BitmapKontrast(c, -100);
    EXPECT_EQ(ZeileLesen(c), (std::vector<int>{127, 127, 127}));
    TBitmap d = GrauZeile({200, 50});
    BitmapKontrast(d, 50);
    EXPECT_EQ(ZeileLesen(d), (std::vector<int>{236, 12}));
    TBitmap e = GrauZeile({200, 50});
    BitmapKontrast(e, -50);
    EXPECT_EQ(ZeileLesen(e), (std::vector<int>{164, 88}));
    TBitmap n = GrauZeile({3, 200});
    BitmapKontrast(n, 0);
    BitmapKontrast(n, 101);
    EXPECT_EQ(ZeileLesen(n), (std::vector<int>{3, 200}));
}

TEST(Tonwerte, TabellenGleichDerLiteralenRechnungAufZufallsbildern)
{
    std::mt19937 z(7);
    const TBitmap a = ZufallsBitmap(33, 17, z);
    for (float m : {-100.0f, -73.25f, -10.0f, -0.5f, 0.0f, 1.0f, 25.0f, 66.6f, 100.0f}) {
        TBitmap schnell = Kopie(a), literal = Kopie(a);
        BitmapHelligkeit(schnell, m, 3);
        HelligkeitLiteral(literal, m);
        EXPECT_TRUE(Gleich(schnell, literal)) << m;
    }
    for (int m = -100; m <= 100; m += 7) {
        TBitmap schnell = Kopie(a), literal = Kopie(a);
        BitmapKontrast(schnell, m, 2);
        KontrastLiteral(literal, m);
        EXPECT_TRUE(Gleich(schnell, literal)) << m;
    }
}

TEST(Weichzeichnen, DreieckgewichteAufEinemPunkt)
{
    // Amount 4: weights 1/4, 1/2, 1/4; 127.5 and 63.75 exercise Round.
    TBitmap b = Einfarbig(5, 3, 0);
    std::fill_n(b.ScanLine(1) + 6, 3, uint8_t(255));
    BitmapWeichzeichnen(b, 4);
    EXPECT_EQ(ZeileLesen(b, 0), (std::vector<int>{0, 16, 32, 16, 0}));
    EXPECT_EQ(ZeileLesen(b, 1), (std::vector<int>{0, 32, 64, 32, 0}));
    EXPECT_EQ(ZeileLesen(b, 2, 2), (std::vector<int>{0, 16, 32, 16, 0}));
}

TEST(Weichzeichnen, NullSchmalUndUngueltigLassenUnveraendert)
{
    std::mt19937 z(3);
    const TBitmap a = ZufallsBitmap(9, 6, z);
    TBitmap b = Kopie(a);
    BitmapWeichzeichnen(b, 0);
    EXPECT_TRUE(Gleich(a, b));
    for (float m : {-1.0f, 100.5f, std::numeric_limits<float>::quiet_NaN()}) {
        BitmapWeichzeichnen(b, m);
        EXPECT_TRUE(Gleich(a, b)) << m;
    }
    const TBitmap schmal = ZufallsBitmap(2, 9, z);
    TBitmap s = Kopie(schmal);
    BitmapWeichzeichnen(s, 50);
    EXPECT_TRUE(Gleich(schmal, s));
    const TBitmap flach = ZufallsBitmap(9, 2, z);
    TBitmap f = Kopie(flach);
    BitmapWeichzeichnen(f, 50);
    EXPECT_TRUE(Gleich(flach, f));
}

TEST(Weichzeichnen, RandpixelWirdWiederholt)
{
    // Beyond the border the outermost pixel repeats, never black: a uniform
    // image keeps its value right up to the edge.
    TBitmap b = Einfarbig(6, 3, 200);
    BitmapWeichzeichnen(b, 40);
    EXPECT_TRUE(IstEinfarbig(b, 200));
}

TEST(Weichzeichnen, SchnellGleichLiteralAufZufallsbildernBeiJederThreadzahl)
{
    std::mt19937 z(11);
    for (float m : {1.0f, 2.0f, 4.0f, 9.5f, 13.0f, 50.0f, 77.7f, 100.0f, 0.001f}) {
        const TBitmap a = ZufallsBitmap(19 + int(m) % 7, 23, z);
        TBitmap literal = Kopie(a);
        WeichzeichnenLiteral(literal, m);
        for (bool fma : {true, false}) {
            WeichzeichnenFmaErlaubt = fma;
            for (int threads : {1, 4, 23}) {
                TBitmap schnell = Kopie(a);
                BitmapWeichzeichnen(schnell, m, threads);
                EXPECT_TRUE(Gleich(schnell, literal)) << m << " " << threads << " " << fma;
            }
        }
    }
    WeichzeichnenFmaErlaubt = true;
}

TEST(Weichzeichnen, BreiteBilderUeberMehrereSpaltenkachelnGleichLiteral)
{
    std::mt19937 z(17);
    for (float m : {100.0f, 13.0f}) {
        const TBitmap a = ZufallsBitmap(1100, 9, z);
        TBitmap literal = Kopie(a);
        WeichzeichnenLiteral(literal, m);
        for (bool fma : {true, false}) {
            WeichzeichnenFmaErlaubt = fma;
            TBitmap schnell = Kopie(a);
            BitmapWeichzeichnen(schnell, m, 2);
            EXPECT_TRUE(Gleich(schnell, literal)) << m << " " << fma;
        }
        WeichzeichnenFmaErlaubt = true;
    }
}

TEST(Weichzeichnen, DoppeltGerundeteMitteWirdErweitertGerechnet)
{
    const size_t anzahl = 77;   // vector groups of 32 and 16, and a tail
    // 1 + p * w = 1 + 2^-24 + 2^-60 exactly (4097 * 16773121 = 2^36 + 1):
    // extended holds it and rounds up to 1 + 2^-23; a plain double sum would
    // land on the midpoint 1 + 2^-24 and round to the even 1.
    const float wOben[2] = {1.0f, std::ldexp(16773121.0f, -24)};
    // 1 + v * w lies less than 2^-64 above that midpoint: extended rounds it
    // onto the midpoint and then to the even 1, where a single fused
    // rounding would give 1 + 2^-23.
    const float wMitte[2] = {1.0f, std::ldexp(16769026.0f, -48)};
    struct TFall {
        const float* w;
        float wert, erwartet;
    };
    for (const TFall& f : {TFall{wOben, std::ldexp(4097.0f, -36), 1.0f + std::ldexp(1.0f, -23)},
                           TFall{wMitte, std::ldexp(8392705.0f, -23), 1.0f}}) {
        std::vector<float> eins(anzahl, 1.0f), klein(anzahl, f.wert);
        klein[3] = 0.0f;            // one plain value among them
        klein[40] = 0.0f;
        const float* zeilen[2] = {eins.data(), klein.data()};
        for (bool fma : {true, false}) {
            WeichzeichnenFmaErlaubt = fma;
            std::vector<float> ziel(anzahl);
            WeichzeichnenSpalten(zeilen, f.w, 2, ziel.data(), anzahl);
            for (size_t k = 0; k < anzahl; ++k)
                EXPECT_EQ(ziel[k], k == 3 || k == 40 ? 1.0f : f.erwartet) << k << " " << fma;
        }
    }
    WeichzeichnenFmaErlaubt = true;
}

TEST(Schaerfen, BekannteWerte)
{
    TBitmap b = Einfarbig(3, 3, 100);
    std::fill_n(b.ScanLine(1) + 3, 3, uint8_t(200));
    BitmapSchaerfen(b, 100);
    EXPECT_EQ(ZeileLesen(b, 1), (std::vector<int>{100, 255, 100}));
    TBitmap c = Einfarbig(3, 3, 200);
    std::fill_n(c.ScanLine(1) + 3, 3, uint8_t(100));
    BitmapSchaerfen(c, 100);
    EXPECT_EQ(ZeileLesen(c, 1), (std::vector<int>{200, 0, 200}));
    TBitmap d = Einfarbig(3, 3, 80);
    std::fill_n(d.ScanLine(1) + 3, 3, uint8_t(100));
    BitmapSchaerfen(d, 50);
    EXPECT_EQ(ZeileLesen(d, 1)[1], 140);
    // The offset 32767 rounds exact halves down: uniform 255 loses one.
    TBitmap e = Einfarbig(4, 4, 255);
    BitmapSchaerfen(e, 10);
    EXPECT_EQ(ZeileLesen(e, 1), (std::vector<int>{255, 254, 254, 255}));
}

TEST(Schaerfen, RahmenBleibtUndNullAendertNichts)
{
    std::mt19937 z(5);
    const TBitmap a = ZufallsBitmap(8, 7, z);
    TBitmap b = Kopie(a);
    BitmapSchaerfen(b, 0);
    EXPECT_TRUE(Gleich(a, b));
    BitmapSchaerfen(b, 60);
    EXPECT_EQ(ZeileLesen(b, 0, 1), ZeileLesen(a, 0, 1));
    EXPECT_EQ(ZeileLesen(b, 6, 2), ZeileLesen(a, 6, 2));
    for (int y = 0; y < 7; ++y) {
        EXPECT_TRUE(std::equal(a.ScanLine(y), a.ScanLine(y) + 3, b.ScanLine(y)));
        EXPECT_TRUE(std::equal(a.ScanLine(y) + 21, a.ScanLine(y) + 24, b.ScanLine(y) + 21));
    }
    for (float m : {-0.1f, 101.0f, std::numeric_limits<float>::quiet_NaN()}) {
        TBitmap c = Kopie(a);
        BitmapSchaerfen(c, m);
        EXPECT_TRUE(Gleich(a, c)) << m;
    }
}

TEST(Schaerfen, SchnellGleichLiteralAufZufallsbildern)
{
    std::mt19937 z(13);
    for (float m : {8.0f, 18.0f, 36.0f, 50.0f, 99.9f}) {
        const TBitmap a = ZufallsBitmap(17, 12, z);
        TBitmap literal = Kopie(a);
        SchaerfenLiteral(literal, m);
        for (int threads : {1, 5}) {
            TBitmap schnell = Kopie(a);
            BitmapSchaerfen(schnell, m, threads);
            EXPECT_TRUE(Gleich(schnell, literal)) << m << " " << threads;
        }
    }
}
