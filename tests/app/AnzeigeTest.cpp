// The main window's display: timer, reduction, gamma, wheel, fit toggle, panning.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProcess>
#include <QToolBar>
#include <QLabel>
#include <QScrollArea>
#include <QStatusBar>
#include <QThread>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <random>
#include <cmath>
#include "Global.h"
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "Modi.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "pixelops/Bitmap_Dichte.h"
#include "pixelops/Bitmap_Verkleinern.h"
#include "widgets/PngImageList.h"

// Status texts in failure messages as text.
static void PrintTo(const QString& text, std::ostream* aus)
{
    *aus << '"' << text.toStdString() << '"';
}

namespace {

TBitmap Zufall(int breite, int hoehe)
{
    std::mt19937 zufall(uint32_t(breite * 7919 + hoehe));
    TBitmap b(breite, hoehe);
    for (int y = 0; y < hoehe; ++y)
        for (int k = 0; k < 3 * breite; ++k)
            b.ScanLine(y)[k] = uint8_t(zufall());
    return b;
}

class Anzeige : public ::testing::Test {
protected:
    void SetUp() override
    {
        faenger = std::make_unique<TMeldungsFaenger>();
        fenster = std::make_unique<TfrmZelvanoMain>();
        fenster->AnzeigeVerbinden();
        fenster->resize(900, 700);
        fenster->show();
        fenster->activateWindow();
        QApplication::setActiveWindow(fenster.get());
        QApplication::processEvents();
        AnzeigeGamma = 0;
        BildFarbtiefe = 24;
        Ausschneiden = Fotoschnitt = Festschnitt = WinkelMessen = false;
    }
    void TearDown() override
    {
        fenster->AnzeigeTimer->stop();
        fenster.reset();
        AnzeigeGamma = 0;
        Ausschneiden = Fotoschnitt = Festschnitt = WinkelMessen = false;
    }

    void Zeigen(const TBitmap& bild, bool einpassen, double zoom)
    {
        fenster->OriginalBild = bild;
        Einpassen = einpassen;
        ZoomFaktor = zoom;
        fenster->AnzeigeBild->SetBild(fenster->OriginalBild.Bild());
        fenster->SetAnzeigeBild();
    }

    QWidget* Box() const { return fenster->AnzeigeBox->viewport(); }
    TAnzeigeBild* Bild() const { return fenster->AnzeigeBild; }

