#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QtTest/QTest>
#include "AnzeigeBild.h"
#include "DialogHilfen.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Menuset.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "viewing/Bildinfo.h"
#include "viewing/Gehezu.h"
#include "viewing/Vollbild.h"
#include "widgets/PngImageList.h"

namespace {

class VollbildTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
        new TfrmVollbild(frmZelvanoMain);
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        v = frmVollbild;
        ASSERT_NE(v, nullptr);
        BildBearbeitet = false;
        AutoShowLaeuft = false;
        AutoShowStarten = false;
        Endlosschleife = false;
        AnzeigeGamma = 0;
        BildPause = 20;
        VollbildBearbeitetFreigegeben = false;
        ordner = FrischerOrdner(QStringLiteral("vollbild"));
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
        // The view laid out as on an 800 x 600 screen, without showing it.
        v->resize(800, 600);
        // A reduction still pending from the case before would not start anew.
        v->VAnzeigeTimer->stop();
        VollbildZeigtHauptbild = true;
        v->VOriginalBild.Assign(f->OriginalBild);
        VollbildEinpassen = true;
        VollbildZoom = 1.0;
        VollbildMenueSetzen();
    }

    void Bild(int breite, int hoehe)
    {
        v->VOriginalBild = TBitmap(breite, hoehe);
        v->VOriginalBild.Fill(0, 0, 255);
    }
    QRect Lage() const { return v->VAnzeigeBild->geometry(); }
    void Taste(int taste, Qt::KeyboardModifiers umschalt = Qt::NoModifier)
    {
        v->FormKeyUp(taste, umschalt);
        EXPECT_EQ(taste, 0);
    }

    TfrmZelvanoMain* f = nullptr;
    TfrmVollbild* v = nullptr;
    QString ordner;
};

// ---- Layout ---------------------------------------------------------------------

TEST_F(VollbildTest, Einpassen_BreitesUndHohesBildFuellenEineRichtung)
{
    Bild(2000, 1000);
    v->SetVollBild();
    EXPECT_EQ(Lage(), QRect(0, 100, 800, 400));
    EXPECT_DOUBLE_EQ(VollbildZoom, 0.4);
    Bild(500, 1000);
    v->SetVollBild();
    EXPECT_EQ(Lage(), QRect(250, 0, 300, 600));
    EXPECT_DOUBLE_EQ(VollbildZoom, 0.6);
}

TEST_F(VollbildTest, Einpassen_KleinesBildBleibtBei100ProzentMittig)
{
    Bild(303, 201);
    v->SetVollBild();
    // 248.5 and 199.5 go to the even neighbours.
    EXPECT_EQ(Lage(), QRect(248, 200, 303, 201));
    EXPECT_DOUBLE_EQ(VollbildZoom, 1.0);
}

TEST_F(VollbildTest, EinpassenAus_Immer100ProzentMitDerMitteAmOrt)
{
    Bild(1000, 1000);
    v->SetVollBild();
    EXPECT_EQ(Lage(), QRect(100, 0, 600, 600));
    v->popVEinpassenClick();
    EXPECT_FALSE(VollbildEinpassen);
    EXPECT_DOUBLE_EQ(VollbildZoom, 1.0);
    EXPECT_EQ(Lage(), QRect(-100, -200, 1000, 1000));
    v->popVEinpassenClick();
    EXPECT_EQ(Lage(), QRect(100, 0, 600, 600));
}

TEST_F(VollbildTest, Zoom_UnterEinsZeigtErstGestrecktDannVerkleinert)
{
    Bild(2000, 1000);
    v->VAnzeigeBild->SetBild(v->VOriginalBild.Bild());
    v->SetVollBild();
    EXPECT_TRUE(v->VAnzeigeTimer->isActive());
    EXPECT_EQ(v->VAnzeigeBild->Bild().width(), 2000);
    v->VAnzeigeTimerTimer();
    EXPECT_FALSE(v->VAnzeigeTimer->isActive());
    EXPECT_EQ(v->VAnzeigeBild->Bild().size(), QSize(800, 400));
}

