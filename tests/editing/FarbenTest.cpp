#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest/QTest>
#include <array>
#include <optional>
#include "AnzeigeBild.h"
#include "DialogHilfen.h"
#include "Einstellungen.h"
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "editing/Farben.h"

namespace {

using TPixel = std::array<int, 3>;   // blue, green, red

class FarbenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
        new TfrmFarben(frmZelvanoMain);
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        d = frmFarben;
        ASSERT_NE(d, nullptr);
        MaxRueck = 10;
        AnzeigeGamma = 0;
        RueckgaengigLoeschen();
        // Positions no start value uses, so every test's moves are acted on.
        FarbenLetztePosition = -1000;
    }
    void TearDown() override
    {
        if (d->isVisible())
            d->done(QDialog::Rejected);
    }

    // An 8 x 8 working image of one colour (and a second colour in the
    // right half when given), shown as a loaded 24-bit image.
    void Bild(TPixel links, std::optional<TPixel> rechts = std::nullopt)
    {
        TBitmap b(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const TPixel p = (x >= 4 && rechts) ? *rechts : links;
                uint8_t* q = b.ScanLine(y) + 3 * x;
                q[0] = uint8_t(p[0]);
                q[1] = uint8_t(p[1]);
                q[2] = uint8_t(p[2]);
            }
        f->OriginalBild = b;
        BildFarbtiefe = 24;
        BildBearbeitet = false;
        f->AnzeigeBild->SetBild(b.Bild());
        f->SetAnzeigeBild();
    }
    static TPixel Px(const TBitmap& b, int x = 0, int y = 0)
    {
        const uint8_t* p = b.ScanLine(y) + 3 * x;
        return {p[0], p[1], p[2]};
    }
    // Opens the dialog the way the main window does: page first, hidden.
    void Oeffnen(int seite)
    {
        d->pcFarben->setCurrentIndex(seite);
        d->show();
        QApplication::processEvents();
    }

    TfrmZelvanoMain* f = nullptr;
    TfrmFarben* d = nullptr;
};

TEST_F(FarbenTest, Toenen_OkSofortGibtSepiaMitEinemRueckgaengigSchritt)
{
    Bild({100, 100, 100});
    Oeffnen(1);
    EXPECT_EQ(d->FarbModus, 2);
    EXPECT_TRUE(d->btnTonOk->isDefault());
    EXPECT_FALSE(d->btnKorOk->isDefault());
    // Enter presses the page's Ok.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(d, &enter);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(Px(f->OriginalBild), (TPixel{100, 117, 144}));
    EXPECT_EQ(BildFarbtiefe, 24);
    EXPECT_TRUE(BildBearbeitet);
    EXPECT_EQ(RueckgaengigAnzahl, 1);
}

TEST_F(FarbenTest, Vorschau_ZeigtSichImAnzeigeBildNichtImArbeitsbild)
{
    Bild({100, 100, 100});
    Oeffnen(1);
    const QImage anzeige = f->AnzeigeBild->Bild().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(anzeige.pixelColor(0, 0), QColor(144, 117, 100));
    EXPECT_EQ(Px(f->OriginalBild), (TPixel{100, 100, 100}));
    d->btnTonAbbrechen->click();
    EXPECT_EQ(Px(f->OriginalBild), (TPixel{100, 100, 100}));
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_FALSE(BildBearbeitet);
}

TEST_F(FarbenTest, Korrektur_OkNurNachEchterAenderung)
{
    Bild({128, 128, 128});
    Oeffnen(0);
    EXPECT_FALSE(d->btnKorOk->isEnabled());
    EXPECT_FALSE(d->btnKorOriginal->isEnabled());
    d->tbKorGelb->setValue(-1);
    EXPECT_TRUE(d->btnKorOk->isEnabled());
    EXPECT_TRUE(d->btnKorOriginal->isEnabled());
    EXPECT_EQ(d->KorFarbe, 0x01FFFFu);
    // Back to the start value: nothing to apply.
    d->tbKorGelb->setValue(-255);
    EXPECT_FALSE(d->btnKorOk->isEnabled());
    d->tbKorGelb->setValue(-1);
    d->btnKorOk->click();
    EXPECT_EQ(Px(f->OriginalBild), (TPixel{50, 150, 150}));
    EXPECT_EQ(BildFarbtiefe, 24);
}

