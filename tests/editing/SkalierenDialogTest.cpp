// The resize window: fields, track bars and aspect lock in step, the value
// clamps, the size limit and the resize itself.
#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include "EditierenHilfen.h"
#include "editing/Skalieren.h"
#include "pixelops/Bitmap_QuickSkalieren.h"
#include "pixelops/Bitmap_Schaerfen.h"
#include "pixelops/Bitmap_Skalieren.h"
#include "widgets/Numedit.h"

namespace {

class SkalierenDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        HauptfensterZeigen();
        f = frmZelvanoMain;
        RueckgaengigLoeschen();
        BildBearbeitet = false;
        if (!frmSkalieren)
            new TfrmSkalieren(f);
        d = frmSkalieren;
        d->cbSVBeibehalten->setChecked(true);
        d->rbLanczos->setChecked(true);
        d->rbSkalNachschaerfenOhne->setChecked(true);
    }
    void TearDown() override
    {
        if (d->isVisible())
            d->reject();
        RueckgaengigLoeschen();
        BildBearbeitet = false;
    }
    void Oeffnen(const TBitmap& bild)
    {
        BildSetzen(bild);
        d->show();
        d->activateWindow();
        QApplication::setActiveWindow(d);
        QApplication::processEvents();
    }
    // Gives the control the focus and writes a value as a user would.
    void Eingeben(TNumedit* feld, long double wert)
    {
        feld->setFocus();
        feld->SetWert(wert);
    }
    void Ziehen(QSlider* regler, int wert)
    {
        regler->setFocus();
        regler->setValue(wert);
    }

    TfrmZelvanoMain* f = nullptr;
    TfrmSkalieren* d = nullptr;
};

} // namespace

TEST_F(SkalierenDialog, OeffnenLaedtGroesseUndReglerbereiche)
{
    Oeffnen(Grau(1000, 750, 9));
    EXPECT_EQ(d->nedBreitePixel->Wert(), 1000);
    EXPECT_EQ(d->nedHoehePixel->Wert(), 750);
    EXPECT_EQ(d->nedBreiteProzent->text(), QStringLiteral("100,0"));
    EXPECT_EQ(d->trbBreite->minimum(), 50);
    EXPECT_EQ(d->trbBreite->maximum(), 2000);
    EXPECT_EQ(d->trbBreite->value(), 1000);
    EXPECT_EQ(d->trbHoehe->minimum(), 37);
    EXPECT_TRUE(d->nedBreitePixel->hasFocus());
    Ziehen(d->trbBreite, 500);
    EXPECT_EQ(d->nedBreitePixel->Wert(), 500);
    EXPECT_EQ(d->nedHoehePixel->Wert(), 375);
    EXPECT_EQ(d->nedBreiteProzent->text(), QStringLiteral("50,0"));
    EXPECT_EQ(d->nedHoeheProzent->text(), QStringLiteral("50,0"));
    EXPECT_EQ(d->trbHoehe->value(), 375);
}

TEST_F(SkalierenDialog, SeitenverhaeltnisMitVerhaeltnisAlsEinfacheGenauigkeit)
{
    Oeffnen(Grau(400, 300, 60));
    Eingeben(d->nedBreitePixel, 200);
    // 200 / 1.3333334f = 149.99999, rounded to 150.
    EXPECT_EQ(d->nedHoehePixel->Wert(), 150);
    EXPECT_EQ(d->nedBreiteProzent->Wert(), 50);
    EXPECT_EQ(d->nedHoeheProzent->Wert(), 50);
    d->rbBox->setChecked(true);
    d->btnOk->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(f->OriginalBild.Width(), 200);
    EXPECT_EQ(f->OriginalBild.Height(), 150);
    EXPECT_TRUE(IstEinfarbig(f->OriginalBild, 60));
    EXPECT_EQ(RueckgaengigAnzahl, 1);
    EXPECT_TRUE(BildBearbeitet);
}

