// The interaction modes on the displayed image: inverted figures, the frame,
// cut and angle modes through the main window's handlers, keys and wheel.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QRandomGenerator>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QPushButton>
#include <unistd.h>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "Global.h"
#include "Modi.h"
#include "DialogHilfen.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "editing/Schneiden.h"

namespace {

QImage Zufallsbild(int w, int h, quint32 saat)
{
    QImage bild(w, h, QImage::Format_BGR888);
    QRandomGenerator zufall(saat);
    for (int y = 0; y < h; ++y) {
        uchar* z = bild.scanLine(y);
        for (int i = 0; i < w * 3; ++i)
            z[i] = uchar(zufall.bounded(256));
    }
    return bild;
}

int Abweichungen(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// ---- Pure parts ----------------------------------------------------------------

TEST(ModiZeichnen, ZweimalGezeichnetStelltDasBildGenauWiederHer)
{
    for (QImage::Format format : {QImage::Format_BGR888, QImage::Format_RGB32, QImage::Format_ARGB32}) {
        const QImage vorher = Zufallsbild(37, 23, 5).convertToFormat(format);
        QImage bild = vorher;
        auto zweimal = [&](auto figur) {
            figur();
            EXPECT_NE(bild, vorher);
            figur();
            EXPECT_EQ(bild, vorher);
        };
        zweimal([&] { XorLinie(bild, -5, 3, 50, 19); });
        zweimal([&] { XorLinie(bild, 30, 20, 2, 1); });
        zweimal([&] { XorRechteck(bild, 30, 20, 2, 1); });
        zweimal([&] { XorRechteck(bild, 0, 0, 37, 23); });
        zweimal([&] { XorFadenkreuz(bild, 0, 22); });
        zweimal([&] { XorFadenkreuz(bild, -4, 10); });
    }
}

TEST(ModiZeichnen, JederPunktDerFigurEinmalInvertiert)
{
    const QImage vorher = Zufallsbild(20, 10, 9);
    QImage bild = vorher;
    // Outline of 10 x 5 pixels: 2 * 10 + 2 * 3 pixels, corners once.
    XorRechteck(bild, 3, 2, 13, 7);
    EXPECT_EQ(Abweichungen(bild, vorher), 26);
    EXPECT_EQ(bild.pixel(3, 2), vorher.pixel(3, 2) ^ 0x00FFFFFFu);
    EXPECT_EQ(bild.pixel(12, 6), vorher.pixel(12, 6) ^ 0x00FFFFFFu);
    EXPECT_EQ(bild.pixel(13, 7), vorher.pixel(13, 7));
    bild = vorher;
    XorFadenkreuz(bild, 4, 6);
    EXPECT_EQ(Abweichungen(bild, vorher), 20 + 10 - 1);
    bild = vorher;
    XorLinie(bild, 0, 0, 9, 9);
    EXPECT_EQ(Abweichungen(bild, vorher), 10);
    // Without width or height a rectangle draws nothing at all.
    bild = vorher;
    XorRechteck(bild, 5, 1, 5, 8);
    XorRechteck(bild, 1, 4, 9, 4);
    EXPECT_EQ(bild, vorher);
}

TEST(ModiGeometrie, WinkelWirdAufDieKleinsteDrehungGefaltet)
{
    EXPECT_NEAR(double(WinkelFalten(0, 0, 100, -100)), 45.0, 1e-12);
    EXPECT_NEAR(double(WinkelFalten(0, 0, 100, 100)), -45.0, 1e-12);
    // A line at 170 degrees: 10 degrees short of level.
    EXPECT_NEAR(double(WinkelFalten(0, 0, -1000, -176)), -10.0, 0.05);
    EXPECT_NEAR(double(WinkelFalten(0, 0, -1000, 176)), 10.0, 0.05);
    EXPECT_EQ(WinkelFalten(0, 0, 0, -100), 0.0L);
    EXPECT_EQ(WinkelFalten(0, 0, 0, 100), 0.0L);
    EXPECT_EQ(WinkelFalten(0, 0, -100, 0), 0.0L);
    EXPECT_NEAR(double(WinkelFalten(10, 10, 110, 30)), -11.31, 0.01);
    EXPECT_EQ(WinkelText(45), QStringLiteral("45°"));
    EXPECT_EQ(WinkelText(-10), QStringLiteral("-10°"));
    EXPECT_EQ(WinkelText(12.5), QStringLiteral("12,5°"));
    EXPECT_EQ(WinkelText(-11.30993247), QStringLiteral("-11,31°"));
    EXPECT_EQ(WinkelText(0), QStringLiteral("0°"));
}

TEST(ModiGeometrie, RadGroesseBleibtImBildUndFolgtDemVerhaeltnis)
{
    int x = 800, y = 533;
    RahmenRadGroesse(x, y, 10, true, 100, 100, 1000, 800, 1.5L);
    EXPECT_EQ(x, 810);
    EXPECT_EQ(y, 540);
    // At the bottom edge the height stays and the width follows it.
    x = 800, y = 533;
    RahmenRadGroesse(x, y, 10, true, 100, 267, 1000, 800, 1.5L);
    EXPECT_EQ(y, 533);
    EXPECT_EQ(x, 800);
    // Never narrower than 4.
    x = 6, y = 4;
    RahmenRadGroesse(x, y, 10, false, 0, 0, 1000, 800, 1.5L);
    EXPECT_EQ(x, 4);
    EXPECT_EQ(y, 3);
    // An extreme ratio keeps a height of at least 1.
    x = 800, y = 1;
    RahmenRadGroesse(x, y, 10, false, 0, 0, 1000, 1000, 9999.0L);
    EXPECT_EQ(y, 1);
    // Wider than the image from its left edge: clipped.
    x = 990, y = 660;
    RahmenRadGroesse(x, y, 50, true, 20, 0, 1000, 800, 1.5L);
    EXPECT_EQ(x, 980);
}

TEST(ModiGeometrie, SchnittRechteckInJederRichtungUndNieLeer)
{
    EXPECT_EQ(SchnittRechteck(150, 80, 50, 20, 200, 100), QRect(50, 20, 100, 60));
    EXPECT_EQ(SchnittRechteck(50, 20, 150, 80, 200, 100), QRect(50, 20, 100, 60));
    EXPECT_EQ(SchnittRechteck(-5, 90, 1004, 120, 1003, 100), QRect(0, 90, 1003, 10));
    EXPECT_TRUE(SchnittRechteck(50, 20, 50, 80, 200, 100).isEmpty());
    EXPECT_TRUE(SchnittRechteck(50, 20, 150, 20, 200, 100).isEmpty());
    EXPECT_EQ(RahmenZentrieren(980, 400, 1000), 600);
    EXPECT_EQ(RahmenZentrieren(20, 400, 1000), 0);
    EXPECT_EQ(RahmenText(600, 500, 400, 300), QStringLiteral(" X = 601 - Y = 501    Breite = 400 - Höhe = 300"));
}

// ---- Main window ---------------------------------------------------------------

class Modi : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        ASSERT_NE(f, nullptr);
        alarm(60);
        MaxRueck = 10;
        Ausschneiden = Fotoschnitt = Festschnitt = WinkelMessen = false;
        RahmenPerTaste = false;
        ordner = FrischerOrdner(QStringLiteral("modi"));
        f->resize(900, 700);
        f->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        alarm(0);
        Ausschneiden = Fotoschnitt = Festschnitt = WinkelMessen = false;
        RueckgaengigLoeschen();
        BildBearbeitet = false;
    }