TEST_F(FarbenTest, Korrektur_IntensitaetAlleinUndOriginal)
{
    Bild({128, 128, 128});
    Oeffnen(0);
    d->tbKorIntensitaet->setValue(200);
    EXPECT_EQ(Px(d->FarbBild), (TPixel{159, 159, 159}));
    d->btnKorOriginal->click();
    EXPECT_EQ(d->tbKorIntensitaet->value(), 100);
    EXPECT_EQ(d->KorIntensitaet, 100);
    EXPECT_FALSE(d->btnKorOk->isEnabled());
    EXPECT_EQ(Px(d->FarbBild), (TPixel{128, 128, 128}));
}

TEST_F(FarbenTest, Schwellwert_OkGibtSchwarzWeissUndTiefeEins)
{
    Bild({128, 128, 128}, TPixel{129, 129, 129});
    Oeffnen(5);
    d->btnSchOk->click();
    EXPECT_EQ(Px(f->OriginalBild, 0), (TPixel{0, 0, 0}));
    EXPECT_EQ(Px(f->OriginalBild, 7), (TPixel{255, 255, 255}));
    EXPECT_EQ(BildFarbtiefe, 1);
    // The bitmap itself stays 24-bit.
    EXPECT_EQ(f->OriginalBild.Bild().format(), QImage::Format_BGR888);
}

TEST_F(FarbenTest, Schwellwert_EtikettFolgtDemRegler)
{
    Bild({100, 100, 100});
    Oeffnen(5);
    d->tbSchwellwert->setValue(90);
    EXPECT_EQ(d->lblSchwellwert->text(), QStringLiteral("90"));
    EXPECT_EQ(Px(d->FarbBild), (TPixel{255, 255, 255}));
}

TEST_F(FarbenTest, Graustufen_IsoOkLaesstTiefe)
{
    Bild({0, 0, 255}, TPixel{255, 255, 255});
    BildFarbtiefe = 8;
    Oeffnen(4);
    d->btnGrauOk->click();
    EXPECT_EQ(Px(f->OriginalBild, 0), (TPixel{77, 77, 77}));
    EXPECT_EQ(Px(f->OriginalBild, 7), (TPixel{255, 255, 255}));
    EXPECT_EQ(BildFarbtiefe, 8);
}

TEST_F(FarbenTest, Graustufen_ReglerLoestVorgabeUndVorgabeSetztRegler)
{
    Bild({0, 0, 255});
    Oeffnen(4);
    EXPECT_TRUE(d->rbGrauIsoNeutral->isChecked());
    d->tbGrauRot->setValue(97);
    d->tbGrauGruen->setValue(93);
    EXPECT_EQ(d->grbGrauRGB->title(), QStringLiteral(" Sättigung: 201% "));
    for (QRadioButton* rb : {d->rbGrauIsoNeutral, d->rbGrauFarbNeutral, d->rbGrauRot, d->rbGrauGruen,
                             d->rbGrauBlau, d->rbGrauCyan, d->rbGrauMagenta, d->rbGrauGelb})
        EXPECT_FALSE(rb->isChecked()) << rb->objectName().toStdString();
    // Weights adding up to 2.01 clamp at white instead of wrapping.
    Bild({200, 200, 200});
    d->tbGrauBlau->setValue(12);
    EXPECT_EQ(Px(d->FarbBild), (TPixel{255, 255, 255}));
    d->rbGrauFarbNeutral->click();
    EXPECT_TRUE(d->rbGrauFarbNeutral->isChecked());
    EXPECT_EQ(d->tbGrauRot->value(), 34);
    EXPECT_EQ(d->tbGrauGruen->value(), 33);
    EXPECT_EQ(d->tbGrauBlau->value(), 33);
    EXPECT_EQ(Px(d->FarbBild), (TPixel{200, 200, 200}));
}

