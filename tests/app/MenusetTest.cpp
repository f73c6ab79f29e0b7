#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <Magick++.h>
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "Modi.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"

namespace {

class MenusetTest : public ::testing::Test {
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
        BildListe.clear();
        BildIndex = -1;
        BildQuelle = BildQuelleKeine;
        BildBearbeitet = false;
        BildFarbtiefe = 0;
        ZoomFaktor = 1.0;
        Einpassen = true;
        JpgDrehbar = false;
        Ausschneiden = Fotoschnitt = Festschnitt = false;
        f->Gear1->DelImage();
        f->OriginalBild.Clear();
    }

    // An image from a file of the list: width x height, one page.
    void DateiBildZeigen(int breite, int hoehe, int tiefe = 24)
    {
        QImage bild(breite, hoehe, QImage::Format_RGB888);
        bild.fill(Qt::darkCyan);
        f->Gear1->SetPicture(bild);
        f->OriginalBild.Assign(bild);
        BildQuelle = BildQuelleDatei;
        BildFarbtiefe = tiefe;
    }

    int Breite(const QString& text) const { return QFontMetrics(f->StatusBar1->font()).horizontalAdvance(text) + 25; }
    QString Panel(int i) const { return f->StatusPanel[i]->text(); }

    TfrmZelvanoMain* f = nullptr;
};

QString MehrseitenTiff(const QString& ordner, int seiten, const char* format = "TIFF", const char* endung = "tif",
                       const char* name = "seiten")
{
    std::vector<Magick::Image> bilder;
    for (int i = 0; i < seiten; ++i) {
        Magick::Image bild(Magick::Geometry(20 + i, 10), Magick::Color(i % 2 ? "red" : "blue"));
        bild.magick(format);
        bild.animationDelay(10);
        bilder.push_back(bild);
    }
    const QString pfad = ordner + QLatin1Char('/') + QLatin1String(name) + QLatin1Char('.') + QLatin1String(endung);
    Magick::writeImages(bilder.begin(), bilder.end(), pfad.toStdString());
    return pfad;
}

} // namespace

TEST_F(MenusetTest, Start_OhneBildLeerePanelsUndBildbefehleAus)
{
    MenuesSetzen();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Panel(i), QString()) << i;
        EXPECT_EQ(f->StatusPanel[i]->width(), 25) << i;
    }
    EXPECT_EQ(Panel(4), QString());
    EXPECT_EQ(f->StatusPanel[4]->width(), Breite(QStringLiteral("Bearbeitet")));
    EXPECT_EQ(Panel(5), QString());
    EXPECT_FALSE(f->mBeaRueckgaengig->isEnabled());
    EXPECT_FALSE(f->mDatSpeichernals->isEnabled());
    EXPECT_FALSE(f->menAnsicht->menuAction()->isEnabled());
    EXPECT_FALSE(f->menFarbe->menuAction()->isEnabled());
    EXPECT_FALSE(f->menFilter->menuAction()->isEnabled());
    EXPECT_FALSE(f->tbtZoom->isEnabled());
    EXPECT_FALSE(f->tbtVollbild->isEnabled());
    EXPECT_FALSE(f->tbFarbe->isEnabled());
    EXPECT_FALSE(AktionRegelFrei(f->mBeaKopieren));
    EXPECT_FALSE(AktionRegelFrei(f->mBeaJpgDrehen));
}

TEST_F(MenusetTest, WeiterZurueck_FolgenDerListeAuchOhneBild)
{
    BildListe = {QStringLiteral("/a.png"), QStringLiteral("/b.png"), QStringLiteral("/c.png")};
    BildIndex = 0;
    MenuesSetzen();
    EXPECT_FALSE(f->mAnsBildZurueck->isEnabled());
    EXPECT_TRUE(f->mAnsBildWeiter->isEnabled());
    EXPECT_TRUE(AktionRegelFrei(f->mAnsAutoShow));
    EXPECT_TRUE(AktionRegelFrei(f->mAnsGehezu));
    BildIndex = 2;
    MenuesSetzen();
    EXPECT_TRUE(f->mAnsBildZurueck->isEnabled());
    EXPECT_FALSE(f->mAnsBildWeiter->isEnabled());
    BildListe = {QStringLiteral("/a.png")};
    BildIndex = 0;
    MenuesSetzen();
    EXPECT_FALSE(AktionRegelFrei(f->mAnsAutoShow));
    EXPECT_FALSE(AktionRegelFrei(f->mDatKonvertieren));
    EXPECT_FALSE(AktionRegelFrei(f->mDatArchivdruck));
}

