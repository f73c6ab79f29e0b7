#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include "DruckHilfen.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "printing/Archivdruck.h"
#include "printing/GlobalDruck.h"
#include <QPageSize>

namespace {

class ArchivdruckTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
        new TfrmArchivdruck(frmZelvanoMain);
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        d = frmArchivdruck;
        ASSERT_NE(d, nullptr);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        PdfDruckerEinrichten(600, QMarginsF(10, 10, 10, 10));
        ordner = FrischerOrdner(QStringLiteral("archivdruck"));
        auftraege = &JedenAuftragInEigeneDatei(ordner);
        ArchivDruckBildname = ArchivDruckBildgroesse = false;
        ArchivDruckTitelPosition = 1;
        ArchivDruckBilderzahl = 2;
        for (TDruckSchrift* s : {&ArchivDruckSeitenSchrift, &ArchivDruckBildSchrift}) {
            s->font = QFont(QStringLiteral("DejaVu Sans"), 10);
            s->farbe = 0;
        }
        d->edSeitentitel->clear();
        BildListe.clear();
    }
    void TearDown() override
    {
        if (d->isVisible())
            d->reject();
        AuftragsHakenLoesen();
        DruckBeenden();
    }

    // A picture file of one colour; red ones are found again on the page.
    QString Bild(const QString& name, int breite, int hoehe, QColor farbe = Qt::blue)
    {
        QImage bild(breite, hoehe, QImage::Format_RGB32);
        bild.fill(farbe);
        const QString pfad = ordner + QLatin1Char('/') + name;
        bild.save(pfad, "PNG");
        return pfad;
    }
    // n files, those at the given indices red.
    void Liste(int n, std::initializer_list<int> rote)
    {
        BildListe.clear();
        for (int i = 0; i < n; ++i) {
            const bool rot = std::find(rote.begin(), rote.end(), i) != rote.end();
            BildListe << Bild(QStringLiteral("b%1.png").arg(i, 2, 10, QLatin1Char('0')), 60, 60,
                              rot ? Qt::red : Qt::blue);
        }
    }
    QString Drucken()
    {
        d->show();
        QApplication::processEvents();
        d->btnDruckenClick();
        return auftraege->isEmpty() ? QString() : auftraege->last();
    }
    static QRectF Mm(const QRect& r) { return QRectF(r.left() / 10.0, r.top() / 10.0, r.width() / 10.0, r.height() / 10.0); }

    TfrmArchivdruck* d = nullptr;
    QString ordner;
    QStringList* auftraege = nullptr;
};

void ErwarteRechteck(const QRectF& ist, double x, double y, double w, double h, double tol = 0.3)
{
    EXPECT_NEAR(ist.left(), x, tol);
    EXPECT_NEAR(ist.top(), y, tol);
    EXPECT_NEAR(ist.width(), w, tol);
    EXPECT_NEAR(ist.height(), h, tol);
}

TEST(ArchivRaster, Zellen_StehenAufDemUnterenRandUndSindQuerMittig)
{
    const TArchivRaster r = ArchivRaster(2);
    const QRectF quer = ArchivBildRechteck(r, 1, 1, 2.0);
    EXPECT_DOUBLE_EQ(quer.left(), 22.5);
    EXPECT_DOUBLE_EQ(quer.top(), 50);
    EXPECT_DOUBLE_EQ(quer.width(), 40);
    EXPECT_DOUBLE_EQ(quer.height(), 20);
    const QRectF hoch = ArchivBildRechteck(r, 1, 1, 0.5);
    EXPECT_DOUBLE_EQ(hoch.left(), 32.5);
    EXPECT_DOUBLE_EQ(hoch.top(), 30);
    EXPECT_DOUBLE_EQ(hoch.width(), 20);
    EXPECT_DOUBLE_EQ(hoch.height(), 40);
    // Any other value is the 2 x 3 sheet.
    EXPECT_EQ(ArchivRaster(0).Spalten, 2);
    EXPECT_EQ(ArchivRaster(7).Zeilen, 3);
    EXPECT_DOUBLE_EQ(ArchivBildRechteck(ArchivRaster(1), 2, 1, 1).left(), 117.4);
}