TEST_F(FarbenTest, Kolorieren_PositivNegativUndFilter)
{
    Bild({100, 100, 100});
    Oeffnen(3);
    d->tbKolorierenIntensitaet->setValue(101);
    EXPECT_EQ(d->grbKolorierenIntensitaet->title(), QStringLiteral(" Intensität 101 "));
    EXPECT_EQ(Px(d->FarbBild), (TPixel{100, 100, 132}));
    // Zero and below take the complementary colour (cyan for red).
    d->tbKolorierenIntensitaet->setValue(-101);
    EXPECT_EQ(Px(d->FarbBild), (TPixel{132, 132, 100}));
    d->tbKolorierenIntensitaet->setValue(0);
    d->cbFilter->setChecked(true);
    EXPECT_EQ(Px(d->FarbBild), (TPixel{83, 83, 83}));
    d->cbFilter->setChecked(false);
}

TEST_F(FarbenTest, Kolorieren_FarbfeldSetztWertUndBalken)
{
    Bild({100, 100, 100});
    Oeffnen(3);
    d->tbKolorierenIntensitaet->setValue(101);
    QMouseEvent druck(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(d->shpKolGruen, &druck);
    EXPECT_EQ(d->KolFarbe, 0x008000u);   // the outline's green, not the lime fill
    EXPECT_EQ(d->shpKolWert->Fuellung(), QColor(0, 255, 0));
    EXPECT_EQ(d->shpKolWert->Rand(), QColor(0, 128, 0));
    // Green 128 / 155 is below 1: the factor stays 1.
    EXPECT_EQ(Px(d->FarbBild), (TPixel{100, 100, 100}));
}

TEST_F(FarbenTest, Einfaerben_StartwerteUndGemeinsameLetztePosition)
{
    Bild({100, 100, 100});
    Oeffnen(2);
    EXPECT_EQ(Px(d->FarbBild), (TPixel{36, 36, 163}));
    d->tbEinGraugrenze->setValue(77);
    EXPECT_EQ(d->EinGraugrenze, 77);
    // The same position on another slider is not acted on: the parameter
    // keeps its value although the slider shows 77.
    d->tbEinSchwarzgrenze->setValue(77);
    EXPECT_EQ(d->EinSchwarzgrenze, 0);
    EXPECT_EQ(FarbenLetztePosition, 77);
}

TEST_F(FarbenTest, Einfaerben_FarbeAusDerListe)
{
    Bild({100, 100, 100});
    Oeffnen(2);
    const int blau = d->cobEinFarbe->findText(QStringLiteral("Blau"));
    ASSERT_GT(blau, 0);
    d->cobEinFarbe->setCurrentIndex(blau);
    emit d->cobEinFarbe->activated(blau);
    EXPECT_EQ(d->EinFarbe, 0xFF0000u);
    EXPECT_EQ(Px(d->FarbBild), (TPixel{163, 36, 36}));
    // The box keeps its choice for the next opening.
    d->done(QDialog::Rejected);
    Oeffnen(2);
    EXPECT_EQ(d->EinFarbe, 0xFF0000u);
    d->cobEinFarbe->setCurrentIndex(d->cobEinFarbe->findText(QStringLiteral("Rot")));
}

TEST_F(FarbenTest, Einfaerben_EigeneFarbeAbgebrochenBehaeltDieAlte)
{
    Bild({100, 100, 100});
    Oeffnen(2);
    const int vorher = d->cobEinFarbe->currentIndex();
    const TFarbwert farbe = d->EinFarbe;
    TModalSchliesser schliesser;   // the colour chooser is cancelled at once
    d->cobEinFarbe->setCurrentIndex(0);
    emit d->cobEinFarbe->activated(0);
    EXPECT_EQ(schliesser.geschlossen, 1);
    EXPECT_EQ(d->cobEinFarbe->currentIndex(), vorher);
    EXPECT_EQ(d->EinFarbe, farbe);
    EXPECT_EQ(Px(d->FarbBild), (TPixel{36, 36, 163}));
}

TEST_F(FarbenTest, Seitenwechsel_SetztAlleSeitenZurueck)
{
    Bild({100, 100, 100});
    Oeffnen(1);
    d->tbTonIntensitaet->setValue(250);
    EXPECT_EQ(d->TonIntensitaet, 250);
    d->pcFarben->setCurrentIndex(4);
    EXPECT_EQ(d->FarbModus, 5);
    EXPECT_EQ(d->TonIntensitaet, 100);
    EXPECT_EQ(d->tbTonIntensitaet->value(), 100);
    EXPECT_EQ(Px(d->FarbBild), (TPixel{100, 100, 100}));   // grey stays grey
    for (QSlider* r : d->Regler())
        EXPECT_TRUE(r->isEnabled()) << r->objectName().toStdString();
}

TEST_F(FarbenTest, Position_WirdBegrenztUndBeimSchliessenGemerkt)
{
    Bild({100, 100, 100});
    const QRect schirm = QGuiApplication::primaryScreen()->geometry();
    FarbenX = 100000;
    FarbenY = 100000;
    Oeffnen(0);
    EXPECT_EQ(d->x(), schirm.width() - 20);
    EXPECT_EQ(d->y(), schirm.height() - 20);
    d->move(40, 50);
    // The title-bar button acts as Abbrechen and still stores the position.
    d->close();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(FarbenX, 40);
    EXPECT_EQ(FarbenY, 50);
    EXPECT_EQ(RueckgaengigAnzahl, 0);
}

TEST_F(FarbenTest, Fehler_MeldetUndOkAendertNichts)
{
    TMeldungsFaenger faenger;
    Bild({100, 100, 100});
    Oeffnen(1);
    f->OriginalBild.Clear();
    d->tbTonIntensitaet->setValue(222);
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(faenger.texte[0], QStringLiteral("Fehler bei der Farbbearbeitung."));
    EXPECT_TRUE(d->tbTonIntensitaet->isEnabled());
    d->btnTonOk->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(f->OriginalBild.IsEmpty());
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_FALSE(BildBearbeitet);
}

// ---- Keyboard --------------------------------------------------------------------

// The widget a key goes to.
QWidget* Fokus()
{
    return QApplication::focusWidget();
}

// Clicks the slider's thumb where it is drawn, as a user does before the keys.
void DaumenKlicken(QSlider* regler)
{
    QStyleOptionSlider option;
    option.initFrom(regler);
    option.orientation = regler->orientation();
    option.minimum = regler->minimum();
    option.maximum = regler->maximum();
    option.sliderPosition = regler->sliderPosition();
    option.sliderValue = regler->value();
    option.singleStep = regler->singleStep();
    option.pageStep = regler->pageStep();
    option.tickPosition = regler->tickPosition();
    option.tickInterval = regler->tickInterval();
    option.upsideDown = regler->invertedAppearance() != (option.direction == Qt::RightToLeft);
    option.subControls = QStyle::SC_All;
    const QRect daumen = regler->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, regler);
    QTest::mouseClick(regler, Qt::LeftButton, Qt::NoModifier, daumen.center());
    // The click's preview runs once the release is through.
    QApplication::processEvents();
}