TEST_F(VollbildTest, Gamma_NurAbEinsUndBei24Bit)
{
    Bild(100, 100);
    v->VOriginalBild.Fill(100, 100, 100);
    AnzeigeGamma = 20;
    BildFarbtiefe = 24;
    v->SetVollBild();
    EXPECT_GT(qBlue(v->VAnzeigeBild->Bild().pixel(5, 5)), 100);
    EXPECT_EQ(v->VOriginalBild.ScanLine(5)[15], 100);   // the original stays
    BildFarbtiefe = 8;
    v->SetVollBild();
    EXPECT_EQ(qBlue(v->VAnzeigeBild->Bild().pixel(5, 5)), 100);
}

// ---- Wheel ----------------------------------------------------------------------

TEST_F(VollbildTest, Rad_SechstelHochAchtelRunterUndEinrasten)
{
    Bild(100, 100);
    VollbildEinpassen = false;
    bool handled = false;
    v->FormMouseWheel(120, QPoint(10, 10), handled);
    EXPECT_TRUE(handled);
    EXPECT_DOUBLE_EQ(VollbildZoom, 1.0 + 1.0 / 6);
    // 1.1666 - 1.1666 / 8 = 1.0208: within the snap band.
    v->FormMouseWheel(-120, QPoint(10, 10), handled);
    EXPECT_DOUBLE_EQ(VollbildZoom, 1.0);
    for (int i = 0; i < 60; ++i)
        v->FormMouseWheel(-120, QPoint(10, 10), handled);
    EXPECT_DOUBLE_EQ(VollbildZoom, 0.05);
    for (int i = 0; i < 60; ++i)
        v->FormMouseWheel(120, QPoint(10, 10), handled);
    EXPECT_DOUBLE_EQ(VollbildZoom, 10.0);
    EXPECT_EQ(Lage().size(), QSize(1000, 1000));
}

TEST_F(VollbildTest, Rad_AusserhalbDesFenstersAendertNichts)
{
    Bild(100, 100);
    v->SetVollBild();
    bool handled = false;
    v->FormMouseWheel(120, QPoint(900, 10), handled);
    EXPECT_FALSE(handled);
    EXPECT_TRUE(VollbildEinpassen);
    EXPECT_DOUBLE_EQ(VollbildZoom, 1.0);
}

TEST_F(VollbildTest, Rad_ImEinpassmodusAbDerEinpassgroesse)
{
    Bild(2000, 1000);
    v->SetVollBild();
    bool handled = false;
    v->FormMouseWheel(-120, QPoint(400, 300), handled);
    EXPECT_FALSE(VollbildEinpassen);
    EXPECT_DOUBLE_EQ(VollbildZoom, 0.4 - 0.4 / 8);
    EXPECT_EQ(Lage().size(), QSize(700, 350));
}

// ---- Panning --------------------------------------------------------------------

TEST_F(VollbildTest, Ziehen_NurBisZumRandUndNurMitEinerTaste)
{
    Bild(1000, 1000);
    v->SetVollBild();
    v->popVEinpassenClick();   // fit off: 100 %
    ASSERT_EQ(Lage().topLeft(), QPoint(-100, -200));
    v->VAnzeigeBildMouseDown(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 500, 500);
    v->VAnzeigeBildMouseMove(Qt::LeftButton, Qt::ShiftModifier, 0, 500);
    v->VAnzeigeBildMouseMove(Qt::LeftButton, Qt::ControlModifier, 0, 500);
    v->VAnzeigeBildMouseMove(Qt::RightButton, Qt::NoModifier, 0, 500);
    v->VAnzeigeBildMouseMove(Qt::LeftButton | Qt::MiddleButton, Qt::NoModifier, 0, 500);
    EXPECT_EQ(Lage().topLeft(), QPoint(-100, -200));
    v->VAnzeigeBildMouseMove(Qt::LeftButton, Qt::NoModifier, 450, 520);
    EXPECT_EQ(Lage().topLeft(), QPoint(-150, -180));
    v->VAnzeigeBildMouseMove(Qt::MiddleButton, Qt::KeypadModifier, 0, 0);
    EXPECT_EQ(Lage().topLeft(), QPoint(-200, -400));
}