    // Sends one wheel step to the box; returns whether it was taken.
    void Rad(int delta, QWidget* ziel = nullptr, QPoint ort = QPoint(-1, -1))
    {
        if (!ziel)
            ziel = Box();
        if (ort.x() < 0)
            ort = ziel->rect().center();
        QWheelEvent rad(QPointF(ort), QPointF(ziel->mapToGlobal(ort)), QPoint(), QPoint(0, delta), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(ziel, &rad);
    }

    void Maus(QEvent::Type art, QPoint ort, Qt::MouseButton knopf, Qt::MouseButtons knoepfe,
              Qt::KeyboardModifiers umschalt = Qt::NoModifier)
    {
        QMouseEvent e(art, QPointF(ort), QPointF(Bild()->mapToGlobal(ort)), knopf, knoepfe, umschalt);
        QApplication::sendEvent(Bild(), &e);
    }

    std::unique_ptr<TMeldungsFaenger> faenger;
    std::unique_ptr<TfrmZelvanoMain> fenster;
};

} // namespace

TEST_F(Anzeige, UnterHundertProzentStartetDenTimerEinmal)
{
    // A long interval: on a busy machine the real one can run out between
    // the two calls (an event processed on the way delivers it); precise, as
    // a coarse timer of 5 s may end up to 250 ms late.
    fenster->AnzeigeTimer->setInterval(5000);
    fenster->AnzeigeTimer->setTimerType(Qt::PreciseTimer);
    const TBitmap bild = Zufall(1800, 1400);
    Zeigen(bild, false, 0.25);
    ASSERT_TRUE(fenster->AnzeigeTimer->isActive());
    EXPECT_EQ(Bild()->width(), 450);
    EXPECT_EQ(Bild()->height(), 350);
    // Until it fires, the full-resolution picture is stretched.
    EXPECT_EQ(Bild()->Bild().size(), QSize(1800, 1400));

    QThread::msleep(90);
    ZoomFaktor = 0.3;
    fenster->SetAnzeigeBild();
    ASSERT_TRUE(fenster->AnzeigeTimer->isActive());
    EXPECT_LE(fenster->AnzeigeTimer->remainingTime(), 5000 - 90);   // not started again
}

TEST_F(Anzeige, TimerTauschtDieStreckungGegenDieVerkleinerung)
{
    const TBitmap bild = Zufall(1000, 800);
    Zeigen(bild, false, 0.5);
    fenster->AnzeigeTimerTimer();
    EXPECT_FALSE(fenster->AnzeigeTimer->isActive());
    TBitmap erwartet;
    BitmapVerkleinern(bild, erwartet, 500, 400);
    EXPECT_EQ(Bild()->Bild(), erwartet.Bild());
}

TEST_F(Anzeige, GammaNurBeiVierundzwanzigBit)
{
    const TBitmap bild = Zufall(1000, 800);
    AnzeigeGamma = 10;
    TBitmap klein;
    BitmapVerkleinern(bild, klein, 500, 400);
    TBitmap kleinGamma = klein;
    BitmapDichte(kleinGamma, 10);

    BildFarbtiefe = 24;
    Zeigen(bild, false, 0.5);
    fenster->AnzeigeTimerTimer();
    EXPECT_EQ(Bild()->Bild(), kleinGamma.Bild());

    BildFarbtiefe = 8;
    Zeigen(bild, false, 0.5);
    fenster->AnzeigeTimerTimer();
    EXPECT_EQ(Bild()->Bild(), klein.Bild());

    // At 100 % the full-resolution copy gets the same treatment.
    TBitmap vollGamma = bild;
    BitmapDichte(vollGamma, 10);
    BildFarbtiefe = 24;
    Zeigen(bild, false, 1.0);
    EXPECT_EQ(Bild()->Bild(), vollGamma.Bild());
    EXPECT_FALSE(fenster->OriginalBild.Bild() == vollGamma.Bild());
    BildFarbtiefe = 4;
    Zeigen(bild, false, 1.0);
    EXPECT_EQ(Bild()->Bild(), bild.Bild());
}

TEST_F(Anzeige, EingepasstUndZentriertAufDemHintergrund)
{
    Zeigen(Zufall(2000, 500), true, 1.0);
    const QSize box = Box()->size();
    EXPECT_EQ(Bild()->width(), box.width());
    EXPECT_NEAR(ZoomFaktor, double(box.width()) / 2000, 1e-12);
    EXPECT_EQ(Bild()->x(), 0);
    EXPECT_NEAR(Bild()->y(), (box.height() - Bild()->height()) / 2.0, 0.5);
}

TEST_F(Anzeige, WinzigesBildBeiFuenfProzentBleibtBedienbar)
{
    Zeigen(Zufall(1, 1), false, 0.05);
    EXPECT_EQ(Bild()->size(), QSize(2, 2));
    EXPECT_FALSE(fenster->AnzeigeBeschaeftigt);
    fenster->AnzeigeTimerTimer();
    Zeigen(Zufall(300, 200), false, 1.0);
    EXPECT_EQ(Bild()->size(), QSize(300, 200));
}

TEST_F(Anzeige, MausradZoomtUndRastetBeiEinsEin)
{
    ASSERT_TRUE(fenster->isActiveWindow());
    Zeigen(Zufall(400, 300), true, 1.0);
    Rad(120);
    EXPECT_FALSE(Einpassen);
    EXPECT_NEAR(ZoomFaktor, 1.1667, 1e-4);
    EXPECT_EQ(Bild()->width(), 467);
    Rad(-120);
    EXPECT_DOUBLE_EQ(ZoomFaktor, 1.0);
    // Over the picture as well.
    Rad(-120, Bild());
    EXPECT_DOUBLE_EQ(ZoomFaktor, 0.875);
}

TEST_F(Anzeige, MausradAusserhalbDerBoxOderMitFestemRahmenTutNichts)
{
    Zeigen(Zufall(400, 300), true, 1.0);
    // Over the status bar: the window's own handler sees it, outside the box.
    QWidget* leiste = fenster->StatusBar1;
    leiste->show();
    QApplication::processEvents();
    QWheelEvent rad(QPointF(5, 5), QPointF(leiste->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(fenster.get(), &rad);
    EXPECT_FALSE(rad.isAccepted());
    EXPECT_TRUE(Einpassen);
    EXPECT_DOUBLE_EQ(ZoomFaktor, 1.0);

    Festschnitt = true;
    Rad(120);
    EXPECT_TRUE(Einpassen);
    EXPECT_DOUBLE_EQ(ZoomFaktor, 1.0);
}

TEST_F(Anzeige, DoppelklickWechseltZwischenEinpassenUndHundert)
{
    Zeigen(Zufall(3000, 2000), true, 1.0);
    ASSERT_LT(ZoomFaktor, 1.0);
    fenster->AnzeigeBildDblClick();
    EXPECT_FALSE(Einpassen);
    EXPECT_DOUBLE_EQ(ZoomFaktor, 1.0);
    EXPECT_EQ(Bild()->size(), QSize(3000, 2000));
    EXPECT_TRUE(fenster->mAnsZoom100->isChecked());
    EXPECT_FALSE(fenster->mAnsZoomEinpassen->isChecked());
    fenster->mAnsZoom400Execute();
    QMouseEvent doppel(QEvent::MouseButtonDblClick, QPointF(3, 3), QPointF(Bild()->mapToGlobal(QPoint(3, 3))),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Bild(), &doppel);
    EXPECT_TRUE(Einpassen);
    EXPECT_LT(ZoomFaktor, 1.0);
    EXPECT_TRUE(fenster->mAnsZoomEinpassen->isChecked());
    EXPECT_FALSE(fenster->mAnsZoom100->isChecked());
}

TEST_F(Anzeige, ZoomBefehleSetzenFaktorUndHaken)
{
    Zeigen(Zufall(400, 300), true, 1.0);
    fenster->mAnsZoom50->trigger();
    EXPECT_FALSE(Einpassen);
    EXPECT_DOUBLE_EQ(ZoomFaktor, 0.5);
    EXPECT_EQ(Bild()->size(), QSize(200, 150));
    EXPECT_FALSE(fenster->mAnsZoomEinpassen->isChecked());
    EXPECT_FALSE(fenster->mAnsZoom100->isChecked());
    fenster->mAnsZoomEinpassen->trigger();
    EXPECT_TRUE(Einpassen);
    // A small image fits at 100 %, but the mark stays on fit.
    EXPECT_DOUBLE_EQ(ZoomFaktor, 1.0);
    EXPECT_TRUE(fenster->mAnsZoomEinpassen->isChecked());
    EXPECT_FALSE(fenster->mAnsZoom100->isChecked());
    // The menu may give the caption an accelerator.
    EXPECT_EQ(fenster->mAnsZoom1000->text().remove(QLatin1Char('&')), QStringLiteral("Vergrößern auf 1000%"));
}

TEST_F(Anzeige, PanVerschiebtNurInDerZuGrossenRichtung)
{
    const QSize box = Box()->size();
    Zeigen(Zufall(box.width() * 3, box.height() / 2), false, 1.0);
    const int oben = Bild()->y();
    Bild()->move(-100, oben);
    Maus(QEvent::MouseButtonPress, QPoint(300, 10), Qt::LeftButton, Qt::LeftButton);
    Maus(QEvent::MouseMove, QPoint(250, 40), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(Bild()->x(), -150);
    EXPECT_EQ(Bild()->y(), oben);
    // Far to the right: no gap at the left edge.
    Maus(QEvent::MouseMove, QPoint(5000, 10), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(Bild()->x(), 0);
    // With the middle button too; with a modifier key not.
    Maus(QEvent::MouseButtonPress, QPoint(100, 10), Qt::MiddleButton, Qt::MiddleButton);
    Maus(QEvent::MouseMove, QPoint(-100000, 10), Qt::NoButton, Qt::MiddleButton);
    EXPECT_EQ(Bild()->x(), box.width() - Bild()->width());
    Maus(QEvent::MouseMove, QPoint(200, 10), Qt::NoButton, Qt::MiddleButton, Qt::ShiftModifier);
    EXPECT_EQ(Bild()->x(), box.width() - Bild()->width());
}

TEST_F(Anzeige, PanRuhtImSchneidemodus)
{
    const QSize box = Box()->size();
    Zeigen(Zufall(box.width() * 2, box.height() * 2), false, 1.0);
    Bild()->move(-50, -50);
    Ausschneiden = true;
    Maus(QEvent::MouseButtonPress, QPoint(300, 300), Qt::LeftButton, Qt::LeftButton);
    Maus(QEvent::MouseMove, QPoint(200, 200), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(Bild()->pos(), QPoint(-50, -50));
}

TEST_F(Anzeige, HandNurWennDasBildGroesserIstAlsDasPanel)
{
    Zeigen(Zufall(100, 100), true, 1.0);
    EXPECT_EQ(Bild()->cursor().shape(), Qt::ArrowCursor);
    Zeigen(Zufall(3000, 100), false, 1.0);
    EXPECT_EQ(Bild()->cursor().shape(), Qt::BitmapCursor);
    Festschnitt = true;
    fenster->CursorSetzen();
    EXPECT_EQ(Bild()->cursor().shape(), Qt::BlankCursor);
}

namespace {

// The checks of a scaled screen need QT_SCALE_FACTOR before the application
// starts: this program runs the test again in a child with a factor of 2.
bool ImKindSkaliertLaufen(const char* test)
{
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == QLatin1String("2"))
        return false;
    QProcess kind;
    QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
    umgebung.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    kind.setProcessEnvironment(umgebung);
    kind.setProcessChannelMode(QProcess::MergedChannels);
    kind.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + QLatin1String(test)});
    const bool fertig = kind.waitForFinished(120000);
    const QByteArray ausgabe = kind.readAll();
    EXPECT_TRUE(fertig);
    EXPECT_EQ(kind.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(kind.exitCode(), 0) << ausgabe.toStdString();
    EXPECT_TRUE(ausgabe.contains("[  PASSED  ] 1 test")) << ausgabe.toStdString();
    return true;
}

TEST_F(Anzeige, SkaliertZaehltDerZoomGeraetepixel)
{
    if (ImKindSkaliertLaufen("Anzeige.SkaliertZaehltDerZoomGeraetepixel"))
        return;
    ASSERT_DOUBLE_EQ(Box()->devicePixelRatioF(), 2.0);

    // 100 %: one image pixel on one screen pixel.
    const TBitmap bild = Zufall(640, 480);
    Zeigen(bild, false, 1.0);
    EXPECT_EQ(Bild()->size(), QSize(320, 240));
    EXPECT_EQ(Bild()->Bild().devicePixelRatio(), 2.0);
    const QImage schirm = Bild()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(schirm.size(), QSize(640, 480));
    EXPECT_EQ(schirm, bild.Bild().convertToFormat(QImage::Format_RGB32));

    // 50 %: the reduction is made at the screen's resolution, not stretched.
    Zeigen(bild, false, 0.5);
    fenster->AnzeigeTimerTimer();
    EXPECT_EQ(Bild()->size(), QSize(160, 120));
    TBitmap erwartet;
    BitmapVerkleinern(bild, erwartet, 320, 240);
    QImage erwartetBild = erwartet.Bild();
    erwartetBild.setDevicePixelRatio(2.0);
    EXPECT_EQ(Bild()->Bild(), erwartetBild);

    // Icons are chosen in device pixels and shown at that size, not twice it.
    EXPECT_EQ(fenster->ToolBar1->iconSize().width() * 2, BilderListenGroesse());
}

TEST_F(Anzeige, MausradZaehltKleineSchritteZusammen)
{
    Zeigen(Zufall(400, 300), false, 1.0);
    // A touchpad's eight small deltas make one notch.
    for (int i = 0; i < 7; ++i) {
        Rad(15);
        EXPECT_DOUBLE_EQ(ZoomFaktor, 1.0) << i;
    }
    Rad(15);
    EXPECT_NEAR(ZoomFaktor, 7.0 / 6.0, 1e-12);
    // Two notches at once, two steps.
    Rad(240);
    EXPECT_NEAR(ZoomFaktor, 7.0 / 6.0 * 7.0 / 6.0 * 7.0 / 6.0, 1e-12);
    // Half a notch back, then a turn forward again: the rest is dropped.
    Rad(-60);
    Rad(60);
    Rad(60);
    EXPECT_NEAR(ZoomFaktor, std::pow(7.0 / 6.0, 4), 1e-12);
    Rad(-120);
    EXPECT_NEAR(ZoomFaktor, std::pow(7.0 / 6.0, 4) * 7.0 / 8.0, 1e-12);
}

// ---- Loaded pictures as the user sees them -------------------------------------

namespace {

// What the user sees of the display after a load: where the picture lies in
// the box, and what the status bar says.
struct TAnsicht {
    QRect bild;
    QSize box;
    QString zoom;
    bool operator==(const TAnsicht& o) const { return bild == o.bild && box == o.box && zoom == o.zoom; }
};

std::ostream& operator<<(std::ostream& aus, const TAnsicht& a)
{
    return aus << a.bild.x() << ',' << a.bild.y() << ' ' << a.bild.width() << 'x' << a.bild.height() << " in "
               << a.box.width() << 'x' << a.box.height() << " \"" << a.zoom.toStdString() << '"';
}

} // namespace

class AnzeigeGeladen : public Anzeige {
protected:
    void SetUp() override
    {
        Anzeige::SetUp();
        Statusleiste = true;
        Einpassen = true;
        fenster->StatusBar1->show();
        // Too low for a 640 x 480 picture at 100 %.
        Fenstergroesse(800, 450);
        ordner = FrischerOrdner(QStringLiteral("anzeige"));
    }
    void TearDown() override
    {
        BildListe.clear();
        BildIndex = -1;
        BildQuelle = BildQuelleKeine;
        Anzeige::TearDown();
    }

    // As the running program does between the user's actions: every pending
    // event, layouts and resizes included, is handled.
    static void Ruhen()
    {
        for (int i = 0; i < 10; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }
    void Fenstergroesse(int breite, int hoehe)
    {
        fenster->resize(breite, hoehe);
        Ruhen();
    }
    QString Datei(const QString& name, int breite, int hoehe)
    {
        const QString pfad = ordner + QLatin1Char('/') + name;
        EXPECT_TRUE(Zufall(breite, hoehe).Bild().save(pfad, "PNG"));
        return pfad;
    }
    void Laden(int index)
    {
        BildIndex = index;
        fenster->BildAnzeigen();
        Ruhen();
    }
    TAnsicht Ansicht() const
    {
        // Measured in the display box, the area the background colour fills.
        QWidget* anzeige = fenster->AnzeigeBox;
        return {QRect(Bild()->mapTo(anzeige, QPoint(0, 0)), Bild()->size()), anzeige->size(),
                fenster->StatusPanel[3]->text()};
    }
    // Fitted: as large as the display allows, one side filling it.
    static void ErwarteEingepasst(const TAnsicht& a)
    {
        EXPECT_TRUE(QRect(QPoint(0, 0), a.box).contains(a.bild)) << a;
        EXPECT_TRUE(a.bild.width() == a.box.width() || a.bild.height() == a.box.height()) << a;
    }
    // The picture lies in the middle of the display on both axes.
    static void ErwarteMittig(const TAnsicht& a)
    {
        EXPECT_NEAR(a.bild.x(), (a.box.width() - a.bild.width()) / 2.0, 0.5) << a;
        EXPECT_NEAR(a.bild.y(), (a.box.height() - a.bild.height()) / 2.0, 0.5) << a;
    }
    // The zoom the picture is drawn at, as the status bar gives it.
    QString GezeichneterZoom(int bildBreite) const
    {
        return QStringLiteral("Zoom: %1%").arg(qint64(std::nearbyint(100.0 * Bild()->width() / bildBreite)));
    }

    QString ordner;
};

TEST_F(AnzeigeGeladen, GleicheBilderErscheinenGleichGrossUndMittig)
{
    for (int i = 0; i < 5; ++i)
        BildListe << Datei(QStringLiteral("gleich%1.png").arg(i), 640, 480);
    QList<TAnsicht> ansichten;
    for (int i = 0; i < 5; ++i) {
        Laden(i);
        ansichten << Ansicht();
    }
    const TAnsicht a = ansichten.first();
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(ansichten.at(i), a) << "Laden " << i + 1;
    // Fitted to the box it is drawn in, centred on both axes.
    ASSERT_LT(a.box.height(), 480);
    ErwarteEingepasst(a);
    ErwarteMittig(a);
    EXPECT_EQ(a.zoom, GezeichneterZoom(640));
}

TEST_F(AnzeigeGeladen, NachGroessenaenderungZeigtDieLeisteDenGezeichnetenZoom)
{
    BildListe << Datei(QStringLiteral("bild.png"), 640, 480);
    Laden(0);
    ASSERT_LT(Bild()->width(), 640);
    EXPECT_EQ(Ansicht().zoom, GezeichneterZoom(640));
    // Larger: the picture fits at 100 %.
    Fenstergroesse(1000, 800);
    ASSERT_EQ(Bild()->width(), 640);
    EXPECT_EQ(Ansicht().zoom, GezeichneterZoom(640));
    ErwarteMittig(Ansicht());
    // Smaller again.
    Fenstergroesse(700, 450);
    ASSERT_LT(Bild()->width(), 640);
    EXPECT_EQ(Ansicht().zoom, GezeichneterZoom(640));
    ErwarteEingepasst(Ansicht());
    ErwarteMittig(Ansicht());
}

} // namespace
