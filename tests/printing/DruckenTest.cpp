#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <Magick++.h>
#include "AnzeigeBild.h"
#include "DruckHilfen.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "printing/Drucken.h"
#include "widgets/Numedit.h"

namespace {

class DruckenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
        new TfrmDrucken(frmZelvanoMain);
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        d = frmDrucken;
        ASSERT_NE(d, nullptr);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        PdfDruckerEinrichten(600, QMarginsF(10, 10, 10, 10));
        ordner = FrischerOrdner(QStringLiteral("drucken"));
        auftraege = &JedenAuftragInEigeneDatei(ordner);
        EinzelDruckEinpassen = EinzelDruckZentrieren = EinzelDruckBildname = EinzelDruckBildgroesse = false;
        EinzelDruckAlleSeiten = true;
        EinzelDruckTitelPosition = 1;
        for (TDruckSchrift* s : {&EinzelDruckSeitenSchrift, &EinzelDruckBildSchrift}) {
            s->font = QFont(QStringLiteral("DejaVu Sans"), 12);
            s->farbe = 0;
        }
        Arbeitsbild(3000, 2000);
        BildQuelle = BildQuelleDatei;
        BildBearbeitet = false;
        BildListe = QStringList{ordner + QStringLiteral("/urlaub.png")};
        BildIndex = 0;
        d->edSeitentitel->clear();
        d->nedLinks->SetWert(20);
        d->nedOben->SetWert(20);
        d->nedKopien->SetWert(1);
    }
    void TearDown() override
    {
        if (d->isVisible())
            d->reject();
        AuftragsHakenLoesen();
        DruckBeenden();
    }

    void Arbeitsbild(int breite, int hoehe)
    {
        f->OriginalBild = TBitmap(breite, hoehe);
        f->OriginalBild.Fill(0, 0, 255);
        f->Gear1->SetPicture(f->OriginalBild);
    }
    void Zeigen()
    {
        d->show();
        QApplication::processEvents();
    }
    QMap<QString, QRectF> Woerter(const QString& pdf)
    {
        QMap<QString, QRectF> box;
        for (const TPdfWort& w : PdfWoerter(pdf))
            box[w.text] = w.mm;
        return box;
    }
    double PapierBreiteMm() const { return DruckpunkteZuMmX(d->DruckerWerte.PapierBreite); }

    TfrmZelvanoMain* f = nullptr;
    TfrmDrucken* d = nullptr;
    QString ordner;
    QStringList* auftraege = nullptr;
};

TEST_F(DruckenTest, Anzeige_GroesseBei100ProzentUndPapier)
{
    Zeigen();
    // 3000 pixels at 600 dpi are 5 inches.
    EXPECT_EQ(d->lblDruckbreite->text(), QStringLiteral("Breite =  127,0"));
    EXPECT_EQ(d->lblDruckhoehe->text(), QStringLiteral("Höhe =  84,7"));
    const QStringList papier = d->lblPapiergroesse->text().split(QStringLiteral("  x  "));
    ASSERT_EQ(papier.size(), 2);
    EXPECT_NEAR(QLocale().toDouble(papier.at(0)), 210.0, 0.15);
    EXPECT_NEAR(QLocale().toDouble(papier.at(1)), 297.0, 0.15);
    EXPECT_NEAR(QLocale().toDouble(d->lblRLinks->text()), 10.0, 0.15);
    EXPECT_EQ(d->nedFaktor->text(), QStringLiteral("100"));
}

TEST_F(DruckenTest, Vorschau_BlattUndBildAufDemBildschirm)
{
    Zeigen();
    const int s = DpiSkalieren(310, 96);
    EXPECT_EQ(d->pnlPapier->height(), s);
    EXPECT_NEAR(d->pnlPapier->width(), s * 210.0 / 297.0, 1.0);
    const double m = d->VorschauMassstab;
    EXPECT_EQ(d->Vorschau->geometry(), QRect(int(std::nearbyint(20 * m)), int(std::nearbyint(20 * m)),
                                             int(std::nearbyint(127.0 * m)), int(std::nearbyint(84.6667 * m))));
    // Narrower than the image: reduced to the preview's own size.
    EXPECT_EQ(d->Vorschau->Bild().size(), d->Vorschau->size());
}

