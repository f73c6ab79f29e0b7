#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include "AnzeigeBild.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "printing/Archivdruck.h"
#include "viewing/Bildinfo.h"

namespace {

class InfoBefehleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
        new TfrmBildinfo(frmZelvanoMain);
        new TfrmArchivdruck(frmZelvanoMain);
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        BildBearbeitet = false;
        ordner = FrischerOrdner(QStringLiteral("infobefehle"));
        BildListe.clear();
        for (int i = 1; i <= 3; ++i) {
            const QString pfad = ordner + QStringLiteral("/bild%1.png").arg(i);
            QImage bild(10 * i, 5, QImage::Format_RGB888);
            bild.fill(Qt::green);
            bild.save(pfad);
            BildListe << pfad;
        }
        BildIndex = 1;
        f->BildAnzeigen();
        ASSERT_EQ(f->OriginalBild.Width(), 20);
    }

    TfrmZelvanoMain* f = nullptr;
    QString ordner;
};

// Closes the next modal window of the given kind once it shows, after
// noting what it showed.
template <class T>
void BeimZeigen(T* fenster, std::function<void()> nachsehen)
{
    auto* uhr = new QTimer(fenster);
    uhr->setInterval(5);
    QObject::connect(uhr, &QTimer::timeout, fenster, [fenster, nachsehen, uhr] {
        if (!fenster->isVisible())
            return;
        uhr->stop();
        uhr->deleteLater();
        nachsehen();
        fenster->reject();
    });
    uhr->start();
}

TEST_F(InfoBefehleTest, Bildinfo_StrgIZeigtDieAngabenDesBildes)
{
    MenuesSetzen();
    EXPECT_TRUE(f->mDatInfo->isEnabled());
    QString name, masse;
    BeimZeigen(frmBildinfo, [&] {
        name = frmBildinfo->lblFileName->text();
        masse = frmBildinfo->lblDimensions->text();
    });
    f->mDatInfo->trigger();
    EXPECT_EQ(name, BildListe.at(1));
    EXPECT_EQ(masse, QStringLiteral("20 Pixel breit  x  5 Pixel hoch"));
}

TEST_F(InfoBefehleTest, Archivdruck_GibtDasBildFreiUndLaedtEsDanach)
{
    MenuesSetzen();
    EXPECT_TRUE(f->mDatArchivdruck->isEnabled());
    int breiteImFenster = -1;
    bool anzeigeVerborgen = false;
    QString zahl;
    BeimZeigen(frmArchivdruck, [&] {
        breiteImFenster = f->Gear1->ImageWidth();
        anzeigeVerborgen = f->AnzeigeBild->isHidden();
        zahl = frmArchivdruck->lblBilderzahl->text();
    });
    f->mDatArchivdruck->trigger();
    EXPECT_EQ(breiteImFenster, 0);
    EXPECT_TRUE(anzeigeVerborgen);
    EXPECT_EQ(zahl, QStringLiteral("3 Bilder werden gedruckt."));
    EXPECT_EQ(f->Gear1->ImageWidth(), 20);
    EXPECT_EQ(f->OriginalBild.Width(), 20);
    EXPECT_FALSE(f->AnzeigeBild->isHidden());
}

TEST_F(InfoBefehleTest, Archivdruck_AbbruchBeiDerFrageLaesstDieBearbeitung)
{
    f->OriginalBild = TBitmap(44, 4);
    BildBearbeitet = true;
    TMeldungsFaenger faenger(mbAbbrechen);
    TModalSchliesser schliesser;
    f->mDatArchivdruckExecute();
    EXPECT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(schliesser.geschlossen, 0);
    EXPECT_EQ(f->OriginalBild.Width(), 44);
    EXPECT_TRUE(BildBearbeitet);
    BildBearbeitet = false;
}

TEST_F(InfoBefehleTest, Archivdruck_NurMitMehrAlsEinerDatei)
{
    BildListe = {BildListe.first()};
    BildIndex = 0;
    MenuesSetzen();
    EXPECT_FALSE(f->mDatArchivdruck->isEnabled());
    EXPECT_TRUE(f->mDatInfo->isEnabled());
}

} // namespace