TEST_F(VollbildTest, Ziehen_KleinesBildBewegtSichNie)
{
    Bild(300, 200);
    v->SetVollBild();
    const QRect vorher = Lage();
    v->VAnzeigeBildMouseDown(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 10, 10);
    v->VAnzeigeBildMouseMove(Qt::LeftButton, Qt::NoModifier, 200, 150);
    EXPECT_EQ(Lage(), vorher);
}

// ---- Keys and navigation ----------------------------------------------------------

TEST_F(VollbildTest, Pfeile_LadenNachbarnOhneUeberlauf)
{
    Taste(Qt::Key_Left);
    EXPECT_EQ(BildIndex, 0);
    Taste(Qt::Key_Right);
    EXPECT_EQ(BildIndex, 1);
    EXPECT_EQ(v->VOriginalBild.Width(), 20);
    EXPECT_EQ(BildQuelle, BildQuelleDatei);
    Taste(Qt::Key_Right);
    Taste(Qt::Key_Right);
    EXPECT_EQ(BildIndex, 2);
    EXPECT_EQ(v->VOriginalBild.Width(), 30);
    Taste(Qt::Key_Left);
    EXPECT_EQ(v->VOriginalBild.Width(), 20);
    // The main window's image stays until the view closes.
    EXPECT_EQ(f->OriginalBild.Width(), 10);
}

TEST_F(VollbildTest, Tasten_EinpassenNurMitZifferblockNull)
{
    Bild(1000, 1000);
    v->SetVollBild();
    Taste(Qt::Key_0);
    EXPECT_TRUE(VollbildEinpassen);
    Taste(Qt::Key_0, Qt::KeypadModifier);
    EXPECT_FALSE(VollbildEinpassen);
    Taste(Qt::Key_Insert);
    EXPECT_TRUE(VollbildEinpassen);
    Taste(Qt::Key_Minus);
    EXPECT_FALSE(VollbildEinpassen);
    Taste(Qt::Key_F5);   // swallowed as well
}

TEST_F(VollbildTest, Laden_UnlesbareDateiZeigtFehlerbild)
{
    TMeldungsFaenger faenger;
    BildListe[1] = ordner + QStringLiteral("/fehlt.png");
    Taste(Qt::Key_Right);
    EXPECT_EQ(BildIndex, 1);
    EXPECT_EQ(v->VOriginalBild.Bild().size(), FehlerBild().size());
}

TEST_F(VollbildTest, Menue_EinBildSperrtShowUndNavigation)
{
    BildListe = QStringList{BildListe.first()};
    VollbildMenueSetzen();
    EXPECT_FALSE(v->popVAutoShow->isEnabled());
    EXPECT_FALSE(v->popVGehezu->isEnabled());
    EXPECT_FALSE(v->popVBildVor->isEnabled());
    EXPECT_FALSE(v->popVBildZuruck->isEnabled());
    EXPECT_TRUE(v->popVSchliessen->isEnabled());
    Taste(Qt::Key_Right);
    EXPECT_EQ(BildIndex, 0);
}

TEST_F(VollbildTest, Menue_WaehrendDerShowNurStoppen)
{
    AutoShowLaeuft = true;
    VollbildMenueSetzen();
    EXPECT_EQ(v->popVAutoShow->text(), QStringLiteral("Auto-Show stoppen  (S-Taste)"));
    EXPECT_TRUE(v->popVAutoShow->isEnabled());
    for (QAction* a : {v->popVEinpassen, v->popVInfo, v->popVGehezu, v->popVBildVor, v->popVBildZuruck,
                       v->popVSchliessen, v->popVBildEnde})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    // Keys other than S do nothing meanwhile.
    Taste(Qt::Key_Right);
    Taste(Qt::Key_Insert);
    EXPECT_EQ(BildIndex, 0);
    EXPECT_TRUE(VollbildEinpassen);
    AutoShowLaeuft = false;
    VollbildMenueSetzen();
    EXPECT_EQ(v->popVAutoShow->text(), QStringLiteral("Auto-Show starten  (S-Taste)"));
    EXPECT_TRUE(v->popVBildVor->isEnabled());
    EXPECT_FALSE(v->popVBildZuruck->isEnabled());
}

