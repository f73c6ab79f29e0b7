#include "pixelops/Bitmap_Verkleinern.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace {

TBitmap ZufallsBild(int breite, int hoehe, std::mt19937& zufall)
{
    TBitmap b(breite, hoehe);
    std::uniform_int_distribution<int> wert(0, 255);
    for (int y = 0; y < hoehe; ++y) {
        uint8_t* z = b.ScanLine(y);
        for (int k = 0; k < breite * 3; ++k)
            z[k] = uint8_t(wert(zufall));
    }
    return b;
}

TBitmap Grau(int breite, int hoehe, uint8_t v)
{
    TBitmap b(breite, hoehe);
    b.Fill(v, v, v);
    return b;
}

void Setze(TBitmap& b, int x, int y, uint8_t v)
{
    uint8_t* p = b.ScanLine(y) + 3 * x;
    p[0] = p[1] = p[2] = v;
}

int Blau(const TBitmap& b, int x, int y) { return b.ScanLine(y)[3 * x]; }

// The reduction written out step by step: spans from the 32-bit factor with
// the products in extended precision, then one block sum per destination
// pixel. A span of 0 reads the pixel at its start; blocks beyond 256 pixels
// take sum * 65535 / (65536 * n) exactly.
std::vector<int> Spannen(int neu, int alt)
{
    const float r = float(1.0L / ((long double)neu / (long double)alt));
    std::vector<int> s;
    for (int i = 0; i < neu; ++i)
        s.push_back(int((long double)r * (i + 1)) - int((long double)r * i));
    return s;
}

TBitmap Referenz(const TBitmap& q, int nb, int nh)
{
    if (nb >= q.Width() && nh >= q.Height())
        return q;
    const std::vector<int> sx = Spannen(nb, q.Width()), sy = Spannen(nh, q.Height());
    TBitmap z(nb, nh);
    int zeile = 0;
    for (int j = 0; j < nh; ++j) {
        int spalte = 0;
        for (int i = 0; i < nb; ++i) {
            const int y0 = std::min(zeile, q.Height() - 1), x0 = std::min(spalte, q.Width() - 1);
            const long long bx = std::max(sx[i], 1), by = std::max(sy[j], 1);
            long long summe[3] = {0, 0, 0};
            for (int y = y0; y < y0 + by; ++y)
                for (int x = x0; x < x0 + bx; ++x)
                    for (int c = 0; c < 3; ++c)
                        summe[c] += q.ScanLine(y)[3 * x + c];
            const long long n = bx * by;
            for (int c = 0; c < 3; ++c) {
                long long v;
                if (n <= 256)
                    v = (summe[c] * (65535 / n)) >> 16;
                else
                    v = summe[c] * 65535 / (65536 * n);
                z.ScanLine(j)[3 * i + c] = uint8_t(v);
            }
            spalte += sx[i];
        }
        zeile += sy[j];
    }
    return z;
}

bool Gleich(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.ScanLine(y), a.ScanLine(y) + 3 * a.Width(), b.ScanLine(y)))
            return false;
    return true;
}

} // namespace

TEST(Verkleinern, ZehnAufDreiLaesstDieLetzteSpalteAus)
{
    TBitmap q(10, 1);
    for (int x = 0; x < 10; ++x)
        Setze(q, x, 0, uint8_t(10 * (x + 1)));
    TBitmap z;
    BitmapVerkleinern(q, z, 3, 1);
    ASSERT_EQ(z.Width(), 3);
    EXPECT_EQ(Blau(z, 0, 0), 19);
    EXPECT_EQ(Blau(z, 1, 0), 49);
    EXPECT_EQ(Blau(z, 2, 0), 79);
    Setze(q, 9, 0, 255);
    TBitmap z2;
    BitmapVerkleinern(q, z2, 3, 1);
    EXPECT_TRUE(Gleich(z, z2));
}

TEST(Verkleinern, TausendAufDreihundertFolgtDenSpannenDesFloatFaktors)
{
    // Spans 3, 3, 3, 4: column 9 belongs to the fourth pixel.
    TBitmap q = Grau(1000, 1, 0);
    Setze(q, 9, 0, 255);
    TBitmap z;
    BitmapVerkleinern(q, z, 300, 1);
    EXPECT_EQ(Blau(z, 2, 0), 0);
    EXPECT_EQ(Blau(z, 3, 0), 63);
}

TEST(Verkleinern, SechshundertvierzigAufVierhundertachtzigLiestAlleSpalten)
{
    TBitmap q = Grau(640, 1, 0);
    Setze(q, 639, 0, 255);
    TBitmap z;
    BitmapVerkleinern(q, z, 480, 1);
    EXPECT_EQ(Blau(z, 479, 0), (255 * 32767) >> 16);
    EXPECT_EQ(Blau(z, 478, 0), 0);
}

