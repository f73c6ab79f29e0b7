#include "gear/GearBaender.h"
#include "gear/GearFarbtiefe.h"
#include "gear/GearPalette.h"
#include "gear/GearTestnaht.h"
#include <gtest/gtest.h>
#include <QSet>
#include <cmath>
#include <functional>
#include <random>

namespace {

TGearSeite Seite24(int w, int h, const std::function<QRgb(int, int)>& farbe)
{
    TGearSeite s;
    s.bild = QImage(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.bild.setPixel(x, y, farbe(x, y));
    s.bpp = 24;
    return s;
}

TGearSeite Grau(int w, int h, int wert)
{
    return Seite24(w, h, [&](int, int) { return qRgb(wert, wert, wert); });
}

TGearSeite Zufall(int w, int h, unsigned saat)
{
    std::mt19937 z(saat);
    return Seite24(w, h, [&](int, int) { return qRgb(int(z() % 256), int(z() % 256), int(z() % 256)); });
}

QRgb Farbe(const TGearSeite& s, int x, int y) { return s.bild.pixel(x, y) & 0xFFFFFF; }

QSet<QRgb> Farben(const TGearSeite& s)
{
    QSet<QRgb> m;
    for (int y = 0; y < s.bild.height(); ++y)
        for (int x = 0; x < s.bild.width(); ++x)
            m.insert(Farbe(s, x, y));
    return m;
}

double WeissAnteil(const TGearSeite& s)
{
    int weiss = 0;
    for (int y = 0; y < s.bild.height(); ++y)
        for (int x = 0; x < s.bild.width(); ++x)
            weiss += Farbe(s, x, y) == 0xFFFFFF;
    return double(weiss) / (s.bild.width() * s.bild.height());
}

// Changes between neighbours along the rows, per pixel.
double Wechsel(const TGearSeite& s)
{
    int n = 0;
    for (int y = 0; y < s.bild.height(); ++y)
        for (int x = 1; x < s.bild.width(); ++x)
            n += Farbe(s, x, y) != Farbe(s, x - 1, y);
    return double(n) / (s.bild.width() * s.bild.height());
}

QRgb Ohne(QRgb c) { return c & 0xFFFFFF; }

void ErwarteSchwarzWeiss(const TGearSeite& s)
{
    EXPECT_EQ(s.bpp, 1);
    ASSERT_EQ(s.bild.format(), QImage::Format_Indexed8);
    ASSERT_EQ(s.bild.colorCount(), 2);
    EXPECT_EQ(Ohne(s.bild.color(0)), 0x000000u);
    EXPECT_EQ(Ohne(s.bild.color(1)), 0xFFFFFFu);
}

TGearSeite Verlauf() { return Seite24(64, 16, [](int x, int y) { return qRgb(x * 4, y * 16, 255 - x * 4); }); }

}   // namespace

// ---------------------------------------------------------------- 1 bit

TEST(GearFarbtiefe, DiffusionMono_VerlaufGibtSchwarzWeiss)
{
    TGearSeite s = Verlauf();
    GearDiffusionMono(s);
    ErwarteSchwarzWeiss(s);
}

TEST(GearFarbtiefe, DiffusionMono_FlachesMittelgrauWirdHalbWeiss)
{
    TGearSeite s = Grau(64, 64, 128);
    GearDiffusionMono(s);
    ErwarteSchwarzWeiss(s);
    EXPECT_NEAR(WeissAnteil(s), 128.0 / 255, 0.03);
}

TEST(GearFarbtiefe, DiffusionMono_HellesGrauGibtPassendenWeissAnteil)
{
    TGearSeite s = Grau(64, 64, 192);
    GearDiffusionMono(s);
    EXPECT_NEAR(WeissAnteil(s), 192.0 / 255, 0.03);
}

namespace {
bool Periode8(const TGearSeite& s)
{
    for (int y = 0; y + 8 < s.bild.height(); ++y)
        for (int x = 0; x + 8 < s.bild.width(); ++x)
            if (Farbe(s, x, y) != Farbe(s, x + 8, y + 8))
                return false;
    return true;
}
}   // namespace

TEST(GearFarbtiefe, DiffusionMono_DunklesGrauOhneFestesRaster)
{
    // Error diffusion places its dots by the running error, not by a repeating screen.
    TGearSeite s = Grau(64, 64, 20);
    GearDiffusionMono(s);
    EXPECT_NEAR(WeissAnteil(s), 20.0 / 255, 0.01);
    EXPECT_FALSE(Periode8(s));
}

TEST(GearFarbtiefe, DiffusionMono_EinBitSeiteBehaeltIhreZweiFarben)
{
    TGearSeite s;
    s.bild = QImage(8, 4, QImage::Format_Indexed8);
    s.bild.setColorTable({qRgb(200, 0, 0), qRgb(0, 0, 200)});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            s.bild.setPixel(x, y, (x + y) & 1);
    s.bpp = 1;
    const QImage vorher = s.bild;
    GearDiffusionMono(s);
    EXPECT_EQ(s.bpp, 1);
    EXPECT_EQ(s.bild, vorher);
}

TEST(GearFarbtiefe, DiffusionMono_ZweifarbigesBildBehaeltSeineFarben)
{
    // The working bitmap of a 1-bit image comes back as 24 bits; the undo push reduces it again.
    TGearSeite s = Seite24(9, 5, [](int x, int y) { return (x * y) % 3 ? qRgb(200, 0, 0) : qRgb(0, 0, 200); });
    const TGearSeite vorher = s;
    GearDiffusionMono(s);
    EXPECT_EQ(s.bpp, 1);
    EXPECT_EQ(s.bild.colorCount(), 2);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(Farbe(s, x, y), Farbe(vorher, x, y));
}

TEST(GearFarbtiefe, HalftoneMono_FlachesGrauBildetPunkthaufen)
{
    TGearSeite s = Grau(64, 64, 128);
    GearHalftoneMono(s);
    ErwarteSchwarzWeiss(s);
    EXPECT_NEAR(WeissAnteil(s), 0.5, 0.02);
    EXPECT_LT(Wechsel(s), 0.3);
    // The screen repeats every 8 pixels.
    for (int y = 0; y < 56; ++y)
        for (int x = 0; x < 56; ++x)
            ASSERT_EQ(Farbe(s, x, y), Farbe(s, x + 8, y + 8));
}

TEST(GearFarbtiefe, BayerMono_FlachesGrauStreutFein)
{
    TGearSeite s = Grau(64, 64, 128);
    GearBayerMono(s);
    ErwarteSchwarzWeiss(s);
    EXPECT_NEAR(WeissAnteil(s), 0.5, 0.02);
    EXPECT_GT(Wechsel(s), 0.9);   // a checkerboard at half grey
    TGearSeite dunkel = Grau(64, 64, 100);
    GearBayerMono(dunkel);
    EXPECT_TRUE(Periode8(dunkel));
}

TEST(GearFarbtiefe, BayerMono_StufenFolgenDemGrau)
{
    for (int grau : {0, 32, 64, 96, 160, 224, 255}) {
        TGearSeite s = Grau(16, 16, grau);
        GearBayerMono(s);
        EXPECT_NEAR(WeissAnteil(s), grau / 255.0, 1.0 / 32) << grau;
    }
}

TEST(GearFarbtiefe, MonoOrdnung_SchwarzUndWeissBleiben)
{
    for (auto f : {GearHalftoneMono, GearBayerMono}) {
        TGearSeite schwarz = Grau(16, 16, 0), weiss = Grau(16, 16, 255);
        f(schwarz, {});
        f(weiss, {});
        EXPECT_EQ(WeissAnteil(schwarz), 0.0);
        EXPECT_EQ(WeissAnteil(weiss), 1.0);
    }
}

// ---------------------------------------------------------------- 4 bit, standard palette

TEST(GearFarbtiefe, DiffusionColor_StandardpaletteUndVierBit)
{
    TGearSeite s = Verlauf();
    GearDiffusionColor(s);
    EXPECT_EQ(s.bpp, 4);
    ASSERT_EQ(s.bild.format(), QImage::Format_Indexed8);
    EXPECT_EQ(s.bild.colorTable(), StandardPalette16());
}

TEST(GearFarbtiefe, DiffusionColor_MischtZwischenfarbeAusNachbarn)
{
    TGearSeite s = Seite24(48, 48, [](int, int) { return qRgb(255, 160, 0); });
    GearDiffusionColor(s);
    EXPECT_GE(Farben(s).size(), 2);
    double g = 0, r = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            g += qGreen(s.bild.pixel(x, y));
            r += qRed(s.bild.pixel(x, y));
        }
    EXPECT_NEAR(g / (48 * 48), 160, 4);
    EXPECT_NEAR(r / (48 * 48), 255, 4);
}