class FarbenTastaturTest : public FarbenTest, public ::testing::WithParamInterface<int> {};

// End, then Left twice: every key acts on the slider whose thumb was clicked,
// each step is previewed, and no other slider of the page moves.
TEST_P(FarbenTastaturTest, TastenBleibenAmGeklicktenRegler)
{
    Bild({100, 100, 100});
    Oeffnen(GetParam());
    ASSERT_TRUE(FensterAktivieren(d));
    const QList<QSlider*> seite = d->pcFarben->currentWidget()->findChildren<QSlider*>();
    ASSERT_FALSE(seite.isEmpty());
    for (QSlider* regler : seite) {
        const std::string name = regler->objectName().toStdString();
        QList<int> vorher;
        for (QSlider* r : seite)
            vorher << r->value();
        DaumenKlicken(regler);
        EXPECT_EQ(Fokus(), regler) << name;
        QTest::keyClick(Fokus(), Qt::Key_End);
        QTest::keyClick(Fokus(), Qt::Key_Left);
        QTest::keyClick(Fokus(), Qt::Key_Left);
        EXPECT_EQ(Fokus(), regler) << name;
        EXPECT_EQ(regler->value(), regler->maximum() - 2) << name;
        for (int i = 0; i < seite.size(); ++i) {
            if (seite[i] != regler)
                EXPECT_EQ(seite[i]->value(), vorher[i]) << name << " moved " << seite[i]->objectName().toStdString();
        }
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->pcFarben->currentIndex(), GetParam());
    }
}