TEST(Verkleinern, EinzelnesPixelVerliertEins)
{
    // 3 x 3 to 2 x 2: spans 1 and 2, so pixel (0, 0) is a block of one.
    TBitmap q = Grau(3, 3, 90);
    Setze(q, 0, 0, 200);
    TBitmap z;
    BitmapVerkleinern(q, z, 2, 2);
    EXPECT_EQ(Blau(z, 0, 0), 199);
    Setze(q, 0, 0, 0);
    BitmapVerkleinern(q, z, 2, 2);
    EXPECT_EQ(Blau(z, 0, 0), 0);
}

TEST(Verkleinern, WeissBleibtBeiKleinenBloecken254)
{
    for (auto [b, h, nb, nh] : {std::array{4, 4, 2, 2}, {100, 80, 7, 9}, {640, 480, 320, 240}, {50, 50, 3, 3}}) {
        TBitmap z;
        BitmapVerkleinern(Grau(b, h, 255), z, nb, nh);
        for (int y = 0; y < nh; ++y)
            for (int x = 0; x < nb; ++x)
                ASSERT_EQ(Blau(z, x, y), 254) << b << "x" << h << " -> " << nb << "x" << nh;
    }
}

TEST(Verkleinern, BloeckeBis256PixelBehaltenDieFestkommaWerte)
{
    // 256 pixels summing to 257: 257 * (65535 div 256) shr 16 = 0, where the
    // exact factor would give 1; 100 pixels summing to 1901 give 18, not 19.
    TBitmap q = Grau(16, 16, 1);
    Setze(q, 5, 7, 2);
    TBitmap z;
    BitmapVerkleinern(q, z, 1, 1);
    EXPECT_EQ(Blau(z, 0, 0), 0);
    q = Grau(10, 10, 19);
    Setze(q, 3, 3, 0);
    BitmapVerkleinern(q, z, 1, 1);
    EXPECT_EQ(Blau(z, 0, 0), 18);
    // Beyond 256 pixels white no longer sinks with the block size: 400
    // pixels gave 253 with 65535 div 400, 65535 pixels gave 254 again.
    BitmapVerkleinern(Grau(20, 20, 255), z, 1, 1);
    EXPECT_EQ(Blau(z, 0, 0), 254);
    BitmapVerkleinern(Grau(65535, 1, 255), z, 1, 1);
    EXPECT_EQ(Blau(z, 0, 0), 254);
}

TEST(Verkleinern, WeissBleibtBeiJederBlockgroesse254)
{
    // Blocks of 257 .. 250,000 pixels, across and down, and a picture of
    // many blocks of 10,000 pixels (a white 1600 x 400 reduced to 16 x 4).
    struct T { int b, h, nb, nh; };
    for (const T& t : {T{257, 1, 1, 1}, T{285, 1, 1, 1}, T{50, 50, 1, 1}, T{100, 100, 1, 1}, T{200, 200, 1, 1},
                       T{256, 256, 1, 1}, T{1, 70000, 1, 1}, T{500, 500, 1, 1}, T{1600, 400, 16, 4}}) {
        TBitmap z;
        BitmapVerkleinern(Grau(t.b, t.h, 255), z, t.nb, t.nh);
        for (int y = 0; y < t.nh; ++y)
            for (int x = 0; x < t.nb; ++x)
                ASSERT_EQ(Blau(z, x, y), 254) << t.b << "x" << t.h << " -> " << t.nb << "x" << t.nh;
    }
}

TEST(Verkleinern, JederBlockTrifftDenMittelwertAufEinenSchritt)
{
    // Every channel of every block lies within one step of the block's
    // exact mean, never above it: the mean rounded down, or one less.
    std::mt19937 zufall(7);
    const TBitmap q = ZufallsBild(640, 480, zufall);
    for (auto [nb, nh] : {std::pair{1, 1}, {2, 3}, {5, 4}, {9, 7}, {13, 11}, {31, 17}, {40, 30}, {64, 48}, {200, 150}}) {
        TBitmap z;
        BitmapVerkleinern(q, z, nb, nh);
        const std::vector<int> sx = Spannen(nb, q.Width()), sy = Spannen(nh, q.Height());
        int zeile = 0;
        for (int j = 0; j < nh; ++j) {
            int spalte = 0;
            for (int i = 0; i < nb; ++i) {
                const long long n = (long long)sx[i] * sy[j];
                for (int c = 0; c < 3; ++c) {
                    long long summe = 0;
                    for (int y = zeile; y < zeile + sy[j]; ++y)
                        for (int x = spalte; x < spalte + sx[i]; ++x)
                            summe += q.ScanLine(y)[3 * x + c];
                    const long long v = z.ScanLine(j)[3 * i + c], mittel = summe / n;
                    ASSERT_TRUE(v == mittel || v == mittel - 1)
                        << nb << "x" << nh << " block " << i << "," << j << ": " << v << " for " << summe << " / " << n;
                }
                spalte += sx[i];
            }
            zeile += sy[j];
        }
    }
}

