// The attributes window: the chain of adjustments, the shared last slider
// position, the "Ok" states, dragging, the position and the preview rules.
#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include "EditierenHilfen.h"
#include "Einstellungen.h"
#include "editing/Attribute.h"
#include "pixelops/Bitmap_Schaerfen.h"
#include "pixelops/Bitmap_Weichzeichnen.h"

namespace {

class Attribute : public ::testing::Test {
protected:
    void SetUp() override
    {
        HauptfensterZeigen();
        f = frmZelvanoMain;
        RueckgaengigLoeschen();
        BildBearbeitet = false;
        AttributLetztePosition = 0;
        AttributeX = AttributeY = 40;
        BildSetzen(Grau(8, 8, 100), 8);
        if (!frmAttribute)
            new TfrmAttribute(f);
        d = frmAttribute;
    }
    void TearDown() override
    {
        if (d->isVisible())
            d->reject();
        RueckgaengigLoeschen();
        BildBearbeitet = false;
    }
    void Oeffnen(QWidget* seite)
    {
        d->show();
        d->pcAttribute->setCurrentWidget(seite);
    }
    int AnzeigeWert() const { return qBlue(f->AnzeigeBild->Bild().pixel(1, 1)); }

    TfrmZelvanoMain* f = nullptr;
    TfrmAttribute* d = nullptr;
};

} // namespace

TEST_F(Attribute, HelligkeitKontrastDichteInDieserReihenfolgeUndOk)
{
    Oeffnen(d->tsHellKon);
    d->trbHelligkeit->setValue(25);
    EXPECT_EQ(AnzeigeWert(), 200);
    EXPECT_EQ(d->lblHelligkeit->text(), QStringLiteral("25"));
    d->trbKontrast->setValue(50);
    EXPECT_EQ(AnzeigeWert(), 236);
    // The "+" side of density darkens.
    d->trbDichte->setValue(40);
    EXPECT_EQ(AnzeigeWert(), 229);
    EXPECT_TRUE(IstEinfarbig(f->OriginalBild, 100));
    ASSERT_TRUE(d->btnHellKonOk->isEnabled());
    d->btnHellKonOk->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(IstEinfarbig(f->OriginalBild, 229));
    EXPECT_EQ(BildFarbtiefe, 24);
    EXPECT_TRUE(BildBearbeitet);
    EXPECT_EQ(RueckgaengigAnzahl, 1);
    EXPECT_EQ(AttributeX, d->x());
}

TEST_F(Attribute, GleicheLetztePositionWirdUeberAlleReglerUndOeffnungenIgnoriert)
{
    Oeffnen(d->tsHellKon);
    d->trbHelligkeit->setValue(25);
    d->trbKontrast->setValue(50);
    d->trbDichte->setValue(50);
    EXPECT_EQ(d->lblDichte->text(), QStringLiteral("0"));
    EXPECT_EQ(AnzeigeWert(), 236);
    d->btnHellKonOk->click();
    EXPECT_TRUE(IstEinfarbig(f->OriginalBild, 236));

    // The next opening still remembers 50.
    Oeffnen(d->tsSchaerfe);
    EXPECT_EQ(d->trbScharfRegler->value(), 0);
    d->trbScharfRegler->setValue(50);
    EXPECT_EQ(d->lblScharfWert->text(), QStringLiteral("0"));
    EXPECT_FALSE(d->btnSharfOk->isEnabled());
    d->reject();
}

TEST_F(Attribute, OkNurBeiEinerEinstellungUngleichNull)
{
    Oeffnen(d->tsSchaerfe);
    EXPECT_FALSE(d->btnSharfOk->isEnabled());
    d->trbScharfRegler->setValue(10);
    EXPECT_TRUE(d->btnSharfOk->isEnabled());
    d->trbScharfRegler->setValue(0);
    EXPECT_FALSE(d->btnSharfOk->isEnabled());
    d->pcAttribute->setCurrentWidget(d->tsHellKon);
    d->trbHelligkeit->setValue(10);
    EXPECT_TRUE(d->btnHellKonOk->isEnabled());
    d->trbHelligkeit->setValue(0);
    EXPECT_FALSE(d->btnHellKonOk->isEnabled());
    // Every opening starts disabled.
    d->trbKontrast->setValue(30);
    d->reject();
    d->show();
    EXPECT_FALSE(d->btnHellKonOk->isEnabled());
    EXPECT_EQ(d->trbKontrast->value(), 0);
    EXPECT_EQ(d->lblKontrast->text(), QStringLiteral("0"));
}

