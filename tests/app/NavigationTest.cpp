#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>
#include <QLabel>
#include <QStatusBar>
#include <Magick++.h>
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "Modi.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"

namespace {

class NavigationTest : public ::testing::Test {
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
        Ausschneiden = Fotoschnitt = Festschnitt = false;
        BildBearbeitet = false;
        Einpassen = true;
        ordner = FrischerOrdner(QStringLiteral("navigation"));
        // Three files told apart by their widths 10, 20, 30.
        BildListe.clear();
        for (int i = 1; i <= 3; ++i) {
            const QString pfad = ordner + QStringLiteral("/bild%1.png").arg(i);
            QImage bild(10 * i, 5, QImage::Format_RGB888);
            bild.fill(Qt::yellow);
            bild.save(pfad);
            BildListe << pfad;
        }
        BildIndex = 0;
        f->BildAnzeigen();
        ASSERT_EQ(f->OriginalBild.Width(), 10);
    }
    void TearDown() override { Ausschneiden = Fotoschnitt = Festschnitt = false; }

    // A key released on the window, as the user's keyboard would deliver it.
    bool Loslassen(int taste, Qt::KeyboardModifiers umschalt = Qt::NoModifier, bool wiederholt = false)
    {
        QKeyEvent ereignis(QEvent::KeyRelease, taste, umschalt, QString(), wiederholt);
        QApplication::sendEvent(f, &ereignis);
        return ereignis.isAccepted();
    }

    QString DreiSeiten()
    {
        std::vector<Magick::Image> seiten;
        const char* farben[] = {"red", "lime", "blue"};
        for (int i = 0; i < 3; ++i) {
            Magick::Image seite(Magick::Geometry(40 + i, 8), Magick::Color(farben[i]));
            seite.magick("TIFF");
            seiten.push_back(seite);
        }
        const QString pfad = ordner + QStringLiteral("/drei seiten.tif");
        Magick::writeImages(seiten.begin(), seiten.end(), pfad.toStdString());
        return pfad;
    }
    void DreiSeitenZeigen()
    {
        BildListe = {DreiSeiten()};
        BildIndex = 0;
        f->BildAnzeigen();
        ASSERT_EQ(f->Gear1->PageCount(), 3);
        ASSERT_EQ(f->OriginalBild.Width(), 40);
    }

    TfrmZelvanoMain* f = nullptr;
    QString ordner;
};

} // namespace

TEST_F(NavigationTest, Weiter_GehtZumNaechstenBild)
{
    f->mAnsBildWeiterExecute();
    EXPECT_EQ(BildIndex, 1);
    EXPECT_EQ(f->OriginalBild.Width(), 20);
    f->mAnsBildZurueckExecute();
    EXPECT_EQ(BildIndex, 0);
    EXPECT_EQ(f->OriginalBild.Width(), 10);
}

TEST_F(NavigationTest, Listenenden_KeinUmlaufUndKeinNeuladen)
{
    f->mAnsBildZurueckExecute();
    EXPECT_EQ(BildIndex, 0);
    BildIndex = 2;
    f->BildAnzeigen();
    // An edit that the list end must not throw away by reloading.
    f->OriginalBild.Assign(QImage(77, 3, QImage::Format_RGB888));
    f->mAnsBildWeiterExecute();
    EXPECT_EQ(BildIndex, 2);
    EXPECT_EQ(f->OriginalBild.Width(), 77);
}

TEST_F(NavigationTest, Listenenden_FragenTrotzdemNachDemBearbeitetenBild)
{
    BildBearbeitet = true;
    TMeldungsFaenger faenger(mbNein);
    f->mAnsBildZurueckExecute();
    EXPECT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(BildIndex, 0);
}

TEST_F(NavigationTest, Weiter_AbbrechenBehaeltBearbeitetesBild)
{
    BildBearbeitet = true;
    TMeldungsFaenger faenger(mbAbbrechen);
    f->mAnsBildWeiterExecute();
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_TRUE(faenger.texte.first().startsWith(QStringLiteral("Das Bild in der Anzeige")));
    EXPECT_EQ(BildIndex, 0);
    EXPECT_TRUE(BildBearbeitet);
    faenger.antwort = mbNein;
    f->mAnsBildWeiterExecute();
    EXPECT_EQ(BildIndex, 1);
    EXPECT_FALSE(BildBearbeitet);
}

TEST_F(NavigationTest, Pfeiltasten_SchrittJeDruckBeimLoslassen)
{
    EXPECT_TRUE(Loslassen(Qt::Key_Right));
    EXPECT_EQ(BildIndex, 1);
    // A held key repeats; only its real release steps.
    Loslassen(Qt::Key_Right, Qt::NoModifier, true);
    Loslassen(Qt::Key_Right, Qt::NoModifier, true);
    EXPECT_EQ(BildIndex, 1);
    Loslassen(Qt::Key_Right);
    EXPECT_EQ(BildIndex, 2);
    Loslassen(Qt::Key_Left);
    EXPECT_EQ(BildIndex, 1);
    EXPECT_EQ(f->OriginalBild.Width(), 20);
    MenuesSetzen();
    EXPECT_EQ(f->StatusPanel[0]->text(), QStringLiteral("Bild 2 von 3"));
    EXPECT_EQ(f->StatusPanel[5]->text(), QStringLiteral("bild2.png"));
}

