#include <gtest/gtest.h>
#include <QFont>
#include <QMap>
#include <QPrinter>
#include "DruckHilfen.h"
#include "TestHilfen.h"
#include "printing/GlobalDruck.h"

namespace {

class GlobalDruckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PdfDruckerEinrichten();
        ordner = FrischerOrdner(QStringLiteral("druck"));
        pdf = ordner + QStringLiteral("/seite.pdf");
        Drucker().setOutputFileName(pdf);
    }
    void TearDown() override { DruckBeenden(); }

    static QImage Rot(int breite, int hoehe)
    {
        QImage bild(breite, hoehe, QImage::Format_RGB888);
        bild.fill(Qt::red);
        return bild;
    }

    QString ordner, pdf;
};

TEST_F(GlobalDruckTest, Umrechnung_600DpiZollIst600Punkte)
{
    EXPECT_EQ(MmZuDruckpunktenX(25.4), 600);
    EXPECT_EQ(MmZuDruckpunktenY(25.4), 600);
    EXPECT_DOUBLE_EQ(DruckpunkteZuMmX(600), 25.4);
    EXPECT_DOUBLE_EQ(DruckpunkteZuMmY(300), 12.7);
    EXPECT_EQ(MmZuDruckpunktenX(-10), -236);
}

TEST_F(GlobalDruckTest, Umrechnung_RundetStattAbzuschneiden)
{
    // 0.07 mm at 600 dpi are 1.65 dots, 0.05 mm 1.18 dots.
    EXPECT_EQ(MmZuDruckpunktenX(0.07), 2);
    EXPECT_EQ(MmZuDruckpunktenX(0.05), 1);
    EXPECT_EQ(MmZuDruckpunktenY(-0.07), -2);
    // The size of a rectangle does not depend on where it starts.
    EXPECT_EQ(MmZuDruckpunktenX(10.3) - MmZuDruckpunktenX(0.3), MmZuDruckpunktenX(10) - MmZuDruckpunktenX(0));
    // Each direction with its own resolution.
    Drucker().setResolution(300);
    EXPECT_EQ(MmZuDruckpunktenX(25.4), 300);
    EXPECT_DOUBLE_EQ(DruckpunkteZuMmY(150), 12.7);
}

TEST_F(GlobalDruckTest, Seitenwerte_A4Bei600DpiMitUngleichenRaendern)
{
    TDruckerWerte w;
    DruckerWerteErmitteln(w);
    EXPECT_EQ(w.DpiX, 600);
    EXPECT_EQ(w.DpiY, 600);
    // The PDF engine keeps A4 and the margins in whole points (595 x 842),
    // so the values lie within a point (8.3 dots) of the millimetres.
    EXPECT_NEAR(w.PapierBreite, 4961, 4);
    EXPECT_NEAR(w.PapierHoehe, 7016, 4);
    EXPECT_NEAR(w.RandLinks, 236, 5);
    EXPECT_NEAR(w.RandOben, 354, 5);
    EXPECT_NEAR(w.RandRechts, 472, 5);
    EXPECT_NEAR(w.RandUnten, 591, 5);
    EXPECT_EQ(w.RandLinks + w.DruckbereichBreite + w.RandRechts, w.PapierBreite);
    EXPECT_EQ(w.RandOben + w.DruckbereichHoehe + w.RandUnten, w.PapierHoehe);
}

TEST_F(GlobalDruckTest, Seitenwerte_QuerformatGiltBeimNaechstenAufruf)
{
    Drucker().setPageOrientation(QPageLayout::Landscape);
    TDruckerWerte w;
    DruckerWerteErmitteln(w);
    EXPECT_NEAR(w.PapierBreite, 7016, 4);
    EXPECT_NEAR(w.PapierHoehe, 4961, 4);
    EXPECT_EQ(w.RandLinks + w.DruckbereichBreite + w.RandRechts, w.PapierBreite);
}

TEST_F(GlobalDruckTest, Bild_LiegtInMillimeternVomPapierrand)
{
    ASSERT_TRUE(DruckBeginnen());
    BitmapInMmDrucken(Rot(600, 300), 20, 30, 25.4, 12.7);
    DruckBeenden();
    EXPECT_EQ(PdfSeiten(pdf), 1);
    const QSizeF seite = PdfSeitenMm(pdf);
    EXPECT_NEAR(seite.width(), 210, 0.2);
    EXPECT_NEAR(seite.height(), 297, 0.2);
    // 10 pixels per millimetre from the paper's corner.
    const QRect rot = RoteFlaeche(PdfAlsBild(pdf));
    EXPECT_NEAR(rot.left(), 200, 1);
    EXPECT_NEAR(rot.right(), 453, 1);
    EXPECT_NEAR(rot.top(), 300, 1);
    EXPECT_NEAR(rot.bottom(), 426, 1);
}

