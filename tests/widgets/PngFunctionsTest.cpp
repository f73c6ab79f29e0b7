#include <QPainter>
#include <gtest/gtest.h>
#include "PngTestHilfen.h"
#include "widgets/PngFunctions.h"
#include "widgets/PngImageList.h"

namespace {

TPNGObject Laden(const TPngBau& bau)
{
    TPNGObject png;
    EXPECT_TRUE(png.LoadFromData(PngSchreiben(bau)));
    return png;
}

TPNGObject Rgba(std::vector<uint8_t> alpha)
{
    TPngBau bau{PNG_COLOR_TYPE_RGBA, 8, int(alpha.size()), 1, {}};
    for (uint8_t a : alpha)
        bau.daten.insert(bau.daten.end(), {200, 100, 50, a});
    return Laden(bau);
}

std::vector<int> Alpha(const TPNGObject& png)
{
    const uint8_t* a = png.AlphaScanline(0);
    return a ? std::vector<int>(a, a + png.Width()) : std::vector<int>();
}

} // namespace

TEST(PngFunctionsTest, FadePng_HalbiertAlphaMitGeraderRundung)
{
    TPNGObject png = Rgba({255, 3, 1, 0, 5, 128});
    FadePng(png, 127);
    // 255 * 128 / 256 = 127.5 -> 128; 1.5 -> 2; 0.5 -> 0; 2.5 -> 2; 64.
    EXPECT_EQ(Alpha(png), (std::vector<int>{128, 2, 0, 0, 2, 64}));
    EXPECT_EQ(png.Pixel(0, 0), qRgb(200, 100, 50));
}

TEST(PngFunctionsTest, FadePng_RgbBekommtAlpha128)
{
    TPngBau bau{PNG_COLOR_TYPE_RGB, 8, 2, 1, {1, 2, 3, 4, 5, 6}};
    TPNGObject png = Laden(bau);
    FadePng(png, 127);
    EXPECT_EQ(png.ColorType(), COLOR_RGBALPHA);
    EXPECT_EQ(Alpha(png), (std::vector<int>{128, 128}));
}

TEST(PngFunctionsTest, FadePng_PaletteUndGrauBekommenAlpha127UndTransparenzNull)
{
    TPngBau palette{PNG_COLOR_TYPE_PALETTE, 8, 3, 1, {0, 1, 2}};
    palette.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    palette.trnsAlpha = {255, 0};
    TPNGObject png = Laden(palette);
    FadePng(png, 127);
    EXPECT_EQ(png.ColorType(), COLOR_RGBALPHA);
    EXPECT_EQ(Alpha(png), (std::vector<int>{127, 0, 127}));
    EXPECT_EQ(png.Pixel(2, 0), qRgb(0, 0, 255));

    TPngBau grau{PNG_COLOR_TYPE_GRAY, 8, 2, 1, {30, 60}};
    grau.trnsFarbe = Farbe16(0, 0, 0, 60);
    png = Laden(grau);
    FadePng(png, 127);
    EXPECT_EQ(Alpha(png), (std::vector<int>{127, 0}));
    EXPECT_EQ(png.Pixel(0, 0), qRgb(30, 30, 30));
}

TEST(PngFunctionsTest, GreyPng_MachtFarbenGrauNachLuminanz)
{
    TPngBau bau{PNG_COLOR_TYPE_RGBA, 8, 3, 1, {0, 255, 0, 77, 0, 0, 255, 255, 255, 255, 255, 9}};
    TPNGObject png = Laden(bau);
    GreyPng(png, 255);
    EXPECT_EQ(png.Pixel(0, 0), qRgb(150, 150, 150));
    EXPECT_EQ(png.Pixel(1, 0), qRgb(28, 28, 28));
    EXPECT_EQ(png.Pixel(2, 0), qRgb(255, 255, 255));
    EXPECT_EQ(Alpha(png), (std::vector<int>{77, 255, 9}));   // alpha untouched
}

TEST(PngFunctionsTest, GreyPng_TeilweiseMischtFarbeUndGrau)
{
    TPngBau bau{PNG_COLOR_TYPE_RGB, 8, 1, 1, {0, 255, 0}};
    TPNGObject png = Laden(bau);
    GreyPng(png, 127);
    // Round(255/256*128) + Round(150/256*128) = 128 + 75; Round(0) + 75.
    EXPECT_EQ(png.Pixel(0, 0), qRgb(75, 203, 75));
}

TEST(PngFunctionsTest, GreyPng_GrauBildBleibtByteGleichPaletteWirdGrau)
{
    TPngBau grau{PNG_COLOR_TYPE_GRAY_ALPHA, 8, 2, 1, {10, 20, 30, 40}};
    grau.gamma = 0.5;
    TPNGObject png = Laden(grau);
    const QByteArray vorher = png.SaveToData();
    GreyPng(png, 255);
    EXPECT_EQ(png.SaveToData(), vorher);

    TPngBau palette{PNG_COLOR_TYPE_PALETTE, 8, 1, 1, {0}};
    palette.palette = {{0, 0, 255}};
    png = Laden(palette);
    GreyPng(png, 255);
    EXPECT_EQ(png.ColorType(), COLOR_PALETTE);
    EXPECT_EQ(png.Palette().value(0) & 0xFFFFFF, qRgb(28, 28, 28) & 0xFFFFFF);
}

