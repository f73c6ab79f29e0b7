#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <functional>
#include <set>
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "Modi.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "AnzeigeBild.h"
#include "editing/Farben.h"
#include "Testnaht.h"
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

namespace {

class FarbbefehleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        ASSERT_NE(f, nullptr);
        MaxRueck = 20;
        AnzeigeGamma = 0;
        Ausschneiden = Fotoschnitt = Festschnitt = WinkelMessen = false;
        ordner = FrischerOrdner(QStringLiteral("farbbefehle"));
    }

    // A 24-bit colour gradient, loaded as the user would open it.
    void Laden(const QImage& bild)
    {
        const QString pfad = ordner + QStringLiteral("/bild%1.png").arg(++zaehler);
        ASSERT_TRUE(bild.save(pfad));
        BildListe = QStringList{pfad};
        BildIndex = 0;
        f->BildAnzeigen();
        RueckgaengigLoeschen();
        BildBearbeitet = false;
        MenuesSetzen();
        ASSERT_EQ(BildFarbtiefe, 24);
    }
    void VerlaufLaden(int b = 64, int h = 48)
    {
        QImage bild(b, h, QImage::Format_RGB888);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < b; ++x)
                bild.setPixelColor(x, y, QColor(x * 255 / (b - 1), y * 255 / (h - 1), (x + y) * 255 / (b + h - 2)));
        Laden(bild);
    }

    static std::set<QRgb> Farben(const TBitmap& bmp)
    {
        std::set<QRgb> farben;
        const QImage bild = bmp.Bild().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < bild.height(); ++y)
            for (int x = 0; x < bild.width(); ++x)
                farben.insert(bild.pixel(x, y));
        return farben;
    }
    static QImage Pixel(const TBitmap& bmp) { return bmp.Bild().convertToFormat(QImage::Format_RGB32); }

    void Rueckgaengig()
    {
        f->mBeaRueckgaengig->trigger();
    }

    struct Reduktion {
        QAction* TfrmZelvanoMain::*aktion;
        int tiefe;
        int hoechstensFarben;
    };
    std::vector<Reduktion> Reduktionen() const
    {
        using F = TfrmZelvanoMain;
        return {{&F::mFar1FehlerVerteilungsDithering, 1, 2}, {&F::mFar1HalbtonMonoDithering, 1, 2},
                {&F::mFar1BayerMonoDithering, 1, 2},         {&F::mFar4Octree, 4, 16},
                {&F::mFar4FehlerVerteilungsDithering, 4, 16}, {&F::mFar4BayerFarbDithering, 4, 16},
                {&F::mFar8Oct, 8, 256},                       {&F::mFar8FehlerVerteilungsDithering, 8, 256},
                {&F::mFar8PalettenOptimierung, 8, 256}};
    }

    TfrmZelvanoMain* f = nullptr;
    QString ordner;
    int zaehler = 0;
};

TEST_F(FarbbefehleTest, Reduktion_JedeMethodeGibtTiefeFarbzahlUndStatustext)
{
    for (const Reduktion& r : Reduktionen()) {
        VerlaufLaden();
        QAction* aktion = f->*r.aktion;
        ASSERT_TRUE(aktion->isEnabled()) << aktion->objectName().toStdString();
        aktion->trigger();
        EXPECT_EQ(BildFarbtiefe, r.tiefe) << aktion->objectName().toStdString();
        EXPECT_LE(int(Farben(f->OriginalBild).size()), r.hoechstensFarben) << aktion->objectName().toStdString();
        EXPECT_GE(Farben(f->OriginalBild).size(), 2u) << aktion->objectName().toStdString();
        EXPECT_EQ(f->StatusPanel[1]->text(), QStringLiteral("Farbtiefe: %1 Bit").arg(r.tiefe));
        EXPECT_TRUE(BildBearbeitet);
        EXPECT_EQ(f->OriginalBild.Width(), 64);
        EXPECT_EQ(f->OriginalBild.Height(), 48);
    }
}

TEST_F(FarbbefehleTest, Reduktion_Nach1BitNurNochExpansionenAngeboten)
{
    VerlaufLaden();
    f->mFar1FehlerVerteilungsDithering->trigger();
    ASSERT_EQ(BildFarbtiefe, 1);
    EXPECT_FALSE(f->FarbreduktionAuf1Bit->menuAction()->isEnabled());
    EXPECT_FALSE(f->FarbreduktionAuf4Bit->menuAction()->isEnabled());
    EXPECT_FALSE(f->FarbreduktionAuf8Bit->menuAction()->isEnabled());
    EXPECT_TRUE(f->mFarFarbexpansion4->isEnabled());
    EXPECT_TRUE(f->mFarFarbexpansion8->isEnabled());
    EXPECT_TRUE(f->mFarFarbexpansion24->isEnabled());
    EXPECT_FALSE(f->menFilter->menuAction()->isEnabled());
}

