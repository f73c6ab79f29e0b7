#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include "AnzeigeBild.h"
#include "Einstell.h"
#include "Einstellungen.h"
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "pixelops/Bitmap.h"
#include "pixelops/Bitmap_Dichte.h"
#include "widgets/Numedit.h"

namespace {

class EinstellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        BildPause = 2500;
        AnzeigeGamma = 0;
        HgFarbe = 4341304;
        VorschauGroesse = 150;
        MaxRueck = 10;
        Buttonleiste1Pos = 2;
        Buttonleiste2Pos = 1;
        StartVerzLaden = StartVerzSpeichern = QString();
        d = new TfrmEinstell();
    }
    void TearDown() override
    {
        delete d;
        AnzeigeGamma = 0;
        MaxRueck = 10;
        VorschauGroesse = 150;
    }
    void Zeigen()
    {
        d->show();
        QCoreApplication::processEvents();
    }
    static void Tippen(TNumedit* feld, const QString& text)
    {
        feld->setText(text);
    }

    TfrmEinstell* d = nullptr;
};

TEST_F(EinstellTest, Fenster_SiebenSeitenMitIhrenTiteln)
{
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Einstellungen"));
    QStringList seiten;
    for (int i = 0; i < d->pcEinstellungen->count(); ++i)
        seiten << d->pcEinstellungen->tabText(i);
    EXPECT_EQ(seiten, (QStringList{"Startoptionen", "Ansicht", "Farbe", "Vorschau", "Rückgängig", "Ordner", "EXIF"}));
    EXPECT_EQ(d->cbEXIFschreiben->text(),
              QStringLiteral("JPEG-Bildinfomationen (EXIF-Daten), beim Speichern beibehalten."));
    EXPECT_EQ(d->lblOpen->text(), QStringLiteral("Startordner für \"Datei / Öffnen...\""));
}

TEST_F(EinstellTest, Pause_SekundenMitEinerStelleUndZurueck)
{
    Zeigen();
    EXPECT_EQ(d->nedPauseAutoShow->text(), QStringLiteral("2,5"));
    d->btnOk->click();
    EXPECT_EQ(BildPause, 2500);

    Zeigen();
    Tippen(d->nedPauseAutoShow, QStringLiteral("0,1"));
    d->btnOk->click();
    EXPECT_EQ(BildPause, 100);

    Zeigen();
    Tippen(d->nedPauseAutoShow, QString());
    d->btnOk->click();
    EXPECT_EQ(BildPause, 0);
}

TEST_F(EinstellTest, Pause_KrummeMillisekundenWerdenAufZehntelGerundet)
{
    BildPause = 2550;
    Zeigen();
    EXPECT_EQ(d->nedPauseAutoShow->text(), QStringLiteral("2,6"));
    BildPause = 1449;
    d->FormShow();
    EXPECT_EQ(d->nedPauseAutoShow->text(), QStringLiteral("1,4"));
}

TEST_F(EinstellTest, Vorschaugroesse_ZuKleinWird50Und300Bleibt)
{
    Zeigen();
    EXPECT_EQ(d->nedVorschauGroesse->text(), QStringLiteral("150"));
    Tippen(d->nedVorschauGroesse, QStringLiteral("20"));
    d->btnOk->click();
    EXPECT_EQ(VorschauGroesse, 50);
    Zeigen();
    Tippen(d->nedVorschauGroesse, QStringLiteral("300"));
    d->btnOk->click();
    EXPECT_EQ(VorschauGroesse, 300);
    // The mask refuses more than 300.
    Zeigen();
    Tippen(d->nedVorschauGroesse, QStringLiteral("301"));
    EXPECT_EQ(d->nedVorschauGroesse->text(), QStringLiteral("300"));
}

