#include "AnzeigeLayout.h"
#include <gtest/gtest.h>

namespace {

TAnzeigeLage Lage(int w, int h, int bw, int bh, bool einpassen, double zoom = 1.0)
{
    TAnzeigeLage l;
    l.BildBreite = w;
    l.BildHoehe = h;
    l.BoxBreite = bw;
    l.BoxHoehe = bh;
    l.Einpassen = einpassen;
    l.ZoomFaktor = zoom;
    return l;
}

} // namespace

TEST(AnzeigeLayout, EinpassenBreitesBildFuelltDieBreite)
{
    const auto e = AnzeigeLayoutBerechnen(Lage(1000, 500, 400, 400, true));
    ASSERT_TRUE(e.Gueltig);
    EXPECT_EQ(e.Breite, 400);
    EXPECT_EQ(e.Hoehe, 200);
    EXPECT_DOUBLE_EQ(e.ZoomFaktor, 0.4);
    EXPECT_EQ(e.Links, 0);
    EXPECT_EQ(e.Oben, 100);
}

TEST(AnzeigeLayout, EinpassenGleichesVerhaeltnisNimmtDieHoehe)
{
    // r = b: the height branch, so the factor comes from the heights.
    const auto e = AnzeigeLayoutBerechnen(Lage(800, 400, 400, 200, true));
    EXPECT_EQ(e.Breite, 400);
    EXPECT_EQ(e.Hoehe, 200);
    EXPECT_DOUBLE_EQ(e.ZoomFaktor, 200.0 / 400.0);
    const auto hoch = AnzeigeLayoutBerechnen(Lage(300, 900, 400, 400, true));
    EXPECT_EQ(hoch.Hoehe, 400);
    EXPECT_EQ(hoch.Breite, 133);
    EXPECT_EQ(hoch.Links, 134);   // (400 - 133) / 2 = 133.5, to the even 134
    EXPECT_EQ(hoch.Oben, 0);
}

TEST(AnzeigeLayout, EinpassenVergroessertKleineBilderNicht)
{
    const auto e = AnzeigeLayoutBerechnen(Lage(100, 50, 400, 400, true, 0.3));
    EXPECT_EQ(e.Breite, 100);
    EXPECT_EQ(e.Hoehe, 50);
    EXPECT_DOUBLE_EQ(e.ZoomFaktor, 1.0);
    EXPECT_EQ(e.Links, 150);
    EXPECT_EQ(e.Oben, 175);
}

TEST(AnzeigeLayout, LeeresBildOderBoxOhneFlaecheAendertNichts)
{
    EXPECT_FALSE(AnzeigeLayoutBerechnen(Lage(0, 0, 400, 400, true)).Gueltig);
    EXPECT_FALSE(AnzeigeLayoutBerechnen(Lage(100, 100, 0, 400, false)).Gueltig);
    EXPECT_FALSE(AnzeigeLayoutBerechnen(Lage(100, 100, 400, 0, true)).Gueltig);
}

TEST(AnzeigeLayout, FesterZoomRundetDieGroesse)
{
    auto l = Lage(333, 201, 1000, 1000, false, 0.5);
    l.AltBreite = 333;
    l.AltHoehe = 201;
    const auto e = AnzeigeLayoutBerechnen(l);
    EXPECT_EQ(e.Breite, 166);   // 166.5 to the even 166
    EXPECT_EQ(e.Hoehe, 100);    // 100.5 to the even 100
    EXPECT_DOUBLE_EQ(e.ZoomFaktor, 0.5);
    EXPECT_EQ(e.Links, 417);
    EXPECT_EQ(e.Oben, 450);
}

TEST(AnzeigeLayout, WinzigesBildBeiWinzigemZoomWirdZweiMalZwei)
{
    auto l = Lage(1, 1, 400, 300, false, 0.05);
    l.AltBreite = 1;
    l.AltHoehe = 1;
    const auto e = AnzeigeLayoutBerechnen(l);
    ASSERT_TRUE(e.Gueltig);
    EXPECT_EQ(e.Breite, 2);
    EXPECT_EQ(e.Hoehe, 2);
    EXPECT_EQ(e.Links, 199);
    EXPECT_EQ(e.Oben, 149);
    // Also when the box is narrower than the minimum, where the cursor counts.
    auto eng = Lage(1, 1, 1, 1, false, 0.05);
    eng.AltBreite = 2;
    eng.AltHoehe = 2;
    const auto e2 = AnzeigeLayoutBerechnen(eng);
    EXPECT_EQ(e2.Breite, 2);
    EXPECT_GE(e2.Links, -1);
    EXPECT_LE(e2.Links, 0);
}