TEST(GearFarbtiefe, DiffusionColor_PalettenfarbeBleibtExakt)
{
    TGearSeite s = Seite24(10, 10, [](int, int) { return qRgb(0, 128, 128); });
    GearDiffusionColor(s);
    EXPECT_EQ(Farben(s), QSet<QRgb>{0x008080u});
}

TEST(GearFarbtiefe, BayerColor_NurEckfarbenImAchterRaster)
{
    TGearSeite s = Verlauf();
    GearBayerColor(s);
    EXPECT_EQ(s.bpp, 4);
    EXPECT_EQ(s.bild.colorTable(), StandardPalette16());
    for (QRgb c : Farben(s))
        for (int kanal : {qRed(c), qGreen(c), qBlue(c)})
            EXPECT_TRUE(kanal == 0 || kanal == 255) << std::hex << c;

    TGearSeite orange = Seite24(32, 32, [](int, int) { return qRgb(255, 128, 0); });
    GearBayerColor(orange);
    int gruen = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            EXPECT_EQ(qRed(orange.bild.pixel(x, y)), 255);
            EXPECT_EQ(qBlue(orange.bild.pixel(x, y)), 0);
            gruen += qGreen(orange.bild.pixel(x, y)) == 255;
            if (x < 24 && y < 24) {
                ASSERT_EQ(orange.bild.pixelIndex(x, y), orange.bild.pixelIndex(x + 8, y + 8));
            }
        }
    EXPECT_EQ(gruen, 32 * 32 / 2);
}