TEST_F(DruckenTest, Einpassen_HoheBildFuelltDieHoeheBisAufEinenMillimeter)
{
    Arbeitsbild(2000, 3000);
    EinzelDruckEinpassen = true;
    Zeigen();
    EXPECT_TRUE(d->chkZentrieren->isChecked());
    EXPECT_FALSE(d->nedFaktor->isEnabled());
    const double bereichH = d->DruckbereichHoeheMm;
    const int faktor = int(std::nearbyint((bereichH - 1) / (3000.0 / 600 * 25.4) * 100));
    EXPECT_EQ(int(d->nedFaktor->Wert()), faktor);
    EXPECT_NEAR(d->DruckHoeheMm, bereichH - 1, 0.7);
    // Centred on the paper, in whole millimetres.
    const double links = (PapierBreiteMm() - d->DruckBreiteMm) / 2;
    EXPECT_EQ(int(d->nedLinks->Wert()), int(std::nearbyint(links)));

    d->btnDruckenClick();
    ASSERT_EQ(auftraege->size(), 1);
    const QRect rot = RoteFlaeche(PdfAlsBild(auftraege->at(0)));
    EXPECT_NEAR(rot.height() / 10.0, d->DruckHoeheMm, 0.2);
    EXPECT_NEAR(rot.left() / 10.0, d->nedLinks->Wert(), 0.15);
    EXPECT_NEAR(rot.top() / 10.0, d->nedOben->Wert(), 0.15);
    EXPECT_FALSE(d->isVisible());
}

TEST_F(DruckenTest, Massstab_UndPositionInMillimetern)
{
    Arbeitsbild(600, 300);
    Zeigen();
    d->nedFaktor->SetWert(200);
    d->nedLinks->SetWert(30);
    d->nedOben->SetWert(-5);
    EXPECT_NEAR(d->DruckBreiteMm, 50.8, 1e-9);
    d->btnDruckenClick();
    ASSERT_EQ(auftraege->size(), 1);
    const QRect rot = RoteFlaeche(PdfAlsBild(auftraege->at(0)));
    EXPECT_NEAR(rot.left(), 300, 1);
    EXPECT_NEAR(rot.right() + 1, 808, 1);
    // Above the paper's top edge is cut off: 25.4 mm high from -5 mm.
    EXPECT_NEAR(rot.bottom() + 1, 204, 1);
    EXPECT_LE(rot.top(), 100);   // nothing above the printable area is drawn
}

TEST_F(DruckenTest, Beschriftung_NameUndGroesseUnterDemBild)
{
    Arbeitsbild(600, 300);
    EinzelDruckBildname = EinzelDruckBildgroesse = true;
    Zeigen();
    EXPECT_TRUE(d->lblVBildname->isVisible());
    EXPECT_EQ(d->lblVBildname->text(), QStringLiteral("urlaub.png"));
    EXPECT_EQ(d->lblVBildgroesse->text(), QStringLiteral("600 x 300"));
    d->btnDruckenClick();
    ASSERT_EQ(auftraege->size(), 1);
    const auto box = Woerter(auftraege->at(0));
    ASSERT_TRUE(box.contains(QStringLiteral("urlaub.png")));
    ASSERT_TRUE(box.contains(QStringLiteral("600")));
    const QRectF name = box[QStringLiteral("urlaub.png")];
    const double unten = 20 + 12.7;   // 300 rows at 600 dpi
    EXPECT_GE(name.top(), unten + 4 - 0.3);
    EXPECT_LT(name.top(), unten + 4 + 1.5);
    EXPECT_NEAR(name.center().x(), 20 + 12.7, 0.5);
    const double zeile = DruckpunkteZuMmY(DruckTextHoehe(EinzelDruckBildSchrift.font));
    EXPECT_NEAR(box[QStringLiteral("600")].top() - name.top(), zeile, 0.3);
    // "600 x 300" as a whole is centred too: its middle word sits on the centre.
    EXPECT_NEAR(box[QStringLiteral("x")].center().x(), 20 + 12.7, 0.6);
}