TEST_F(NavigationTest, Pfeiltasten_AufEinemKindfensterErreichenDasHauptfenster)
{
    QKeyEvent ereignis(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(f->StatusBar1, &ereignis);
    EXPECT_EQ(BildIndex, 1);
}

TEST_F(NavigationTest, Pfeiltasten_OhneBildOderImSchnittmodusNichts)
{
    Ausschneiden = true;
    Loslassen(Qt::Key_Right);
    EXPECT_EQ(BildIndex, 0);
    Ausschneiden = false;
    Festschnitt = true;
    Loslassen(Qt::Key_Right);
    EXPECT_EQ(BildIndex, 0);
    Festschnitt = false;
    BildQuelle = BildQuelleKeine;
    int taste = Qt::Key_Right;
    f->FormKeyUp(taste, Qt::NoModifier);
    EXPECT_EQ(taste, int(Qt::Key_Right));   // left to others
    EXPECT_EQ(BildIndex, 0);
}

TEST_F(NavigationTest, Einpasstasten_SchaltenEinpassenUm)
{
    const std::pair<int, Qt::KeyboardModifiers> tasten[] = {
        {Qt::Key_Insert, Qt::NoModifier}, {Qt::Key_0, Qt::KeypadModifier},
        {Qt::Key_Minus, Qt::KeypadModifier}, {Qt::Key_Minus, Qt::NoModifier},
        {Qt::Key_Insert, Qt::KeypadModifier}};
    for (const auto& [taste, umschalt] : tasten) {
        const bool vorher = Einpassen;
        Loslassen(taste, umschalt);
        EXPECT_NE(Einpassen, vorher) << taste;
        EXPECT_EQ(ZoomFaktor, 1.0) << taste;
    }
    // The 0 above the letters is no fit key.
    const bool vorher = Einpassen;
    Loslassen(Qt::Key_0);
    EXPECT_EQ(Einpassen, vorher);
}

TEST_F(NavigationTest, Seiten_DreiseitigesTiffVorUndZurueck)
{
    DreiSeitenZeigen();
    ZoomFaktor = 1.0;
    Einpassen = false;
    Loslassen(Qt::Key_Up);   // page 1: nothing before it
    EXPECT_EQ(f->Gear1->Page(), 1);
    Loslassen(Qt::Key_Down);
    EXPECT_EQ(f->Gear1->Page(), 2);
    EXPECT_EQ(f->OriginalBild.Width(), 41);
    EXPECT_EQ(f->StatusPanel[5]->text(), QStringLiteral(" Seite 2 von 3 von drei seiten.tif"));
    EXPECT_EQ(BildFarbtiefe, f->Gear1->ImageBitsPerPixel());
    EXPECT_FALSE(Einpassen);
    f->mAnsSeiteVorExecute();
    EXPECT_EQ(f->Gear1->Page(), 3);
    f->mAnsSeiteVorExecute();   // the last page
    EXPECT_EQ(f->Gear1->Page(), 3);
    EXPECT_EQ(f->OriginalBild.Width(), 42);
    f->mAnsSeiteZurueckExecute();
    EXPECT_EQ(f->Gear1->Page(), 2);
    EXPECT_EQ(f->OriginalBild.Width(), 41);
}

TEST_F(NavigationTest, Seiten_EinseitigeDateiNichts)
{
    f->mAnsSeiteVorExecute();
    f->mAnsSeiteZurueckExecute();
    Loslassen(Qt::Key_Down);
    EXPECT_EQ(f->Gear1->Page(), 1);
    EXPECT_EQ(f->OriginalBild.Width(), 10);
}

TEST_F(NavigationTest, Seiten_BearbeitetesBildFragtErst)
{
    DreiSeitenZeigen();
    f->OriginalBild.Assign(QImage(99, 9, QImage::Format_RGB888));
    BildBearbeitet = true;
    TMeldungsFaenger faenger(mbAbbrechen);
    f->mAnsSeiteVorExecute();
    EXPECT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(f->Gear1->Page(), 1);
    EXPECT_EQ(f->OriginalBild.Width(), 99);
    EXPECT_TRUE(BildBearbeitet);

    // Yes opens the save command instead; the page stays too.
    faenger.antwort = mbJa;
    {
        TModalSchliesser schliesser;
        f->mAnsSeiteVorExecute();
    }
    EXPECT_EQ(f->Gear1->Page(), 1);
    EXPECT_EQ(f->OriginalBild.Width(), 99);

    // No gives the edit up: the next page shows as the file holds it.
    faenger.antwort = mbNein;
    f->mAnsSeiteVorExecute();
    EXPECT_EQ(f->Gear1->Page(), 2);
    EXPECT_EQ(f->OriginalBild.Width(), 41);
    EXPECT_FALSE(BildBearbeitet);
    EXPECT_EQ(faenger.texte.size(), 3);
}

TEST_F(NavigationTest, Menue_WeiterUndZurueckUeberDieAktionen)
{
    MenuesSetzen();
    ASSERT_TRUE(f->mAnsBildWeiter->isEnabled());
    f->mAnsBildWeiter->trigger();
    EXPECT_EQ(BildIndex, 1);
    MenuesSetzen();
    f->mAnsBildZurueck->trigger();
    EXPECT_EQ(BildIndex, 0);
    MenuesSetzen();
    EXPECT_FALSE(f->mAnsBildZurueck->isEnabled());
}

namespace {

TEST_F(NavigationTest, LadenLaesstSichNichtUnterbrechen)
{
    // A picture large enough to report its progress row band by row band.
    const QString gross = ordner + QStringLiteral("/gross.png");
    {
        QImage bild(2400, 1600, QImage::Format_RGB888);
        for (int y = 0; y < bild.height(); ++y)
            for (int x = 0; x < bild.width(); ++x)
                bild.setPixel(x, y, qRgb(x % 251, y % 241, (x * y) % 239));
        ASSERT_TRUE(bild.save(gross));
    }
    const QString fremd = ordner + QStringLiteral("/fremd.png");
    {
        QImage bild(70, 7, QImage::Format_RGB888);
        bild.fill(Qt::red);
        ASSERT_TRUE(bild.save(fremd));
    }
    BildListe.insert(1, gross);
    const QStringList liste = BildListe;
    ASSERT_EQ(BildQuelle, BildQuelleDatei);

    // At 3 % the user presses the arrow, drops a file, asks to delete the
    // file and to close the window.
    QMimeData* abgelegt = new QMimeData;
    abgelegt->setUrls({QUrl::fromLocalFile(fremd)});
    bool gesendet = false;
    int meldungen = 0;
    TMeldungsFaenger faenger(mbJa);
    const auto verbindung = QObject::connect(f->Gear1, &TGear::OnStatusEvent, f, [&](int& prozent) {
        if (gesendet || prozent < 3)
            return;
        gesendet = true;
        QCoreApplication::postEvent(f, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier));
        QCoreApplication::postEvent(f, new QDropEvent(QPointF(5, 5), Qt::CopyAction, abgelegt, Qt::LeftButton,
                                                      Qt::NoModifier));
        QCoreApplication::postEvent(f, new QCloseEvent);
        f->mBeaLoeschen->trigger();
        meldungen = int(faenger.texte.size());
    });
    BildIndex = 1;
    f->BildAnzeigen();
    QCoreApplication::processEvents();
    QObject::disconnect(verbindung);
    delete abgelegt;

    ASSERT_TRUE(gesendet);
    EXPECT_EQ(meldungen, 0) << "no delete question during the load";
    EXPECT_TRUE(QFileInfo::exists(gross));
    EXPECT_EQ(BildListe, liste);
    ASSERT_EQ(BildIndex, 1);
    EXPECT_EQ(f->OriginalBild.Width(), 2400);
    EXPECT_EQ(f->OriginalBild.Bild().pixel(250, 240), qRgb(250, 240, (250 * 240) % 239));
    EXPECT_EQ(f->StatusPanel[0]->text(), QStringLiteral("Bild 2 von 4"));
    EXPECT_EQ(f->StatusPanel[5]->text(), QStringLiteral("gross.png"));
    EXPECT_FALSE(f->GearBeschaeftigt);
    EXPECT_TRUE(f->mAnsBildWeiter->isEnabled());

    // Input after the load acts again.
    Loslassen(Qt::Key_Right);
    EXPECT_EQ(BildIndex, 2);
    EXPECT_EQ(f->OriginalBild.Width(), 20);
}

TEST_F(NavigationTest, Seiten_AndereSeiteLeertDenRueckgaengigSpeicher)
{
    DreiSeitenZeigen();
    f->mFarInvertieren->trigger();
    ASSERT_TRUE(BildBearbeitet);
    ASSERT_GT(RueckgaengigAnzahl, 0);
    // Storing the step went through the control; give it the file's pages back.
    f->Gear1->LoadImage(BildListe.at(0));
    ASSERT_EQ(f->Gear1->PageCount(), 3);
    TMeldungsFaenger faenger(mbNein);
    f->mAnsSeiteVorExecute();
    ASSERT_EQ(f->Gear1->Page(), 2);
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_FALSE(f->mBeaRueckgaengig->isEnabled());
    // Undo cannot bring the first page's pixels onto the second.
    f->mBeaRueckgaengigExecute();
    EXPECT_EQ(f->OriginalBild.Width(), 41);
}

} // namespace