// ---------------------------------------------------------------- octree

TEST(GearFarbtiefe, Octree_WenigeFarbenBleibenExakt)
{
    std::mt19937 z(7);
    QList<QRgb> farben;
    for (int i = 0; i < 200; ++i)
        farben.append(qRgb(int(z() % 256), int(z() % 256), int(z() % 256)));
    TGearSeite s = Seite24(40, 30, [&](int x, int y) { return farben[(x * 7 + y * 13) % 200]; });
    const TGearSeite vorher = s;
    GearOctree(s, 8, 256);
    EXPECT_EQ(s.bpp, 8);
    ASSERT_EQ(s.bild.format(), QImage::Format_Indexed8);
    EXPECT_LE(s.bild.colorCount(), 256);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(Farbe(s, x, y), Farbe(vorher, x, y));
}

TEST(GearFarbtiefe, Octree_VieleFarbenHoechstensN)
{
    for (auto [bits, n] : {std::pair{4, 16}, std::pair{8, 256}, std::pair{1, 2}}) {
        TGearSeite s = Zufall(80, 60, 3);
        const TGearSeite vorher = s;
        GearOctree(s, bits, n);
        EXPECT_EQ(s.bpp, bits);
        EXPECT_LE(s.bild.colorCount(), n);
        EXPECT_LE(Farben(s).size(), n);
        // Each pixel lands on a colour of its own region of the colour cube.
        double fehler = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 80; ++x) {
                const QRgb a = Farbe(s, x, y), b = Farbe(vorher, x, y);
                fehler += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            }
        EXPECT_LT(fehler / (80 * 60 * 3), 128.0 / std::cbrt(n)) << bits;
    }
}