// ---- Slide show -----------------------------------------------------------------

TEST_F(VollbildTest, Show_LaeuftBisZumEndeMitEinerPauseJeBild)
{
    BildPause = 40;
    QElapsedTimer uhr;
    uhr.start();
    Taste(Qt::Key_S);
    // A pause before the first step and after each of the two loads.
    EXPECT_GE(uhr.elapsed(), 3 * 40);
    EXPECT_FALSE(AutoShowLaeuft);
    EXPECT_EQ(BildIndex, 2);
    EXPECT_EQ(v->VOriginalBild.Width(), 30);
}

// Records the width of the view's image each time the picture is painted.
class TMalZeuge : public QObject {
public:
    explicit TMalZeuge(TfrmVollbild* v) : m_v(v) { v->VAnzeigeBild->installEventFilter(this); }
    ~TMalZeuge() override { m_v->VAnzeigeBild->removeEventFilter(this); }
    QList<int> breiten;
protected:
    bool eventFilter(QObject*, QEvent* ereignis) override
    {
        if (ereignis->type() == QEvent::Paint)
            breiten << m_v->VOriginalBild.Width();
        return false;
    }
private:
    TfrmVollbild* m_v;
};

TEST_F(VollbildTest, Show_AusDemMenueGestartetZeigtJedesBildAufDemSchirm)
{
    BildPause = 150;
    TMalZeuge zeuge(v);
    // Closes the view once the show has reached the end of the list.
    QTimer waechter;
    QElapsedTimer uhr;
    uhr.start();
    QObject::connect(&waechter, &QTimer::timeout, [&] {
        if (v->isVisible() && ((!AutoShowLaeuft && BildIndex == 2) || uhr.elapsed() > 5000))
            v->popVSchliessenClick();
    });
    waechter.start(20);
    f->mAnsAutoShow->trigger();
    EXPECT_EQ(BildIndex, 2);
    // Painted while the show ran, not only once it had ended.
    EXPECT_TRUE(zeuge.breiten.contains(20)) << zeuge.breiten.size();
    EXPECT_TRUE(zeuge.breiten.contains(30));
    // The other cases drive the view without showing it: leave it as a
    // fresh showing does, not as closed.
    v->show();
    v->hide();
}

TEST_F(VollbildTest, Show_AmLetztenBildWartetEinePauseUndHaeltOhneLaden)
{
    BildIndex = 2;
    QElapsedTimer uhr;
    uhr.start();
    v->popVAutoShowClick();
    EXPECT_GE(uhr.elapsed(), BildPause);
    EXPECT_FALSE(AutoShowLaeuft);
    EXPECT_EQ(BildIndex, 2);
    EXPECT_EQ(v->VOriginalBild.Width(), 10);   // still the main window's picture
}

TEST_F(VollbildTest, Show_EndlosschleifeBeginntVorneBisSGedruecktWird)
{
    Endlosschleife = true;
    BildIndex = 2;
    QList<int> gezeigt;
    QTimer beobachter;
    beobachter.setInterval(5);
    QObject::connect(&beobachter, &QTimer::timeout, [&] {
        if (gezeigt.isEmpty() || gezeigt.last() != BildIndex)
            gezeigt << BildIndex;
        if (gezeigt.size() >= 3 && AutoShowLaeuft) {
            int s = Qt::Key_S;
            v->FormKeyUp(s, Qt::NoModifier);
        }
    });
    beobachter.start();
    v->popVAutoShowClick();
    EXPECT_FALSE(AutoShowLaeuft);
    ASSERT_GE(gezeigt.size(), 3);
    EXPECT_EQ(gezeigt.mid(0, 3), (QList<int>{2, 0, 1}));
}

TEST_F(VollbildTest, Show_EinBildMitSchleifeLaedtEsImmerWieder)
{
    Endlosschleife = true;
    BildListe = QStringList{BildListe.at(1)};
    BildIndex = 0;
    v->VOriginalBild = TBitmap(7, 7);
    int geladen = 0;
    QTimer beobachter;
    beobachter.setInterval(5);
    QObject::connect(&beobachter, &QTimer::timeout, [&] {
        if (v->VOriginalBild.Width() == 20) {
            ++geladen;
            v->VOriginalBild = TBitmap(7, 7);   // marks the next load
        }
        if (geladen >= 2)
            AutoShowLaeuft = false;
    });
    beobachter.start();
    v->popVAutoShowClick();
    EXPECT_GE(geladen, 2);
    EXPECT_EQ(BildIndex, 0);
}