TEST_F(ArchivdruckTest, Anzeige_ZaehltDieListeUndZeigtDasErsteBild)
{
    Liste(13, {});
    BildListe[0] = Bild(QStringLiteral("quer.png"), 200, 100, Qt::red);
    ArchivDruckBilderzahl = 3;
    ArchivDruckTitelPosition = 3;
    ArchivDruckBildname = true;
    d->show();
    QApplication::processEvents();
    EXPECT_EQ(d->lblBilderzahl->text(), QStringLiteral("13 Bilder werden gedruckt."));
    EXPECT_TRUE(d->rb4x5->isChecked());
    EXPECT_TRUE(d->rbRechtsbuendig->isChecked());
    EXPECT_TRUE(d->cbBildnameDrucken->isChecked());
    EXPECT_TRUE(d->windowTitle().startsWith(QStringLiteral("Archivdruck auf: ")));
    // The preview keeps the image's shape inside the frame with its 5-pixel border.
    EXPECT_DOUBLE_EQ(d->ArchivBildVerhaeltnis, 2.0);
    EXPECT_EQ(d->Vorschau->width(), d->bevRahmen->width() - 10);
    EXPECT_EQ(d->Vorschau->height(), (d->bevRahmen->height() - 10) / 2);
    // The settings follow the controls at once.
    d->rb2x3->setChecked(true);
    d->rbLinksbuendig->setChecked(true);
    d->cbBildgroesseDrucken->setChecked(true);
    EXPECT_EQ(ArchivDruckBilderzahl, 1);
    EXPECT_EQ(ArchivDruckTitelPosition, 2);
    EXPECT_TRUE(ArchivDruckBildgroesse);
}

TEST_F(ArchivdruckTest, Raster3x4_13BilderZweiSeitenDieZweiteNurObenLinks)
{
    Liste(13, {0, 11, 12});
    ArchivDruckBilderzahl = 2;
    const QString pdf = Drucken();
    ASSERT_EQ(auftraege->size(), 1);
    EXPECT_EQ(PdfSeiten(pdf), 2);
    // First and last cell of the first sheet span the grid.
    ErwarteRechteck(Mm(RoteFlaeche(PdfAlsBild(pdf, 1))), 22.5, 30, 3 * 40 + 2 * 22.5, 4 * 40 + 3 * 20);
    ErwarteRechteck(Mm(RoteFlaeche(PdfAlsBild(pdf, 2))), 22.5, 30, 40, 40);
    EXPECT_EQ(d->lblBilderzahl->text(), QStringLiteral("Bild 13 wird gedruckt."));
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_FALSE(d->isVisible());
}

TEST_F(ArchivdruckTest, Raster3x4_12BilderGenauEineSeite)
{
    Liste(12, {5});
    ArchivDruckBilderzahl = 2;
    const QString pdf = Drucken();
    EXPECT_EQ(PdfSeiten(pdf), 1);
    // Row 2, column 3.
    ErwarteRechteck(Mm(RoteFlaeche(PdfAlsBild(pdf))), 147.5, 90, 40, 40);
}

TEST_F(ArchivdruckTest, Raster4x5_SpaltenUndZeilenInMillimetern)
{
    Liste(21, {0, 19, 20});
    ArchivDruckBilderzahl = 3;
    const QString pdf = Drucken();
    EXPECT_EQ(PdfSeiten(pdf), 2);
    // Columns at 18 / 66 / 114 / 162, rows at 25 ... 225.
    ErwarteRechteck(Mm(RoteFlaeche(PdfAlsBild(pdf, 1))), 18, 25, 162 + 30 - 18, 225 + 30 - 25);
    ErwarteRechteck(Mm(RoteFlaeche(PdfAlsBild(pdf, 2))), 18, 25, 30, 30);
}

TEST_F(ArchivdruckTest, Raster2x3_SpaltenUndZeilenInMillimetern)
{
    Liste(6, {0, 5});
    ArchivDruckBilderzahl = 1;
    const QString pdf = Drucken();
    EXPECT_EQ(PdfSeiten(pdf), 1);
    // Columns at 24.7 / 117.4, rows at 20 / 106 / 192.
    ErwarteRechteck(Mm(RoteFlaeche(PdfAlsBild(pdf))), 24.7, 20, 117.4 + 68 - 24.7, 192 + 68 - 20);
}