TEST(GearFarbtiefe, Octree_SeltenerTonVerschmilztMitNachbarn)
{
    // 16 frequent colours plus one rare shade one step from the first.
    QList<QRgb> haeufig;
    for (int i = 0; i < 16; ++i)
        haeufig.append(qRgb((i & 1) ? 200 : 40, (i & 2) ? 200 : 40, ((i & 4) ? 200 : 40) + ((i & 8) ? 20 : 0)));
    TGearSeite s = Seite24(32, 32, [&](int x, int y) {
        if (x == 5 && y == 5)
            return qRgb(41, 40, 40);
        return haeufig[(x / 8) + 4 * (y / 8)];
    });
    GearOctree(s, 4, 16);
    EXPECT_EQ(s.bpp, 4);
    const QSet<QRgb> ergebnis = Farben(s);
    EXPECT_EQ(ergebnis.size(), 16);
    for (int i = 1; i < 16; ++i)
        EXPECT_TRUE(ergebnis.contains(haeufig[i] & 0xFFFFFF)) << i;
    EXPECT_EQ(Farbe(s, 5, 5), Farbe(s, 0, 0));
    EXPECT_NEAR(qRed(Farbe(s, 0, 0)), 40, 1);
}

TEST(GearFarbtiefe, Octree_ZweiHaufenGebenIhreMittel)
{
    // A dark cluster spread over many histogram cells and one bright colour:
    // the tree folds the whole cluster into its mean.
    std::mt19937 z(17);
    uint64_t summe[3] = {};
    int n = 0;
    TGearSeite s = Seite24(40, 40, [&](int x, int y) {
        if (x >= 20)
            return qRgb(220, 210, 200);
        const int r = int(z() % 100), g = int(z() % 100), b = int(z() % 100);
        summe[0] += r;
        summe[1] += g;
        summe[2] += b;
        ++n;
        return qRgb(r, g, b);
    });
    GearOctree(s, 1, 2);
    EXPECT_EQ(s.bpp, 1);
    const QRgb mittel = qRgb(int((summe[0] + n / 2) / n), int((summe[1] + n / 2) / n), int((summe[2] + n / 2) / n));
    EXPECT_EQ(Farben(s), (QSet<QRgb>{mittel & 0xFFFFFF, 0xDCD2C8u}));
}

TEST(GearFarbtiefe, Octree_OhneDitherHarteStufe)
{
    TGearSeite s = Seite24(256, 8, [](int x, int) { return qRgb(x, x, x); });
    GearOctree(s, 1, 2);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(Farbe(s, x, y), x < 128 ? 0x404040u : 0xC0C0C0u) << x;
}

TEST(GearFarbtiefe, Octree_ZweifarbigesBildAufAchtBitBehaeltFarben)
{
    TGearSeite s = Seite24(12, 12, [](int x, int y) { return (x + y) % 3 ? qRgb(10, 20, 30) : qRgb(250, 240, 5); });
    GearOctree(s, 8, 256);
    EXPECT_EQ(s.bpp, 8);
    EXPECT_EQ(Farben(s), (QSet<QRgb>{0x0A141Eu, 0xFAF005u}));
    EXPECT_EQ(Farbe(s, 1, 0), 0x0A141Eu);
    EXPECT_EQ(Farbe(s, 0, 0), 0xFAF005u);
}

// ---------------------------------------------------------------- median cut