TEST_F(EinstellTest, UpDown_HaeltDenBereichUndSchreibtDasFeld)
{
    VorschauGroesse = 20;   // from a hand-edited store
    MaxRueck = 25;
    Zeigen();
    EXPECT_EQ(d->nedVorschauGroesse->text(), QStringLiteral("50"));
    EXPECT_EQ(d->nedMaxRueck->text(), QStringLiteral("20"));
    d->udVorschauGroesse->Klick(1);
    EXPECT_EQ(d->nedVorschauGroesse->text(), QStringLiteral("55"));
    Tippen(d->nedVorschauGroesse, QStringLiteral("298"));
    d->udVorschauGroesse->Klick(1);
    EXPECT_EQ(d->nedVorschauGroesse->text(), QStringLiteral("300"));
    d->udMaxRueck->Klick(1);
    EXPECT_EQ(d->nedMaxRueck->text(), QStringLiteral("20"));
}

TEST_F(EinstellTest, Rueckgaengig_NullSchaltetAbHoechstens20)
{
    Zeigen();
    Tippen(d->nedMaxRueck, QStringLiteral("0"));
    d->btnOk->click();
    EXPECT_EQ(MaxRueck, 0);
    Zeigen();
    Tippen(d->nedMaxRueck, QStringLiteral("20"));
    d->btnOk->click();
    EXPECT_EQ(MaxRueck, 20);
}

TEST_F(EinstellTest, Startordner_NurVorhandeneWerdenGespeichert)
{
    const QString da = FrischerOrdner(QStringLiteral("start"));
    Zeigen();
    d->editStartverzLaden->setText(da + QStringLiteral("/gibtsnicht"));
    d->editStartverzSpeichern->setText(da);
    d->btnOk->click();
    EXPECT_EQ(StartVerzLaden, QString());
    EXPECT_EQ(StartVerzSpeichern, da);
    Zeigen();
    EXPECT_EQ(d->editStartverzSpeichern->text(), da);
    d->editStartverzSpeichern->clear();
    d->btnOk->click();
    EXPECT_EQ(StartVerzSpeichern, QString());
}

TEST_F(EinstellTest, Leisten_RadioknopfDerPositionUndZurueck)
{
    Buttonleiste1Pos = 3;
    Buttonleiste2Pos = 2;
    Zeigen();
    EXPECT_TRUE(d->rbButtonLeiste1Rechts->isChecked());
    EXPECT_FALSE(d->rbButtonLeiste1Oben->isChecked());
    EXPECT_TRUE(d->rbButtonLeiste2Oben->isChecked());
    d->rbButtonLeiste1Links->setChecked(true);
    EXPECT_FALSE(d->rbButtonLeiste1Rechts->isChecked());
    d->btnOk->click();
    EXPECT_EQ(Buttonleiste1Pos, 1);
    EXPECT_EQ(Buttonleiste2Pos, 2);
}

TEST_F(EinstellTest, Schalter_JederInSeinenWert)
{
    Statusleiste = true;
    ExifSchreiben = false;
    Endlosschleife = false;
    Zeigen();
    EXPECT_TRUE(d->cbStatusleiste->isChecked());
    d->cbStatusleiste->setChecked(false);
    d->cbEXIFschreiben->setChecked(true);
    d->cbAutoShowLoop->setChecked(true);
    d->btnOk->click();
    EXPECT_FALSE(Statusleiste);
    EXPECT_TRUE(ExifSchreiben);
    EXPECT_TRUE(Endlosschleife);
    Statusleiste = true;
}

TEST_F(EinstellTest, Abbrechen_SchreibtNichtsZurueck)
{
    Zeigen();
    Tippen(d->nedMaxRueck, QStringLiteral("3"));
    d->cbStatusleiste->setChecked(!Statusleiste);
    const bool status = Statusleiste;
    d->btnAbbrechen->click();
    EXPECT_EQ(MaxRueck, 10);
    EXPECT_EQ(Statusleiste, status);
}

TEST_F(EinstellTest, Gamma_WirktSofortAuchBeimAbbrechen)
{
    Zeigen();
    EXPECT_EQ(d->lblGammaWert->text(), QStringLiteral("0"));
    EXPECT_EQ(d->lblGammaWert->font().pixelSize(), 20);
    d->tbGammaKorrektur->setValue(12);
    EXPECT_EQ(AnzeigeGamma, 12);
    EXPECT_EQ(d->lblGammaWert->text(), QStringLiteral("12"));
    TBitmap erwartet(d->imgGammaOriginal);
    BitmapDichte(erwartet, 12);
    EXPECT_EQ(d->GammaBild(), erwartet.Bild());
    EXPECT_NE(d->GammaBild(), TBitmap(d->imgGammaOriginal).Bild());
    d->btnAbbrechen->click();
    EXPECT_EQ(AnzeigeGamma, 12);
}