TEST_F(FarbbefehleTest, Befehl_LegtGenauEinenRueckgaengigSchrittAn)
{
    using F = TfrmZelvanoMain;
    for (QAction* F::*a : {&F::mFar8Oct, &F::mFarInvertieren, &F::mFilterIsoSobel, &F::mFilterPraegen,
                           &F::mFilterSchleier}) {
        VerlaufLaden();
        const int vorher = RueckgaengigAnzahl;
        (f->*a)->trigger();
        EXPECT_EQ(RueckgaengigAnzahl, vorher + 1) << (f->*a)->objectName().toStdString();
    }
}

TEST_F(FarbbefehleTest, Rueckgaengig_NachReduktionStelltPixelUndTiefeHer)
{
    for (const Reduktion& r : Reduktionen()) {
        VerlaufLaden();
        const QImage vorher = Pixel(f->OriginalBild);
        (f->*r.aktion)->trigger();
        ASSERT_EQ(BildFarbtiefe, r.tiefe);
        Rueckgaengig();
        EXPECT_EQ(BildFarbtiefe, 24);
        EXPECT_EQ(Pixel(f->OriginalBild), vorher) << (f->*r.aktion)->objectName().toStdString();
        EXPECT_EQ(f->StatusPanel[1]->text(), QStringLiteral("Farbtiefe: 24 Bit"));
    }
}

TEST_F(FarbbefehleTest, Expansion24_LaesstPixelUndRueckgaengigGibtAlteTiefe)
{
    VerlaufLaden();
    f->mFar8Oct->trigger();
    ASSERT_EQ(BildFarbtiefe, 8);
    const QImage reduziert = Pixel(f->OriginalBild);
    ASSERT_TRUE(f->mFarFarbexpansion24->isEnabled());
    f->mFarFarbexpansion24->trigger();
    EXPECT_EQ(BildFarbtiefe, 24);
    EXPECT_EQ(Pixel(f->OriginalBild), reduziert);
    EXPECT_TRUE(f->menFilter->menuAction()->isEnabled());
    Rueckgaengig();
    EXPECT_EQ(BildFarbtiefe, 8);
}

TEST_F(FarbbefehleTest, Expansion_1BitAuf8BitBehaeltDieZweiFarben)
{
    VerlaufLaden();
    f->mFar1BayerMonoDithering->trigger();
    ASSERT_EQ(BildFarbtiefe, 1);
    const std::set<QRgb> zwei = Farben(f->OriginalBild);
    ASSERT_EQ(zwei.size(), 2u);
    f->mFarFarbexpansion8->trigger();
    EXPECT_EQ(BildFarbtiefe, 8);
    EXPECT_EQ(Farben(f->OriginalBild), zwei);
    f->mFarFarbexpansion4->trigger();
    EXPECT_EQ(BildFarbtiefe, 8) << "4 Bit is no expansion from 8";
}

TEST_F(FarbbefehleTest, Invertieren_ZweimalGibtOriginalUndLaesstTiefe)
{
    QImage bild(3, 2, QImage::Format_RGB888);
    bild.fill(QColor(255, 128, 0));   // blue 0, green 128, red 255
    Laden(bild);
    const QImage vorher = Pixel(f->OriginalBild);
    f->mFarInvertieren->trigger();
    EXPECT_EQ(Pixel(f->OriginalBild).pixelColor(1, 1), QColor(0, 127, 255));
    EXPECT_EQ(BildFarbtiefe, 24);
    f->mFarInvertieren->trigger();
    EXPECT_EQ(Pixel(f->OriginalBild), vorher);
    EXPECT_EQ(BildFarbtiefe, 24);
    Rueckgaengig();
    EXPECT_EQ(Pixel(f->OriginalBild).pixelColor(1, 1), QColor(0, 127, 255));
}