    void Zeigen(const QImage& bild, double zoom)
    {
        const QString pfad = ordner + QStringLiteral("/b%1.png").arg(++nummer);
        ASSERT_TRUE(bild.save(pfad));
        BildListe = QStringList{pfad};
        BildIndex = 0;
        f->BildAnzeigen();
        ASSERT_EQ(f->OriginalBild.Width(), bild.width());
        Einpassen = false;
        ZoomFaktor = zoom;
        f->SetAnzeigeBild();
        if (f->AnzeigeTimer->isActive())
            f->AnzeigeTimerTimer();
        ASSERT_DOUBLE_EQ(ZoomFaktor, zoom);
    }

    QString Status() const { return f->StatusPanel[5]->text(); }
    QImage Leinwand() const { return f->AnzeigeBild->Bild(); }

    TfrmZelvanoMain* f = nullptr;
    QString ordner;
    int nummer = 0;
};

TEST_F(Modi, RahmenFolgtDerMausUndBleibtImBild)
{
    const QImage quelle = Zufallsbild(1000, 800, 1);
    Zeigen(quelle, 0.5);
    const QImage vorher = Leinwand();
    Festschnitt = true;
    SchnittX = 400;
    SchnittY = 300;
    ZeichenX = ZeichenY = -1;
    f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 10, 10);
    EXPECT_EQ(SchnittLinks, 0);
    EXPECT_EQ(SchnittOben, 0);
    f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 490, 390);
    EXPECT_EQ(SchnittLinks, 600);
    EXPECT_EQ(SchnittOben, 500);
    EXPECT_EQ(Status(), QStringLiteral(" X = 601 - Y = 501    Breite = 400 - Höhe = 300"));
    // Drawn on the display in display pixels, the first frame wiped.
    EXPECT_EQ(Abweichungen(Leinwand(), vorher), 2 * 200 + 2 * 148);
    EXPECT_NE(Leinwand().pixel(300, 300), vorher.pixel(300, 300));
    EXPECT_EQ(Leinwand().pixel(0, 100), vorher.pixel(0, 100));
    // The working image is never drawn on.
    EXPECT_EQ(f->OriginalBild.Bild(), quelle.convertToFormat(QImage::Format_BGR888));
}

