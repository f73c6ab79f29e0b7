#include <QPainter>
#include <gtest/gtest.h>
#include <zlib.h>
#include "PngTestHilfen.h"
#include "widgets/PngObject.h"

namespace {

TPNGObject Laden(const TPngBau& bau)
{
    TPNGObject png;
    EXPECT_TRUE(png.LoadFromData(PngSchreiben(bau)));
    return png;
}

// The PNG drawn 1:1 over a plain background colour.
QImage UeberGrund(const TPNGObject& png, QRgb grund)
{
    QImage bild(png.Width(), png.Height(), QImage::Format_RGB32);
    bild.fill(grund);
    QPainter maler(&bild);
    png.Draw(maler, bild.rect());
    return bild;
}

void ErwarteFarbe(QRgb ist, int r, int g, int b)
{
    EXPECT_NEAR(qRed(ist), r, 1);
    EXPECT_NEAR(qGreen(ist), g, 1);
    EXPECT_NEAR(qBlue(ist), b, 1);
}

const QRgb Blaugrund = qRgb(0, 0, 255);

} // namespace

TEST(PngObjectTest, Grau_TransparenterGrauwertZeigtDenGrund)
{
    TPngBau bau{PNG_COLOR_TYPE_GRAY, 8, 2, 1, {200, 50}};
    bau.trnsFarbe = Farbe16(0, 0, 0, 50);
    const TPNGObject png = Laden(bau);
    EXPECT_EQ(png.ColorType(), COLOR_GRAYSCALE);
    EXPECT_EQ(png.TransparencyMode(), TPngTransparenz::Einzelfarbe);
    EXPECT_EQ(png.TransparentColor() & 0xFFFFFF, qRgb(50, 50, 50) & 0xFFFFFF);
    const QImage bild = UeberGrund(png, Blaugrund);
    ErwarteFarbe(bild.pixel(0, 0), 200, 200, 200);
    ErwarteFarbe(bild.pixel(1, 0), 0, 0, 255);
}

TEST(PngObjectTest, Rgb_OhneTransparenzDecktUndEinzelfarbeFehlt)
{
    TPngBau bau{PNG_COLOR_TYPE_RGB, 8, 2, 1, {255, 0, 0, 10, 20, 30}};
    TPNGObject png = Laden(bau);
    EXPECT_EQ(png.ColorType(), COLOR_RGB);
    EXPECT_EQ(png.TransparencyMode(), TPngTransparenz::Keine);
    // Pixel rows hold blue, green, red.
    EXPECT_EQ(png.Scanline(0)[0], 0);
    EXPECT_EQ(png.Scanline(0)[2], 255);
    const QImage bild = UeberGrund(png, Blaugrund);
    ErwarteFarbe(bild.pixel(0, 0), 255, 0, 0);
    ErwarteFarbe(bild.pixel(1, 0), 10, 20, 30);

    bau.trnsFarbe = Farbe16(10, 20, 30);
    png = Laden(bau);
    EXPECT_EQ(png.TransparencyMode(), TPngTransparenz::Einzelfarbe);
    ErwarteFarbe(UeberGrund(png, Blaugrund).pixel(1, 0), 0, 0, 255);
}

TEST(PngObjectTest, Palette_TeiltransparenzMischtMitDemGrund)
{
    TPngBau bau{PNG_COLOR_TYPE_PALETTE, 8, 3, 1, {0, 1, 2}};
    bau.palette = {{255, 0, 0}, {0, 255, 0}, {255, 255, 255}};
    bau.trnsAlpha = {0, 128};
    const TPNGObject png = Laden(bau);
    EXPECT_EQ(png.ColorType(), COLOR_PALETTE);
    EXPECT_EQ(png.TransparencyMode(), TPngTransparenz::Teilweise);
    EXPECT_EQ(png.Palette().size(), 3);
    const QImage bild = UeberGrund(png, Blaugrund);
    ErwarteFarbe(bild.pixel(0, 0), 0, 0, 255);       // alpha 0
    ErwarteFarbe(bild.pixel(1, 0), 0, 128, 127);     // alpha 128 green over blue
    ErwarteFarbe(bild.pixel(2, 0), 255, 255, 255);   // beyond tRNS: opaque
}

TEST(PngObjectTest, Palette_NurNullUnd255IstEinzelfarbe)
{
    TPngBau bau{PNG_COLOR_TYPE_PALETTE, 8, 2, 1, {0, 1}};
    bau.palette = {{9, 8, 7}, {1, 2, 3}};
    bau.trnsAlpha = {255, 0};
    const TPNGObject png = Laden(bau);
    EXPECT_EQ(png.TransparencyMode(), TPngTransparenz::Einzelfarbe);
    EXPECT_EQ(png.TransparentColor() & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFF);
}