TEST_F(DruckenTest, Beschriftung_GroesseOhneNameSitztAnDessenStelle)
{
    Arbeitsbild(600, 300);
    EinzelDruckBildgroesse = true;
    Zeigen();
    d->btnDruckenClick();
    ASSERT_EQ(auftraege->size(), 1);
    const auto box = Woerter(auftraege->at(0));
    ASSERT_TRUE(box.contains(QStringLiteral("600")));
    EXPECT_GE(box[QStringLiteral("600")].top(), 20 + 12.7 + 4 - 0.3);
    EXPECT_LT(box[QStringLiteral("600")].top(), 20 + 12.7 + 4 + 1.5);
    EXPECT_FALSE(box.contains(QStringLiteral("urlaub.png")));
}

TEST_F(DruckenTest, Titel_DreiPositionen)
{
    Arbeitsbild(60, 30);
    Zeigen();
    struct Fall {
        QRadioButton* knopf;
        int position;
    };
    const Fall faelle[] = {{d->rbLinksbuendig, 2}, {d->rbZentriert, 1}, {d->rbRechtsbuendig, 3}};
    for (const Fall& fall : faelle) {
        if (!d->isVisible())
            Zeigen();
        d->edSeitentitel->setText(QStringLiteral("Seitentitel"));
        fall.knopf->setChecked(true);
        EXPECT_EQ(EinzelDruckTitelPosition, fall.position);
        EXPECT_TRUE(d->lblVTitel->isVisible());
        d->btnDruckenClick();
    }
    ASSERT_EQ(auftraege->size(), 3);
    const QRectF links = Woerter(auftraege->at(0))[QStringLiteral("Seitentitel")];
    const QRectF mitte = Woerter(auftraege->at(1))[QStringLiteral("Seitentitel")];
    const QRectF rechts = Woerter(auftraege->at(2))[QStringLiteral("Seitentitel")];
    EXPECT_NEAR(links.left(), 10, 0.5);
    EXPECT_NEAR(mitte.center().x(), PapierBreiteMm() / 2, 0.5);
    EXPECT_NEAR(rechts.right(), PapierBreiteMm() - 10, 0.5);
    for (const QRectF& r : {links, mitte, rechts}) {
        EXPECT_GE(r.top(), 10 - 0.3);
        EXPECT_LT(r.top(), 11.5);
    }
}

TEST_F(DruckenTest, Titel_NurLeerzeichenWirdWederGezeigtNochGedruckt)
{
    Arbeitsbild(60, 30);
    Zeigen();
    d->edSeitentitel->setText(QStringLiteral("   \t "));
    EXPECT_FALSE(d->lblVTitel->isVisible());
    d->btnDruckenClick();
    ASSERT_EQ(auftraege->size(), 1);
    EXPECT_TRUE(PdfWoerter(auftraege->at(0)).isEmpty());

    // Leading blanks are printed: the word starts further right.
    Zeigen();
    d->rbLinksbuendig->setChecked(true);
    d->edSeitentitel->setText(QStringLiteral("   Titel"));
    d->btnDruckenClick();
    ASSERT_EQ(auftraege->size(), 2);
    EXPECT_GT(Woerter(auftraege->at(1))[QStringLiteral("Titel")].left(), 11);
}