TEST(AnzeigeLayout, ZoomBehaeltDenPunktUnterDerMaus)
{
    // Box 400 wide, image 1000 wide, from 50 % (display 500, Left -50) to
    // 100 % with the cursor at box x 200, display x 250.
    auto l = Lage(1000, 100, 400, 400, false, 1.0);
    l.AltBreite = 500;
    l.AltHoehe = 50;
    l.MausBoxX = 200;
    l.MausX = 250;
    const auto e = AnzeigeLayoutBerechnen(l);
    EXPECT_EQ(e.Breite, 1000);
    EXPECT_EQ(e.Links, -300);
}

TEST(AnzeigeLayout, LinksUndObenBleibenZwischenBoxMinusGroesseUndNull)
{
    auto l = Lage(1000, 1000, 400, 300, false, 1.0);
    l.AltBreite = 500;
    l.AltHoehe = 500;
    l.MausBoxX = 390;   // the cursor near the right edge, on the image's far right
    l.MausX = 499;
    l.MausBoxY = 0;
    l.MausY = 0;
    auto e = AnzeigeLayoutBerechnen(l);
    EXPECT_EQ(e.Links, -600);
    EXPECT_EQ(e.Oben, 0);
    l.MausBoxX = 300;
    l.MausX = 10;       // would pull the image right of the box's left edge
    l.MausBoxY = 290;
    l.MausY = 499;
    e = AnzeigeLayoutBerechnen(l);
    EXPECT_EQ(e.Links, 0);
    EXPECT_EQ(e.Oben, -700);
}

TEST(AnzeigeLayout, OhneVorigeGroesseBleibtDieLage)
{
    auto l = Lage(1000, 1000, 400, 400, false, 1.0);
    l.MausBoxX = 100;
    l.MausX = 150;   // the display stood at -50
    const auto e = AnzeigeLayoutBerechnen(l);
    EXPECT_EQ(e.Links, -50);
}

TEST(AnzeigeLayout, MausradSchritteUndEinrasten)
{
    const double hoch = MausradZoom(1.0, 120);
    EXPECT_NEAR(hoch, 1.1667, 1e-4);
    EXPECT_DOUBLE_EQ(MausradZoom(hoch, -120), 1.0);   // 1.0208 snaps
    const double runter = MausradZoom(1.0, -120);
    EXPECT_DOUBLE_EQ(runter, 0.875);
    EXPECT_DOUBLE_EQ(MausradZoom(runter, 120), 1.0);
    // One step whatever the size of the delta.
    EXPECT_DOUBLE_EQ(MausradZoom(2.0, 1), MausradZoom(2.0, 960));
    EXPECT_DOUBLE_EQ(MausradZoom(2.0, 0), 2.0);
}

TEST(AnzeigeLayout, MausradBleibtZwischenFuenfHundertstelUndZehn)
{
    EXPECT_DOUBLE_EQ(MausradZoom(0.05, -120), 0.05);
    EXPECT_DOUBLE_EQ(MausradZoom(10.0, 120), 10.0);
    EXPECT_DOUBLE_EQ(MausradZoom(9.0, 120), 10.0);
    EXPECT_DOUBLE_EQ(MausradZoom(0.055, -120), 0.05);
}

TEST(AnzeigeLayout, PanBleibtImBildUndRuhtWoEsPasst)
{
    EXPECT_EQ(PanPosition(-100, 30, 400, 1000), -70);
    EXPECT_EQ(PanPosition(-100, 500, 400, 1000), 0);
    EXPECT_EQ(PanPosition(-100, -900, 400, 1000), -600);
    EXPECT_EQ(PanPosition(150, 40, 400, 100), 150);
    EXPECT_EQ(PanPosition(0, 40, 400, 400), 0);
}
