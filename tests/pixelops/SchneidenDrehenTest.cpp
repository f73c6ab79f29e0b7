#include "pixelops/Bitmap_Invertieren.h"
#include "pixelops/Bitmap_RotierenSpiegeln.h"
#include "pixelops/Bitmap_Schneiden.h"
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
        for (qsizetype k = 0; k < qsizetype(breite) * 3; ++k)
            z[k] = uint8_t(wert(zufall));
    }
    return b;
}

std::array<uint8_t, 3> Px(const TBitmap& b, int x, int y)
{
    const uint8_t* p = b.ScanLine(y) + qsizetype(x) * 3;
    return {p[0], p[1], p[2]};
}

bool Gleich(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.ScanLine(y), a.ScanLine(y) + qsizetype(a.Width()) * 3, b.ScanLine(y)))
            return false;
    return true;
}

// The turn written out as described: the whole image into a bottom-up row
// buffer, then every destination pixel fetched through the mapping table.
TBitmap Referenz(const TBitmap& q, int modus)
{
    const int w = q.Width(), h = q.Height();
    using TZeile = std::vector<std::array<uint8_t, 3>>;
    std::vector<TZeile> puffer(static_cast<size_t>(h), TZeile(static_cast<size_t>(w)));
    for (int i = 0; i < h; ++i)
        for (int x = 0; x < w; ++x)
            puffer[size_t(h - 1 - i)][size_t(x)] = Px(q, x, i);
    auto quelle = [&](int sx, int sy) { return puffer[size_t(h - 1 - sy)][size_t(sx)]; };
    const bool quer = modus == 0 || modus == 2;
    TBitmap z(quer ? h : w, quer ? w : h);
    for (int y = 0; y < z.Height(); ++y)
        for (int x = 0; x < z.Width(); ++x) {
            std::array<uint8_t, 3> p{};
            switch (modus) {
            case 0: p = quelle(y, h - 1 - x); break;
            case 1: p = quelle(w - 1 - x, h - 1 - y); break;
            case 2: p = quelle(w - 1 - y, x); break;
            case 3: p = quelle(w - 1 - x, y); break;
            case 4: p = quelle(x, h - 1 - y); break;
            }
            std::copy(p.begin(), p.end(), z.ScanLine(y) + qsizetype(x) * 3);
        }
    return z;
}

TBitmap Gedreht(TBitmap b, int modus, int threads = 0)
{
    BitmapRotierenSpiegeln(b, uint8_t(modus), threads);
    return b;
}

// 3 x 2 with pixels a b c / d e f; each pixel's blue byte is its letter.
TBitmap Buchstaben()
{
    TBitmap b(3, 2);
    const char* t = "abcdef";
    for (int i = 0; i < 6; ++i) {
        uint8_t* p = b.ScanLine(i / 3) + (i % 3) * 3;
        p[0] = uint8_t(t[i]);
        p[1] = uint8_t(i);
        p[2] = uint8_t(200 + i);
    }
    return b;
}

std::string Zeilen(const TBitmap& b)
{
    std::string s;
    for (int y = 0; y < b.Height(); ++y) {
        if (y)
            s += '/';
        for (int x = 0; x < b.Width(); ++x)
            s += char(b.ScanLine(y)[3 * x]);
    }
    return s;
}

} // namespace

TEST(RotierenSpiegeln, FuenfModiAufDreiMalZwei)
{
    EXPECT_EQ(Zeilen(Gedreht(Buchstaben(), 0)), "da/eb/fc");
    EXPECT_EQ(Zeilen(Gedreht(Buchstaben(), 1)), "fed/cba");
    EXPECT_EQ(Zeilen(Gedreht(Buchstaben(), 2)), "cf/be/ad");
    EXPECT_EQ(Zeilen(Gedreht(Buchstaben(), 3)), "cba/fed");
    EXPECT_EQ(Zeilen(Gedreht(Buchstaben(), 4)), "def/abc");
}

TEST(RotierenSpiegeln, GanzePixelWandernMit)
{
    // Green and red travel with blue: no byte of a pixel is left behind.
    const TBitmap q = Buchstaben();
    const TBitmap z = Gedreht(q, 0);
    ASSERT_EQ(z.Width(), 2);
    ASSERT_EQ(z.Height(), 3);
    EXPECT_EQ(Px(z, 0, 0), Px(q, 0, 1));
    EXPECT_EQ(Px(z, 1, 2), Px(q, 2, 0));
}