TEST_F(Modi, PfeiltastenSchiebenDenRahmenUmEinenBildpunkt)
{
    Zeigen(Zufallsbild(1000, 800, 2), 0.5);
    Festschnitt = true;
    SchnittX = 400;
    SchnittY = 300;
    ZeichenX = -1;
    f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 250, 200);
    ASSERT_EQ(SchnittLinks, 300);
    ASSERT_EQ(SchnittOben, 250);
    int taste = Qt::Key_Right;
    f->FormKeyDown(taste, Qt::NoModifier);
    EXPECT_EQ(taste, 0);
    EXPECT_EQ(SchnittLinks, 301);
    EXPECT_EQ(Status(), QStringLiteral(" X = 302 - Y = 251    Breite = 400 - Höhe = 300"));
    taste = Qt::Key_Up;
    f->FormKeyDown(taste, Qt::NoModifier);
    EXPECT_EQ(SchnittOben, 249);
    // The mouse move the key caused keeps the key's position ...
    f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 251, 199);
    EXPECT_EQ(SchnittLinks, 301);
    EXPECT_EQ(SchnittOben, 249);
    // ... the next one centres the frame again.
    f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 250, 200);
    EXPECT_EQ(SchnittLinks, 300);
    // At the image's edge the frame stays.
    SchnittLinks = 600;
    RahmenPerTaste = true;
    f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 0, 0);
    taste = Qt::Key_Right;
    f->FormKeyDown(taste, Qt::NoModifier);
    EXPECT_EQ(SchnittLinks, 600);
    // Enter crops to the frame shown.
    taste = Qt::Key_Return;
    f->FormKeyDown(taste, Qt::NoModifier);
    EXPECT_FALSE(Festschnitt);
    EXPECT_EQ(f->OriginalBild.Width(), 400);
    EXPECT_EQ(f->OriginalBild.Height(), 300);
    EXPECT_EQ(RueckgaengigAnzahl, 1);
}

TEST_F(Modi, RahmenSchnittNimmtDenGezeigtenAusschnitt)
{
    const QImage quelle = Zufallsbild(200, 100, 3);
    Zeigen(quelle, 1.0);
    Festschnitt = true;
    SchnittX = 40;
    SchnittY = 30;
    ZeichenX = -1;
    f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 70, 40);
    ASSERT_EQ(SchnittLinks, 50);
    ASSERT_EQ(SchnittOben, 25);
    f->AnzeigeBildMouseDown(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 70, 40);
    EXPECT_EQ(f->OriginalBild.Bild(), quelle.copy(50, 25, 40, 30).convertToFormat(QImage::Format_BGR888));
    EXPECT_TRUE(BildBearbeitet);
    EXPECT_FALSE(f->mBeaFotoschnitt->isChecked());
    // Undo brings the whole image back.
    f->mBeaRueckgaengigExecute();
    EXPECT_EQ(f->OriginalBild.Width(), 200);
}