TEST_F(Attribute, ZiehenZeigtNurDenWertErstDasLoslassenRechnet)
{
    Oeffnen(d->tsHellKon);
    const int vorher = AnzeigeWert();
    d->trbHelligkeit->setSliderDown(true);
    d->trbHelligkeit->setValue(30);
    EXPECT_EQ(d->lblHelligkeit->text(), QStringLiteral("30"));
    EXPECT_EQ(AnzeigeWert(), vorher);
    d->trbHelligkeit->setSliderDown(false);
    EXPECT_EQ(AnzeigeWert(), 220);
    EXPECT_TRUE(d->trbHelligkeit->isEnabled());
    EXPECT_FALSE(AttributSperre);
}

TEST_F(Attribute, OkOhneVorschauRechnetDieGezeigteEinstellung)
{
    // Ok is enabled while the thumb is still held, before any preview: the
    // image must become the result of what the label shows, never empty.
    Oeffnen(d->tsHellKon);
    d->trbHelligkeit->setSliderDown(true);
    d->trbHelligkeit->setValue(20);
    ASSERT_TRUE(d->btnHellKonOk->isEnabled());
    d->btnHellKonOk->click();
    d->trbHelligkeit->setSliderDown(false);
    ASSERT_EQ(f->OriginalBild.Width(), 8);
    EXPECT_TRUE(IstEinfarbig(f->OriginalBild, 180));
    EXPECT_EQ(RueckgaengigAnzahl, 1);
}

TEST_F(Attribute, VorschauEinerSeiteGiltNichtFuerDieAndere)
{
    // A sharpness preview, then the other page with a brightness: Ok takes
    // brightness alone, from the original.
    BildSetzen(Zufall(12, 9, 5));
    const TBitmap original(f->OriginalBild.Bild().copy());
    Oeffnen(d->tsSchaerfe);
    d->rbtWeichzeichnen->click();
    d->trbScharfRegler->setValue(4);
    TBitmap erwartet(original.Bild().copy());
    BitmapWeichzeichnen(erwartet, 4);
    EXPECT_TRUE(Gleich(TBitmap(f->AnzeigeBild->Bild()), erwartet));
    // Switching pages drops the preview from the display.
    d->pcAttribute->setCurrentWidget(d->tsHellKon);
    EXPECT_TRUE(Gleich(TBitmap(f->AnzeigeBild->Bild()), original));
    d->pcAttribute->setCurrentWidget(d->tsSchaerfe);
    d->rbtSchaerfen->click();
    d->trbScharfRegler->setValue(36);
    d->btnSharfOk->click();
    TBitmap scharf(original.Bild().copy());
    BitmapSchaerfen(scharf, 36);
    EXPECT_TRUE(Gleich(f->OriginalBild, scharf));
}

TEST_F(Attribute, TastaturBleibtNachDerVorschauAmRegler)
{
    Oeffnen(d->tsHellKon);
    d->activateWindow();
    QApplication::setActiveWindow(d);
    d->trbKontrast->setFocus();
    ASSERT_TRUE(d->trbKontrast->hasFocus());
    d->trbKontrast->setValue(12);
    EXPECT_TRUE(d->trbKontrast->hasFocus());
    EXPECT_EQ(d->lblKontrast->text(), QStringLiteral("12"));
}

TEST_F(Attribute, AbbrechenAendertNichts)
{
    Oeffnen(d->tsHellKon);
    d->trbHelligkeit->setValue(60);
    d->btnHellKonAbbrechen->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(IstEinfarbig(f->OriginalBild, 100));
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_FALSE(BildBearbeitet);
    EXPECT_EQ(BildFarbtiefe, 8);
}

TEST_F(Attribute, FensterBleibtZwanzigPixelImBildschirm)
{
    const QRect schirm = QGuiApplication::primaryScreen()->geometry();
    AttributeX = 50000;
    AttributeY = 50000;
    d->show();
    EXPECT_EQ(d->x(), schirm.width() - 20);
    EXPECT_EQ(d->y(), schirm.height() - 20);
    d->move(33, 44);
    d->close();
    EXPECT_EQ(AttributeX, 33);
    EXPECT_EQ(AttributeY, 44);
    d->show();
    EXPECT_EQ(d->pos(), QPoint(33, 44));
}
