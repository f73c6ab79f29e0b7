// Filtered and quick resampling: the known cases, the mended failures, and
// the fast paths against literal references on random images.
#include "PixelHilfen.h"
#include "pixelops/Bitmap_QuickSkalieren.h"
#include "pixelops/Bitmap_Skalieren.h"
#include "pixelops/PixelTestnaht.h"
#include <gtest/gtest.h>
#include <cmath>

namespace {

TBitmap Kopie(const TBitmap& b) { return TBitmap(b.Bild().copy()); }

// The resampler word for word: contributors per destination index, a 32-bit
// intermediate, columns walked one by one, sum div total.
struct TLit {
    std::vector<std::pair<int, int>> e;   // weight, pixel
};

std::vector<TLit> ListenLiteral(int n, int d, float f, float (*kern)(float))
{
    const float s = float(n == 1 ? (long double)d / n : (long double)(d - 1) / (n - 1));
    std::vector<TLit> v(static_cast<size_t>(d));
    for (int i = 0; i < d; ++i) {
        const float c = float((long double)i / s);
        int links, rechts;
        if (s >= 1) {
            links = int(std::floor((long double)c - f));
            rechts = int(std::ceil((long double)c + f));
        } else {
            const float w = float((long double)f / s);
            links = int(std::floor((long double)c - w));
            rechts = int(std::ceil((long double)c + w));
        }
        for (int j = links; j <= rechts; ++j) {
            const int g = s >= 1 ? int(std::nearbyintl((long double)kern(float((long double)c - j)) * 256))
                                 : int(std::nearbyintl((long double)kern(float(((long double)c - j) * s)) * s * 256));
            if (g == 0)
                continue;
            int p = j < 0 ? -j : (j >= n ? 2 * n - 1 - j : j);
            p = std::clamp(p, 0, n - 1);
            v[size_t(i)].e.push_back({g, p});
        }
    }
    return v;
}

int PixelLiteral(const TLit& l, const int* kanal)
{
    int gesamt = 0, summe = 0;
    for (auto [g, p] : l.e) {
        gesamt += g;
        summe += g * kanal[p];
    }
    const int w = gesamt != 0 ? summe / gesamt : int(unsigned(summe) >> 8);
    return std::clamp(w, 0, 255);
}

TBitmap SkalierenLiteral(const TBitmap& q, int dw, int dh, uint8_t filter)
{
    float (*kerne[7])(float) = {FilterKasten, FilterDreieck, FilterHermite, FilterGlocke,
                                FilterBSpline, FilterLanczos3, FilterMitchell};
    const float stuetze[7] = {0.5f, 1, 1, 1.5f, 2, 3, 2};
    const int sw = q.Width(), sh = q.Height();
    const auto spalten = ListenLiteral(sw, dw, stuetze[filter], kerne[filter]);
    const auto zeilen = ListenLiteral(sh, dh, stuetze[filter], kerne[filter]);
    std::vector<uint8_t> zw(size_t(dw) * sh * 4);
    std::vector<int> kanal(size_t(std::max(sw, sh)));
    for (int y = 0; y < sh; ++y)
        for (int c = 0; c < 3; ++c) {
            for (int x = 0; x < sw; ++x)
                kanal[size_t(x)] = q.ScanLine(y)[3 * x + c];
            for (int i = 0; i < dw; ++i)
                zw[(size_t(y) * dw + i) * 4 + c] = uint8_t(PixelLiteral(spalten[size_t(i)], kanal.data()));
        }
    TBitmap z(dw, dh);
    for (int x = 0; x < dw; ++x)
        for (int c = 0; c < 3; ++c) {
            for (int y = 0; y < sh; ++y)
                kanal[size_t(y)] = zw[(size_t(y) * dw + x) * 4 + c];
            for (int r = 0; r < dh; ++r)
                z.ScanLine(r)[3 * x + c] = uint8_t(PixelLiteral(zeilen[size_t(r)], kanal.data()));
        }
    return z;
}

TBitmap QuickLiteral(const TBitmap& q, int dw, int dh)
{
    const int sw = q.Width(), sh = q.Height();
    if (sw == dw && sh == dh)
        return Kopie(q);
    TBitmap z(dw, dh);
    const int xs = MulDiv(sw - 1, 65536, dw), ys = MulDiv(sh - 1, 65536, dh);
    int Y = 0;
    for (int r = 0; r < dh; ++r, Y += ys) {
        const int y = Y >> 16;
        const uint8_t* o = q.ScanLine(y);
        const uint8_t* u = q.ScanLine(y >= sh - 1 ? y : y + 1);
        const int fy = Y & 65535, wt = 65536 - fy, wb = fy + 1;
        int X = 0;
        for (int i = 0; i < dw; ++i, X += xs) {
            const int x = X >> 16, x1 = std::min(x + 1, sw - 1), fx = X & 65535;
            const int G = MulDiv(fx, wt, 65536), H = MulDiv(fx, wb, 65536);
            for (int c = 0; c < 3; ++c)
                z.ScanLine(r)[3 * i + c] = uint8_t(unsigned((wt - G) * o[3 * x + c] + G * o[3 * x1 + c] +
                                                            (wb - H) * u[3 * x + c] + H * u[3 * x1 + c]) >> 16);
        }
    }
    return z;
}

struct TMelder {
    int anzahl = 0;
    QString text;
    TMelder()
    {
        SkalierenFehlerMelden = [this](const QString& t) {
            ++anzahl;
            text = t;
        };
    }
    ~TMelder() { SkalierenFehlerMelden = nullptr; }
};

} // namespace

