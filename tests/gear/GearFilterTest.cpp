#include "gear/GearBaender.h"
#include "gear/GearFilter.h"
#include "gear/GearTestnaht.h"
#include <gtest/gtest.h>
#include <QSet>
#include <functional>
#include <random>

namespace {

TGearSeite Bild24(int w, int h, const std::function<QRgb(int, int)>& farbe)
{
    TGearSeite s;
    s.bild = QImage(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.bild.setPixel(x, y, farbe(x, y));
    s.bpp = 24;
    return s;
}

TGearSeite Einfarbig(int w, int h, QRgb c)
{
    return Bild24(w, h, [&](int, int) { return c; });
}

TGearSeite Rauschen(int w, int h, unsigned saat)
{
    std::mt19937 z(saat);
    return Bild24(w, h, [&](int, int) { return qRgb(int(z() % 256), int(z() % 256), int(z() % 256)); });
}

QRgb P(const TGearSeite& s, int x, int y) { return s.bild.pixel(x, y) & 0xFFFFFF; }
int Rot(const TGearSeite& s, int x, int y) { return qRed(s.bild.pixel(x, y)); }

QRgb GrauWert(int v) { return qRgb(v, v, v) & 0xFFFFFF; }

// Grey 0 left of column 8, 40 from there on.
TGearSeite SenkrechteKante() { return Bild24(16, 8, [](int x, int) { return x < 8 ? qRgb(0, 0, 0) : qRgb(40, 40, 40); }); }
TGearSeite WaagrechteKante() { return Bild24(8, 16, [](int, int y) { return y < 8 ? qRgb(0, 0, 0) : qRgb(40, 40, 40); }); }

// The value of every interior pixel, by column (the edge maps here change across x only).
std::vector<int> Spalten(const TGearSeite& s, int y)
{
    std::vector<int> v;
    for (int x = 0; x < s.bild.width(); ++x)
        v.push_back(Rot(s, x, y));
    return v;
}

void ErwarteVierundzwanzig(const TGearSeite& s, int w, int h)
{
    EXPECT_EQ(s.bpp, 24);
    EXPECT_EQ(s.bild.format(), QImage::Format_BGR888);
    EXPECT_EQ(s.bild.size(), QSize(w, h));
}

}   // namespace

// ---------------------------------------------------------------- edge maps

TEST(GearFilter, EdgeMap_GleichfoermigGibtSchwarz)
{
    for (int n = 1; n <= 8; ++n) {
        TGearSeite s = Einfarbig(7, 5, qRgb(90, 140, 200));
        GearEdgeMap(s, n);
        ErwarteVierundzwanzig(s, 7, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(P(s, x, y), 0u) << n;
    }
}

TEST(GearFilter, EdgeMap_SenkrechteKanteJeKern)
{
    const std::vector<int> null(16, 0);
    auto spalten = [](std::initializer_list<std::pair<int, int>> werte) {
        std::vector<int> v(16, 0);
        for (auto [x, w] : werte)
            v[x] = w;
        return v;
    };
    const std::pair<int, std::vector<int>> erwartet[] = {
        {1, spalten({{7, 120}, {8, 120}})},   // Prewitt: 3 x 40
        {2, spalten({{7, 57}})},              // Roberts: sqrt(40^2 + 40^2)
        {3, spalten({{7, 160}, {8, 160}})},   // Sobel: 4 x 40
        {4, spalten({{7, 40}, {8, 40}})},     // Laplacian
        {5, null},                            // horizontal edges only
        {6, spalten({{7, 120}, {8, 120}})},   // vertical
        {7, spalten({{7, 80}, {8, 80}})},     // both diagonals see two of three
        {8, spalten({{7, 80}, {8, 80}})},
    };
    for (const auto& [n, werte] : erwartet) {
        TGearSeite s = SenkrechteKante();
        GearEdgeMap(s, n);
        for (int y = 1; y < 7; ++y)
            EXPECT_EQ(Spalten(s, y), werte) << "Kern " << n << " Zeile " << y;
        EXPECT_EQ(qGreen(s.bild.pixel(7, 3)), qRed(s.bild.pixel(7, 3)));
    }
}

TEST(GearFilter, EdgeMap_WaagrechteKante)
{
    TGearSeite h = WaagrechteKante(), v = WaagrechteKante();
    GearEdgeMap(h, 5);
    GearEdgeMap(v, 6);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(Rot(h, x, 7), 120);
        EXPECT_EQ(Rot(h, x, 8), 120);
        EXPECT_EQ(Rot(h, x, 3), 0);
        EXPECT_EQ(Rot(v, x, 7), 0);
    }
}

TEST(GearFilter, EdgeMap_DiagonalenUnterscheidenSich)
{
    // An edge running like "\": only the negative diagonal answers.
    auto bild = [] { return Bild24(16, 16, [](int x, int y) { return x > y ? qRgb(40, 40, 40) : qRgb(0, 0, 0); }); };
    TGearSeite positiv = bild(), negativ = bild();
    GearEdgeMap(positiv, 7);
    GearEdgeMap(negativ, 8);
    for (int i = 2; i < 14; ++i) {
        EXPECT_EQ(Rot(positiv, i, i), 0);
        EXPECT_EQ(Rot(positiv, i + 1, i), 0);
        EXPECT_EQ(Rot(negativ, i, i), 120);
    }
}

TEST(GearFilter, EdgeMap_KraeftigeKanteBegrenztAuf255)
{
    TGearSeite s = Bild24(8, 4, [](int x, int) { return x < 4 ? qRgb(0, 0, 0) : qRgb(255, 255, 255); });
    GearEdgeMap(s, 3);
    EXPECT_EQ(Rot(s, 3, 2), 255);
    EXPECT_EQ(Rot(s, 0, 2), 0);
}

TEST(GearFilter, EdgeMap_PalettenseiteWirdVierundzwanzigBit)
{
    TGearSeite s;
    s.bild = QImage(6, 6, QImage::Format_Indexed8);
    s.bild.setColorTable({qRgb(0, 0, 0), qRgb(40, 40, 40)});
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            s.bild.setPixel(x, y, x >= 3);
    s.bpp = 1;
    GearEdgeMap(s, 6);
    ErwarteVierundzwanzig(s, 6, 6);
    EXPECT_EQ(Rot(s, 2, 3), 120);
}

TEST(GearFilter, EdgeMap_UnbekannteNummerAendertNichts)
{
    TGearSeite s = SenkrechteKante();
    const QImage vorher = s.bild;
    GearEdgeMap(s, 0);
    GearEdgeMap(s, 9);
    EXPECT_EQ(s.bild, vorher);
}

// ---------------------------------------------------------------- relief

TEST(GearFilter, Emboss_FlaechenWerdenMittelgrau)
{
    TGearSeite s = Einfarbig(9, 9, qRgb(200, 30, 60));
    GearEmboss(s, 20, 4);
    ErwarteVierundzwanzig(s, 9, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(P(s, x, y), GrauWert(128));
}

TEST(GearFilter, Emboss_KanteQuerZumLichtHebtSichAb)
{
    TGearSeite quer = SenkrechteKante(), laengs = SenkrechteKante();
    GearEmboss(quer, 20, 4);     // light along the rows
    GearEmboss(laengs, 20, 2);   // light along the columns
    // Step 40 at strength 20 gives 2 x 40 away from middle grey, on both sides of the edge.
    EXPECT_EQ(P(quer, 7, 4), GrauWert(128 - 80));
    EXPECT_EQ(P(quer, 8, 4), GrauWert(128 - 80));
    EXPECT_EQ(P(quer, 3, 4), GrauWert(128));
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(P(laengs, x, 4), GrauWert(128));
    TGearSeite gegen = SenkrechteKante();
    GearEmboss(gegen, 20, 0);   // light from the other side
    EXPECT_EQ(P(gegen, 7, 4), GrauWert(128 + 80));
}

TEST(GearFilter, Stitch_FlaechenBehaltenIhreFarbe)
{
    TGearSeite s = Einfarbig(9, 9, qRgb(200, 30, 60));
    GearStitch(s, 20, 4);
    ErwarteVierundzwanzig(s, 9, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(P(s, x, y), qRgb(200, 30, 60) & 0xFFFFFF);
}

TEST(GearFilter, Stitch_KanteWirdHellUndDunkel)
{
    TGearSeite s = Bild24(16, 8, [](int x, int) { return x < 8 ? qRgb(100, 100, 100) : qRgb(140, 140, 140); });
    GearStitch(s, 20, 0);
    EXPECT_EQ(P(s, 3, 4), GrauWert(100));
    EXPECT_EQ(P(s, 7, 4), GrauWert(140));   // 100 lit by the step of 40
    EXPECT_EQ(P(s, 8, 4), GrauWert(180));
    EXPECT_EQ(P(s, 12, 4), GrauWert(140));
}

// ---------------------------------------------------------------- motion, blur

TEST(GearFilter, Motion_PunktZiehtSpurInRichtung)
{
    auto punkt = [] { return Bild24(60, 60, [](int x, int y) { return x == 20 && y == 20 ? qRgb(255, 255, 255) : qRgb(0, 0, 0); }); };
    TGearSeite ost = punkt();
    GearMotion(ost, 15, 0);
    ErwarteVierundzwanzig(ost, 60, 60);
    for (int x = 0; x < 60; ++x)
        EXPECT_EQ(Rot(ost, x, 20), x >= 20 && x < 35 ? 17 : 0) << x;   // 255 / 15
    EXPECT_EQ(Rot(ost, 22, 19), 0);
    EXPECT_EQ(Rot(ost, 22, 21), 0);

    TGearSeite suedost = punkt();
    GearMotion(suedost, 15, 7);
    for (int k = 0; k < 15; ++k)
        EXPECT_EQ(Rot(suedost, 20 + k, 20 + k), 17) << k;
    EXPECT_EQ(Rot(suedost, 20 + 15, 20 + 15), 0);
    EXPECT_EQ(Rot(suedost, 22, 20), 0);
    EXPECT_EQ(Rot(suedost, 19, 19), 0);
}

TEST(GearFilter, Motion_AmRandZaehlenNurPixelImBild)
{
    TGearSeite s = Bild24(30, 3, [](int x, int) { return x == 0 ? qRgb(210, 210, 210) : qRgb(0, 0, 0); });
    GearMotion(s, 15, 0);
    EXPECT_EQ(Rot(s, 0, 1), 210);       // alone in its window
    EXPECT_EQ(Rot(s, 6, 1), 210 / 7);   // seven pixels inside
    EXPECT_EQ(Rot(s, 14, 1), 14);
    EXPECT_EQ(Rot(s, 15, 1), 0);
}

TEST(GearFilter, Motion_GleichfoermigBleibt)
{
    TGearSeite s = Einfarbig(20, 20, qRgb(10, 200, 77));
    GearMotion(s, 15, 7);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(P(s, x, y), qRgb(10, 200, 77) & 0xFFFFFF);
}

TEST(GearFilter, Blur_PunktVerteiltSichNachAllenSeitenGleich)
{
    TGearSeite s = Bild24(31, 31, [](int x, int y) { return x == 15 && y == 15 ? qRgb(255, 255, 255) : qRgb(0, 0, 0); });
    GearBlur(s, 2);
    ErwarteVierundzwanzig(s, 31, 31);
    EXPECT_LT(Rot(s, 15, 15), 255);
    EXPECT_GT(Rot(s, 16, 15), 0);
    int summe = 0;
    for (int d = 1; d < 8; ++d) {
        EXPECT_EQ(Rot(s, 15 + d, 15), Rot(s, 15 - d, 15)) << d;
        EXPECT_EQ(Rot(s, 15, 15 + d), Rot(s, 15 + d, 15)) << d;
        EXPECT_LE(Rot(s, 15 + d, 15), Rot(s, 14 + d, 15));
    }
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 31; ++x)
            summe += Rot(s, x, y);
    EXPECT_NEAR(summe, 255, 40);
}

TEST(GearFilter, Blur_GleichfoermigBleibt)
{
    TGearSeite s = Einfarbig(12, 5, qRgb(3, 130, 250));
    GearBlur(s, 2);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(P(s, x, y), qRgb(3, 130, 250) & 0xFFFFFF);
}

// ---------------------------------------------------------------- posterize

TEST(GearFilter, Posterize_FuenfStufenJeKanal)
{
    TGearSeite s = Bild24(256, 1, [](int x, int) { return qRgb(x, 255 - x, x / 2); });
    GearPosterize(s, 5);
    ErwarteVierundzwanzig(s, 256, 1);
    const QSet<int> stufen = {0, 64, 128, 191, 255};
    for (int x = 0; x < 256; ++x) {
        const QRgb c = s.bild.pixel(x, 0);
        EXPECT_TRUE(stufen.contains(qRed(c)) && stufen.contains(qGreen(c)) && stufen.contains(qBlue(c))) << x;
        EXPECT_LE(std::abs(qRed(c) - x), 32) << x;
        if (x) {
            EXPECT_GE(qRed(c), qRed(s.bild.pixel(x - 1, 0)));
        }
    }
}

// ---------------------------------------------------------------- twist, glass

TEST(GearFilter, Twist_DrehtDieMitteUndLaesstDieEcken)
{
    auto haelften = [] { return Bild24(41, 41, [](int x, int) { return x < 20 ? qRgb(0, 0, 0) : qRgb(255, 255, 255); }); };
    TGearSeite s = haelften();
    GearTwist(s, 6, 1);
    ErwarteVierundzwanzig(s, 41, 41);
    // Half a turn near the centre brings the black half to the right.
    EXPECT_LT(Rot(s, 22, 20), 64);
    EXPECT_GT(Rot(s, 18, 20), 192);
    EXPECT_EQ(Rot(s, 0, 0), 0);
    EXPECT_EQ(Rot(s, 40, 40), 255);

    TGearSeite ohne = haelften();
    GearTwist(ohne, 0, 1);
    EXPECT_EQ(ohne.bild, haelften().bild);
}

TEST(GearFilter, Strukturglas_JedeKachelZeigtIhrUmfeldVerkleinert)
{
    // Tiles of 16 pixels at strength 6: column x shows column 2x - tile middle.
    TGearSeite s = Bild24(64, 4, [](int x, int) { return qRgb(x * 4, 0, 0); });
    GearTwist(s, 6, 4);
    ErwarteVierundzwanzig(s, 64, 4);
    auto erwartet = [](int x) { return std::clamp(2 * x - ((x / 16) * 16 + 8), 0, 63) * 4; };
    for (int x = 0; x < 64; ++x)
        EXPECT_EQ(Rot(s, x, 2), erwartet(x)) << x;
    EXPECT_EQ(Rot(s, 24, 0), 24 * 4);   // the middle of a tile stays
    EXPECT_EQ(Rot(s, 20, 0), 16 * 4);
}

// ---------------------------------------------------------------- diffuse

TEST(GearFilter, Diffuse_GroesseTiefeUndNurVorhandeneFarben)
{
    TGearSeite s = Rauschen(30, 20, 4);
    QSet<QRgb> vorher;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            vorher.insert(P(s, x, y));
    GearDiffuse(s, 4);
    ErwarteVierundzwanzig(s, 30, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_TRUE(vorher.contains(P(s, x, y)));
}

// ---------------------------------------------------------------- all filters

namespace {
struct TFilter {
    const char* name;
    std::function<void(TGearSeite&, const TFortschritt&)> lauf;
};
std::vector<TFilter> AlleFilter()
{
    std::vector<TFilter> f = {
        {"Emboss", [](TGearSeite& s, const TFortschritt& p) { GearEmboss(s, 20, 4, p); }},
        {"Diffuse", [](TGearSeite& s, const TFortschritt& p) { GearDiffuse(s, 4, p); }},
        {"Motion", [](TGearSeite& s, const TFortschritt& p) { GearMotion(s, 15, 7, p); }},
        {"Stitch", [](TGearSeite& s, const TFortschritt& p) { GearStitch(s, 20, 4, p); }},
        {"Posterize", [](TGearSeite& s, const TFortschritt& p) { GearPosterize(s, 5, p); }},
        {"Twist", [](TGearSeite& s, const TFortschritt& p) { GearTwist(s, 6, 1, p); }},
        {"Strukturglas", [](TGearSeite& s, const TFortschritt& p) { GearTwist(s, 6, 4, p); }},
        {"Blur", [](TGearSeite& s, const TFortschritt& p) { GearBlur(s, 2, p); }},
    };
    for (int n = 1; n <= 8; ++n)
        f.push_back({"EdgeMap", [n](TGearSeite& s, const TFortschritt& p) { GearEdgeMap(s, n, p); }});
    return f;
}
}   // namespace

TEST(GearFilter, Filter_EinPixelUndSchmaleBilder)
{
    for (const auto& f : AlleFilter()) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 9}, std::pair{9, 1}, std::pair{2, 2}}) {
            TGearSeite s = Rauschen(w, h, 8);
            f.lauf(s, {});
            ErwarteVierundzwanzig(s, w, h);
        }
    }
}