TEST_F(VollbildTest, Show_LeereListeTutNichts)
{
    BildListe.clear();
    BildIndex = 0;
    QElapsedTimer uhr;
    uhr.start();
    BildPause = 5000;
    Taste(Qt::Key_S);
    EXPECT_FALSE(AutoShowLaeuft);
    EXPECT_LT(uhr.elapsed(), 2000);
    Taste(Qt::Key_Right);
    Taste(Qt::Key_Left);
    EXPECT_EQ(BildIndex, 0);
}

// ---- The main window's edited image ------------------------------------------------

TEST_F(VollbildTest, Bearbeitet_WeiterFragtVorDemVerlassen)
{
    BildBearbeitet = true;
    {
        TMeldungsFaenger abbrechen(mbAbbrechen);
        Taste(Qt::Key_Right);
        EXPECT_EQ(abbrechen.texte.size(), 1);
        EXPECT_EQ(BildIndex, 0);
        v->popVAutoShowClick();
        EXPECT_EQ(abbrechen.texte.size(), 2);
        EXPECT_FALSE(AutoShowLaeuft);
        EXPECT_EQ(BildIndex, 0);
    }
    TMeldungsFaenger nein(mbNein);
    Taste(Qt::Key_Right);
    EXPECT_EQ(BildIndex, 1);
    Taste(Qt::Key_Left);
    Taste(Qt::Key_Right);
    // Asked once: what is shown now is a file, not the edited image.
    EXPECT_EQ(nein.texte.size(), 1);
    EXPECT_TRUE(BildBearbeitet);
}

TEST_F(VollbildTest, Bearbeitet_UnbearbeitetFragtNie)
{
    TMeldungsFaenger faenger(mbAbbrechen);
    Taste(Qt::Key_Right);
    EXPECT_TRUE(faenger.texte.isEmpty());
    EXPECT_EQ(BildIndex, 1);
}

TEST_F(VollbildTest, Bildinfo_BeschreibtDasHierGezeigteBild)
{
    AktionFreigeben(f->mDatInfo, true);
    int breite = -1;
    bool bearbeitet = true;
    auto verbindung = QObject::connect(f->mDatInfo, &QAction::triggered, [&] {
        breite = f->OriginalBild.Width();
        bearbeitet = BildBearbeitet;
    });
    f->VollbildStartIndex = 0;
    Taste(Qt::Key_Right);
    VollbildMenueSetzen();
    EXPECT_TRUE(v->popVInfo->isEnabled());
    v->popVInfoClick();
    EXPECT_EQ(breite, 20);
    EXPECT_FALSE(bearbeitet);
    // The main window now holds this image: it need not load it again.
    EXPECT_EQ(f->VollbildStartIndex, 1);
    QObject::disconnect(verbindung);
}

TEST_F(VollbildTest, Schliessen_GibtDieDateiangabenDesHauptbildsZurueck)
{
    AktKommentar = QStringLiteral("Haupt");
    v->show();
    QApplication::processEvents();
    Taste(Qt::Key_Right);
    EXPECT_NE(AktKommentar, QStringLiteral("Haupt"));
    Taste(Qt::Key_Escape);
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(AktKommentar, QStringLiteral("Haupt"));
    EXPECT_EQ(v->GearV->ImageHeight(), 0);
}

// ---- Keys of a dialog or menu over the view ----------------------------------------

// The widget a key goes to.
QWidget* Fokus()
{
    return QApplication::focusWidget();
}

