#include <QApplication>
#include <QEnterEvent>
#include <gtest/gtest.h>
#include "PngTestHilfen.h"
#include "widgets/PngBitBtn.h"

namespace {

TPNGObject Laden(const TPngBau& bau)
{
    TPNGObject png;
    EXPECT_TRUE(png.LoadFromData(PngSchreiben(bau)));
    return png;
}

TGlyphUndText Lage(int breite, int hoehe, QSize glyph, QSize text, int spacing, int margin,
                   TButtonLayout layout = blGlyphLeft, bool rtl = false, uint8_t gedrueckt = 0)
{
    return LayoutGlyphAndCaption(QRect(0, 0, breite, hoehe), glyph, text, rtl, spacing, margin, layout, 0, gedrueckt);
}

} // namespace

TEST(PngButtonLayoutTest, OhneTextSteht20erGlyphMittigIn30)
{
    const TGlyphUndText lage = Lage(30, 30, {20, 20}, {0, 0}, 4, -1);
    EXPECT_EQ(lage.Glyph, QPoint(5, 5));
    const TGlyphUndText gedrueckt = Lage(30, 30, {20, 20}, {0, 0}, 4, -1, blGlyphLeft, false, 1);
    EXPECT_EQ(gedrueckt.Glyph, QPoint(6, 6));
}

TEST(PngButtonLayoutTest, AutomatischerRandUndAbstand)
{
    // margin = spacing = (100 - 56) div 3 = 14; caption at 14 + 16 + 14.
    TGlyphUndText lage = Lage(100, 24, {16, 16}, {40, 12}, -1, -1);
    EXPECT_EQ(lage.Glyph, QPoint(14, 4));
    EXPECT_EQ(lage.Text, QPoint(44, 6));
    // margin 2: spacing (100 - 18 - 40) div 2 = 21; caption at 39.
    lage = Lage(100, 24, {16, 16}, {40, 12}, -1, 2);
    EXPECT_EQ(lage.Glyph.x(), 2);
    EXPECT_EQ(lage.Text.x(), 39);
    // Both given: used as they are.
    lage = Lage(100, 24, {16, 16}, {40, 12}, 3, 7);
    EXPECT_EQ(lage.Glyph.x(), 7);
    EXPECT_EQ(lage.Text.x(), 26);
}

TEST(PngButtonLayoutTest, RechtsNachLinksSetztDenGlyphNachRechts)
{
    // margin (100 - (16 + 4 + 40)) div 2 = 20 from the right.
    const TGlyphUndText lage = Lage(100, 24, {16, 16}, {40, 12}, 4, -1, blGlyphLeft, true);
    EXPECT_EQ(lage.Glyph.x(), 64);
    EXPECT_EQ(lage.Text.x(), 20);
    const TGlyphUndText rechts = Lage(100, 24, {16, 16}, {40, 12}, 4, -1, blGlyphRight, true);
    EXPECT_EQ(rechts.Glyph.x(), 20);
}

TEST(PngButtonLayoutTest, ObenUndUntenMitVersatzDesRechtecks)
{
    TGlyphUndText lage = Lage(100, 60, {16, 16}, {40, 12}, 4, -1, blGlyphTop);
    EXPECT_EQ(lage.Glyph, QPoint(42, 14));   // (100 - 16 + 1) div 2, (60 - 32) div 2
    EXPECT_EQ(lage.Text, QPoint(30, 34));
    lage = Lage(100, 60, {16, 16}, {40, 12}, 4, -1, blGlyphBottom);
    EXPECT_EQ(lage.Glyph.y(), 30);
    EXPECT_EQ(lage.Text.y(), 14);
    lage = LayoutGlyphAndCaption(QRect(10, 20, 30, 30), {20, 20}, {0, 0}, false, 4, -1, blGlyphLeft, 0x80, 0);
    EXPECT_EQ(lage.Glyph, QPoint(15, 25));   // offset bits above 0x7F are dropped
}

TEST(PngBitBtnTest, GammaFaelltNurBeiFarbigenGlyphen)
{
    TPngBitBtn knopf;
    for (int typ : {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_PALETTE,
                    PNG_COLOR_TYPE_RGBA}) {
        TPngBau bau{typ, 8, 1, 1, std::vector<uint8_t>(4, 0)};
        if (typ == PNG_COLOR_TYPE_PALETTE)
            bau.palette = {{1, 2, 3}};
        bau.gamma = 0.45455;
        const TPNGObject png = Laden(bau);
        ASSERT_TRUE(png.HasChunk("gAMA"));
        knopf.SetPngImage(png);
        const bool grau = typ == PNG_COLOR_TYPE_GRAY || typ == PNG_COLOR_TYPE_GRAY_ALPHA;
        EXPECT_EQ(knopf.PngImage().HasChunk("gAMA"), grau) << typ;
    }
    knopf.SetPngImage(nullptr);
    EXPECT_TRUE(knopf.PngImage().Empty());
}

class PngBitBtnMalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QImage gruen(10, 10, QImage::Format_RGB32);
        gruen.fill(qRgb(0, 255, 0));
        TPNGObject png;
        png.AssignBitmap(gruen);
        knopf.SetPngImage(png);
        knopf.resize(40, 30);
    }
    QRgb GlyphMitte()
    {
        const QImage bild = knopf.grab().toImage();
        return bild.pixel(knopf.LetzteLage().Glyph + QPoint(5, 5));
    }
    TPngBitBtn knopf;
};

TEST_F(PngBitBtnMalTest, GlyphSitztMittigUndRuecktBeimDruecken)
{
    const QRgb farbe = GlyphMitte();
    EXPECT_EQ(farbe & 0xFFFFFF, qRgb(0, 255, 0) & 0xFFFFFF);
    EXPECT_EQ(knopf.LetzteLage().Glyph, QPoint(15, 10));
    knopf.setDown(true);
    GlyphMitte();
    EXPECT_EQ(knopf.LetzteLage().Glyph, QPoint(16, 11));
}

TEST_F(PngBitBtnMalTest, AbgeschaltetBlassGrauOderUnveraendert)
{
    knopf.setEnabled(false);
    knopf.SetPngOptions(0);
    EXPECT_EQ(GlyphMitte() & 0xFFFFFF, qRgb(0, 255, 0) & 0xFFFFFF);

    knopf.SetPngOptions(pngBlendOnDisabled | pngGrayscaleOnDisabled);
    const QRgb beide = GlyphMitte();
    EXPECT_LE(std::abs(qRed(beide) - qGreen(beide)), 12);
    EXPECT_LT(qGreen(beide), 230);

    knopf.SetPngOptions(pngBlendOnDisabled);
    const QRgb blass = GlyphMitte();
    EXPECT_GT(qGreen(blass) - qRed(blass), 40);   // still green, but
    EXPECT_GT(qRed(blass), 40);                   // mixed with the face
}

TEST_F(PngBitBtnMalTest, HeissNurMitThemen)
{
    QEnterEvent hinein(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QEvent hinaus(QEvent::Leave);
    TPngBitBtn::ThemenAn = false;
    QApplication::sendEvent(&knopf, &hinein);
    EXPECT_FALSE(knopf.Hot());
    GlyphMitte();   // paints without themes
    TPngBitBtn::ThemenAn = true;
    QApplication::sendEvent(&knopf, &hinein);
    EXPECT_TRUE(knopf.Hot());
    QApplication::sendEvent(&knopf, &hinaus);
    EXPECT_FALSE(knopf.Hot());
}

TEST_F(PngBitBtnMalTest, TextStehtRechtsVomGlyph)
{
    knopf.setText(QStringLiteral("Vorschau"));
    knopf.resize(knopf.sizeHint());
    GlyphMitte();
    const TGlyphUndText lage = knopf.LetzteLage();
    EXPECT_GE(lage.Text.x(), lage.Glyph.x() + 10 + 4);
    EXPECT_GE(lage.Glyph.x(), 0);
    EXPECT_LE(lage.Text.x() + QFontMetrics(knopf.font()).horizontalAdvance(knopf.text()), knopf.width());
}

// A disabled button's caption takes the palette's disabled text colour, as
// the other buttons of a dialog do, not the black of an enabled one.
TEST_F(PngBitBtnMalTest, AbgeschaltetTextInDerFarbeAbgeschalteterKnoepfe)
{
    TPngBitBtn::ThemenAn = false;   // a flat face, so every other pixel is caption
    knopf.setText(QStringLiteral("Alle anzeigen"));
    knopf.resize(knopf.sizeHint());
    const QColor normal = knopf.palette().color(QPalette::Active, QPalette::ButtonText);
    const QColor grau = knopf.palette().color(QPalette::Disabled, QPalette::ButtonText);
    ASSERT_GT(qGray(grau.rgb()), qGray(normal.rgb()) + 40);
    // The darkest caption pixel: smoothed edges only lighten toward the face.
    auto dunkelsterText = [this] {
        const QImage bild = knopf.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect text(knopf.LetzteLage().Text, QPoint(bild.width() - 4, bild.height() - 4));
        const QRgb flaeche = bild.pixel(text.left() - 1, text.top());
        int dunkel = 255, anzahl = 0;
        for (int y = text.top(); y <= text.bottom(); ++y)
            for (int x = text.left(); x <= text.right(); ++x)
                if (bild.pixel(x, y) != flaeche) {
                    dunkel = std::min(dunkel, qGray(bild.pixel(x, y)));
                    ++anzahl;
                }
        EXPECT_GT(anzahl, 20);
        return dunkel;
    };
    EXPECT_LE(dunkelsterText(), qGray(normal.rgb()) + 30);
    knopf.setEnabled(false);
    const int aus = dunkelsterText();
    EXPECT_GE(aus, qGray(grau.rgb()) - 2) << "schwarze Schrift auf abgeschaltetem Knopf";
    EXPECT_LE(aus, qGray(grau.rgb()) + 30);
    TPngBitBtn::ThemenAn = true;
}