TEST(Filter, KernwerteAnDenStuetzstellen)
{
    EXPECT_EQ(FilterKasten(0.5f), 1.0f);
    EXPECT_EQ(FilterKasten(-0.5f), 0.0f);
    EXPECT_EQ(FilterDreieck(0.25f), 0.75f);
    EXPECT_EQ(FilterDreieck(-1.0f), 0.0f);
    EXPECT_EQ(FilterHermite(0.5f), 0.5f);
    EXPECT_EQ(FilterGlocke(0.0f), 0.75f);
    EXPECT_EQ(FilterGlocke(1.0f), 0.125f);
    EXPECT_FLOAT_EQ(FilterBSpline(0.0f), 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(FilterBSpline(1.0f), 1.0f / 6.0f);
    EXPECT_EQ(FilterLanczos3(0.0f), 1.0f);
    EXPECT_NEAR(FilterLanczos3(1.0f), 0.0f, 1e-6f);
    EXPECT_LT(FilterLanczos3(1.5f), 0.0f);
    EXPECT_FLOAT_EQ(FilterMitchell(0.0f), 16.0f / 18.0f);
    EXPECT_FLOAT_EQ(FilterMitchell(1.0f), 1.0f / 18.0f);
    EXPECT_EQ(FilterMitchell(2.0f), 0.0f);
    EXPECT_EQ(Kardinalsinus(0.0f), 1.0f);
    EXPECT_NEAR(Kardinalsinus(0.5f), 2.0 / M_PI, 1e-7);
}

TEST(Skalieren, KastenVergroessertDreiAufFuenfMitLinkemPixelAufDerHaelfte)
{
    TBitmap b = GrauZeile({10, 20, 30}, 2);
    ASSERT_TRUE(BitmapSkalieren(b, 5, 2, 0, FilterNrKasten));
    EXPECT_EQ(ZeileLesen(b, 0), (std::vector<int>{10, 10, 20, 20, 30}));
    EXPECT_EQ(ZeileLesen(b, 1, 2), (std::vector<int>{10, 10, 20, 20, 30}));
}

TEST(Skalieren, DreieckVerkleinertVierAufZwei)
{
    const auto l = BeitraegeBerechnen(4, 2, 0, FilterNrDreieck);
    // Weights Round((1 - |d| / 3) / 3 * 256) within 3 of the centre, mirrored.
    int gesamt = 0;
    for (const TBeitrag& b : l[0].Beitrag)
        gesamt += b.Gewicht;
    EXPECT_EQ(gesamt, 255);
    EXPECT_EQ(l[0].Beitrag[size_t(l[0].Anzahl / 2)].Gewicht, 85);
    TBitmap b = GrauZeile({0, 100, 200, 255}, 2);
    BitmapSkalieren(b, 2, 2, 0, FilterNrDreieck);
    EXPECT_EQ(ZeileLesen(b), (std::vector<int>{88, 219}));
}

TEST(Skalieren, MitchellMitNegativenGewichtenUndSpiegelung)
{
    TBitmap b = GrauZeile({0, 255}, 2);
    BitmapSkalieren(b, 3, 2, 0, FilterNrMitchell);
    EXPECT_EQ(ZeileLesen(b), (std::vector<int>{27, 118, 241}));
}

TEST(Skalieren, UeberschwingenWirdBegrenzt)
{
    // A hard edge overshoots with Lanczos3 and Mitchell on both sides: the
    // bytes clamp instead of wrapping around.
    for (uint8_t f : {FilterNrLanczos3, FilterNrMitchell}) {
        const TBitmap kante = GrauZeile({0, 0, 0, 255, 255, 255}, 3);
        TBitmap b = Kopie(kante);
        BitmapSkalieren(b, 17, 3, 0, f);
        EXPECT_TRUE(Gleich(b, SkalierenLiteral(kante, 17, 3, f))) << int(f);
        const auto z = ZeileLesen(b);
        EXPECT_EQ(z.front(), 0);
        EXPECT_EQ(z.back(), 255);
        // Next to the edge the sums fall below 0 (-30, -8) and rise above
        // 255 (285, 263).
        EXPECT_EQ(z[5], 0) << int(f);
        EXPECT_EQ(z[11], 255) << int(f);
    }
}

TEST(Skalieren, EinfarbigBleibtEinfarbigMitJedemFilter)
{
    for (uint8_t f = 0; f <= 6; ++f)
        for (auto [w, h, dw, dh] : {std::array{10, 7, 23, 4}, std::array{23, 4, 10, 7}, std::array{2, 2, 9, 9}}) {
            for (int v : {77, 255}) {
                TBitmap b = Einfarbig(w, h, uint8_t(v));
                ASSERT_TRUE(BitmapSkalieren(b, dw, dh, 0, f));
                EXPECT_EQ(b.Width(), dw);
                EXPECT_EQ(b.Height(), dh);
                EXPECT_TRUE(IstEinfarbig(b, v)) << int(f) << " " << w << "->" << dw << " " << v;
            }
        }
}

TEST(Skalieren, StarkeVerkleinerungBleibtEinfarbigStattSchwarz)
{
    for (uint8_t f : {FilterNrKasten, FilterNrDreieck, FilterNrLanczos3}) {
        TBitmap b = Einfarbig(1000, 3, 180);
        ASSERT_TRUE(BitmapSkalieren(b, 2, 3, 0, f));
        EXPECT_TRUE(IstEinfarbig(b, 180)) << int(f);
    }
    TBitmap b = Einfarbig(3, 600, 40);
    BitmapSkalieren(b, 3, 2, 0, FilterNrDreieck);
    EXPECT_TRUE(IstEinfarbig(b, 40));
}

TEST(Skalieren, EinePixelseiteNimmtDieMittellinie)
{
    TMelder melder;
    TBitmap b = GrauZeile({0, 0, 90, 0, 0}, 5);
    ASSERT_TRUE(BitmapSkalieren(b, 1, 5, 0, FilterNrKasten));
    EXPECT_EQ(melder.anzahl, 0);
    ASSERT_EQ(b.Width(), 1);
    ASSERT_EQ(b.Height(), 5);
    // The window around the centre spans the whole row: its box average.
    EXPECT_EQ(ZeileLesen(b, 2)[0], 18);
    EXPECT_EQ(ZeileLesen(b, 0)[0], 18);
    // Lanczos3 over the whole row still keeps a uniform row uniform.
    TBitmap e = Einfarbig(6, 6, 33);
    ASSERT_TRUE(BitmapSkalieren(e, 1, 1));
    EXPECT_TRUE(IstEinfarbig(e, 33));
}

TEST(Skalieren, EinzeiligeQuelleUndZielWerdenNormalSkaliert)
{
    TMelder melder;
    TBitmap b = GrauZeile({0, 100, 200});
    ASSERT_TRUE(BitmapSkalieren(b, 5, 1, 0, FilterNrDreieck));
    EXPECT_EQ(ZeileLesen(b), (std::vector<int>{0, 50, 100, 150, 200}));
    TBitmap h = GrauZeile({0, 100, 200}, 4);
    ASSERT_TRUE(BitmapSkalieren(h, 3, 1, 0, FilterNrDreieck));
    EXPECT_EQ(ZeileLesen(h), (std::vector<int>{0, 100, 200}));
    TBitmap e = GrauZeile({50});
    ASSERT_TRUE(BitmapSkalieren(e, 4, 3));
    EXPECT_TRUE(IstEinfarbig(e, 50));
    EXPECT_EQ(melder.anzahl, 0);
}

TEST(Skalieren, FehlschlagLaesstDasBildUnveraendertUndMeldetEinmal)
{
    TMelder melder;
    std::mt19937 z(2);
    const TBitmap a = ZufallsBitmap(20, 10, z);
    TBitmap b = Kopie(a);
    // Far beyond any memory: the intermediate alone would be terabytes.
    EXPECT_FALSE(BitmapSkalieren(b, 2000000000, 900000000));
    EXPECT_EQ(melder.anzahl, 1);
    EXPECT_EQ(melder.text, QStringLiteral("Fehler beim Skalieren. Zielbild zu groß."));
    EXPECT_TRUE(Gleich(a, b));
    EXPECT_EQ(b.Bild().format(), QImage::Format_BGR888);
    // An absurd support cannot be weighed in 32 bits.
    EXPECT_FALSE(BitmapSkalieren(b, 30, 30, 1e30f, FilterNrKasten));
    EXPECT_EQ(melder.anzahl, 2);
    EXPECT_TRUE(Gleich(a, b));
}

TEST(Skalieren, SchnellGleichLiteralAufZufallsbildernMitJederThreadzahl)
{
    std::mt19937 z(21);
    // Sizes around the vector widths: rows of 16-byte chunks and a tail,
    // destination rows of 32-byte chunks and a tail, odd and even tap counts.
    const std::array<std::array<int, 4>, 7> groessen{{{13, 11, 29, 17},
                                                      {40, 31, 9, 7},
                                                      {7, 9, 30, 5},
                                                      {50, 3, 12, 8},
                                                      {2, 5, 11, 4},
                                                      {203, 37, 61, 45},
                                                      {16, 64, 75, 19}}};
    for (uint8_t f = 0; f <= 6; ++f)
        for (const auto& g : groessen) {
            const TBitmap a = ZufallsBitmap(g[0], g[1], z);
            const TBitmap literal = SkalierenLiteral(a, g[2], g[3], f);
            for (bool avx2 : {true, false})
                for (int threads : {1, 3, 16}) {
                    SkalierenAvx2Erlaubt = avx2;
                    TBitmap b = Kopie(a);
                    ASSERT_TRUE(BitmapSkalieren(b, g[2], g[3], 0, f, threads));
                    EXPECT_TRUE(Gleich(b, literal))
                        << int(f) << " " << g[0] << "x" << g[1] << " t" << threads << " avx2 " << avx2;
                }
            SkalierenAvx2Erlaubt = true;
        }
}

TEST(Skalieren, BeitragslistenGleichMitJederThreadzahl)
{
    for (uint8_t f : {FilterNrLanczos3, FilterNrMitchell}) {
        const auto eins = BeitraegeBerechnen(5000, 1237, 0, f, 1);
        const auto acht = BeitraegeBerechnen(5000, 1237, 0, f, 8);
        ASSERT_EQ(eins.size(), acht.size());
        for (size_t i = 0; i < eins.size(); ++i) {
            ASSERT_EQ(eins[i].Anzahl, acht[i].Anzahl) << i;
            for (int k = 0; k < eins[i].Anzahl; ++k) {
                EXPECT_EQ(eins[i].Beitrag[size_t(k)].Gewicht, acht[i].Beitrag[size_t(k)].Gewicht);
                EXPECT_EQ(eins[i].Beitrag[size_t(k)].Pixel, acht[i].Beitrag[size_t(k)].Pixel);
            }
        }
    }
    // A window too wide fails as a whole, whichever band meets it.
    EXPECT_THROW(BeitraegeBerechnen(3000, 2000, 1e30f, FilterNrKasten, 8), std::length_error);
}

TEST(Skalieren, NullgroesseGibtLeeresBild)
{
    TBitmap b = Einfarbig(4, 4, 9);
    EXPECT_TRUE(BitmapSkalieren(b, 0, 4));
    EXPECT_TRUE(b.IsEmpty());
}

TEST(QuickSkalieren, BekannteWerte)
{
    EXPECT_EQ(MulDiv(1, 65536, 4), 16384);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
    EXPECT_EQ(MulDiv(1 << 30, 8, 2), -1);
    TBitmap b = GrauZeile({0, 255});
    BitmapQuickSkalieren(b, 4, 1);
    EXPECT_EQ(ZeileLesen(b), (std::vector<int>{0, 63, 127, 191}));
    TBitmap q(2, 2);
    std::fill_n(q.ScanLine(0), 6, uint8_t(0));
    std::fill_n(q.ScanLine(0) + 3, 3, uint8_t(255));
    std::fill_n(q.ScanLine(1), 3, uint8_t(255));
    std::fill_n(q.ScanLine(1) + 3, 3, uint8_t(0));
    BitmapQuickSkalieren(q, 4, 4);
    EXPECT_EQ(ZeileLesen(q, 0), (std::vector<int>{0, 63, 127, 191}));
    EXPECT_EQ(ZeileLesen(q, 1), (std::vector<int>{63, 95, 127, 159}));
    EXPECT_EQ(ZeileLesen(q, 2), (std::vector<int>{127, 127, 127, 127}));
    EXPECT_EQ(ZeileLesen(q, 3, 1), (std::vector<int>{191, 159, 127, 95}));
}

TEST(QuickSkalieren, GleicheGroesseUndEinfarbig)
{
    std::mt19937 z(4);
    const TBitmap a = ZufallsBitmap(9, 8, z);
    TBitmap b = Kopie(a);
    BitmapQuickSkalieren(b, 9, 8);
    EXPECT_TRUE(Gleich(a, b));
    for (auto [dw, dh] : {std::pair{30, 2}, std::pair{3, 25}, std::pair{1, 1}, std::pair{200, 1}}) {
        TBitmap w = Einfarbig(7, 5, 255);
        BitmapQuickSkalieren(w, dw, dh);
        EXPECT_TRUE(IstEinfarbig(w, 255)) << dw << "x" << dh;
    }
    // A one-pixel source: x + 1 stays inside the row.
    TBitmap e = Einfarbig(1, 1, 17);
    BitmapQuickSkalieren(e, 5, 3);
    EXPECT_TRUE(IstEinfarbig(e, 17));
}

TEST(QuickSkalieren, SchnellGleichLiteralAufZufallsbildern)
{
    std::mt19937 z(8);
    for (auto g : {std::array{13, 11, 29, 17}, std::array{40, 31, 9, 7}, std::array{3, 2, 50, 41}}) {
        const TBitmap a = ZufallsBitmap(g[0], g[1], z);
        const TBitmap literal = QuickLiteral(a, g[2], g[3]);
        for (int threads : {1, 4}) {
            TBitmap b = Kopie(a);
            BitmapQuickSkalieren(b, g[2], g[3], threads);
            EXPECT_TRUE(Gleich(b, literal)) << g[0] << " t" << threads;
        }
    }
}