TEST_F(Modi, RahmenVonFrueherWirdVorDemSchnittInsBildGeholt)
{
    Zeigen(Zufallsbild(300, 200, 4), 1.0);
    // Left over from an earlier image: the frame would reach past this one.
    Festschnitt = true;
    SchnittLinks = 280;
    SchnittOben = 190;
    SchnittX = 100;
    SchnittY = 50;
    f->RahmenSchneiden();
    EXPECT_EQ(f->OriginalBild.Width(), 100);
    EXPECT_EQ(f->OriginalBild.Height(), 50);
}

TEST_F(Modi, AusschneidenInBeideRichtungenGleich)
{
    const QImage quelle = Zufallsbild(200, 100, 5);
    const QImage erwartet = quelle.copy(50, 20, 100, 60).convertToFormat(QImage::Format_BGR888);
    for (bool rueckwaerts : {false, true}) {
        Zeigen(quelle, 1.0);
        RueckgaengigLoeschen();
        f->mBeaAusschneiden->trigger();
        ASSERT_TRUE(Ausschneiden);
        EXPECT_TRUE(f->mBeaAusschneiden->isChecked());
        const QPoint a = rueckwaerts ? QPoint(150, 80) : QPoint(50, 20);
        const QPoint b = rueckwaerts ? QPoint(50, 20) : QPoint(150, 80);
        const QImage vorher = Leinwand();
        f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, a.x(), a.y());
        EXPECT_EQ(Status(), QStringLiteral(" X = %1 - Y = %2").arg(a.x() + 1).arg(a.y() + 1));
        f->AnzeigeBildMouseDown(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, a.x(), a.y());
        // The crosshair is gone once the drag starts.
        EXPECT_EQ(Leinwand(), vorher);
        f->AnzeigeBildMouseMove(Qt::LeftButton, Qt::NoModifier, 100, 50);
        f->AnzeigeBildMouseMove(Qt::LeftButton, Qt::NoModifier, b.x(), b.y());
        EXPECT_EQ(Status(), rueckwaerts ? QStringLiteral(" Breite = -100 - Höhe = -60")
                                        : QStringLiteral(" Breite = 100 - Höhe = 60"));
        f->AnzeigeBildMouseUp(Qt::LeftButton, Qt::NoButton, Qt::NoModifier, b.x(), b.y());
        EXPECT_FALSE(Ausschneiden);
        EXPECT_EQ(f->OriginalBild.Bild(), erwartet);
        EXPECT_EQ(RueckgaengigAnzahl, 1);
        EXPECT_TRUE(Einpassen);
    }
}

TEST_F(Modi, AusschneidenBeiZweihundertProzentZeigtBildkoordinaten)
{
    Zeigen(Zufallsbild(200, 100, 6), 2.0);
    f->mBeaAusschneiden->trigger();
    f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 200, 100);
    EXPECT_EQ(Status(), QStringLiteral(" X = 101 - Y = 51"));
    EXPECT_EQ(ZeichenX, 100);
    f->AnzeigeBildMouseDown(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 200, 100);
    f->AnzeigeBildMouseMove(Qt::LeftButton, Qt::NoModifier, 300, 160);
    EXPECT_EQ(Status(), QStringLiteral(" Breite = 50 - Höhe = 30"));
    f->AnzeigeBildMouseUp(Qt::LeftButton, Qt::NoButton, Qt::NoModifier, 300, 160);
    EXPECT_EQ(f->OriginalBild.Width(), 50);
    EXPECT_EQ(f->OriginalBild.Height(), 30);
}

TEST_F(Modi, AusschneidenOhneFlaecheLaesstDasBild)
{
    const QImage quelle = Zufallsbild(120, 80, 7);
    for (QPoint ende : {QPoint(40, 30), QPoint(40, 70), QPoint(100, 30)}) {
        Zeigen(quelle, 1.0);
        RueckgaengigLoeschen();
        const TBitmap vorher = f->OriginalBild;
        f->mBeaAusschneiden->trigger();
        f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 40, 30);
        f->AnzeigeBildMouseDown(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 40, 30);
        if (ende != QPoint(40, 30))
            f->AnzeigeBildMouseMove(Qt::LeftButton, Qt::NoModifier, ende.x(), ende.y());
        f->AnzeigeBildMouseUp(Qt::LeftButton, Qt::NoButton, Qt::NoModifier, ende.x(), ende.y());
        EXPECT_FALSE(Ausschneiden);
        EXPECT_EQ(f->OriginalBild, vorher);
        EXPECT_EQ(RueckgaengigAnzahl, 0);
        EXPECT_FALSE(BildBearbeitet);
    }
}