TEST_F(ArchivdruckTest, Seitenverhaeltnis_QuerUndHochInDerZelle)
{
    BildListe = {Bild(QStringLiteral("quer.png"), 200, 100, Qt::red), Bild(QStringLiteral("b.png"), 50, 50)};
    ArchivDruckBilderzahl = 2;
    ErwarteRechteck(Mm(RoteFlaeche(PdfAlsBild(Drucken()))), 22.5, 50, 40, 20);
    BildListe = {Bild(QStringLiteral("hoch.png"), 100, 200, Qt::red), Bild(QStringLiteral("b.png"), 50, 50)};
    ErwarteRechteck(Mm(RoteFlaeche(PdfAlsBild(Drucken()))), 32.5, 30, 20, 40);
}

TEST_F(ArchivdruckTest, Titel_RueckenDasRasterUm5mmUndStehenAuf10mm)
{
    Liste(2, {0});
    ArchivDruckBilderzahl = 2;
    d->edSeitentitel->setText(QStringLiteral("Mitte"));
    QString pdf = Drucken();
    ErwarteRechteck(Mm(RoteFlaeche(PdfAlsBild(pdf))), 22.5, 35, 40, 40);
    auto woerter = PdfWoerter(pdf);
    ASSERT_EQ(woerter.size(), 1);
    EXPECT_NEAR(woerter[0].mm.center().x(), 105, 0.3);
    EXPECT_NEAR(woerter[0].mm.top(), 10, 1.5);

    d->edSeitentitel->setText(QStringLiteral("Links"));
    ArchivDruckTitelPosition = 2;
    woerter = PdfWoerter(Drucken());
    ASSERT_EQ(woerter.size(), 1);
    EXPECT_NEAR(woerter[0].mm.left(), 22.5, 0.5);

    // The right end stays at 210 mm less the gap, whatever the paper.
    Drucker().setPageSize(QPageSize(QPageSize::Letter));
    Drucker().setPageOrientation(QPageLayout::Landscape);
    d->edSeitentitel->setText(QStringLiteral("Rechts"));
    ArchivDruckTitelPosition = 3;
    woerter = PdfWoerter(Drucken());
    ASSERT_EQ(woerter.size(), 1);
    EXPECT_NEAR(woerter[0].mm.right(), 210 - 22.5, 0.5);

    // Blanks and control characters alone are no title.
    Drucker().setPageOrientation(QPageLayout::Portrait);
    Drucker().setPageSize(QPageSize(QPageSize::A4));
    d->edSeitentitel->setText(QStringLiteral("  \t "));
    pdf = Drucken();
    EXPECT_TRUE(PdfWoerter(pdf).isEmpty());
    ErwarteRechteck(Mm(RoteFlaeche(PdfAlsBild(pdf))), 22.5, 30, 40, 40);
}

TEST_F(ArchivdruckTest, Beschriftung_NameUnterDerZelleGroesseEineZeileTiefer)
{
    BildListe = {Bild(QStringLiteral("quer.png"), 200, 100, Qt::red), Bild(QStringLiteral("b.png"), 50, 50)};
    ArchivDruckBilderzahl = 2;
    ArchivDruckBildname = ArchivDruckBildgroesse = true;
    auto woerter = PdfWoerter(Drucken());
    QRectF name, mal;
    for (const TPdfWort& w : woerter) {
        if (w.text == QLatin1String("quer.png"))
            name = w.mm;
        if (w.text == QLatin1String("x") && w.mm.center().x() < 70)
            mal = w.mm;
    }
    ASSERT_FALSE(name.isNull());
    ASSERT_FALSE(mal.isNull());
    // Centred on the cell, 4 mm below its bottom edge (not the image's).
    EXPECT_NEAR(name.center().x(), 42.5, 0.3);
    EXPECT_NEAR(name.top(), 74, 1.0);
    const double zeile = DruckpunkteZuMmY(DruckTextHoehe(ArchivDruckBildSchrift.font));
    EXPECT_NEAR(mal.top() - name.top(), zeile, 0.3);
    EXPECT_NEAR(mal.center().x(), 42.5, 0.3);

    ArchivDruckBildname = false;
    woerter = PdfWoerter(Drucken());
    for (const TPdfWort& w : woerter)
        if (w.text == QLatin1String("x") && w.mm.center().x() < 70)
            EXPECT_NEAR(w.mm.top(), name.top(), 0.3);
}