TEST(Verkleinern, GrosseBloeckeWerdenNichtSchwarz)
{
    TBitmap z;
    BitmapVerkleinern(Grau(300, 300, 255), z, 1, 1);
    EXPECT_EQ(Blau(z, 0, 0), 254);
    BitmapVerkleinern(Grau(3000, 3000, 200), z, 2, 1);
    EXPECT_EQ(Blau(z, 0, 0), 199);
    EXPECT_EQ(Blau(z, 1, 0), 199);
    BitmapVerkleinern(Grau(70000, 1, 255), z, 1, 1);
    EXPECT_EQ(Blau(z, 0, 0), 254);
}

TEST(Verkleinern, GroesserInBeidenRichtungenKopiertInQuellgroesse)
{
    std::mt19937 zufall(1);
    const TBitmap q = ZufallsBild(10, 10, zufall);
    TBitmap z;
    BitmapVerkleinern(q, z, 20, 20);
    EXPECT_EQ(z.Width(), 10);
    EXPECT_EQ(z.Height(), 10);
    EXPECT_TRUE(Gleich(q, z));
    TBitmap z2;
    BitmapVerkleinern(q, z2, 10, 10);
    EXPECT_TRUE(Gleich(q, z2));
}

TEST(Verkleinern, BreiteOderHoeheNullLaesstZielUnveraendert)
{
    std::mt19937 zufall(2);
    const TBitmap q = ZufallsBild(30, 20, zufall);
    const TBitmap vorher = ZufallsBild(5, 7, zufall);
    for (auto [b, h] : {std::pair{0, 10}, {10, 0}, {0, 0}, {-3, 10}}) {
        TBitmap z = vorher;
        z.ScanLine(0);   // own copy, so a change would show
        BitmapVerkleinern(q, z, b, h);
        EXPECT_TRUE(Gleich(z, vorher));
    }
}

TEST(Verkleinern, EineSeiteGroesserNimmtDasNaechstePixel)
{
    // 1 x 600 to 2 x 300: across, both pixels come from column 0; down, pairs of rows.
    TBitmap q(1, 600);
    for (int y = 0; y < 600; ++y)
        Setze(q, 0, y, uint8_t(y % 256));
    TBitmap z;
    BitmapVerkleinern(q, z, 2, 300);
    ASSERT_EQ(z.Width(), 2);
    ASSERT_EQ(z.Height(), 300);
    for (int j = 0; j < 300; ++j) {
        const int summe = (2 * j) % 256 + (2 * j + 1) % 256;
        EXPECT_EQ(Blau(z, 0, j), (summe * 32767) >> 16);
        EXPECT_EQ(Blau(z, 1, j), Blau(z, 0, j));
    }
    // Three columns widened to seven while the height halves.
    std::mt19937 zufall(3);
    const TBitmap q2 = ZufallsBild(3, 40, zufall);
    BitmapVerkleinern(q2, z, 7, 20);
    EXPECT_TRUE(Gleich(z, Referenz(q2, 7, 20)));
}

TEST(Verkleinern, QuelleBleibtUnveraendertUndDarfZielSein)
{
    std::mt19937 zufall(4);
    TBitmap q = ZufallsBild(50, 40, zufall);
    TBitmap vorher = q;
    vorher.ScanLine(0);
    TBitmap z;
    BitmapVerkleinern(q, z, 13, 11);
    EXPECT_TRUE(Gleich(q, vorher));
    BitmapVerkleinern(q, q, 13, 11);
    EXPECT_TRUE(Gleich(q, z));
}

TEST(Verkleinern, GleichDerReferenzAufZufallsbildern)
{
    std::mt19937 zufall(5);
    std::uniform_int_distribution<int> seite(1, 90);
    for (int n = 0; n < 400; ++n) {
        const int b = seite(zufall), h = seite(zufall);
        const TBitmap q = ZufallsBild(b, h, zufall);
        const int nb = std::uniform_int_distribution<int>(1, b + 3)(zufall);
        const int nh = std::uniform_int_distribution<int>(1, h + 3)(zufall);
        TBitmap z;
        BitmapVerkleinern(q, z, nb, nh);
        ASSERT_TRUE(Gleich(z, Referenz(q, nb, nh))) << b << "x" << h << " -> " << nb << "x" << nh;
    }
}

TEST(Verkleinern, ThreadsGebenDieselbenBytes)
{
    std::mt19937 zufall(6);
    const TBitmap q = ZufallsBild(1531, 977, zufall);
    for (auto [nb, nh] : {std::pair{640, 480}, {1000, 3}, {17, 900}, {2000, 500}, {7, 5}}) {
        TBitmap eins, viele;
        BitmapVerkleinern(q, eins, nb, nh, 1);
        BitmapVerkleinern(q, viele, nb, nh, 8);
        ASSERT_TRUE(Gleich(eins, viele)) << nb << "x" << nh;
        TBitmap ohne;
        BitmapVerkleinern(q, ohne, nb, nh);
        ASSERT_TRUE(Gleich(eins, ohne));
    }
    TBitmap eins, viele;
    BitmapVerkleinern(q, eins, 700, 300, 1);
    BitmapVerkleinern(q, viele, 700, 300, 7);
    EXPECT_TRUE(Gleich(eins, Referenz(q, 700, 300)));
    EXPECT_TRUE(Gleich(eins, viele));
}