TEST_F(EinstellTest, Gamma_ReglerFolgtDemWertBeimZeigen)
{
    AnzeigeGamma = -30;
    Zeigen();
    EXPECT_EQ(d->tbGammaKorrektur->value(), -30);
    EXPECT_EQ(d->lblGammaWert->text(), QStringLiteral("-30"));
    EXPECT_EQ(d->tbGammaKorrektur->minimum(), -30);
    EXPECT_EQ(d->tbGammaKorrektur->maximum(), 30);
}

TEST_F(EinstellTest, Farbe_FeldZeigtHgFarbeAbgebrochenBleibtSie)
{
    Zeigen();
    EXPECT_EQ(d->shpHintergrundFarbe->palette().color(QPalette::Window), QColor(56, 62, 66));
    {
        TModalSchliesser schliesser;
        d->btnHintergrundfarbe->click();
        EXPECT_EQ(schliesser.geschlossen, 1);
    }
    EXPECT_EQ(d->shpHintergrundFarbe->palette().color(QPalette::Window), QColor(56, 62, 66));
    d->btnOk->click();
    EXPECT_EQ(HgFarbe, 4341304);
}

TEST_F(EinstellTest, Farbe_GewaehlteFarbeGiltErstMitOk)
{
    Zeigen();
    d->ColorDialog1Farbe = QColor(10, 20, 30);
    d->btnOk->click();
    EXPECT_EQ(HgFarbe, 10 | (20 << 8) | (30 << 16));
}

TEST_F(EinstellTest, Rasterbilder_HalbeHelligkeitImMittel)
{
    const QImage raster = GammaRasterBild(qRgb(255, 0, 0), 32);
    long summe = 0;
    for (int y = 0; y < 32; ++y)
        summe += qRed(raster.pixel(3, y));
    EXPECT_EQ(summe / 32, 127);
    EXPECT_EQ(qRed(raster.pixel(20, 7)), 127);
    EXPECT_EQ(qGreen(raster.pixel(20, 7)), 0);
}

// ---- The main window's settings command --------------------------------------------------

class EinstellBefehlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
    }
    static void TearDownTestSuite()
    {
        delete frmZelvanoMain;
        frmEinstell = nullptr;
        AnzeigeGamma = 0;
        HgFarbe = 4341304;
        Buttonleiste1 = Buttonleiste2 = Statusleiste = true;
        Buttonleiste1Pos = 2;
        Buttonleiste2Pos = 1;
    }
    void SetUp() override
    {
        f = frmZelvanoMain;
        BildListe = {MusterPfad(QStringLiteral("testbild.png"))};
        BildIndex = 0;
        f->BildAnzeigen();
        ASSERT_EQ(BildQuelle, BildQuelleDatei);
        if (!frmEinstell)
            frmEinstell = new TfrmEinstell(f);
    }
    // Runs the command; handlung acts in the dialog once it shows.
    void Ausfuehren(const std::function<void(TfrmEinstell&)>& handlung)
    {
        bool gelaufen = false;
        QTimer waechter;
        waechter.setInterval(10);
        QObject::connect(&waechter, &QTimer::timeout, [&] {
            if (frmEinstell->isVisible()) {
                waechter.stop();
                handlung(*frmEinstell);
                gelaufen = true;
            }
        });
        waechter.start();
        ASSERT_TRUE(f->mDatEinstellungen->isEnabled());
        f->mDatEinstellungen->trigger();
        ASSERT_TRUE(gelaufen);
    }
    TfrmZelvanoMain* f = nullptr;
};