TEST_F(MenusetTest, Statusleiste_DateiBildZeigtPositionTiefeGroesseZoomUndName)
{
    BildListe = {QStringLiteral("/x/a.png"), QStringLiteral("/x/Bild mit Ümlaut.png"), QStringLiteral("/x/c.png")};
    BildIndex = 1;
    DateiBildZeigen(640, 480);
    ZoomFaktor = 0.125;
    MenuesSetzen();
    EXPECT_EQ(Panel(0), QStringLiteral("Bild 2 von 3"));
    EXPECT_EQ(Panel(1), QStringLiteral("Farbtiefe: 24 Bit"));
    EXPECT_EQ(Panel(2), QStringLiteral("640 x 480"));
    EXPECT_EQ(Panel(3), QStringLiteral("Zoom: 12%"));
    EXPECT_EQ(Panel(4), QString());
    EXPECT_EQ(Panel(5), QStringLiteral("Bild mit Ümlaut.png"));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f->StatusPanel[i]->width(), Breite(Panel(i))) << i;
    EXPECT_EQ(f->StatusPanel[4]->width(), Breite(QStringLiteral("Bearbeitet")));
}

TEST_F(MenusetTest, Statusleiste_ZoomHalbeRundenZurGeradenZahl)
{
    BildListe = {QStringLiteral("/a.png")};
    BildIndex = 0;
    DateiBildZeigen(10, 10);
    const std::pair<double, const char*> faelle[] = {
        {0.375, "Zoom: 38%"}, {0.125, "Zoom: 12%"}, {0.005, "Zoom: 0%"}, {0.015, "Zoom: 2%"},
        {1.0, "Zoom: 100%"}, {10.0, "Zoom: 1000%"}, {1.1666666, "Zoom: 117%"}};
    for (const auto& [zoom, text] : faelle) {
        ZoomFaktor = zoom;
        MenuesSetzen();
        EXPECT_EQ(Panel(3), QString::fromLatin1(text)) << zoom;
    }
}

TEST_F(MenusetTest, Statusleiste_BearbeitetesBildOhneNameUndOhneVerlustfreiesDrehen)
{
    BildListe = {QStringLiteral("/x/a.jpg")};
    BildIndex = 0;
    DateiBildZeigen(10, 10);
    JpgDrehbar = true;
    MenuesSetzen();
    EXPECT_TRUE(AktionRegelFrei(f->mBeaJpgDrehen));
    BildBearbeitet = true;
    MenuesSetzen();
    EXPECT_EQ(Panel(4), QStringLiteral("Bearbeitet"));
    EXPECT_EQ(Panel(5), QString());
    EXPECT_FALSE(AktionRegelFrei(f->mBeaJpgDrehen));
}

TEST_F(MenusetTest, Statusleiste_ZwischenablageOhnePositionUndOhneLoeschen)
{
    DateiBildZeigen(10, 10);
    BildQuelle = BildQuelleZwischenablage;
    BildIndex = 0;
    MenuesSetzen();
    EXPECT_EQ(Panel(0), QString());
    EXPECT_EQ(Panel(1), QStringLiteral("Farbtiefe: 24 Bit"));
    EXPECT_EQ(Panel(5), QStringLiteral(" Zwischenablage"));
    EXPECT_FALSE(AktionRegelFrei(f->mBeaLoeschen));
    EXPECT_TRUE(AktionRegelFrei(f->mBeaKopieren));

    BildQuelle = BildQuelleScanner;
    MenuesSetzen();
    EXPECT_EQ(Panel(5), QString());
    EXPECT_EQ(Panel(2), QStringLiteral("10 x 10"));
}