TEST(GearFarbtiefe, MedianCut_ZweiHaufenGebenIhreMittel)
{
    std::mt19937 z(11);
    uint64_t summe[2][3] = {};
    TGearSeite s = Seite24(40, 40, [&](int x, int y) {
        const int k = x < 20 ? 0 : 1;
        const int r = (k ? 200 : 20) + int(z() % 20), g = 60 + int(z() % 10), b = (k ? 40 : 200) + int(z() % 9);
        summe[k][0] += r;
        summe[k][1] += g;
        summe[k][2] += b;
        return qRgb(r, g, b);
    });
    GearMedianCut(s, 2);
    EXPECT_EQ(s.bpp, 8);
    QSet<QRgb> erwartet;
    for (auto& k : summe) {
        const int n = 20 * 40;
        erwartet.insert(qRgb(int((k[0] + n / 2) / n), int((k[1] + n / 2) / n), int((k[2] + n / 2) / n)) & 0xFFFFFF);
    }
    QSet<QRgb> palette;
    for (QRgb c : s.bild.colorTable())
        palette.insert(c & 0xFFFFFF);
    EXPECT_EQ(palette, erwartet);
    for (int y = 0; y < 40; ++y)
        EXPECT_NE(Farbe(s, 0, y), Farbe(s, 39, y));
}

TEST(GearFarbtiefe, MedianCut_VerteiltDenFehler)
{
    // A grey ramp on two colours: the error diffusion keeps the mean of every column.
    TGearSeite s = Seite24(256, 64, [](int x, int) { return qRgb(x, x, x); });
    GearMedianCut(s, 2);
    const QList<QRgb> palette = s.bild.colorTable();
    ASSERT_EQ(palette.size(), 2);
    const int dunkel = std::min(qRed(palette[0]), qRed(palette[1]));
    const int hell = std::max(qRed(palette[0]), qRed(palette[1]));
    int gemischt = 0;
    for (int x = dunkel + 8; x < hell - 8; x += 4) {
        double mittel = 0;
        for (int y = 0; y < 64; ++y)
            mittel += qRed(s.bild.pixel(x, y));
        mittel /= 64;
        EXPECT_NEAR(mittel, x, 24) << x;
        ++gemischt;
    }
    EXPECT_GT(gemischt, 10);
}

TEST(GearFarbtiefe, MedianCut_VieleFarbenAufAchtBit)
{
    TGearSeite s = Zufall(100, 80, 5);
    GearMedianCut(s, 256);
    EXPECT_EQ(s.bpp, 8);
    EXPECT_LE(s.bild.colorCount(), 256);
    EXPECT_GT(s.bild.colorCount(), 128);
}

// ---------------------------------------------------------------- popularity

TEST(GearFarbtiefe, Popularity_HaeufigsteFarbenExakt)
{
    // Eight frequent colours in blocks; 400 rare ones far from them in the colour cube.
    const QList<QRgb> haeufig = {qRgb(10, 10, 10),  qRgb(250, 10, 10),  qRgb(10, 250, 10),  qRgb(10, 10, 250),
                                 qRgb(90, 90, 10), qRgb(10, 90, 170), qRgb(170, 10, 90), qRgb(250, 250, 250)};
    std::mt19937 z(13);
    TGearSeite s = Seite24(64, 64, [&](int x, int y) {
        if (y >= 48)
            return qRgb(128 + int(z() % 64), 128 + int(z() % 64), 128 + int(z() % 64));
        return haeufig[x / 8];
    });
    GearPopularity(s, 8);
    EXPECT_EQ(s.bpp, 8);
    QSet<QRgb> palette, erwartet;
    for (QRgb c : s.bild.colorTable())
        palette.insert(c & 0xFFFFFF);
    for (QRgb c : haeufig)
        erwartet.insert(c & 0xFFFFFF);
    EXPECT_EQ(palette, erwartet);
    for (int x = 0; x < 64; ++x)
        EXPECT_EQ(Farbe(s, x, 20), haeufig[x / 8] & 0xFFFFFF);
}