TEST_F(SkalierenDialog, ProzentfeldUndOhneSperre)
{
    Oeffnen(Grau(300, 300, 1));
    d->cbSVBeibehalten->setChecked(false);
    Eingeben(d->nedHoeheProzent, 33.3L);
    EXPECT_EQ(d->nedHoehePixel->Wert(), 100);
    EXPECT_EQ(d->trbHoehe->value(), 100);
    EXPECT_EQ(d->nedBreitePixel->Wert(), 300);
    Ziehen(d->trbHoehe, 450);
    EXPECT_EQ(d->nedHoeheProzent->text(), QStringLiteral("150,0"));
    EXPECT_EQ(d->nedBreitePixel->Wert(), 300);
}

TEST_F(SkalierenDialog, BerechneteWerteWerdenAufDieFeldgrenzenBegrenzt)
{
    // 5000 % of 2500 pixels is 125000: the pixel field takes 99999, not the
    // last valid text of another field.
    Oeffnen(Grau(2500, 100, 3));
    Eingeben(d->nedBreiteProzent, 5000);
    EXPECT_EQ(d->nedBreitePixel->Wert(), 99999);
    EXPECT_EQ(d->nedHoehePixel->Wert(), 4000);
    // 99999 pixels of a 100-pixel side would be 99999 %: the field shows 5000.
    d->cbSVBeibehalten->setChecked(false);
    Eingeben(d->nedHoehePixel, 99999);
    EXPECT_EQ(d->nedHoeheProzent->Wert(), 5000);
    EXPECT_EQ(d->nedHoehePixel->Wert(), 99999);
}

TEST_F(SkalierenDialog, ZuKleineSeitenWerdenZwei)
{
    Oeffnen(Grau(40, 30, 200));
    d->cbSVBeibehalten->setChecked(false);
    Eingeben(d->nedBreitePixel, 1);
    Eingeben(d->nedHoehePixel, 0);
    d->btnOk->click();
    EXPECT_EQ(f->OriginalBild.Width(), 2);
    EXPECT_EQ(f->OriginalBild.Height(), 2);
    EXPECT_TRUE(IstEinfarbig(f->OriginalBild, 200));
}

TEST_F(SkalierenDialog, GroessengrenzeVonDreihundertvierzigMegabyte)
{
    EXPECT_TRUE(SkalierenGroesseErlaubt(11000, 11000));
    EXPECT_FALSE(SkalierenGroesseErlaubt(11001, 11000));
    EXPECT_FALSE(SkalierenGroesseErlaubt(11000, 11001));
    EXPECT_FALSE(SkalierenGroesseErlaubt(50000, 50000));
    EXPECT_FALSE(SkalierenGroesseErlaubt(99999, 99999));

    TMeldungsFaenger faenger;
    Oeffnen(Grau(50, 50, 7));
    Eingeben(d->nedBreitePixel, 50000);
    d->btnOk->click();
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(faenger.texte[0],
              QStringLiteral("Bilder die eine Größe von 340 MB überschreiten, können nicht erzeugt werden."));
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(f->OriginalBild.Width(), 50);
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_FALSE(BildBearbeitet);
}