QString DreiSeiten(const QString& ordner)
{
    std::vector<Magick::Image> seiten;
    const char* farben[] = {"red", "lime", "blue"};
    for (int i = 0; i < 3; ++i) {
        Magick::Image bild(Magick::Geometry(300 + 100 * i, 200), Magick::Color(farben[i]));
        bild.magick("TIFF");
        seiten.push_back(bild);
    }
    const QString pfad = ordner + QStringLiteral("/seiten.tif");
    Magick::writeImages(seiten.begin(), seiten.end(), pfad.toStdString());
    return pfad;
}

TEST_F(DruckenTest, AlleSeiten_KopienSortiertInEinerDateiUndDieOffeneSeiteBleibt)
{
    BildListe = QStringList{DreiSeiten(ordner)};
    BildIndex = 0;
    f->BildAnzeigen();
    ASSERT_EQ(f->Gear1->PageCount(), 3);
    f->mAnsSeiteVorExecute();
    ASSERT_EQ(f->Gear1->Page(), 2);
    const TBitmap offen = f->OriginalBild;
    EinzelDruckEinpassen = true;
    Zeigen();
    EXPECT_TRUE(d->chkAlleSeiten->isEnabled());
    d->nedKopien->SetWert(3);
    d->btnDruckenClick();
    // A PDF file makes no copies of its own: every page three times over in
    // the one file, each copy complete before the next begins.
    ASSERT_EQ(auftraege->size(), 1);
    EXPECT_EQ(PdfSeiten(auftraege->at(0)), 9);
    QList<int> breiten;
    for (const QSize& bild : PdfBilder(auftraege->at(0)))
        breiten << bild.width();
    // Every page at its own size, fitted on its own.
    EXPECT_EQ(breiten, (QList<int>{300, 400, 500, 300, 400, 500, 300, 400, 500}));
    EXPECT_EQ(f->Gear1->Page(), 2);
    EXPECT_TRUE(f->OriginalBild == offen);
    EXPECT_EQ(EinzelDruckAlleSeiten, true);
}

TEST_F(DruckenTest, AlleSeiten_InEineDateiVerliertKeineSeite)
{
    AuftragsHakenLoesen();
    const QString ziel = ordner + QStringLiteral("/seiten.pdf");
    Drucker().setOutputFileName(ziel);
    BildListe = QStringList{DreiSeiten(ordner)};
    BildIndex = 0;
    f->BildAnzeigen();
    EinzelDruckEinpassen = true;
    Zeigen();
    d->edSeitentitel->setText(QStringLiteral("Urlaubsseiten"));
    // The job stays open from page to page while the queue runs: no other
    // printer may be chosen then.
    int blicke = 0, offen = 0;
    QTimer waechter;
    QObject::connect(&waechter, &QTimer::timeout, [&] {
        if (DruckerCanvas()) {
            ++blicke;
            offen += d->btnDrucker->isEnabled() + d->btnDrucken->isEnabled();
        }
    });
    waechter.start(0);
    d->btnDruckenClick();
    waechter.stop();
    EXPECT_GE(blicke, 2);
    EXPECT_EQ(offen, 0);
    ASSERT_EQ(PdfSeiten(ziel), 3);
    QList<int> breiten;
    for (const QSize& bild : PdfBilder(ziel))
        breiten << bild.width();
    EXPECT_EQ(breiten, (QList<int>{300, 400, 500}));
    // Each page carries its title line; nothing went into other files.
    for (int seite = 1; seite <= 3; ++seite) {
        const QString text = Ausgabe(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(seite),
                                                                   QStringLiteral("-l"), QString::number(seite),
                                                                   ziel, QStringLiteral("-")});
        EXPECT_EQ(text.split(QLatin1Char('\n')).first(), QStringLiteral("Urlaubsseiten")) << seite;
    }
    EXPECT_EQ(QDir(ordner).entryList({QStringLiteral("*.pdf")}), QStringList{QStringLiteral("seiten.pdf")});
    EXPECT_EQ(Drucker().outputFileName(), ziel);
}