TEST(GearFarbtiefe, Popularity_OhneDitherBleibtDerVerlaufStufig)
{
    TGearSeite s = Seite24(256, 16, [](int x, int) { return qRgb(x, x, x); });
    GearPopularity(s, 4);
    EXPECT_LE(s.bild.colorCount(), 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 1; x < 256; ++x)
            ASSERT_GE(qRed(s.bild.pixel(x, y)), qRed(s.bild.pixel(x - 1, y)));
}

TEST(GearFarbtiefe, Popularity_WenigeFarbenBleibenExakt)
{
    // 256 colours in only four cells of the histogram: all of them stay.
    TGearSeite s = Seite24(16, 16, [](int x, int y) { return qRgb(x, y, 7); });
    GearPopularity(s, 256);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(Farbe(s, x, y), qRgb(x, y, 7) & 0xFFFFFF);
}

// ---------------------------------------------------------------- promotion, grey

namespace {
TGearSeite Palettenseite(int bpp)
{
    TGearSeite s;
    s.bild = QImage(6, 5, QImage::Format_Indexed8);
    s.bild.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50), qRgb(0, 255, 0)});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            s.bild.setPixel(x, y, (x + 2 * y) % (bpp == 1 ? 2 : 3));
    s.bpp = bpp;
    return s;
}
}   // namespace

TEST(GearFarbtiefe, PromoteColor_VierundzwanzigBehaeltPixel)
{
    TGearSeite s = Palettenseite(4);
    const TGearSeite vorher = s;
    GearPromoteColor(s, 24);
    EXPECT_EQ(s.bpp, 24);
    EXPECT_EQ(s.bild.format(), QImage::Format_BGR888);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(Farbe(s, x, y), Farbe(vorher, x, y));
}

TEST(GearFarbtiefe, PromoteColor_AchtBehaeltPaletteUndPixel)
{
    TGearSeite s = Palettenseite(1);
    const QImage vorher = s.bild;
    GearPromoteColor(s, 8);
    EXPECT_EQ(s.bpp, 8);
    EXPECT_EQ(s.bild, vorher);
    EXPECT_EQ(s.bild.colorTable(), vorher.colorTable());
}

TEST(GearFarbtiefe, PromoteColor_NichtHoeherTutNichts)
{
    TGearSeite s = Palettenseite(8);
    const QImage vorher = s.bild;
    GearPromoteColor(s, 4);
    EXPECT_EQ(s.bpp, 8);
    GearPromoteColor(s, 8);
    EXPECT_EQ(s.bpp, 8);
    EXPECT_EQ(s.bild, vorher);
    TGearSeite voll = Verlauf();
    GearPromoteColor(voll, 8);
    EXPECT_EQ(voll.bpp, 24);
    EXPECT_EQ(voll.bild.format(), QImage::Format_BGR888);
}

TEST(GearFarbtiefe, Grau_AchtBitGraupalette)
{
    TGearSeite s = Seite24(3, 1, [](int x, int) { return x == 0 ? qRgb(255, 0, 0) : x == 1 ? qRgb(90, 90, 90) : qRgb(0, 0, 255); });
    GearGrau(s);
    EXPECT_EQ(s.bpp, 8);
    ASSERT_EQ(s.bild.colorCount(), 256);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(Ohne(s.bild.color(i)), Ohne(qRgb(i, i, i)));
    EXPECT_EQ(s.bild.pixelIndex(0, 0), 77);   // red weighs 0.30
    EXPECT_EQ(s.bild.pixelIndex(1, 0), 90);
    EXPECT_EQ(s.bild.pixelIndex(2, 0), 29);
}

// ---------------------------------------------------------------- all methods