TEST_F(MenusetTest, Seiten_DreiseitigesTiffAufSeiteZwei)
{
    const QString pfad = MehrseitenTiff(FrischerOrdner(QStringLiteral("seiten")), 3);
    f->Gear1->LoadImage(pfad);
    ASSERT_EQ(f->Gear1->PageCount(), 3);
    f->Gear1->SetPage(2);
    BildListe = {pfad};
    BildIndex = 0;
    BildQuelle = BildQuelleDatei;
    BildFarbtiefe = 24;
    f->OriginalBild.Assign(QImage(21, 10, QImage::Format_RGB888));
    MenuesSetzen();
    EXPECT_EQ(Panel(5), QStringLiteral(" Seite 2 von 3 von seiten.tif"));
    EXPECT_TRUE(f->mAnsSeiteVor->isVisible());
    EXPECT_TRUE(f->mAnsSeiteZurueck->isVisible());
    EXPECT_TRUE(f->mAnsSeiteVor->isEnabled());
    EXPECT_TRUE(f->mAnsSeiteZurueck->isEnabled());
    EXPECT_FALSE(f->mAnsAnimieren->isVisible());

    f->Gear1->SetPage(1);
    MenuesSetzen();
    EXPECT_FALSE(f->mAnsSeiteZurueck->isEnabled());
    EXPECT_TRUE(f->mAnsSeiteVor->isEnabled());
    f->Gear1->SetPage(3);
    MenuesSetzen();
    EXPECT_TRUE(f->mAnsSeiteZurueck->isEnabled());
    EXPECT_FALSE(f->mAnsSeiteVor->isEnabled());

    // One page: both hidden again, and the name stands alone.
    DateiBildZeigen(10, 10);
    MenuesSetzen();
    EXPECT_FALSE(f->mAnsSeiteVor->isVisible());
    EXPECT_FALSE(f->mAnsSeiteZurueck->isVisible());
    EXPECT_FALSE(f->mAnsSeiteVor->isEnabled());
    EXPECT_EQ(Panel(5), QStringLiteral("seiten.tif"));
}

TEST_F(MenusetTest, Animieren_NurBeiGifMitMehrerenBildern)
{
    const QString ordner = FrischerOrdner(QStringLiteral("gif"));
    const QString animiert = MehrseitenTiff(ordner, 2, "GIF", "gif");
    f->Gear1->LoadImage(animiert);
    ASSERT_EQ(f->Gear1->ImageType(), QStringLiteral("GIF"));
    BildListe = {animiert};
    BildIndex = 0;
    BildQuelle = BildQuelleDatei;
    BildFarbtiefe = 8;
    MenuesSetzen();
    EXPECT_TRUE(f->mAnsAnimieren->isVisible());

    f->Gear1->LoadImage(MehrseitenTiff(ordner, 1, "GIF", "gif", "eins"));
    ASSERT_EQ(f->Gear1->PageCount(), 1);
    MenuesSetzen();
    EXPECT_FALSE(f->mAnsAnimieren->isVisible());
}

TEST_F(MenusetTest, Farbtiefe_TabelleFuer1_4_8_24Bit)
{
    BildListe = {QStringLiteral("/a.png")};
    BildIndex = 0;
    struct Zeile {
        int tiefe;
        bool dialoge, r1, r4, r8, e4, e8, e24, filter;
    };
    const Zeile tabelle[] = {
        {1, false, false, false, false, true, true, true, false},
        {4, true, true, false, false, false, true, true, false},
        {8, true, true, true, false, false, false, true, false},
        {24, true, true, true, true, false, false, false, true},
    };
    for (const Zeile& z : tabelle) {
        DateiBildZeigen(10, 10, z.tiefe);
        MenuesSetzen();
        for (QAction* a : {f->mFarKorrektur, f->mFarEinfaerben, f->mFarToenen, f->mFarGraustufen,
                           f->mFar1Schwellwert, f->mBeaBildattribute, f->mBeaDrehen})
            EXPECT_EQ(AktionRegelFrei(a), z.dialoge) << z.tiefe << " " << qPrintable(a->objectName());
        EXPECT_EQ(f->FarbreduktionAuf1Bit->menuAction()->isEnabled(), z.r1) << z.tiefe;
        EXPECT_EQ(f->FarbreduktionAuf4Bit->menuAction()->isEnabled(), z.r4) << z.tiefe;
        EXPECT_EQ(f->FarbreduktionAuf8Bit->menuAction()->isEnabled(), z.r8) << z.tiefe;
        EXPECT_TRUE(AktionRegelFrei(f->mFarInvertieren)) << z.tiefe;
        EXPECT_EQ(AktionRegelFrei(f->mFarFarbexpansion4), z.e4) << z.tiefe;
        EXPECT_EQ(AktionRegelFrei(f->mFarFarbexpansion8), z.e8) << z.tiefe;
        EXPECT_EQ(AktionRegelFrei(f->mFarFarbexpansion24), z.e24) << z.tiefe;
        EXPECT_EQ(f->menFilter->menuAction()->isEnabled(), z.filter) << z.tiefe;
        EXPECT_TRUE(f->menFarbe->menuAction()->isEnabled()) << z.tiefe;
    }
}