class VollbildTastenTest : public VollbildTest {
protected:
    void SetUp() override
    {
        VollbildTest::SetUp();
        v->show();
        ASSERT_TRUE(FensterAktivieren(v));
        ASSERT_EQ(Fokus(), v);
    }
    void TearDown() override
    {
        if (v->isVisible())
            v->popVSchliessenClick();
        // The other cases drive the view without showing it: leave it as a
        // fresh showing does, not as closed.
        v->show();
        v->hide();
    }
    // The view's menu, opened with its key.
    QMenu* MenueOeffnen()
    {
        QTest::keyClick(Fokus(), Qt::Key_Down);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
    // A closed menu stays the active window on the offscreen platform; the
    // window system hands the keys back to the view.
    bool MenueZu() { return FensterAktivieren(v) && Fokus() == v; }
};

// Esc goes down in the dialog that the item opens over the view and closes it.
void EscImDialog(QAction* eintrag, QDialog* dialog)
{
    ASSERT_TRUE(eintrag->isEnabled());
    TImModalenDialog esc([dialog](QWidget* offen) {
        const bool aktiv = FensterAktivieren(offen);
        if (offen != dialog || !aktiv || !Fokus() || Fokus()->window() != offen) {
            ADD_FAILURE() << "the dialog has not got the keyboard focus";
            static_cast<QDialog*>(offen)->reject();
            return;
        }
        QTest::keyPress(Fokus(), Qt::Key_Escape);
    });
    eintrag->trigger();
    ASSERT_FALSE(dialog->isVisible());
}

TEST_F(VollbildTastenTest, EscInDerListeSchliesstNurDieListe)
{
    if (!frmGehezu)
        frmGehezu = new TfrmGehezu(f);
    EscImDialog(v->popVGehezu, frmGehezu);
    EXPECT_EQ(BildIndex, 0);
    // The window system hands the activation back to the view below.
    ASSERT_TRUE(FensterAktivieren(v));
    ASSERT_EQ(Fokus(), v);
    // The key comes up over the view, which never saw it go down.
    QTest::keyRelease(Fokus(), Qt::Key_Escape);
    ASSERT_TRUE(v->isVisible());
    // An Esc of its own closes it.
    QTest::keyClick(Fokus(), Qt::Key_Escape);
    EXPECT_FALSE(v->isVisible());
}

TEST_F(VollbildTastenTest, EscInDerBildinfoSchliesstNurDieBildinfo)
{
    if (!frmBildinfo)
        new TfrmBildinfo(f);
    AktionFreigeben(f->mDatInfo, true);
    VollbildMenueSetzen();
    EscImDialog(v->popVInfo, frmBildinfo);
    ASSERT_TRUE(FensterAktivieren(v));
    QTest::keyRelease(Fokus(), Qt::Key_Escape);
    ASSERT_TRUE(v->isVisible());
    QTest::keyClick(Fokus(), Qt::Key_Escape);
    EXPECT_FALSE(v->isVisible());
}

TEST_F(VollbildTastenTest, EscImMenueSchliesstNurDasMenue)
{
    QMenu* menue = MenueOeffnen();
    ASSERT_EQ(menue, v->PopupVoll);
    QTest::keyPress(menue, Qt::Key_Escape);
    EXPECT_FALSE(menue->isVisible());
    ASSERT_TRUE(MenueZu());
    QTest::keyRelease(Fokus(), Qt::Key_Escape);
    ASSERT_TRUE(v->isVisible());
    // Nor does a Space that went down elsewhere; one of its own closes it.
    QTest::keyRelease(Fokus(), Qt::Key_Space);
    ASSERT_TRUE(v->isVisible());
    QTest::keyClick(Fokus(), Qt::Key_Space);
    EXPECT_FALSE(v->isVisible());
}

} // namespace

TEST_F(VollbildTest, Menue_BildinfoZeigtDasSymbolDesHauptbefehls)
{
    // Through a pixmap as the icon holds it: the way back from premultiplied
    // pixels rounds differently on different processors.
    const QImage erwartet =
        QPixmap::fromImage(MenueBilderListe()->Bild(4)).toImage().convertToFormat(QImage::Format_ARGB32);
    auto bild = [&](const QIcon& symbol) {
        return symbol.pixmap(erwartet.size()).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    ASSERT_FALSE(v->popVInfo->icon().isNull());
    EXPECT_EQ(bild(v->popVInfo->icon()), erwartet);
    EXPECT_EQ(bild(v->popVInfo->icon()), bild(f->mDatInfo->icon()));
}
