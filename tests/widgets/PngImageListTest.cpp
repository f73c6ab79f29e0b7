#include <QPainter>
#include <gtest/gtest.h>
#include "PngTestHilfen.h"
#include "widgets/PngImageList.h"

namespace {

// An opaque RGB PNG of one colour.
TPNGObject Einfarbig(QRgb farbe, int seite = 4)
{
    QImage bild(seite, seite, QImage::Format_RGB32);
    bild.fill(farbe);
    TPNGObject png;
    png.AssignBitmap(bild);
    return png;
}

QRgb Mitte(const QImage& bild)
{
    return bild.pixel(bild.width() / 2, bild.height() / 2);
}

const QRgb Rot = qRgb(255, 0, 0);
const QRgb Gruen = qRgb(0, 255, 0);
const QRgb Blau = qRgb(0, 0, 255);

class PngImageListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        liste.SetWidth(4);
        liste.SetHeight(4);
        for (QRgb f : {Rot, Gruen, Blau})
            liste.AddPng(Einfarbig(f));
    }
    TPngImageList liste;
};

} // namespace

TEST_F(PngImageListTest, NeueGroesseLeertDieListeGleicheNicht)
{
    liste.SetWidth(4);
    liste.SetHeight(4);
    EXPECT_EQ(liste.PngImages().Count(), 3);
    liste.SetWidth(8);
    EXPECT_EQ(liste.PngImages().Count(), 0);
    EXPECT_EQ(liste.Count(), 0);
}

TEST_F(PngImageListTest, UndurchsichtigesRgbGibtVollesAlpha)
{
    ASSERT_EQ(liste.Count(), 3);
    EXPECT_EQ(Mitte(liste.Bild(1)), qRgba(0, 255, 0, 255));
    EXPECT_EQ(liste.PngImages().GetItem(0)->Name, QStringLiteral("PngImage0"));
    EXPECT_EQ(liste.PngImages().GetItem(2)->Name, QStringLiteral("PngImage2"));
}

TEST_F(PngImageListTest, EintragOhnePngWirdUebersprungen)
{
    liste.PngImages().GetItem(1)->SetPngImage(nullptr);
    EXPECT_EQ(liste.PngImages().Count(), 3);
    ASSERT_EQ(liste.Count(), 2);
    EXPECT_EQ(Mitte(liste.Bild(1)), Blau | 0xFF000000u);
    EXPECT_TRUE(liste.Bild(2).isNull());
}

TEST_F(PngImageListTest, LoeschenAusserhalbTutNichtsVerschiebenOrdnetBeides)
{
    liste.Delete(-1);
    liste.Delete(3);
    EXPECT_EQ(liste.PngImages().Count(), 3);
    liste.Move(0, 2);
    ASSERT_EQ(liste.Count(), 3);
    EXPECT_EQ(liste.PngImages().GetItem(2)->PngImage()->Pixel(0, 0), Rot);
    EXPECT_EQ(liste.PngImages().GetItem(0)->PngImage()->Pixel(0, 0), Gruen);
    EXPECT_EQ(Mitte(liste.Bild(2)), Rot);
    EXPECT_EQ(Mitte(liste.Bild(0)), Gruen);
    liste.Delete(0);
    EXPECT_EQ(liste.Count(), 2);
    EXPECT_EQ(Mitte(liste.Bild(0)), Blau);
}

TEST_F(PngImageListTest, AbgeschalteteBilderFolgenDenOptionen)
{
    liste.SetPngOptions(0);
    liste.SetEnabledImages(false);
    EXPECT_EQ(Mitte(liste.Bild(0)), qRgba(255, 0, 0, 255));
    liste.SetPngOptions(pngBlendOnDisabled);
    EXPECT_EQ(qAlpha(Mitte(liste.Bild(0))), 128);
    liste.SetPngOptions(pngBlendOnDisabled | pngGrayscaleOnDisabled);
    const QRgb beide = Mitte(liste.Bild(1));
    EXPECT_EQ(qAlpha(beide), 128);
    EXPECT_EQ(qGreen(beide), 150);
    EXPECT_EQ(qRed(beide), 150);
    liste.SetEnabledImages(true);
    EXPECT_EQ(Mitte(liste.Bild(1)), Gruen);
}

TEST_F(PngImageListTest, ZeichnenAbgeschaltetNutztOptionenAuchBeiEnabledImages)
{
    auto gezeichnet = [&](bool enabled) {
        QImage bild(4, 4, QImage::Format_ARGB32);
        bild.fill(Qt::transparent);
        QPainter maler(&bild);
        liste.Draw(maler, 0, 0, 0, enabled);
        liste.Draw(maler, 0, 0, 7, enabled);   // no such item: nothing
        maler.end();
        return Mitte(bild);
    };
    EXPECT_EQ(qAlpha(gezeichnet(true)), 255);
    EXPECT_NEAR(qAlpha(gezeichnet(false)), 128, 1);
}

