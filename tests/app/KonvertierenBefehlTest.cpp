// The main window's conversion command: the question about an unsaved edit,
// the freed control and the reload afterwards.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include "AnzeigeBild.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/Konvertieren.h"
#include "Testnaht.h"

namespace {

class KonvertierenBefehlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite() { delete frmZelvanoMain; }
    void SetUp() override
    {
        f = frmZelvanoMain;
        ordner = FrischerOrdner(QStringLiteral("konvert-befehl"));
        for (const char* n : {"testbild.png", "testbild.bmp"}) {
            const QString kopie = ordner + QLatin1Char('/') + QLatin1String(n);
            ASSERT_TRUE(QFile::copy(MusterPfad(QLatin1String(n)), kopie));
            liste << kopie;
        }
        TMeldungsFaenger faenger;
        BildListe = liste;
        BildIndex = 1;
        f->BildAnzeigen();
        MenuesSetzen();
    }
    TfrmZelvanoMain* f = nullptr;
    QString ordner;
    QStringList liste;
};

} // namespace

TEST_F(KonvertierenBefehlTest, Befehl_FreiMitZweiBildernUndLaedtDanachNeu)
{
    ASSERT_TRUE(f->mDatKonvertieren->isEnabled());
    bool gearLeer = false, anzeigeVerborgen = false;
    QTimer uhr;
    uhr.setInterval(10);
    QObject::connect(&uhr, &QTimer::timeout, [&] {
        if (!frmKonvertieren || QApplication::activeModalWidget() != frmKonvertieren)
            return;
        gearLeer = f->Gear1->ImageWidth() == 0;
        anzeigeVerborgen = !f->AnzeigeBild->isVisibleTo(f);
        frmKonvertieren->reject();
    });
    uhr.start();
    TMeldungsFaenger faenger;
    f->mDatKonvertieren->trigger();
    EXPECT_TRUE(faenger.texte.isEmpty()) << faenger.texte.join(QLatin1Char('|')).toStdString();
    uhr.stop();
    EXPECT_TRUE(gearLeer);
    EXPECT_TRUE(anzeigeVerborgen);
    // The shown entry is read again and shown.
    EXPECT_GT(f->Gear1->ImageWidth(), 0);
    EXPECT_TRUE(f->AnzeigeBild->isVisibleTo(f));
    EXPECT_EQ(BildIndex, 1);
    EXPECT_FALSE(f->OriginalBild.IsEmpty());
}

TEST_F(KonvertierenBefehlTest, Befehl_BearbeitetesBildAbbrechenOeffnetNichts)
{
    BildBearbeitet = true;
    TModalSchliesser schliesser;
    SetzeMeldungHaken([](const QString&, TMeldungArt, int) { return int(mbAbbrechen); });
    f->mDatKonvertierenExecute();
    SetzeMeldungHaken({});
    EXPECT_EQ(schliesser.geschlossen, 0);
    EXPECT_GT(f->Gear1->ImageWidth(), 0);
    BildBearbeitet = false;
}