TEST(PngObjectTest, GrauMitAlphaUndRgba_AlphaProZeile)
{
    TPngBau grau{PNG_COLOR_TYPE_GRAY_ALPHA, 8, 2, 1, {100, 255, 100, 0}};
    TPNGObject png = Laden(grau);
    EXPECT_EQ(png.ColorType(), COLOR_GRAYSCALEALPHA);
    EXPECT_EQ(png.TransparencyMode(), TPngTransparenz::Teilweise);
    ASSERT_NE(png.AlphaScanline(0), nullptr);
    EXPECT_EQ(png.AlphaScanline(0)[0], 255);
    EXPECT_EQ(png.AlphaScanline(0)[1], 0);
    EXPECT_EQ(png.Scanline(0)[0], 100);

    TPngBau rgba{PNG_COLOR_TYPE_RGBA, 8, 1, 1, {255, 0, 0, 64}};
    png = Laden(rgba);
    EXPECT_EQ(png.ColorType(), COLOR_RGBALPHA);
    EXPECT_EQ(png.AlphaScanline(0)[0], 64);
    ErwarteFarbe(UeberGrund(png, Blaugrund).pixel(0, 0), 64, 0, 191);
}

TEST(PngObjectTest, NiedrigeUndHoheBittiefenWerdenAchtBit)
{
    TPngBau eins{PNG_COLOR_TYPE_GRAY, 1, 3, 1, {0b10100000}};
    TPNGObject png = Laden(eins);
    EXPECT_EQ(png.Pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(png.Pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(png.Pixel(2, 0), qRgb(255, 255, 255));

    TPngBau vier{PNG_COLOR_TYPE_PALETTE, 4, 2, 1, {0x10}};
    vier.palette = {{1, 1, 1}, {7, 8, 9}};
    png = Laden(vier);
    EXPECT_EQ(png.Scanline(0)[0], 1);
    EXPECT_EQ(png.Pixel(0, 0), qRgb(7, 8, 9));

    TPngBau sechzehn{PNG_COLOR_TYPE_RGB, 16, 1, 1, {0xAB, 0xCD, 0x12, 0x34, 0xFF, 0xFF}};
    sechzehn.trnsFarbe = Farbe16(0xAB00, 0x1200, 0xFF00);
    png = Laden(sechzehn);
    EXPECT_EQ(png.Pixel(0, 0), qRgb(0xAB, 0x12, 0xFF));
    EXPECT_EQ(png.TransparentColor() & 0xFFFFFF, qRgb(0xAB, 0x12, 0xFF) & 0xFFFFFF);
}

TEST(PngObjectTest, ZeilensprungWirdGanzGelesen)
{
    TPngBau bau{PNG_COLOR_TYPE_GRAY, 8, 9, 9, {}};
    for (int i = 0; i < 81; ++i)
        bau.daten.push_back(uint8_t(i * 3));
    bau.interlace = true;
    const TPNGObject png = Laden(bau);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(qRed(png.Pixel(x, y)), (y * 9 + x) * 3);
}

TEST(PngObjectTest, KaputteUndAbgeschnitteneDatenBleibenLeer)
{
    TPngBau bau{PNG_COLOR_TYPE_RGBA, 8, 4, 4, std::vector<uint8_t>(64, 77)};
    const QByteArray gut = PngSchreiben(bau);
    TPNGObject png;
    for (int n = 0; n < gut.size(); ++n) {
        ASSERT_FALSE(png.LoadFromData(gut.left(n))) << n;
        ASSERT_TRUE(png.Empty());
    }
    QByteArray verdreht = gut;
    for (int i = 40; i < verdreht.size() - 12; i += 3)
        verdreht[i] = char(verdreht[i] ^ 0x5A);
    EXPECT_FALSE(png.LoadFromData(verdreht));
    EXPECT_FALSE(png.LoadFromData("kein PNG"));
    EXPECT_FALSE(png.LoadFromFile(QStringLiteral("/gibt/es/nicht.png")));
    EXPECT_TRUE(png.LoadFromData(gut));
}

TEST(PngObjectTest, RiesigeKopfangabeWirdAbgelehnt)
{
    // A header asking for 100000 x 100000 pixels, with no data behind it.
    TPngBau bau{PNG_COLOR_TYPE_GRAY, 8, 1, 1, {0}};
    QByteArray daten = PngSchreiben(bau);
    // Width and height in IHDR patched, with a fitting CRC, so only the
    // size check can refuse it.
    const uint32_t gross = 100000;
    for (int feld : {16, 20})
        for (int i = 0; i < 4; ++i)
            daten[feld + i] = char((gross >> (24 - 8 * i)) & 0xFF);
    const uint32_t pruef = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(daten.constData() + 12), 17));
    for (int i = 0; i < 4; ++i)
        daten[29 + i] = char((pruef >> (24 - 8 * i)) & 0xFF);
    TPNGObject png;
    EXPECT_FALSE(png.LoadFromData(daten));
}