TEST_F(MenusetTest, Farbtiefe_UnbekannteTiefeLaesstReduktionUndFilterWieSie)
{
    BildListe = {QStringLiteral("/a.png")};
    BildIndex = 0;
    DateiBildZeigen(10, 10, 1);
    MenuesSetzen();
    DateiBildZeigen(10, 10, 16);
    MenuesSetzen();
    EXPECT_TRUE(AktionRegelFrei(f->mFarKorrektur));
    EXPECT_TRUE(AktionRegelFrei(f->mBeaDrehen));
    EXPECT_FALSE(f->FarbreduktionAuf8Bit->menuAction()->isEnabled());
    EXPECT_TRUE(AktionRegelFrei(f->mFarFarbexpansion4));
    EXPECT_FALSE(f->menFilter->menuAction()->isEnabled());
}

TEST_F(MenusetTest, Zoommarken_EinpassenOder100OhneEinpassen)
{
    BildListe = {QStringLiteral("/a.png")};
    BildIndex = 0;
    DateiBildZeigen(10, 10);
    Einpassen = true;
    ZoomFaktor = 1.0;   // a small image fitted is shown at 100 %
    MenuesSetzen();
    EXPECT_TRUE(f->mAnsZoomEinpassen->isChecked());
    EXPECT_FALSE(f->mAnsZoom100->isChecked());
    Einpassen = false;
    MenuesSetzen();
    EXPECT_FALSE(f->mAnsZoomEinpassen->isChecked());
    EXPECT_TRUE(f->mAnsZoom100->isChecked());
    ZoomFaktor = 0.5;
    MenuesSetzen();
    EXPECT_FALSE(f->mAnsZoomEinpassen->isChecked());
    EXPECT_FALSE(f->mAnsZoom100->isChecked());
}

TEST_F(MenusetTest, Einfuegen_FolgtDerZwischenablage)
{
    QImage bild(4, 4, QImage::Format_RGB888);
    bild.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(bild);
    MenuesSetzen();
    EXPECT_TRUE(AktionRegelFrei(f->mBeaEinfuegen));
    QGuiApplication::clipboard()->clear();
    MenuesSetzen();
    EXPECT_FALSE(AktionRegelFrei(f->mBeaEinfuegen));
}

TEST_F(MenusetTest, JederBefehlFolgtDenRegeln)
{
    BildListe = {QStringLiteral("/a.png"), QStringLiteral("/b.png")};
    BildIndex = 0;
    for (bool bild : {true, false}) {
        if (bild)
            DateiBildZeigen(10, 10);
        else
            BildQuelle = BildQuelleKeine;
        MenuesSetzen();
        // Every command of the program is in place: what the rules offer is
        // enabled, what they refuse is not.
        // (A hidden action counts as disabled in Qt.)
        for (QAction* a : f->Aktionen)
            if (a->isVisible())
                EXPECT_EQ(a->isEnabled(), AktionRegelFrei(a)) << bild << " " << qPrintable(a->objectName());
        // The buttons bound to an action follow it.
        EXPECT_EQ(f->tbFarbe->isEnabled(), bild);
        EXPECT_EQ(f->mBeaDrehen->isEnabled(), bild);
        EXPECT_EQ(f->mDatSuchen->isEnabled(), true);
    }
}

// ---- The menus as the user sees them ---------------------------------------

namespace {

// Captions of a menu, "-" for a separator, "[Title]" for a submenu.
QStringList Eintraege(const QMenu* menue)
{
    QStringList liste;
    for (const QAction* a : menue->actions()) {
        if (a->isSeparator())
            liste << QStringLiteral("-");
        else if (a->menu())
            liste << QLatin1Char('[') + a->text() + QLatin1Char(']');
        else
            liste << a->text();
    }
    return liste;
}

QStringList Teile(const char* text)
{
    return QString::fromUtf8(text).split(QLatin1Char('|'));
}

} // namespace

TEST_F(MenusetTest, Hauptmenue_TitelInDerRichtigenFolge)
{
    QStringList titel;
    for (const QAction* a : f->menuBar()->actions())
        titel << a->text();
    EXPECT_EQ(titel, Teile("&Datei|&Bearbeiten|&Ansicht|&Farbe|F&ilter|&Hilfe"));
}