namespace {
struct TVerfahren {
    const char* name;
    std::function<void(TGearSeite&, const TFortschritt&)> lauf;
    int bpp;
};
std::vector<TVerfahren> AlleVerfahren()
{
    return {
        {"DiffusionMono", [](TGearSeite& s, const TFortschritt& f) { GearDiffusionMono(s, f); }, 1},
        {"HalftoneMono", [](TGearSeite& s, const TFortschritt& f) { GearHalftoneMono(s, f); }, 1},
        {"BayerMono", [](TGearSeite& s, const TFortschritt& f) { GearBayerMono(s, f); }, 1},
        {"DiffusionColor", [](TGearSeite& s, const TFortschritt& f) { GearDiffusionColor(s, f); }, 4},
        {"BayerColor", [](TGearSeite& s, const TFortschritt& f) { GearBayerColor(s, f); }, 4},
        {"Octree4", [](TGearSeite& s, const TFortschritt& f) { GearOctree(s, 4, 16, f); }, 4},
        {"Octree8", [](TGearSeite& s, const TFortschritt& f) { GearOctree(s, 8, 256, f); }, 8},
        {"MedianCut", [](TGearSeite& s, const TFortschritt& f) { GearMedianCut(s, 256, f); }, 8},
        {"Popularity", [](TGearSeite& s, const TFortschritt& f) { GearPopularity(s, 256, f); }, 8},
        {"Grau", [](TGearSeite& s, const TFortschritt& f) { GearGrau(s, f); }, 8},
    };
}
}   // namespace

TEST(GearFarbtiefe, Reduktion_EinPixelUndSchmaleBilder)
{
    for (const auto& v : AlleVerfahren()) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 9}, std::pair{9, 1}}) {
            TGearSeite s = Zufall(w, h, 1);
            v.lauf(s, {});
            EXPECT_EQ(s.bpp, v.bpp) << v.name << " " << w << "x" << h;
            EXPECT_EQ(s.bild.size(), QSize(w, h)) << v.name;
            EXPECT_LE(s.bild.colorCount(), 1 << v.bpp) << v.name;
        }
    }
}

TEST(GearFarbtiefe, Reduktion_PalettenseiteAlsEingabe)
{
    for (const auto& v : AlleVerfahren()) {
        TGearSeite s = Palettenseite(8);
        v.lauf(s, {});
        EXPECT_EQ(s.bpp, v.bpp) << v.name;
        EXPECT_EQ(s.bild.format(), QImage::Format_Indexed8) << v.name;
        EXPECT_LE(s.bild.colorCount(), 1 << v.bpp) << v.name;
    }
}

TEST(GearFarbtiefe, Reduktion_LeereSeiteBleibtLeer)
{
    for (const auto& v : AlleVerfahren()) {
        TGearSeite s;
        v.lauf(s, {});
        EXPECT_TRUE(s.Leer()) << v.name;
    }
}

TEST(GearFarbtiefe, Fortschritt_SteigendUndSparsam)
{
    for (const auto& v : AlleVerfahren()) {
        TGearSeite s = Zufall(300, 200, 2);
        std::vector<int> werte;
        v.lauf(s, [&](int p) { werte.push_back(p); });
        ASSERT_FALSE(werte.empty()) << v.name;
        EXPECT_LE(werte.size(), 40u) << v.name;
        for (size_t i = 0; i < werte.size(); ++i) {
            EXPECT_GE(werte[i], 0);
            EXPECT_LE(werte[i], 100);
            if (i) {
                EXPECT_GT(werte[i], werte[i - 1]) << v.name;
            }
        }
    }
}

TEST(GearFarbtiefe, Baender_ThreadsGebenDasselbeBild)
{
    for (const auto& v : AlleVerfahren()) {
        TGearSeite eins = Zufall(131, 97, 9), mehr = eins;
        ZeilenBaenderErzwingen(1);
        v.lauf(eins, {});
        ZeilenBaenderErzwingen(4);
        v.lauf(mehr, {});
        ZeilenBaenderErzwingen(0);
        EXPECT_EQ(eins.bild, mehr.bild) << v.name;
        EXPECT_EQ(eins.bild.colorTable(), mehr.bild.colorTable()) << v.name;
    }
}