TEST_F(SkalierenDialog, MethodeUndNachschaerfenWieDieRoutinen)
{
    const TBitmap quelle = Zufall(31, 23, 9);
    Oeffnen(quelle);
    d->cbSVBeibehalten->setChecked(false);
    Eingeben(d->nedBreitePixel, 50);
    Eingeben(d->nedHoehePixel, 17);
    d->rbQuick->setChecked(true);
    d->rbSkalNachschaerfenStark->setChecked(true);
    d->btnOk->click();
    TBitmap erwartet(quelle.Bild().copy());
    BitmapQuickSkalieren(erwartet, 50, 17);
    BitmapSchaerfen(erwartet, 36);
    EXPECT_TRUE(Gleich(f->OriginalBild, erwartet));

    Oeffnen(quelle);
    EXPECT_TRUE(d->rbQuick->isChecked());   // kept between openings
    EXPECT_FALSE(d->cbSVBeibehalten->isChecked());
    Eingeben(d->nedBreitePixel, 13);
    d->rbMitchell->setChecked(true);
    d->rbSkalNachschaerfenOhne->setChecked(true);
    d->btnOk->click();
    TBitmap mitchell(quelle.Bild().copy());
    BitmapSkalieren(mitchell, 13, 23, 0, FilterNrMitchell);
    EXPECT_TRUE(Gleich(f->OriginalBild, mitchell));

    for (auto [knopf, nummer] : {std::pair{d->rbBox, 0}, std::pair{d->rbTriangle, 1}, std::pair{d->rbHermite, 2},
                                 std::pair{d->rbBell, 3}, std::pair{d->rbSpline, 4}, std::pair{d->rbLanczos, 5},
                                 std::pair{d->rbMitchell, 6}, std::pair{d->rbQuick, -1}}) {
        knopf->setChecked(true);
        EXPECT_EQ(d->FilterNummer(), nummer);
    }
    d->rbSkalNachschaerfenLeicht->setChecked(true);
    EXPECT_EQ(d->Nachschaerfung(), 8);
    d->rbSkalNachschaerfenMittel->setChecked(true);
    EXPECT_EQ(d->Nachschaerfung(), 18);
}

TEST_F(SkalierenDialog, AbbrechenAendertNichts)
{
    Oeffnen(Grau(20, 10, 5));
    Eingeben(d->nedBreitePixel, 90);
    d->btnAbbrechen->click();
    EXPECT_EQ(f->OriginalBild.Width(), 20);
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_FALSE(BildBearbeitet);
}

TEST_F(SkalierenDialog, FehlschlagLaesstBildUndBearbeitetZustandOhneNachschaerfen)
{
    // Too little address space for an 11000 x 11000 image: the resize fails
    // inside the resampler.
    const TBitmap quelle = Zufall(30, 30, 4);
    Oeffnen(quelle);
    Eingeben(d->nedBreitePixel, 11000);
    d->rbSkalNachschaerfenStark->setChecked(true);
    TMeldungsFaenger faenger;
    {
        // Current size plus a margin, far below the 363 MB the image needs.
        TSpeicherGrenze grenze(120ul << 20);
        ASSERT_TRUE(grenze.ok);
        d->btnOk->click();
    }
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(faenger.texte[0], QStringLiteral("Fehler beim Skalieren. Zielbild zu groß."));
    EXPECT_TRUE(Gleich(f->OriginalBild, quelle));
    EXPECT_FALSE(BildBearbeitet);
    EXPECT_EQ(RueckgaengigAnzahl, 0);
}

TEST_F(SkalierenDialog, FehlschlagNurBeimNachschaerfenBehaeltDasSkalierteBild)
{
    // 11000 x 11000 takes 363 MB: the resized image fits below the limit,
    // the second image of that size the sharpening needs does not.
    const TBitmap quelle = Zufall(30, 30, 12);
    Oeffnen(quelle);
    Eingeben(d->nedBreitePixel, 11000);
    d->rbQuick->setChecked(true);
    d->rbSkalNachschaerfenStark->setChecked(true);
    TMeldungsFaenger faenger;
    {
        TSpeicherGrenze grenze(363ul * 1000 * 1000 + (200ul << 20));
        ASSERT_TRUE(grenze.ok);
        d->btnOk->click();
    }
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(faenger.texte[0],
              QStringLiteral("Fehler beim Nachschärfen: Der Arbeitsspeicher reicht nicht. "
                             "Das Bild wurde skaliert, aber nicht nachgeschärft."));
    EXPECT_FALSE(d->isVisible());
    // The resize is kept, unsharpened, as one edit that undo takes back.
    ASSERT_EQ(f->OriginalBild.Width(), 11000);
    ASSERT_EQ(f->OriginalBild.Height(), 11000);
    {
        TBitmap erwartet(quelle.Bild().copy());
        BitmapQuickSkalieren(erwartet, 11000, 11000);
        EXPECT_TRUE(Gleich(f->OriginalBild, erwartet));
    }
    EXPECT_TRUE(BildBearbeitet);
    EXPECT_EQ(RueckgaengigAnzahl, 1);
    f->OriginalBild = TBitmap();
}