TEST_F(MenusetTest, Hauptmenue_EintraegeUndTrenner)
{
    EXPECT_EQ(Eintraege(f->menDatei),
              Teile("Ö&ffnen...|&Vorschau...|Speichern unter...|S&uchen...|-|&Konvertieren...|&Drucken...|"
                    "&Archivdruck...|-|Bildinfo...|-|S&canner auswählen...|Sca&nnen...|-|&Einstellungen...|"
                    "&Beenden"));
    EXPECT_EQ(Eintraege(f->menBearbeiten),
              Teile("&Rückgängig|-|&Kopieren|&Einfügen|&Löschen...|-|&Bildattribute...|&Ausschneiden|"
                    "&Fotoschnitt...|&Skalieren...|Drehen...|-|&Horizontal spiegeln|&Vertikal spiegeln|-|"
                    "&Um +90 Grad drehen|U&m -90 Grad drehen|Um &180 Grad drehen|-|"
                    "&JPG-Bilder verlustfrei drehen..."));
    EXPECT_EQ(Eintraege(f->menAnsicht),
              Teile("&Gehe zu...|-|[&Zoom]|-|&Vollbild  (Leertaste)|Auto-Show starten|-|"
                    "Ein Bild weiter  (Pfeiltaste rechts)|Ein Bild zurück  (Pfeiltaste links)|-|&Seite vor|"
                    "S&eite zurück|&Animieren"));
    EXPECT_EQ(Eintraege(f->menZoom).size(), 9);
    EXPECT_EQ(f->menZoom->actions().first(), f->mAnsZoomEinpassen);
    EXPECT_EQ(f->menZoom->actions().at(4), f->mAnsZoom100);
    EXPECT_EQ(f->menZoom->actions().last(), f->mAnsZoom1000);
    EXPECT_EQ(Eintraege(f->menFarbe),
              Teile("Farb&korrektur...|&Tönen...|Ei&nfärben...|K&olorieren...|&Graustufen...|&Schwellwert...|"
                    "&Invertieren|-|[Far&breduktion auf 1 Bit]|[Farbr&eduktion auf 4 Bit]|"
                    "[Farbre&duktion auf 8 Bit]|-|&Farbexpansion auf 4 Bit|F&arbexpansion auf 8 Bit|"
                    "Fa&rbexpansion auf 24 Bit"));
    EXPECT_EQ(Eintraege(f->FarbreduktionAuf1Bit),
              Teile("Fehler-Verteilungs-Dithering|Halbton-Mono-Dithering|Bayer-Mono-Dithering"));
    EXPECT_EQ(Eintraege(f->FarbreduktionAuf4Bit),
              Teile("Octree-Methode|Dithering (Standardpalette)|Bayer-Farb-Dithering"));
    EXPECT_EQ(Eintraege(f->FarbreduktionAuf8Bit),
              Teile("Octree-Methode|Fehler-Verteilungs-Dithering|Paletten-Optimierung"));
    EXPECT_EQ(Eintraege(f->menFilter),
              Teile("[&Isolationsmethoden]|-|Prägen|Zerstreuen|Verwischen|Relief|Poster|Twist|Strukturglas|"
                    "Schleier"));
    EXPECT_EQ(Eintraege(f->menIsolationsmethoden),
              Teile("Prewitt|Roberts|Sobel|Laplacian|Horizontal|Vertikal|Positiv schräg|Negativ schräg"));
    EXPECT_EQ(Eintraege(f->menHilfe), Teile("&Hilfe...| Programminfo..."));
}

TEST_F(MenusetTest, Tastenkuerzel_DerBefehle)
{
    const std::pair<QAction*, const char*> kuerzel[] = {
        {f->mDatOeffnen, "Ctrl+O"}, {f->mDatVorschau, "V"},       {f->mDatSpeichernals, "Ctrl+S"},
        {f->mDatKonvertieren, "Ctrl+K"}, {f->mDatDrucken, "Ctrl+D"}, {f->mDatInfo, "Ctrl+I"},
        {f->mBeaRueckgaengig, "Ctrl+Z"}, {f->mBeaKopieren, "Ctrl+C"}, {f->mBeaEinfuegen, "Ctrl+V"},
        {f->mBeaLoeschen, "Del"},       {f->mHilfeInhalt, "F1"},     {f->mDatSuchen, ""},
        {f->mAnsBildWeiter, ""}};
    for (const auto& [aktion, taste] : kuerzel)
        EXPECT_EQ(aktion->shortcut(), QKeySequence(QString::fromLatin1(taste))) << qPrintable(aktion->objectName());
}