TEST_F(Modi, AusschneidenBeiKleinemZoomBleibtImBild)
{
    Zeigen(Zufallsbild(1003, 401, 8), 0.25);
    f->mBeaAusschneiden->trigger();
    f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 100, 10);
    f->AnzeigeBildMouseDown(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 100, 10);
    // Far beyond the displayed image's right and bottom edge.
    f->AnzeigeBildMouseMove(Qt::LeftButton, Qt::NoModifier, 400, 300);
    f->AnzeigeBildMouseUp(Qt::LeftButton, Qt::NoButton, Qt::NoModifier, 400, 300);
    EXPECT_EQ(f->OriginalBild.Width(), 1003 - 400);
    EXPECT_EQ(f->OriginalBild.Height(), 401 - 40);
}

TEST_F(Modi, AusschneidenBefehlZweimalEndetDenModusUndWischtDasKreuz)
{
    Zeigen(Zufallsbild(100, 60, 9), 1.0);
    const QImage vorher = Leinwand();
    f->mBeaAusschneiden->trigger();
    f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 30, 20);
    EXPECT_NE(Leinwand(), vorher);
    f->mBeaAusschneiden->trigger();
    EXPECT_FALSE(Ausschneiden);
    EXPECT_FALSE(f->mBeaAusschneiden->isChecked());
    EXPECT_EQ(Leinwand(), vorher);
}

TEST_F(Modi, MausradAendertDenVerhaeltnisrahmen)
{
    Zeigen(Zufallsbild(1000, 800, 10), 0.5);
    Fotoschnitt = true;
    SchnittVerhaeltnis = 1.5L;
    SchnittX = 800;
    SchnittY = 533;
    SchnittLinks = SchnittOben = 100;
    RahmenPerTaste = true;
    f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 0, 0);
    f->activateWindow();
    QApplication::setActiveWindow(f);
    bool handled = false;
    const QPoint innen = f->AnzeigeBox->viewport()->mapToGlobal(QPoint(20, 20));
    f->FormMouseWheel(f, Qt::NoModifier, 120, innen, handled);
    if (!f->isActiveWindow())
        GTEST_SKIP() << "no active window on this platform";
    EXPECT_TRUE(handled);
    EXPECT_EQ(SchnittX, 810);
    EXPECT_EQ(SchnittY, 540);
    EXPECT_EQ(Status(), QStringLiteral(" Breite = 810 - Höhe = 540"));
    f->FormMouseWheel(f, Qt::ShiftModifier, 120, innen, handled);
    EXPECT_EQ(SchnittX, 860);
    f->FormMouseWheel(f, Qt::ControlModifier, -120, innen, handled);
    EXPECT_EQ(SchnittX, 859);
    EXPECT_EQ(ZoomFaktor, 0.5);
    // The frame the wheel left is the one a click crops to.
    EXPECT_EQ(RahmenRechts - RahmenLinks, int(std::nearbyint(859 * 0.5)));
    // The fixed frame ignores the wheel: neither its size nor the zoom change.
    Fotoschnitt = false;
    Festschnitt = true;
    f->FormMouseWheel(f, Qt::NoModifier, 120, innen, handled);
    EXPECT_EQ(SchnittX, 859);
    EXPECT_EQ(ZoomFaktor, 0.5);
}

TEST_F(Modi, WinkelLinieMisstUndOeffnetDenDrehdialog)
{
    Zeigen(Zufallsbild(200, 150, 11), 1.0);
    const QImage vorher = Leinwand();
    WinkelMessen = true;
    f->AnzeigeBildMouseDown(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 10, 110);
    f->AnzeigeBildMouseMove(Qt::LeftButton, Qt::NoModifier, 60, 100);
    f->AnzeigeBildMouseMove(Qt::LeftButton, Qt::NoModifier, 110, 10);
    EXPECT_NEAR(double(DrehWinkel), 45.0, 1e-9);
    EXPECT_EQ(Status(), QStringLiteral("45°"));
    EXPECT_EQ(Abweichungen(Leinwand(), vorher), 101);
    TModalSchliesser schliesser;
    f->AnzeigeBildMouseUp(Qt::LeftButton, Qt::NoButton, Qt::NoModifier, 110, 10);
    EXPECT_EQ(schliesser.geschlossen, 1);
    EXPECT_FALSE(WinkelMessen);
    EXPECT_EQ(Leinwand(), vorher);
    EXPECT_FALSE(BildBearbeitet);
}