TEST_F(GlobalDruckTest, Bild_NurBreiterAlsDasRechteckWirdVerkleinert)
{
    // 25.4 mm are 600 dots: 600 pixels go as they are, 601 are reduced to
    // 600, 300 are left for the printer to enlarge.
    ASSERT_TRUE(DruckBeginnen());
    BitmapInMmDrucken(Rot(600, 10), 10, 20, 25.4, 5);
    BitmapInMmDrucken(Rot(601, 10), 10, 40, 25.4, 5);
    BitmapInMmDrucken(Rot(300, 10), 10, 60, 25.4, 5);
    DruckBeenden();
    const QList<QSize> bilder = PdfBilder(pdf);
    ASSERT_EQ(bilder.size(), 3);
    EXPECT_EQ(bilder.at(0).width(), 600);
    EXPECT_EQ(bilder.at(1).width(), 600);
    EXPECT_EQ(bilder.at(1).height(), 118);   // 5 mm at 600 dpi
    EXPECT_EQ(bilder.at(2).width(), 300);
}

TEST_F(GlobalDruckTest, Bild_LeeresRechteckZeichnetNichts)
{
    ASSERT_TRUE(DruckBeginnen());
    BitmapInMmDrucken(Rot(100, 100), 10, 10, 0, 20);
    BitmapInMmDrucken(Rot(100, 100), 10, 10, 20, 0);
    DruckBeenden();
    EXPECT_TRUE(PdfBilder(pdf).isEmpty());
}

TEST_F(GlobalDruckTest, Bild_HoeherAufgeloestInYWirdOhneFehlerVerkleinert)
{
    // 300 x 600 dpi: the reduction asks for more rows than the picture has.
    Drucker().setResolution(300);
    ASSERT_TRUE(DruckBeginnen());
    BitmapInMmDrucken(Rot(400, 10), 0, 0, 25.4, 25.4);
    DruckBeenden();
    const QList<QSize> bilder = PdfBilder(pdf);
    ASSERT_EQ(bilder.size(), 1);
    EXPECT_EQ(bilder.at(0), QSize(300, 300));
}

TEST_F(GlobalDruckTest, Text_DreiAusrichtungenAmPapierrand)
{
    QFont schrift(QStringLiteral("DejaVu Sans"));
    schrift.setPointSize(12);
    ASSERT_TRUE(DruckBeginnen());
    TextInMmDrucken(0, schrift, QStringLiteral("Links"), 30, 40);
    TextInMmDrucken(1, schrift, QStringLiteral("Mitte"), 105, 60);
    TextInMmDrucken(2, schrift, QStringLiteral("Rechts"), 180, 80);
    DruckBeenden();
    QMap<QString, QRectF> box;
    for (const TPdfWort& w : PdfWoerter(pdf))
        box[w.text] = w.mm;
    ASSERT_EQ(box.size(), 3);
    EXPECT_NEAR(box[QStringLiteral("Links")].left(), 30, 0.5);
    EXPECT_NEAR(box[QStringLiteral("Mitte")].center().x(), 105, 0.5);
    EXPECT_NEAR(box[QStringLiteral("Rechts")].right(), 180, 0.5);
    // y is the top of the text, not its base line: the box starts at or just below it.
    EXPECT_GE(box[QStringLiteral("Links")].top(), 40 - 0.3);
    EXPECT_LT(box[QStringLiteral("Links")].top(), 41.5);
    EXPECT_GE(box[QStringLiteral("Mitte")].top(), 60 - 0.3);
    EXPECT_LT(box[QStringLiteral("Mitte")].top(), 61.5);
}

TEST_F(GlobalDruckTest, Ohne_OffenenAuftragZeichnetNichtsUndStuerztNicht)
{
    BitmapInMmDrucken(Rot(10, 10), 0, 0, 10, 10);
    TextInMmDrucken(1, QFont(), QStringLiteral("x"), 0, 0);
    EXPECT_EQ(DruckerCanvas(), nullptr);
    EXPECT_GT(DruckTextHoehe(QFont()), 0);
}

TEST_F(GlobalDruckTest, Auftrag_InNichtBeschreibbaresZielMeldetFehler)
{
    TMeldungsFaenger faenger;
    Drucker().setOutputFileName(QStringLiteral("/nicht/vorhanden/x.pdf"));
    EXPECT_FALSE(DruckBeginnen());
    EXPECT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(DruckerCanvas(), nullptr);
}

TEST_F(GlobalDruckTest, Auftrag_NachAbgelehntemAuftragDrucktDerNaechsteMitDenAltenEinstellungen)
{
    TMeldungsFaenger faenger;
    Drucker().setPageOrientation(QPageLayout::Landscape);
    Drucker().setCopyCount(2);
    // No target at all, as on a machine without a printer.
    Drucker().setOutputFileName(QString());
    ASSERT_FALSE(DruckBeginnen());

    // The user picks another target, as in the printer set-up dialog.
    Drucker().setOutputFileName(pdf);
    EXPECT_EQ(Drucker().outputFileName(), pdf);
    EXPECT_EQ(Drucker().outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(Drucker().resolution(), 600);
    EXPECT_EQ(Drucker().pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(Drucker().copyCount(), 2);
    EXPECT_FALSE(Drucker().fullPage());
    ASSERT_TRUE(DruckBeginnen());
    BitmapInMmDrucken(Rot(10, 10), 0, 0, 10, 10);
    DruckBeenden();
    EXPECT_EQ(faenger.texte.size(), 1);
    EXPECT_TRUE(DateiBytes(pdf).startsWith("%PDF"));
}

} // namespace
