#include "pixelops/Bitmap_Drehen.h"
#include "pixelops/Bitmap_RotierenSpiegeln.h"
#include <gtest/gtest.h>
#include <cmath>
#include "TestHilfen.h"
#include "ZufallsBild.h"

namespace {

// The rotation written out step by step, all in extended precision with
// plain casts, one pixel after the other.
TBitmap Referenz(const TBitmap& q, bool vergroessern, double winkel)
{
    const int W = q.Width(), H = q.Height();
    const double theta = double(-(long double)winkel * 3.14159265358979323846264338327950288L / 180.0L);
    int nb = W, nh = H;
    if (vergroessern) {
        const long double st = std::sin(std::fabs((long double)theta)), ct = std::cos(std::fabs((long double)theta));
        nh = int(st * W) + int(ct * H);
        nb = int(st * H) + int(ct * W);
    }
    TBitmap z(nb, nh);
    z.Fill(255, 255, 255);
    const int cx = nb / 2, cy = nh / 2, ex = (nb - W) / 2, ey = (nh - H) / 2;
    const double s = double(std::sin((long double)theta)), c = double(std::cos((long double)theta));
    for (int y = 0; y < nh; ++y)
        for (int x = 0; x < nb; ++x) {
            const int u = 2 * (x - cx) + 1, v = 2 * (y - cy) + 1;
            const double sx = double(((long double)c * u - (long double)s * v - 1) / 2 + cx - ex);
            const double sy = double(((long double)s * u + (long double)c * v - 1) / 2 + cy - ey);
            const int X = int(sx), Y = int(sy);
            if (X < 0 || X >= W || Y < 0 || Y >= H)
                continue;
            const double fx = sx - X, fy = sy - Y;
            const int X1 = Begrenze(X + 1, 0, W - 1), Y1 = Begrenze(Y + 1, 0, H - 1);
            for (int k = 0; k < 3; ++k) {
                const int a = PixelBGR(q, X, Y)[size_t(k)], b = PixelBGR(q, X1, Y)[size_t(k)];
                const int d0 = PixelBGR(q, X, Y1)[size_t(k)], d1 = PixelBGR(q, X1, Y1)[size_t(k)];
                const double top = double((long double)fx * (b - a) + a);
                const double bottom = double((long double)fx * (d1 - d0) + d0);
                const int wert = int((long double)top + (long double)fy * ((long double)bottom - top));
                z.ScanLine(y)[3 * x + k] = BegrenzeByte(wert);
            }
        }
    return z;
}

TEST(DrehenTest, Groesse_VergroessertNachDenGekapptenProdukten)
{
    int b, h;
    DrehenGroesse(100, 50, true, 30, b, h);
    EXPECT_EQ(b, 111);
    EXPECT_EQ(h, 93);
    DrehenGroesse(100, 50, true, 60, b, h);
    EXPECT_EQ(b, 92);
    EXPECT_EQ(h, 110);
    DrehenGroesse(300, 200, true, 90, b, h);
    EXPECT_EQ(b, 200);
    EXPECT_EQ(h, 300);
    // Truncation can trim a column even while "enlarging".
    DrehenGroesse(100, 50, true, 1, b, h);
    EXPECT_EQ(b, 99);
    EXPECT_EQ(h, 50);
    DrehenGroesse(100, 50, false, 30, b, h);
    EXPECT_EQ(b, 100);
    EXPECT_EQ(h, 50);
}

TEST(DrehenTest, Null_GibtDasBildUnveraendertMitUndOhneVergroessern)
{
    const TBitmap q = ZufallsBitmap(37, 23, 1);
    for (bool vergroessern : {false, true}) {
        TBitmap b = q;
        BitmapDrehen(b, vergroessern, 0.0);
        EXPECT_TRUE(PixelGleich(b, q)) << vergroessern;
    }
}

TEST(DrehenTest, Vergroessert_EckenBleibenWeissUndMitteBehaeltFarbe)
{
    TBitmap b = EinfarbBitmap(100, 50, 10, 20, 30);
    BitmapDrehen(b, true, 30);
    ASSERT_EQ(b.Width(), 111);
    ASSERT_EQ(b.Height(), 93);
    for (auto [x, y] : {std::pair{0, 0}, {110, 0}, {0, 92}, {110, 92}})
        EXPECT_EQ(PixelBGR(b, x, y), (std::array<int, 3>{255, 255, 255})) << x << "," << y;
    // Blending equal values is exact.
    EXPECT_EQ(PixelBGR(b, 55, 46), (std::array<int, 3>{10, 20, 30}));
}

TEST(DrehenTest, Ohne_Vergroessern45GradSchneidetEckenAb)
{
    TBitmap b = EinfarbBitmap(100, 100, 10, 20, 30);
    BitmapDrehen(b, false, 45);
    EXPECT_EQ(b.Width(), 100);
    EXPECT_EQ(PixelBGR(b, 0, 0), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(PixelBGR(b, 50, 50), (std::array<int, 3>{10, 20, 30}));
}

TEST(DrehenTest, Neunzig_StimmtImInnernMitDerVierteldrehungUeberein)
{
    // +90 turns clockwise, as the quarter turn of mode 0 does; only the
    // border pixels blend with the white outside.
    const TBitmap q = ZufallsBitmap(30, 20, 2);
    TBitmap gedreht = q;
    BitmapDrehen(gedreht, true, 90);
    TBitmap viertel = q;
    BitmapRotierenSpiegeln(viertel, rsPlus90);
    ASSERT_EQ(gedreht.Width(), viertel.Width());
    ASSERT_EQ(gedreht.Height(), viertel.Height());
    int gleich = 0, innen = 0;
    for (int y = 1; y < gedreht.Height() - 1; ++y)
        for (int x = 1; x < gedreht.Width() - 1; ++x) {
            ++innen;
            const auto a = PixelBGR(gedreht, x, y), b = PixelBGR(viertel, x, y);
            // The cosine of the 64-bit angle is not exactly 0: a value may
            // come out one below the source.
            bool nah = true;
            for (int k = 0; k < 3; ++k)
                nah = nah && std::abs(a[size_t(k)] - b[size_t(k)]) <= 1;
            gleich += nah;
        }
    EXPECT_EQ(gleich, innen);
}

TEST(DrehenTest, Schnell_GleichDerLiteralenRechnungAufZufallsbildern)
{
    unsigned saat = 10;
    for (double winkel : {0.0, 1.0, -7.5, 17.0, 30.0, -45.0, 60.0, 89.9, 90.0, -90.0})
        for (bool vergroessern : {false, true}) {
            const TBitmap q = ZufallsBitmap(23 + int(saat % 7), 17 + int(saat % 5), saat);
            ++saat;
            TBitmap b = q;
            BitmapDrehen(b, vergroessern, winkel, 1);
            EXPECT_TRUE(PixelGleich(b, Referenz(q, vergroessern, winkel))) << winkel << " " << vergroessern;
        }
}

TEST(DrehenTest, Schnell_GleichDerLiteralenRechnungAufGroesserenBildern)
{
    // Random pixels, and flat blocks whose blends land on whole numbers.
    const TBitmap zufall = ZufallsBitmap(203, 151, 21);
    TBitmap bloecke(190, 120);
    for (int y = 0; y < bloecke.Height(); ++y)
        for (int x = 0; x < bloecke.Width(); ++x)
            SetzePixel(bloecke, x, y, (x / 16) * 20, (y / 8) * 15, ((x + y) / 32) * 40);
    for (const TBitmap* q : {&zufall, const_cast<const TBitmap*>(&bloecke)})
        for (double winkel : {30.0, -12.25, 45.0})
            for (int threads : {1, 3}) {
                TBitmap b = *q;
                BitmapDrehen(b, true, winkel, threads);
                EXPECT_TRUE(PixelGleich(b, Referenz(*q, true, winkel))) << q->Width() << " " << winkel;
            }
}

TEST(DrehenTest, Threads_GebenDieselbenBytesWieEiner)
{
    const TBitmap q = ZufallsBitmap(301, 211, 3);
    TBitmap eins = q;
    BitmapDrehen(eins, true, 33.3, 1);
    for (int threads : {2, 7, 16}) {
        TBitmap viele = q;
        BitmapDrehen(viele, true, 33.3, threads);
        EXPECT_TRUE(PixelGleich(eins, viele)) << threads;
    }
}

TEST(DrehenTest, Kleinstbilder_LesenNurImBild)
{
    // The last row and column pair with themselves; under the address
    // checker any read outside would show.
    for (int seite : {2, 3})
        for (bool vergroessern : {false, true}) {
            TBitmap b = ZufallsBitmap(seite, seite, 4);
            const TBitmap q = b;
            BitmapDrehen(b, vergroessern, 17);
            EXPECT_TRUE(PixelGleich(b, Referenz(q, vergroessern, 17))) << seite;
        }
    // Enlarging 1 x 1 by 17 degrees truncates to no canvas at all: the
    // pixel stays as it was.
    TBitmap eins = ZufallsBitmap(1, 1, 5);
    const TBitmap q = eins;
    BitmapDrehen(eins, true, 17);
    EXPECT_TRUE(PixelGleich(eins, q));
}

TEST(DrehenTest, UngueltigeEingaben_LassenDasBildUnveraendert)
{
    const TBitmap q = ZufallsBitmap(8, 6, 5);
    for (double winkel : {std::nan(""), double(INFINITY), 180.0}) {
        TBitmap b = q;
        BitmapDrehen(b, true, winkel);
        EXPECT_TRUE(PixelGleich(b, q)) << winkel;
    }
    TBitmap leer;
    BitmapDrehen(leer, true, 30);
    EXPECT_TRUE(leer.IsEmpty());
}

TEST(DrehenTest, Speichermangel_MeldetFehlschlagUndLaesstDasBild)
{
    // Sizes above 64 MB: smaller blocks may still come from memory the
    // allocator has already reserved.
    // 11000 x 1000 turned by 45 degrees on a grown canvas takes 216 MB.
    TBitmap b = ZufallsBitmap(11000, 1000, 8);
    const TBitmap q(b.Bild().copy());
    bool gedreht = true;
    {
        TSpeicherGrenze grenze(64ul << 20);
        ASSERT_TRUE(grenze.ok);
        gedreht = BitmapDrehen(b, true, 45);
    }
    EXPECT_FALSE(gedreht);
    EXPECT_TRUE(PixelGleich(b, q));

    // A picture of another format whose 24-bit copy (72 MB) cannot be made
    // is not lost either.
    TBitmap anders;
    anders.Bild() = QImage(12000, 2000, QImage::Format_RGB32);
    anders.Bild().fill(qRgb(10, 200, 30));
    const QImage vorher = anders.Bild().copy();
    {
        TSpeicherGrenze grenze(16ul << 20);
        ASSERT_TRUE(grenze.ok);
        gedreht = BitmapDrehen(anders, false, 10);
    }
    EXPECT_FALSE(gedreht);
    EXPECT_EQ(anders.Bild(), vorher);

    TBitmap klein = ZufallsBitmap(30, 20, 9);
    EXPECT_TRUE(BitmapDrehen(klein, true, 45));
    EXPECT_EQ(klein.Width(), 35);
}

TEST(DrehenTest, Speichermangel_OhneThreadsDasselbeBild)
{
    // The turned image fits below the limit, the stacks of 200 threads do
    // not: the bands whose thread cannot start are turned all the same.
    const TBitmap q = ZufallsBitmap(2000, 1000, 10);
    TBitmap erwartet = q;
    ASSERT_TRUE(BitmapDrehen(erwartet, false, 10, 1));
    TBitmap b = q;
    bool gedreht = false;
    {
        TSpeicherGrenze grenze(64ul << 20);
        ASSERT_TRUE(grenze.ok);
        gedreht = BitmapDrehen(b, false, 10, 200);
    }
    EXPECT_TRUE(gedreht);
    EXPECT_TRUE(PixelGleich(b, erwartet));
}

TEST(DrehenTest, Begrenzungen)
{
    EXPECT_EQ(Begrenze(-3, 0, 9), 0);
    EXPECT_EQ(Begrenze(12, 0, 9), 9);
    EXPECT_EQ(Begrenze(4, 0, 9), 4);
    EXPECT_EQ(BegrenzeByte(300), 255);
    EXPECT_EQ(BegrenzeByte(-1), 0);
}

} // namespace