TEST(PngObjectTest, SpeichernBehaeltTypPaletteTransparenzUndGamma)
{
    TPngBau bau{PNG_COLOR_TYPE_PALETTE, 8, 2, 1, {0, 1}};
    bau.palette = {{10, 20, 30}, {40, 50, 60}};
    bau.trnsAlpha = {0, 200};
    bau.gamma = 0.45455;
    const TPNGObject png = Laden(bau);
    EXPECT_TRUE(png.HasChunk("gAMA"));
    TPNGObject wieder;
    ASSERT_TRUE(wieder.LoadFromData(png.SaveToData()));
    EXPECT_EQ(wieder.ColorType(), COLOR_PALETTE);
    EXPECT_EQ(wieder.Palette(), png.Palette());
    EXPECT_EQ(wieder.ToImage(), png.ToImage());
    EXPECT_TRUE(wieder.HasChunk("gAMA"));

    TPNGObject ohne = png;
    ohne.RemoveChunk("gAMA");
    EXPECT_FALSE(ohne.HasChunk("gAMA"));
    EXPECT_TRUE(png.HasChunk("gAMA"));   // the copy is independent
    EXPECT_FALSE(ohne.SaveToData().contains("gAMA"));
    EXPECT_TRUE(png.SaveToData().contains("gAMA"));
}

TEST(PngObjectTest, AlphaKanalAnlegen)
{
    TPngBau rgb{PNG_COLOR_TYPE_RGB, 8, 2, 1, {1, 2, 3, 4, 5, 6}};
    rgb.trnsFarbe = Farbe16(4, 5, 6);
    TPNGObject png = Laden(rgb);
    png.CreateAlpha();
    EXPECT_EQ(png.ColorType(), COLOR_RGBALPHA);
    EXPECT_EQ(png.AlphaScanline(0)[0], 255);
    EXPECT_EQ(png.AlphaScanline(0)[1], 0);   // the transparent colour stays invisible
    EXPECT_EQ(png.Pixel(0, 0), qRgb(1, 2, 3));

    TPngBau grau{PNG_COLOR_TYPE_GRAY, 8, 1, 1, {9}};
    png = Laden(grau);
    png.CreateAlpha();
    EXPECT_EQ(png.ColorType(), COLOR_GRAYSCALEALPHA);
    EXPECT_EQ(png.AlphaScanline(0)[0], 255);
    EXPECT_EQ(png.Pixel(0, 0), qRgb(9, 9, 9));
}

TEST(PngObjectTest, BitmapWirdRgbOhneAlpha)
{
    QImage bild(3, 2, QImage::Format_ARGB32);
    bild.fill(qRgba(10, 20, 30, 40));
    TPNGObject png;
    png.AssignBitmap(bild);
    EXPECT_EQ(png.ColorType(), COLOR_RGB);
    EXPECT_EQ(png.Width(), 3);
    EXPECT_EQ(png.Height(), 2);
    EXPECT_EQ(png.AlphaScanline(0), nullptr);
    EXPECT_EQ(png.Pixel(2, 1) & 0xFFFFFF, qRgb(10, 20, 30) & 0xFFFFFF);
    EXPECT_EQ(png.Pixel(3, 0), 0u);   // out of range
    png.AssignBitmap(QImage());
    EXPECT_TRUE(png.Empty());
}

TEST(PngObjectTest, GestrecktGezeichnetFuelltDasRechteck)
{
    TPngBau bau{PNG_COLOR_TYPE_RGBA, 8, 1, 1, {0, 255, 0, 255}};
    const TPNGObject png = Laden(bau);
    QImage bild(10, 10, QImage::Format_RGB32);
    bild.fill(Blaugrund);
    QPainter maler(&bild);
    png.Draw(maler, QRect(2, 2, 6, 6));
    maler.end();
    ErwarteFarbe(bild.pixel(5, 5), 0, 255, 0);
    ErwarteFarbe(bild.pixel(0, 0), 0, 0, 255);
    ErwarteFarbe(bild.pixel(8, 8), 0, 0, 255);
}

TEST(PngObjectTest, ZufaelligVerdorbeneDatenStuerzenNichtAb)
{
    TPngBau bau{PNG_COLOR_TYPE_PALETTE, 8, 5, 5, std::vector<uint8_t>(25, 1)};
    bau.palette = {{1, 2, 3}, {4, 5, 6}};
    bau.trnsAlpha = {0, 90};
    bau.gamma = 0.5;
    const QByteArray gut = PngSchreiben(bau);
    uint32_t zustand = 12345;
    auto zufall = [&zustand](uint32_t n) {
        zustand = zustand * 1103515245u + 12345u;
        return (zustand >> 8) % n;
    };
    for (int runde = 0; runde < 400; ++runde) {
        QByteArray daten = gut;
        for (int k = 0; k < 1 + int(zufall(4)); ++k)
            daten[int(zufall(uint32_t(daten.size())))] = char(zufall(256));
        TPNGObject png;
        if (png.LoadFromData(daten)) {
            // Whatever was read is usable.
            EXPECT_FALSE(png.ToImage().isNull());
            png.SaveToData();
        } else {
            EXPECT_TRUE(png.Empty());
        }
    }
}