TEST_F(Modi, FotoschnittDialogSetztRahmenOhneMausbewegung)
{
    const QImage quelle = Zufallsbild(300, 200, 12);
    Zeigen(quelle, 1.0);
    Einpassen = false;
    // The dialog answers itself: ratio mode, 3:2, Ok.
    TImModalenDialog verhaeltnis([](QWidget* w) {
        auto* d = qobject_cast<TfrmSchneiden*>(w);
        ASSERT_NE(d, nullptr);
        d->rbFotoschnitt->click();
        d->rb3zu2->click();
        d->btnOk->click();
    });
    f->mBeaFotoschnitt->trigger();
    ASSERT_TRUE(Fotoschnitt);
    EXPECT_TRUE(f->mBeaFotoschnitt->isChecked());
    EXPECT_TRUE(f->pnlSchnittinfo->isVisible());
    EXPECT_EQ(SchnittX, 240);
    EXPECT_EQ(SchnittY, 160);
    // Shown at once, before any mouse move, and inside the image.
    EXPECT_GE(ZeichenX, 0);
    const int l = SchnittLinks, o = SchnittOben;
    EXPECT_LE(l + SchnittX, 300);
    EXPECT_LE(o + SchnittY, 200);
    int taste = Qt::Key_Enter;
    f->FormKeyDown(taste, Qt::NoModifier);
    EXPECT_EQ(f->OriginalBild.Bild(), quelle.copy(l, o, 240, 160).convertToFormat(QImage::Format_BGR888));
    EXPECT_FALSE(f->pnlSchnittinfo->isVisible());
    // The fit mode from before the dialog comes back.
    EXPECT_FALSE(Einpassen);
}

TEST_F(Modi, FotoschnittOhneModusLaesstDenBefehlUngeprueft)
{
    Zeigen(Zufallsbild(300, 200, 13), 1.0);
    {
        TModalSchliesser schliesser;
        f->mBeaFotoschnitt->trigger();
        EXPECT_EQ(schliesser.geschlossen, 1);
        EXPECT_FALSE(f->mBeaFotoschnitt->isChecked());
    }
    // Ok with no mode chosen (as at the first opening): neither a mode nor a
    // checked command.
    delete frmSchneiden;
    frmSchneiden = nullptr;
    TImModalenDialog ok([](QWidget* w) {
        auto* d = qobject_cast<TfrmSchneiden*>(w);
        ASSERT_NE(d, nullptr);
        d->btnOk->click();
    });
    f->mBeaFotoschnitt->trigger();
    EXPECT_FALSE(Fotoschnitt || Festschnitt);
    EXPECT_FALSE(f->mBeaFotoschnitt->isChecked());
    EXPECT_TRUE(Einpassen);
}

TEST_F(Modi, DrehenBefehlBeginntBeiNull)
{
    Zeigen(Zufallsbild(64, 48, 14), 1.0);
    DrehWinkel = 17;
    TModalSchliesser schliesser;
    f->mBeaDrehen->trigger();
    EXPECT_EQ(schliesser.geschlossen, 1);
    EXPECT_EQ(DrehWinkel, 0.0L);
    EXPECT_TRUE(f->AnzeigeBild->isVisible());
    EXPECT_FALSE(BildBearbeitet);
}

} // namespace

namespace {

TEST_F(Modi, AndererBefehlNimmtDasFadenkreuzMitWeg)
{
    Zeigen(Zufallsbild(100, 60, 15), 1.0);
    const QImage vorher = Leinwand();
    f->mBeaAusschneiden->trigger();
    f->AnzeigeBildMouseMove(Qt::NoButton, Qt::NoModifier, 30, 20);
    ASSERT_NE(Leinwand(), vorher);
    // Copying changes nothing on the display, yet the mode ends with it.
    f->mBeaKopieren->trigger();
    EXPECT_FALSE(Ausschneiden);
    EXPECT_EQ(Leinwand(), vorher);
}

} // namespace
