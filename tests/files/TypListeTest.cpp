// The type lists of the open, search, save and convert windows: one look in
// all four, and the depth shapes beside the writable ones.
#include <gtest/gtest.h>
#include <QApplication>
#include <QTreeWidget>
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/Konvertieren.h"
#include "files/Oeffnen.h"
#include "files/Speichern.h"
#include "files/Suche.h"
#include "files/TypListe.h"

namespace {

const QColor Blassgelb(255, 249, 227);

class TypListeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        FormatTabelleAufbauen();
        BildMaske = BildMaskeAufbauen();
    }
    void SetUp() override
    {
        const QString ordner = MitTrenner(FrischerOrdner(QStringLiteral("typliste")));
        LadeVerzeichnis = ordner;
        SpeicherVerzeichnis = ordner;
        BildListe.clear();
    }

    // What the user sees of liste in its window once row 2 is chosen: the
    // chosen row as tall as the others, the mark in its first column only,
    // the even rows pale yellow and a grid line under each cell.
    static void GleichesBild(QWidget* fenster, QTreeWidget* liste)
    {
        fenster->show();
        QCoreApplication::processEvents();
        liste->setCurrentItem(liste->topLevelItem(2));
        liste->clearSelection();   // plain rows, so only the mark differs
        QCoreApplication::processEvents();
        const QImage bild = liste->viewport()->grab().toImage();
        auto zelle = [&](int zeile, int spalte) { return liste->visualRect(liste->model()->index(zeile, spalte)); };
        auto abweichend = [&](const QRect& r) {
            const QRect innen = r.adjusted(2, 2, -2, -2);
            const QRgb grund = bild.pixel(innen.topLeft());
            int n = 0;
            for (int y = innen.top(); y <= innen.bottom(); ++y)
                for (int x = innen.left(); x <= innen.right(); ++x)
                    n += bild.pixel(x, y) != grund;
            return n;
        };
        EXPECT_EQ(zelle(2, 0).height(), zelle(3, 0).height()) << fenster->objectName().toStdString();
        EXPECT_GT(abweichend(zelle(2, 0)), 3) << fenster->objectName().toStdString();
        EXPECT_EQ(abweichend(zelle(3, 0)), 0) << fenster->objectName().toStdString();
        const QRect beschreibung = zelle(4, 2);
        EXPECT_EQ(QColor(bild.pixel(beschreibung.right() - 4, beschreibung.center().y())), Blassgelb)
            << fenster->objectName().toStdString();
        EXPECT_NE(QColor(bild.pixel(beschreibung.right() - 4, beschreibung.bottom())), Blassgelb)
            << fenster->objectName().toStdString();
        fenster->hide();
    }
};

} // namespace

TEST_F(TypListeTest, VierFenster_GleichGestreiftGegittertUndMarkiert)
{
    TfrmOeffnen oeffnen;
    GleichesBild(&oeffnen, oeffnen.lvBildTyp);
    TfrmSuche suche;
    GleichesBild(&suche, suche.lvBildTyp);
    TfrmSpeichern speichern;
    GleichesBild(&speichern, speichern.lvSaveTyp);
    TfrmKonvertieren konvertieren;
    GleichesBild(&konvertieren, konvertieren.lvSaveTyp);
}

TEST_F(TypListeTest, Markieren_NurEineZeileUngesetztIstMinusEins)
{
    QTreeWidget liste;
    FormatListeFuellen(&liste, 1, true, false);
    EXPECT_EQ(TypZustandsbild(&liste, 0), -1);
    TypZeileMarkieren(&liste, liste.topLevelItem(3));
    TypZeileMarkieren(&liste, liste.topLevelItem(5));
    for (int i = 0; i < liste.topLevelItemCount(); ++i)
        EXPECT_EQ(TypZustandsbild(&liste, i), i == 5 ? 11 : -1) << i;
    EXPECT_EQ(TypZustandsbild(&liste, liste.topLevelItemCount()), -1);
}

TEST_F(TypListeTest, Waehlen_NachSchluesselSonstErsatzzeileOhneSignal)
{
    QTreeWidget liste;
    TypListeFuellen(&liste, TypZeilenFarbe);
    int meldungen = 0;
    QObject::connect(&liste, &QTreeWidget::currentItemChanged, [&] { ++meldungen; });
    QTreeWidgetItem* png = TypZeileWaehlen(&liste, QStringLiteral("PNG Ping         "), 0);
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->text(1), QStringLiteral("PNG"));
    EXPECT_TRUE(png->isSelected());
    EXPECT_EQ(TypZeileWaehlen(&liste, QStringLiteral("XYZ Unbekannt"), 4), liste.topLevelItem(4));
    EXPECT_EQ(meldungen, 0);
}