TEST_F(PngImageListTest, SymbolHatEigenesAbgeschaltetesBild)
{
    const QIcon symbol = liste.Icon(0);
    const QImage normal = symbol.pixmap(QSize(4, 4), QIcon::Normal).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage aus = symbol.pixmap(QSize(4, 4), QIcon::Disabled).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(Mitte(normal)), 255);
    EXPECT_NEAR(qAlpha(Mitte(aus)), 128, 1);
    EXPECT_TRUE(liste.Icon(3).isNull());
    EXPECT_TRUE(liste.Icon(-1).isNull());
}

TEST_F(PngImageListTest, HinzufuegenEinfuegenErsetzen)
{
    EXPECT_EQ(liste.Add(QImage(), QImage()), -1);
    EXPECT_EQ(liste.AddMasked(QImage(), 0), -1);
    EXPECT_EQ(liste.AddIcon(QIcon()), -1);
    QImage bild(4, 4, QImage::Format_RGB32);
    bild.fill(qRgb(255, 0, 255));
    bild.setPixel(0, 0, qRgb(1, 1, 1));
    EXPECT_EQ(liste.AddMasked(bild, qRgb(255, 0, 255)), 3);
    ASSERT_EQ(liste.Count(), 4);
    EXPECT_EQ(qAlpha(liste.Bild(3).pixel(1, 1)), 0);
    EXPECT_EQ(qAlpha(liste.Bild(3).pixel(0, 0)), 255);

    QImage maske(4, 4, QImage::Format_RGB32);
    maske.fill(qRgb(255, 255, 255));
    liste.Insert(1, bild, maske);
    ASSERT_EQ(liste.Count(), 5);
    EXPECT_EQ(qAlpha(liste.Bild(1).pixel(1, 1)), 255);
    EXPECT_EQ(Mitte(liste.Bild(2)), Gruen);

    liste.ReplaceMasked(0, bild, qRgb(1, 1, 1));
    EXPECT_EQ(Mitte(liste.Bild(0)), qRgb(255, 0, 255));
    EXPECT_EQ(qAlpha(liste.Bild(0).pixel(0, 0)), 0);
    liste.Replace(9, bild, maske);   // no such item
    EXPECT_EQ(liste.Count(), 5);

    TPngImageList andere;
    andere.SetWidth(4);
    andere.SetHeight(4);
    andere.AddImages(&liste);
    EXPECT_EQ(andere.PngImages().Count(), 5);
    EXPECT_EQ(andere.Count(), 5);
    EXPECT_EQ(Mitte(andere.Bild(2)), Gruen);
}

TEST_F(PngImageListTest, KopieUebernimmtGroesseBilderUndSchalter)
{
    liste.SetEnabledImages(false);
    TPngImageList ziel;
    ziel.AddPng(Einfarbig(Blau));
    int geaendert = 0;
    QObject::connect(&ziel, &TPngImageList::Change, [&] { ++geaendert; });
    liste.AssignTo(ziel);
    EXPECT_EQ(ziel.Width(), 4);
    EXPECT_EQ(ziel.PngImages().Count(), 3);
    EXPECT_FALSE(ziel.EnabledImages());
    EXPECT_EQ(qAlpha(Mitte(ziel.Bild(0))), 128);
    EXPECT_GE(geaendert, 1);
    // Independent of the source.
    liste.Clear();
    EXPECT_EQ(ziel.PngImages().Count(), 3);
}

TEST_F(PngImageListTest, SammlungMeldetFremdenIndexAlsNichts)
{
    EXPECT_EQ(liste.PngImages().GetItem(-1), nullptr);
    EXPECT_EQ(liste.PngImages().GetItem(3), nullptr);
    EXPECT_TRUE(PngAusListe(&liste, 3).Empty());
    EXPECT_TRUE(PngAusListe(nullptr, 0).Empty());
    EXPECT_EQ(PngAusListe(&liste, 2).Pixel(0, 0), Blau);
    TPngImageCollection sammlung;
    sammlung.Items().Add();
    EXPECT_EQ(sammlung.Items().Count(), 1);
    EXPECT_TRUE(sammlung.Items().GetItem(0)->PngImage()->Empty());
}

TEST_F(PngImageListTest, SymbolBehaeltEinzelfarbeUndTeiltransparenzDerPalette)
{
    TPngBau bau{PNG_COLOR_TYPE_PALETTE, 8, 3, 1, {0, 1, 2}};
    bau.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    bau.trnsAlpha = {0, 128};
    TPNGObject png;
    ASSERT_TRUE(png.LoadFromData(PngSchreiben(bau)));
    const int index = liste.AddPng(png);
    const QImage bild = liste.Bild(index);
    EXPECT_EQ(qAlpha(bild.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(bild.pixel(1, 0)), 128);   // not flattened to opaque
    EXPECT_EQ(bild.pixel(2, 0), qRgba(0, 0, 255, 255));
}