TEST(PngFunctionsTest, DrawPngWithOptions_ErstBlassDannGrauQuelleBleibt)
{
    TPngBau bau{PNG_COLOR_TYPE_RGB, 8, 1, 1, {0, 255, 0}};
    const TPNGObject png = Laden(bau);
    const QByteArray vorher = png.SaveToData();
    auto gezeichnet = [&](TPngOptions optionen) {
        QImage bild(4, 4, QImage::Format_ARGB32);
        bild.fill(Qt::transparent);
        QPainter maler(&bild);
        DrawPngWithOptions(png, maler, bild.rect(), optionen);
        maler.end();
        return bild.pixel(2, 2);
    };
    EXPECT_EQ(gezeichnet(0), qRgba(0, 255, 0, 255));
    const QRgb beide = gezeichnet(pngBlendOnDisabled | pngGrayscaleOnDisabled);
    EXPECT_NEAR(qAlpha(beide), 128, 1);
    EXPECT_NEAR(qRed(beide), 150, 2);
    EXPECT_NEAR(qGreen(beide), 150, 2);
    const QRgb grau = gezeichnet(pngGrayscaleOnDisabled);
    EXPECT_EQ(qAlpha(grau), 255);
    EXPECT_EQ(qGreen(grau), 150);
    EXPECT_EQ(png.SaveToData(), vorher);
}

TEST(PngFunctionsTest, PngFromGraphic_UntenLinksBestimmtDieTransparenz)
{
    QImage bild(3, 2, QImage::Format_RGB32);
    bild.fill(Qt::white);
    bild.setPixel(1, 0, qRgb(255, 0, 0));
    const auto png = PngFromGraphic(bild, true);
    EXPECT_EQ(png->ColorType(), COLOR_RGBALPHA);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(png->AlphaScanline(y)[x], (x == 1 && y == 0) ? 255 : 0);

    const auto fest = PngFromGraphic(bild, true, qRgb(255, 0, 0));
    EXPECT_EQ(fest->AlphaScanline(0)[1], 0);
    EXPECT_EQ(fest->AlphaScanline(0)[0], 255);

    const auto ohne = PngFromGraphic(bild);
    EXPECT_EQ(ohne->ColorType(), COLOR_RGB);
    EXPECT_TRUE(PngFromGraphic(QImage())->Empty());
}

TEST(PngFunctionsTest, PngFromGraphic_EigenesAlphaBleibt)
{
    QImage bild(2, 1, QImage::Format_ARGB32);
    bild.setPixel(0, 0, qRgba(1, 2, 3, 40));
    bild.setPixel(1, 0, qRgba(4, 5, 6, 255));
    const auto png = PngFromGraphic(bild);
    EXPECT_EQ(Alpha(*png), (std::vector<int>{40, 255}));
    EXPECT_EQ(png->Pixel(0, 0), qRgb(1, 2, 3));
}

TEST(PngFunctionsTest, PngFromBitmapAndMask_RotbyteDerMaskeIstAlpha)
{
    QImage bild(2, 1, QImage::Format_RGB32);
    bild.fill(qRgb(9, 9, 9));
    QImage maske(2, 1, QImage::Format_RGB32);
    maske.setPixel(0, 0, qRgb(200, 0, 0));
    maske.setPixel(1, 0, qRgb(0, 255, 255));
    EXPECT_EQ(Alpha(*PngFromBitmapAndMask(bild, maske, false)), (std::vector<int>{200, 0}));
    EXPECT_EQ(Alpha(*PngFromBitmapAndMask(bild, maske, true)), (std::vector<int>{55, 255}));
}

TEST(PngFunctionsTest, PngFromMaskColour_NurDieMaskenfarbeWirdDurchsichtig)
{
    QImage bild(3, 1, QImage::Format_RGB32);
    bild.setPixel(0, 0, qRgb(255, 0, 255));
    bild.setPixel(1, 0, qRgb(255, 0, 254));
    bild.setPixel(2, 0, qRgb(255, 0, 255));
    EXPECT_EQ(Alpha(*PngFromMaskColour(bild, qRgb(255, 0, 255))), (std::vector<int>{0, 255, 0}));
}

TEST(PngFunctionsTest, PngFromImageList_FremderIndexLaesstPngUnveraendert)
{
    TPngImageList liste;
    liste.AddPng(Rgba({7}));
    TPNGObject png = Rgba({99, 98});
    PngFromImageList(png, &liste, 1);
    EXPECT_EQ(Alpha(png), (std::vector<int>{99, 98}));
    PngFromImageList(png, &liste, -1);
    PngFromImageList(png, nullptr, 0);
    EXPECT_EQ(png.Width(), 2);
    PngFromImageList(png, &liste, 0);
    EXPECT_EQ(Alpha(png), (std::vector<int>{7}));
}