TEST_F(DruckenTest, AlleSeiten_BearbeitetDrucktNurDasArbeitsbild)
{
    BildListe = QStringList{DreiSeiten(ordner)};
    BildIndex = 0;
    f->BildAnzeigen();
    BildBearbeitet = true;
    Zeigen();
    EXPECT_FALSE(d->chkAlleSeiten->isEnabled());
    d->btnDruckenClick();
    EXPECT_EQ(auftraege->size(), 1);
}

TEST_F(DruckenTest, Kopien_InDieDateiGedrucktSindAlleDa)
{
    Arbeitsbild(60, 30);
    Zeigen();
    d->nedKopien->SetWert(3);
    d->btnDruckenClick();
    ASSERT_EQ(auftraege->size(), 1);
    EXPECT_EQ(PdfSeiten(auftraege->at(0)), 3);
    EXPECT_EQ(PdfBilder(auftraege->at(0)).size(), 3);
}

TEST_F(DruckenTest, Kopien_EnterGehtZumNaechstenFeldUndDrucktNicht)
{
    Arbeitsbild(60, 30);
    Zeigen();
    d->activateWindow();
    QApplication::setActiveWindow(d);
    d->nedKopien->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(d->nedKopien->hasFocus());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(d->nedKopien, &enter);
    QApplication::processEvents();
    EXPECT_TRUE(auftraege->isEmpty());
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->nedKopien->hasFocus());
    EXPECT_TRUE(d->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(DruckenTest, Kopien_NullDrucktTrotzdemEinmal)
{
    Arbeitsbild(60, 30);
    Zeigen();
    d->nedKopien->setText(QStringLiteral("0"));
    d->btnDruckenClick();
    EXPECT_EQ(Drucker().copyCount(), 1);
    EXPECT_EQ(auftraege->size(), 1);
}

TEST_F(DruckenTest, Zwischenablage_KeinBildname)
{
    EinzelDruckBildname = true;
    BildQuelle = BildQuelleZwischenablage;
    BildListe.clear();
    Zeigen();
    EXPECT_FALSE(d->cbBildnameDrucken->isChecked());
    EXPECT_FALSE(d->cbBildnameDrucken->isEnabled());
    EXPECT_FALSE(EinzelDruckBildname);
    d->btnDruckenClick();
    EXPECT_EQ(auftraege->size(), 1);
}

TEST_F(DruckenTest, Querformat_GiltFuerWerteUndVorschau)
{
    Zeigen();
    d->rbQuerformat->setChecked(true);
    EXPECT_EQ(Drucker().pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_GT(d->DruckerWerte.PapierBreite, d->DruckerWerte.PapierHoehe);
    EXPECT_GT(d->pnlPapier->width(), d->pnlPapier->height());
    d->rbHochformat->setChecked(true);
    EXPECT_LT(d->DruckerWerte.PapierBreite, d->DruckerWerte.PapierHoehe);
}

TEST_F(DruckenTest, Fehler_AbgelehnterAuftragMeldetUndLaesstDasFensterOffen)
{
    TMeldungsFaenger faenger;
    AuftragsHakenLoesen();
    Drucker().setOutputFileName(QStringLiteral("/nicht/vorhanden/x.pdf"));
    Zeigen();
    d->btnDruckenClick();
    EXPECT_EQ(faenger.texte.size(), 1);
    EXPECT_TRUE(d->isVisible());
}

TEST_F(DruckenTest, Befehl_BearbeitetesBildGehtVorherAnDasSteuerelement)
{
    BildListe = QStringList{DreiSeiten(ordner)};
    BildIndex = 0;
    f->BildAnzeigen();
    f->OriginalBild = TBitmap(77, 33);
    BildBearbeitet = true;
    TModalSchliesser schliesser;
    f->mDatDrucken->trigger();
    EXPECT_GE(schliesser.geschlossen, 1);
    EXPECT_EQ(f->Gear1->PageCount(), 1);
    EXPECT_EQ(f->Gear1->ImageWidth(), 77);
    EXPECT_TRUE(f->AnzeigeBild->isVisible() || !f->isVisible());
}

} // namespace