TEST_F(MenusetTest, Popups_HauptUndZoom)
{
    EXPECT_EQ(Eintraege(f->PopupMain),
              Teile("&Gehe zu...|-|&Kopieren|&Einfügen|&Löschen...|-|Speichern unter...|-|&Drucken...|-|"
                    "Farbbearbeitung...|&Bildattribute...|&Ausschneiden|&Skalieren...|-|Bildinfo..."));
    const QList<QAction*> zoom = f->PopupZoom->actions();
    ASSERT_EQ(zoom.size(), 12);
    EXPECT_EQ(zoom.at(0), f->mAnsZoomEinpassen);
    EXPECT_TRUE(zoom.at(1)->isSeparator());
    EXPECT_EQ(zoom.at(4), f->mAnsZoom50);
    EXPECT_TRUE(zoom.at(5)->isSeparator());
    EXPECT_EQ(zoom.at(6), f->mAnsZoom100);
    EXPECT_TRUE(zoom.at(7)->isSeparator());
    EXPECT_EQ(zoom.at(11), f->mAnsZoom1000);
    EXPECT_EQ(f->tbtZoom->menu(), f->PopupZoom);
    EXPECT_EQ(f->tbtZoom->toolTip(), QStringLiteral(" Zoom..."));
}

TEST_F(MenusetTest, Werkzeugleisten_KnoepfeInDerRichtigenFolge)
{
    auto folge = [](QToolBar* leiste) {
        QList<QObject*> liste;
        for (QAction* a : leiste->actions()) {
            if (a->isSeparator())
                liste << nullptr;
            else if (QWidget* w = leiste->widgetForAction(a); w && !qobject_cast<QToolButton*>(w)->defaultAction())
                liste << w;
            else
                liste << a;
        }
        return liste;
    };
    const QList<QObject*> eins = {f->mDatBeenden, f->mDatOeffnen, f->mDatVorschau, f->mDatSpeichernals,
                                  f->mDatSuchen, nullptr, f->mDatKonvertieren, f->mDatDrucken, f->mDatArchivdruck,
                                  f->mDatScannen, nullptr, f->mDatInfo, f->mDatEinstellungen, f->mHilfeInhalt,
                                  nullptr, f->tbtZoom, f->mAnsGehezu, f->mAnsVollbild, f->mAnsAutoShow, nullptr,
                                  f->mAnsBildZurueck, f->mAnsBildWeiter, f->mAnsSeiteVor, f->mAnsSeiteZurueck};
    EXPECT_EQ(folge(f->ToolBar1), eins);
    const QList<QObject*> zwei = {f->mBeaRueckgaengig, nullptr, f->mBeaKopieren, f->mBeaEinfuegen,
                                  f->mBeaLoeschen, nullptr, f->mBeaBildattribute, f->mFarKorrektur, nullptr,
                                  f->mBeaAusschneiden, f->mBeaFotoschnitt, f->mBeaSkalieren, nullptr,
                                  f->mBeaDrehen, f->mBeaMinus90Grad, f->mBeaPlus90Grad, f->mBea180Grad,
                                  f->mBeaHorizontal, f->mBeaVertikal, f->mBeaJpgDrehen};
    EXPECT_EQ(folge(f->ToolBar2), zwei);
    EXPECT_EQ(f->tbFarbe->defaultAction(), f->mFarKorrektur);
    EXPECT_EQ(f->tbtVollbild->defaultAction(), f->mAnsVollbild);
    EXPECT_EQ(f->tbtAusschneiden->defaultAction(), f->mBeaAusschneiden);
    EXPECT_EQ(f->tbtFotoschnitt->defaultAction(), f->mBeaFotoschnitt);
}

TEST_F(MenusetTest, Popup_NurOhneSchnittmodus)
{
    emit f->AnzeigeBox->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(f->PopupMain->isVisible());
    f->PopupMain->hide();
    Ausschneiden = true;
    emit f->AnzeigeBox->customContextMenuRequested(QPoint(5, 5));
    EXPECT_FALSE(f->PopupMain->isVisible());
    Ausschneiden = false;
}