TEST(RotierenSpiegeln, GleichDerReferenzAufZufallsbildern)
{
    std::mt19937 zufall(7);
    for (auto [w, h] : {std::pair{7, 5}, {5, 7}, {1, 1}, {1, 9}, {9, 1}, {2, 2}, {47, 49}, {97, 131}, {131, 97},
                        {200, 3}, {3, 200}, {48, 48}, {49, 1}}) {
        const TBitmap q = ZufallsBild(w, h, zufall);
        for (int modus = 0; modus <= 4; ++modus)
            ASSERT_TRUE(Gleich(Gedreht(q, modus), Referenz(q, modus))) << w << "x" << h << " Modus " << modus;
    }
}

TEST(RotierenSpiegeln, JedeThreadzahlGibtDieselbenBytes)
{
    std::mt19937 zufall(8);
    const TBitmap q = ZufallsBild(301, 203, zufall);
    for (int modus = 0; modus <= 4; ++modus) {
        const TBitmap einer = Gedreht(q, modus, 1);
        ASSERT_TRUE(Gleich(einer, Referenz(q, modus))) << modus;
        for (int threads : {2, 3, 7, 16, 500})
            ASSERT_TRUE(Gleich(Gedreht(q, modus, threads), einer)) << modus << " " << threads;
    }
}

TEST(RotierenSpiegeln, ZweimalGespiegeltUndHinUndZurueckIstDasBild)
{
    std::mt19937 zufall(9);
    const TBitmap q = ZufallsBild(7, 5, zufall);
    EXPECT_TRUE(Gleich(Gedreht(Gedreht(q, 3), 3), q));
    EXPECT_TRUE(Gleich(Gedreht(Gedreht(q, 4), 4), q));
    EXPECT_TRUE(Gleich(Gedreht(Gedreht(q, 1), 1), q));
    EXPECT_TRUE(Gleich(Gedreht(Gedreht(q, 0), 2), q));
    EXPECT_TRUE(Gleich(Gedreht(Gedreht(q, 2), 0), q));
    EXPECT_TRUE(Gleich(Gedreht(Gedreht(q, 0), 0), Gedreht(q, 1)));
}

TEST(RotierenSpiegeln, EinPixelBleibtUnveraendert)
{
    std::mt19937 zufall(10);
    const TBitmap q = ZufallsBild(1, 1, zufall);
    for (int modus = 0; modus <= 4; ++modus)
        EXPECT_TRUE(Gleich(Gedreht(q, modus), q)) << modus;
}

TEST(RotierenSpiegeln, BreiterAls21845PixelGehtUnverfaelscht)
{
    std::mt19937 zufall(11);
    const TBitmap q = ZufallsBild(22000, 3, zufall);
    for (int modus = 0; modus <= 4; ++modus)
        ASSERT_TRUE(Gleich(Gedreht(q, modus), Referenz(q, modus))) << modus;
    const TBitmap hoch = Gedreht(q, 0);
    EXPECT_EQ(hoch.Width(), 3);
    EXPECT_EQ(hoch.Height(), 22000);
    EXPECT_TRUE(Gleich(Gedreht(hoch, 2), q));
}

TEST(RotierenSpiegeln, UnbekannterModusLaesstDasBild)
{
    std::mt19937 zufall(12);
    const TBitmap q = ZufallsBild(4, 3, zufall);
    EXPECT_TRUE(Gleich(Gedreht(q, 5), q));
    EXPECT_TRUE(Gleich(Gedreht(q, 255), q));
    TBitmap leer;
    BitmapRotierenSpiegeln(leer, 0);
    EXPECT_TRUE(leer.IsEmpty());
}

TEST(RotierenSpiegeln, GeteiltesBildBleibtUnberuehrt)
{
    std::mt19937 zufall(13);
    const TBitmap q = ZufallsBild(6, 4, zufall);
    const TBitmap kopie = q;   // shares the pixels until written
    TBitmap b = q;
    for (int modus = 1; modus <= 4; ++modus)
        BitmapRotierenSpiegeln(b, uint8_t(modus));
    EXPECT_TRUE(Gleich(q, kopie));
    EXPECT_TRUE(Gleich(b, Referenz(Referenz(Referenz(Referenz(q, 1), 2), 3), 4)));
}

TEST(Schneiden, RechteckWirdZumBild)
{
    std::mt19937 zufall(20);
    const TBitmap q = ZufallsBild(150, 90, zufall);
    TBitmap b = q;
    BitmapSchneiden(b, 10, 20, 110, 70);
    ASSERT_EQ(b.Width(), 100);
    ASSERT_EQ(b.Height(), 50);
    EXPECT_EQ(Px(b, 0, 0), Px(q, 10, 20));
    EXPECT_EQ(Px(b, 99, 49), Px(q, 109, 69));
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(Px(b, x, y), Px(q, x + 10, y + 20));
}