TEST_F(FarbbefehleTest, Filter_AufEinemPixelLaeuftOhneSchaden)
{
    using F = TfrmZelvanoMain;
    TMeldungsFaenger faenger;
    for (QAction* F::*a :
         {&F::mFilterIsoPrewitt, &F::mFilterIsoRoberts, &F::mFilterIsoSobel, &F::mFilterIsoLaplacian,
          &F::mFilterIsoHorizontal, &F::mFilterIsoVertikal, &F::mFilterIsoPositivSchraeg,
          &F::mFilterIsoNegativSchraeg, &F::mFilterPraegen, &F::mFilterZerstreuen, &F::mFilterVerwischen,
          &F::mFilterRelief, &F::mFilterPoster, &F::mFilterTwist, &F::mFilterStrukturglas, &F::mFilterSchleier}) {
        QImage bild(1, 1, QImage::Format_RGB888);
        bild.fill(QColor(10, 200, 30));
        Laden(bild);
        (f->*a)->trigger();
        EXPECT_EQ(f->OriginalBild.Width(), 1) << (f->*a)->objectName().toStdString();
        EXPECT_EQ(f->OriginalBild.Height(), 1);
        EXPECT_EQ(BildFarbtiefe, 24);
        EXPECT_EQ(RueckgaengigAnzahl, 1);
    }
    EXPECT_TRUE(faenger.texte.isEmpty()) << faenger.texte.join('|').toStdString();
}

TEST_F(FarbbefehleTest, Kantenfilter_GleichfoermigesBildBleibtGleichfoermig)
{
    for (int n = 1; n <= 8; ++n) {
        QImage bild(16, 12, QImage::Format_RGB888);
        bild.fill(QColor(90, 90, 90));
        Laden(bild);
        f->SetzeIsoFilter(n);
        EXPECT_EQ(Farben(f->OriginalBild).size(), 1u) << n;
        EXPECT_EQ(BildFarbtiefe, 24);
    }
}

TEST_F(FarbbefehleTest, Beschaeftigt_ZweiterBefehlWirdAbgewiesen)
{
    VerlaufLaden();
    const bool statusleiste = Statusleiste;
    Statusleiste = true;
    int meldungen = 0;
    bool warBeschaeftigt = false;
    const auto verbindung = QObject::connect(f->Gear1, &TGear::OnStatusEvent, f, [&](int&) {
        if (meldungen++ == 0) {
            warBeschaeftigt = f->GearBeschaeftigt;
            f->mFarInvertieren->trigger();
            f->mFilterSchleier->trigger();
            f->mFarInvertierenExecute();
            f->SetzeIsoFilter(3);
        }
    });
    const int vorher = RueckgaengigAnzahl;
    f->mFar1FehlerVerteilungsDithering->trigger();
    QObject::disconnect(verbindung);
    Statusleiste = statusleiste;
    ASSERT_GT(meldungen, 0) << "the operation reported no progress";
    EXPECT_TRUE(warBeschaeftigt);
    EXPECT_FALSE(f->GearBeschaeftigt);
    EXPECT_EQ(RueckgaengigAnzahl, vorher + 1);
    EXPECT_EQ(BildFarbtiefe, 1);
    EXPECT_EQ(Farben(f->OriginalBild).size(), 2u);
}

TEST_F(FarbbefehleTest, Fehlschlag_LaesstBildUndRueckgaengigUnveraendert)
{
    VerlaufLaden();
    const QImage vorher = Pixel(f->OriginalBild);
    const int schritte = RueckgaengigAnzahl;
    TransferStoerungSetzen(true);   // the transfer back from the control cannot work
    TMeldungsFaenger faenger;
    f->mFar8Oct->trigger();
    TransferStoerungSetzen(false);
    EXPECT_FALSE(faenger.texte.isEmpty());
    EXPECT_EQ(Pixel(f->OriginalBild), vorher);
    EXPECT_EQ(BildFarbtiefe, 24);
    EXPECT_EQ(RueckgaengigAnzahl, schritte);
    EXPECT_FALSE(BildBearbeitet);
    EXPECT_FALSE(f->GearBeschaeftigt);
    // The next command works as usual.
    f->mFar8Oct->trigger();
    EXPECT_EQ(BildFarbtiefe, 8);
}

// Runs schritt once the colour dialog shows modally (the command pumps
// messages before it opens the window, so a plain zero timer is too early).
void WennFarbdialogOffen(std::function<void()> schritt)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, schritt] {
        if (!frmFarben->isVisible() || QApplication::activeModalWidget() != frmFarben)
            return;
        timer->stop();
        timer->deleteLater();
        schritt();
    });
    timer->start();
}