TEST_F(ArchivdruckTest, DefekteDatei_FehlerbildMitEigenemNamen)
{
    BildListe = {Bild(QStringLiteral("rot.png"), 300, 100, Qt::red), ordner + QStringLiteral("/kaputt.png"),
                 ordner + QStringLiteral("/fehlt.png")};
    DateiSchreiben(BildListe[1], QByteArray("\x89PNG\r\n\x1a\n kaputt", 16));
    ArchivDruckBilderzahl = 2;
    ArchivDruckBildname = ArchivDruckBildgroesse = true;
    const QString pdf = Drucken();
    // The broken files do not repeat the picture before them.
    EXPECT_EQ(PdfBilder(pdf), (QList<QSize>{QSize(300, 100), QSize(128, 128), QSize(128, 128)}));
    QStringList texte;
    for (const TPdfWort& w : PdfWoerter(pdf))
        texte << w.text;
    EXPECT_TRUE(texte.contains(QStringLiteral("kaputt.png")));
    EXPECT_TRUE(texte.contains(QStringLiteral("fehlt.png")));
    EXPECT_EQ(texte.count(QStringLiteral("128")), 4);
    EXPECT_EQ(texte.count(QStringLiteral("300")), 1);
}

TEST_F(ArchivdruckTest, Abbrechen_BeendetDenAuftragMitDenGedrucktenSeiten)
{
    Liste(30, {0});
    ArchivDruckBilderzahl = 3;
    QTimer waechter;
    int geklickt = 0;
    QObject::connect(&waechter, &QTimer::timeout, [&] {
        if (!geklickt && d->lblBilderzahl->text() == QStringLiteral("Bild 5 wird gedruckt.")) {
            ++geklickt;
            d->btnAbbrechen->click();
        }
    });
    waechter.start(0);
    const QString pdf = Drucken();
    waechter.stop();
    EXPECT_EQ(geklickt, 1);
    EXPECT_FALSE(d->DruckLaeuft());
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(PdfSeiten(pdf), 1);
    EXPECT_EQ(PdfBilder(pdf).size(), 5);
}

TEST_F(ArchivdruckTest, Drucker_UndSchriftartenGesperrtSolangeGedrucktWird)
{
    Liste(8, {});
    QList<QPushButton*> knoepfe{d->btnDrucker, d->btnSeitenSchrift, d->btnBildSchrift};
    int blicke = 0, offen = 0;
    QTimer waechter;
    QObject::connect(&waechter, &QTimer::timeout, [&] {
        if (!d->DruckLaeuft())
            return;
        ++blicke;
        for (QPushButton* k : knoepfe)
            offen += k->isEnabled();
    });
    waechter.start(0);
    const QString pdf = Drucken();
    waechter.stop();
    EXPECT_GE(blicke, 8);   // once per picture at least
    EXPECT_EQ(offen, 0);
    EXPECT_EQ(PdfBilder(pdf).size(), 8);
    // Usable again for the next run.
    d->show();
    QApplication::processEvents();
    for (QPushButton* k : knoepfe)
        EXPECT_TRUE(k->isEnabled()) << k->text().toStdString();
}

TEST_F(ArchivdruckTest, Titel_NenntDieDateiBeiDruckInEineDatei)
{
    AuftragsHakenLoesen();
    const QString ziel = ordner + QStringLiteral("/bogen.pdf");
    Drucker().setOutputFileName(ziel);
    Liste(2, {});
    d->show();
    QApplication::processEvents();
    EXPECT_EQ(d->windowTitle().toStdString(), "Archivdruck auf: " + ziel.toStdString());
    d->btnDruckenClick();
    EXPECT_EQ(PdfSeiten(ziel), 1);
}

TEST_F(ArchivdruckTest, LeereListe_KeinAuftragKeinAbsturz)
{
    d->show();
    QApplication::processEvents();
    EXPECT_EQ(d->lblBilderzahl->text(), QStringLiteral("0 Bilder werden gedruckt."));
    d->btnDruckenClick();
    EXPECT_TRUE(auftraege->isEmpty());
    EXPECT_TRUE(d->isVisible());
}

TEST_F(ArchivdruckTest, Abbrechen_AusserhalbDesDrucksSchliesst)
{
    Liste(2, {});
    d->show();
    QApplication::processEvents();
    d->btnAbbrechen->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_TRUE(auftraege->isEmpty());
    EXPECT_EQ(d->GearA->ImageWidth(), 0);
}

} // namespace
