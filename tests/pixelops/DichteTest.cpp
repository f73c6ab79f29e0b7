#include "pixelops/Bitmap_Dichte.h"
#include <gtest/gtest.h>
#include <random>

namespace {

// Every byte value once per channel: 256 pixels in one row.
TBitmap AlleWerte()
{
    TBitmap b(256, 1);
    for (int v = 0; v < 256; ++v) {
        uint8_t* p = b.ScanLine(0) + 3 * v;
        p[0] = p[1] = p[2] = uint8_t(v);
    }
    return b;
}

int Wert(const TBitmap& b, int x) { return b.ScanLine(0)[3 * x]; }

int Erwartet(int v, int k)
{
    const int w = v + ((255 - v) * k) / 255;
    return w < 0 ? 0 : (w > 255 ? 255 : w);
}

bool Gleich(const TBitmap& a, const TBitmap& b)
{
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.ScanLine(y), a.ScanLine(y) + 3 * a.Width(), b.ScanLine(y)))
            return false;
    return a.Width() == b.Width() && a.Height() == b.Height();
}

TBitmap ZufallsBild(int breite, int hoehe, std::mt19937& zufall)
{
    TBitmap b(breite, hoehe);
    std::uniform_int_distribution<int> wert(0, 255);
    for (int y = 0; y < hoehe; ++y)
        for (int k = 0; k < breite * 3; ++k)
            b.ScanLine(y)[k] = uint8_t(wert(zufall));
    return b;
}

} // namespace

TEST(Dichte, KanalBegrenzenSchneidetAufEinByte)
{
    EXPECT_EQ(KanalBegrenzen(-1), 0);
    EXPECT_EQ(KanalBegrenzen(0), 0);
    EXPECT_EQ(KanalBegrenzen(255), 255);
    EXPECT_EQ(KanalBegrenzen(256), 255);
    EXPECT_EQ(KanalBegrenzen(-100000), 0);
    EXPECT_EQ(KanalBegrenzen(77), 77);
}

TEST(Dichte, HundertMachtAllesWeiss)
{
    TBitmap b = AlleWerte();
    BitmapDichte(b, 100);
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(Wert(b, v), 255);
}

TEST(Dichte, MinusHundertVerdoppeltDenAbstandNachUnten)
{
    TBitmap b = AlleWerte();
    BitmapDichte(b, -100);
    EXPECT_EQ(Wert(b, 127), 0);
    EXPECT_EQ(Wert(b, 128), 1);
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(Wert(b, v), std::max(0, 2 * v - 255));
}

TEST(Dichte, NullUndAusserhalbDesBereichsAendernNichts)
{
    for (int menge : {0, 101, -101, 1000, -1000}) {
        TBitmap b = AlleWerte();
        BitmapDichte(b, menge);
        EXPECT_TRUE(Gleich(b, AlleWerte())) << menge;
    }
}

TEST(Dichte, KWirdZurGeradenZahlGerundet)
{
    // amount -> k as the extended product rounds it; every byte value is checked.
    const std::pair<int, int> faelle[] = {{10, 26}, {30, 76}, {50, 128}, {70, 178}, {90, 230}, {100, 255},
                                          {-10, -26}, {-30, -76}, {-50, -128}, {-70, -178}, {-90, -230},
                                          {-100, -255}, {1, 3}, {2, 5}, {-1, -3}};
    for (auto [menge, k] : faelle) {
        TBitmap b = AlleWerte();
        BitmapDichte(b, menge);
        for (int v = 0; v < 256; ++v)
            ASSERT_EQ(Wert(b, v), Erwartet(v, k)) << "Menge " << menge << " Wert " << v;
    }
    TBitmap b = AlleWerte();
    BitmapDichte(b, 50);
    EXPECT_EQ(Wert(b, 0), 128);
}

TEST(Dichte, DivisionSchneidetZurNullHin)
{
    // (155 * -128) div 255 = -77, not -78.
    TBitmap b = AlleWerte();
    BitmapDichte(b, -50);
    EXPECT_EQ(Wert(b, 100), 23);
}

TEST(Dichte, AlleKanaeleFolgenDerselbenKurve)
{
    TBitmap b(1, 1);
    b.Fill(10, 100, 200);
    BitmapDichte(b, 30);
    EXPECT_EQ(b.ScanLine(0)[0], Erwartet(10, 76));
    EXPECT_EQ(b.ScanLine(0)[1], Erwartet(100, 76));
    EXPECT_EQ(b.ScanLine(0)[2], Erwartet(200, 76));
}

TEST(Dichte, GleichDerReferenzAufZufallsbildernUndMitThreads)
{
    std::mt19937 zufall(7);
    for (int menge = -100; menge <= 100; menge += 7) {
        const TBitmap q = ZufallsBild(37, 23, zufall);
        TBitmap b = q;
        BitmapDichte(b, menge);
        const int k = int(std::nearbyintl((long double)menge * 2.55L));
        for (int y = 0; y < q.Height(); ++y)
            for (int x = 0; x < 3 * q.Width(); ++x)
                ASSERT_EQ(b.ScanLine(y)[x], Erwartet(q.ScanLine(y)[x], k)) << menge;
    }
    const TBitmap q = ZufallsBild(1200, 901, zufall);
    TBitmap eins = q, viele = q;
    BitmapDichte(eins, 23, 1);
    BitmapDichte(viele, 23, 8);
    EXPECT_TRUE(Gleich(eins, viele));
    EXPECT_FALSE(Gleich(eins, q));
}

TEST(Dichte, GeteiltesBildBleibtUnberuehrt)
{
    // The display copy shares its pixels with the working image until written.
    const TBitmap original = AlleWerte();
    TBitmap anzeige = original;
    BitmapDichte(anzeige, 20);
    EXPECT_EQ(Wert(original, 0), 0);
    EXPECT_EQ(Wert(anzeige, 0), 51);
}