TEST(Schneiden, UngeradeBreitenUndSchmaleStreifen)
{
    std::mt19937 zufall(21);
    const TBitmap q = ZufallsBild(22000, 3, zufall);
    for (auto r : {std::array{0, 0, 1, 3}, {21999, 0, 22000, 3}, {21000, 1, 21999, 2}, {3, 0, 22000, 3}}) {
        TBitmap b = q;
        BitmapSchneiden(b, r[0], r[1], r[2], r[3]);
        ASSERT_EQ(b.Width(), r[2] - r[0]);
        ASSERT_EQ(b.Height(), r[3] - r[1]);
        for (int y = 0; y < b.Height(); ++y)
            ASSERT_TRUE(std::equal(b.ScanLine(y), b.ScanLine(y) + qsizetype(b.Width()) * 3,
                                   q.ScanLine(y + r[1]) + qsizetype(r[0]) * 3));
    }
}

TEST(Schneiden, RechteckUeberDenRandWirdAufDasBildBegrenzt)
{
    std::mt19937 zufall(22);
    const TBitmap q = ZufallsBild(20, 10, zufall);
    TBitmap b = q;
    BitmapSchneiden(b, -5, 4, 30, 15);
    ASSERT_EQ(b.Width(), 20);
    ASSERT_EQ(b.Height(), 6);
    EXPECT_EQ(Px(b, 0, 0), Px(q, 0, 4));
    EXPECT_EQ(Px(b, 19, 5), Px(q, 19, 9));
}

TEST(Schneiden, LeeresRechteckLaesstDasBild)
{
    std::mt19937 zufall(23);
    const TBitmap q = ZufallsBild(20, 10, zufall);
    for (auto r : {std::array{5, 5, 5, 8}, {8, 2, 3, 9}, {25, 0, 40, 10}, {0, -9, 20, -1}}) {
        TBitmap b = q;
        BitmapSchneiden(b, r[0], r[1], r[2], r[3]);
        EXPECT_TRUE(Gleich(b, q));
    }
}

TEST(Invertieren, ZweimalIstDasBildUndSchwarzWirdWeiss)
{
    std::mt19937 zufall(30);
    const TBitmap q = ZufallsBild(13, 7, zufall);
    TBitmap b = q;
    BitmapInvertieren(b);
    for (int y = 0; y < 7; ++y)
        for (int k = 0; k < 13 * 3; ++k)
            ASSERT_EQ(b.ScanLine(y)[k], 255 - q.ScanLine(y)[k]);
    BitmapInvertieren(b);
    EXPECT_TRUE(Gleich(b, q));

    TBitmap s(2, 2);
    s.Fill(0, 0, 0);
    BitmapInvertieren(s);
    EXPECT_EQ(Px(s, 1, 1), (std::array<uint8_t, 3>{255, 255, 255}));
    s.Fill(0, 128, 255);
    BitmapInvertieren(s);
    EXPECT_EQ(Px(s, 0, 0), (std::array<uint8_t, 3>{255, 127, 0}));
}

TEST(Invertieren, ZeilenfuellungBleibtUndThreadsGebenDasselbe)
{
    std::mt19937 zufall(31);
    TBitmap q = ZufallsBild(22001, 5, zufall);
    const qsizetype bytes = qsizetype(q.Width()) * 3;
    ASSERT_GT(q.Stride(), bytes);
    for (int y = 0; y < 5; ++y)
        std::fill(q.ScanLine(y) + bytes, q.ScanLine(y) + q.Stride(), uint8_t(0x5A));
    TBitmap einer = q, viele = q;
    BitmapInvertieren(einer, 1);
    BitmapInvertieren(viele, 5);
    EXPECT_TRUE(Gleich(einer, viele));
    for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(einer.ScanLine(y)[bytes], 0x5A);
        EXPECT_EQ(einer.ScanLine(y)[bytes - 1], uint8_t(255 - q.ScanLine(y)[bytes - 1]));
    }
}

TEST(Invertieren, AnderesFormatWirdZuerst24Bit)
{
    TBitmap b;
    QImage grau(3, 2, QImage::Format_Grayscale8);
    grau.fill(100);
    b.Bild() = grau;
    BitmapInvertieren(b);
    EXPECT_EQ(b.Bild().format(), QImage::Format_BGR888);
    EXPECT_EQ(Px(b, 2, 1), (std::array<uint8_t, 3>{155, 155, 155}));
}

TEST(RotierenSpiegeln, ZeilenfuellungDesGedrehtenBildesIstNull)
{
    std::mt19937 zufall(14);
    const TBitmap q = ZufallsBild(5, 7, zufall);   // turned: 7 pixels = 21 bytes in rows of 24
    for (int modus : {0, 2}) {
        const TBitmap z = Gedreht(q, modus);
        ASSERT_EQ(z.Stride(), 24);
        for (int y = 0; y < z.Height(); ++y)
            for (int k = 21; k < 24; ++k)
                ASSERT_EQ(z.ScanLine(y)[k], 0) << modus << " " << y;
    }
}