TEST(GearFilter, Filter_LeereSeiteBleibtLeer)
{
    for (const auto& f : AlleFilter()) {
        TGearSeite s;
        f.lauf(s, {});
        EXPECT_TRUE(s.Leer()) << f.name;
    }
}

TEST(GearFilter, Fortschritt_SteigendUndSparsam)
{
    for (const auto& f : AlleFilter()) {
        TGearSeite s = Rauschen(200, 150, 6);
        std::vector<int> werte;
        f.lauf(s, [&](int p) { werte.push_back(p); });
        ASSERT_FALSE(werte.empty()) << f.name;
        EXPECT_LE(werte.size(), 40u) << f.name;
        EXPECT_EQ(werte.back(), 100) << f.name;
        for (size_t i = 1; i < werte.size(); ++i)
            EXPECT_GT(werte[i], werte[i - 1]) << f.name;
    }
}

TEST(GearFilter, Baender_ThreadsGebenDasselbeBild)
{
    for (const auto& f : AlleFilter()) {
        TGearSeite eins = Rauschen(97, 83, 5), mehr = eins;
        ZeilenBaenderErzwingen(1);
        f.lauf(eins, {});
        ZeilenBaenderErzwingen(5);
        f.lauf(mehr, {});
        ZeilenBaenderErzwingen(0);
        EXPECT_EQ(eins.bild, mehr.bild) << f.name;
    }
}