// Opens each colour page through its command; inside the modal loop the
// page and the preview are checked, then the page's Ok is pressed.
TEST_F(FarbbefehleTest, Farbdialogseiten_OeffnenIhreSeiteUndOkAendertDasBild)
{
    if (!frmFarben)
        new TfrmFarben(f);
    using F = TfrmZelvanoMain;
    QAction* F::*aktionen[] = {&F::mFarKorrektur, &F::mFarToenen,     &F::mFarEinfaerben,
                               &F::mFarKolorieren, &F::mFarGraustufen, &F::mFar1Schwellwert};
    QPushButton* TfrmFarben::*ok[] = {&TfrmFarben::btnKorOk,        &TfrmFarben::btnTonOk,  &TfrmFarben::btnEinOk,
                                      &TfrmFarben::btnKolorierenOk, &TfrmFarben::btnGrauOk, &TfrmFarben::btnSchOk};
    for (int seite = 0; seite < 6; ++seite) {
        VerlaufLaden();
        QAction* aktion = f->*aktionen[seite];
        ASSERT_TRUE(aktion->isEnabled()) << aktion->objectName().toStdString();
        const QImage vorher = Pixel(f->OriginalBild);
        int gesehen = -1;
        bool offen = false;
        WennFarbdialogOffen([&] {
            offen = frmFarben->isVisible();
            gesehen = frmFarben->pcFarben->currentIndex();
            // The correction page starts with nothing to apply, and
            // colourising at intensity 0 without the filter changes nothing.
            if (seite == 0)
                frmFarben->tbKorIntensitaet->setValue(150);
            if (seite == 3)
                frmFarben->tbKolorierenIntensitaet->setValue(120);
            (frmFarben->*ok[seite])->click();
        });
        aktion->trigger();
        EXPECT_TRUE(offen);
        EXPECT_EQ(gesehen, seite);
        EXPECT_FALSE(frmFarben->isVisible());
        EXPECT_NE(Pixel(f->OriginalBild), vorher) << seite;
        EXPECT_TRUE(BildBearbeitet);
        EXPECT_EQ(RueckgaengigAnzahl, 1);
        // The display shows the new working bitmap.
        EXPECT_EQ(f->AnzeigeBild->Bild().convertToFormat(QImage::Format_RGB32).pixel(3, 3),
                  Pixel(f->OriginalBild).pixel(3, 3));
        Rueckgaengig();
        EXPECT_EQ(Pixel(f->OriginalBild), vorher);
    }
    // After the threshold the depth is 1: the dialog pages are not offered.
    VerlaufLaden();
    WennFarbdialogOffen([] { frmFarben->btnSchOk->click(); });
    f->mFar1Schwellwert->trigger();
    EXPECT_EQ(BildFarbtiefe, 1);
    EXPECT_FALSE(f->mFarToenen->isEnabled());
}

TEST_F(FarbbefehleTest, Farbdialog_AbbrechenLaesstBildUndSchaltetVonVierhundertAufHundert)
{
    if (!frmFarben)
        new TfrmFarben(f);
    VerlaufLaden();
    f->mAnsZoom400->trigger();
    ASSERT_GT(ZoomFaktor, 1.0);
    const QImage vorher = Pixel(f->OriginalBild);
    double zoomImDialog = 0;
    WennFarbdialogOffen([&] {
        zoomImDialog = ZoomFaktor;
        frmFarben->tbTonIntensitaet->setValue(277);
        frmFarben->btnTonAbbrechen->click();
    });
    f->mFarToenen->trigger();
    EXPECT_EQ(zoomImDialog, 1.0);
    EXPECT_EQ(Pixel(f->OriginalBild), vorher);
    EXPECT_FALSE(BildBearbeitet);
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    // The display is the working bitmap again, not the last preview.
    EXPECT_EQ(f->AnzeigeBild->Bild().convertToFormat(QImage::Format_RGB32).pixel(5, 5), vorher.pixel(5, 5));
}

TEST_F(FarbbefehleTest, PopupFarbbearbeitung_OeffnetDieKorrektur)
{
    if (!frmFarben)
        new TfrmFarben(f);
    VerlaufLaden();
    EXPECT_TRUE(f->popFarbbearbeitung->isEnabled());
    int gesehen = -1;
    WennFarbdialogOffen([&] {
        gesehen = frmFarben->isVisible() ? frmFarben->pcFarben->currentIndex() : -2;
        frmFarben->btnKorAbbrechen->click();
    });
    frmFarben->pcFarben->setCurrentIndex(3);
    f->popFarbbearbeitung->trigger();
    EXPECT_EQ(gesehen, 0);
}

} // namespace