INSTANTIATE_TEST_SUITE_P(JedeSeite, FarbenTastaturTest, ::testing::Range(0, 6));

// A key that comes in while a step is previewed reaches no other control.
TEST_F(FarbenTest, TasteWaehrendDerVorschauGehtAnKeinAnderesElement)
{
    Bild({100, 100, 100});
    Oeffnen(0);
    ASSERT_TRUE(FensterAktivieren(d));
    d->tbKorGelb->setFocus();
    // Queued as the window system queues a key typed ahead: it goes to the
    // control that has the focus when it is handled.
    QCoreApplication::postEvent(d->windowHandle(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier));
    QTest::keyClick(Fokus(), Qt::Key_End);
    QApplication::processEvents();
    EXPECT_EQ(Fokus(), d->tbKorGelb);
    EXPECT_EQ(d->tbKorCyan->value(), -255);
    EXPECT_EQ(d->tbKorMagenta->value(), -255);
    EXPECT_EQ(d->tbKorIntensitaet->value(), 100);
    EXPECT_EQ(d->pcFarben->currentIndex(), 0);
}

// ---- Size -------------------------------------------------------------------------

// All six tabs lie whole inside the window, their titles not cut short.
void AlleReiterSichtbar(TfrmFarben* fenster)
{
    QTabBar* leiste = fenster->pcFarben->tabBar();
    ASSERT_EQ(leiste->count(), 6);
    const QRect sichtbar = leiste->rect().intersected(QRect(leiste->mapFrom(fenster, QPoint(0, 0)), fenster->size()));
    for (int i = 0; i < leiste->count(); ++i) {
        const QRect reiter = leiste->tabRect(i);
        EXPECT_TRUE(sichtbar.contains(reiter)) << leiste->tabText(i).toStdString() << " at " << reiter.x() << "+"
                                               << reiter.width() << ", visible up to " << sichtbar.right();
        EXPECT_GE(reiter.width(), leiste->fontMetrics().horizontalAdvance(leiste->tabText(i)))
            << leiste->tabText(i).toStdString();
    }
}

TEST_F(FarbenTest, Groesse_AlleSechsReiterImFenster)
{
    Bild({100, 100, 100});
    Oeffnen(5);
    AlleReiterSichtbar(d);
    EXPECT_GE(d->width(), 454);
    EXPECT_GE(d->height(), 441);
}

TEST_F(FarbenTest, Groesse_AlleSechsReiterAuchBeiGrosserSchrift)
{
    Bild({100, 100, 100});
    const QFont vorher = QApplication::font();
    QFont gross = vorher;
    gross.setPointSizeF(vorher.pointSizeF() * 1.5);
    QApplication::setFont(gross);
    {
        TfrmFarben fenster(f);
        EXPECT_EQ(fenster.pcFarben->tabBar()->font().pointSizeF(), gross.pointSizeF());
        fenster.pcFarben->setCurrentIndex(5);
        fenster.show();
        QApplication::processEvents();
        AlleReiterSichtbar(&fenster);
        fenster.done(QDialog::Rejected);
    }
    QApplication::setFont(vorher);
}

} // namespace