TEST_F(EinstellBefehlTest, Ok_LeistenStatusleisteUndHintergrundSofort)
{
    Ausfuehren([](TfrmEinstell& d) {
        d.cbButtonLeiste1->setChecked(true);
        d.rbButtonLeiste1Rechts->setChecked(true);
        d.cbButtonLeiste2->setChecked(false);
        d.cbStatusleiste->setChecked(false);
        d.ColorDialog1Farbe = QColor(200, 10, 20);
        d.btnOk->click();
    });
    EXPECT_EQ(f->toolBarArea(f->ToolBar1), Qt::RightToolBarArea);
    EXPECT_FALSE(f->ToolBar1->isHidden());
    EXPECT_EQ(f->ToolBar1->orientation(), Qt::Vertical);
    EXPECT_TRUE(f->ToolBar2->isHidden());
    EXPECT_TRUE(f->StatusBar1->isHidden());
    EXPECT_EQ(f->AnzeigeBox->viewport()->palette().color(QPalette::Window), QColor(200, 10, 20));
    EXPECT_FALSE(f->AnzeigeBild->isHidden());

    Ausfuehren([](TfrmEinstell& d) {
        d.cbButtonLeiste2->setChecked(true);
        d.rbButtonLeiste2Oben->setChecked(true);
        d.rbButtonLeiste1Links->setChecked(true);
        d.cbStatusleiste->setChecked(true);
        d.btnOk->click();
    });
    EXPECT_EQ(f->toolBarArea(f->ToolBar1), Qt::LeftToolBarArea);
    EXPECT_EQ(f->toolBarArea(f->ToolBar2), Qt::TopToolBarArea);
    EXPECT_EQ(f->ToolBar2->orientation(), Qt::Horizontal);
    EXPECT_FALSE(f->ToolBar2->isHidden());
    EXPECT_FALSE(f->StatusBar1->isHidden());
}

TEST_F(EinstellBefehlTest, Ok_StartordnerWerdenLadeUndSpeicherordner)
{
    const QString laden = FrischerOrdner(QStringLiteral("laden"));
    const QString speichern = FrischerOrdner(QStringLiteral("speichern"));
    Ausfuehren([&](TfrmEinstell& d) {
        d.editStartverzLaden->setText(laden);
        d.editStartverzSpeichern->setText(speichern);
        d.btnOk->click();
    });
    EXPECT_EQ(LadeVerzeichnis, laden + QLatin1Char('/'));
    EXPECT_EQ(SpeicherVerzeichnis, speichern + QLatin1Char('/'));

    // A folder that is gone: loading falls back, saving keeps its folder.
    Ausfuehren([&](TfrmEinstell& d) {
        d.editStartverzLaden->setText(laden + QStringLiteral("/weg"));
        d.editStartverzSpeichern->setText(speichern + QStringLiteral("/weg"));
        d.btnOk->click();
    });
    EXPECT_NE(LadeVerzeichnis, laden + QLatin1Char('/'));
    EXPECT_TRUE(QFileInfo(LadeVerzeichnis).isDir() || LadeVerzeichnis == SpezialOrdnerPfad(CSIDL_PERSONAL));
    EXPECT_EQ(SpeicherVerzeichnis, speichern + QLatin1Char('/'));
}

TEST_F(EinstellBefehlTest, Abbrechen_GammaWirktTrotzdemAufDieAnzeige)
{
    ASSERT_EQ(BildFarbtiefe, 24);
    AnzeigeGamma = 0;
    f->SetAnzeigeBild();
    // Below 100 % the smooth picture follows on the display timer.
    if (f->AnzeigeTimer->isActive())
        f->AnzeigeTimerTimer();
    const QImage vorher = f->AnzeigeBild->Bild().copy();
    Ausfuehren([](TfrmEinstell& d) {
        d.tbGammaKorrektur->setValue(25);
        d.btnAbbrechen->click();
    });
    if (f->AnzeigeTimer->isActive())
        f->AnzeigeTimerTimer();
    EXPECT_EQ(AnzeigeGamma, 25);
    EXPECT_NE(f->AnzeigeBild->Bild(), vorher);
    EXPECT_FALSE(f->AnzeigeBild->isHidden());
}

} // namespace
