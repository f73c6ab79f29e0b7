// The JPEG quality comparison and its two scrolling views.
#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "gear/GearAnsicht.h"
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/Formatoption.h"
#include "files/JpgOptimierung.h"

namespace {

class JpgOptimierungTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
        new TfrmFormatOption(frmZelvanoMain);
        new TfrmJpgOptimierung(frmZelvanoMain);
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        j = frmJpgOptimierung;
        ASSERT_NE(j, nullptr);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        JpegTyp = 0;
        JpegKomp = 23;
        JpegAufl = 0;
        ordner = FrischerOrdner(QStringLiteral("jpgoptimierung"));
        Arbeitsbild(1000, 1000);
    }
    void TearDown() override
    {
        if (j->isVisible())
            j->reject();
    }
    void Arbeitsbild(int breite, int hoehe)
    {
        TBitmap bmp(breite, hoehe);
        for (int y = 0; y < hoehe; ++y) {
            uint8_t* z = bmp.ScanLine(y);
            for (int x = 0; x < breite; ++x) {
                z[3 * x] = uint8_t(x * 7 + y);
                z[3 * x + 1] = uint8_t((x ^ y) * 3);
                z[3 * x + 2] = uint8_t(y * 5);
            }
        }
        f->OriginalBild = bmp;
    }
    void Zeigen()
    {
        j->show();
        QApplication::processEvents();
    }
    // What a real save with the current options weighs.
    qint64 EchteGroesse()
    {
        TGear gear;
        gear.SetPicture(f->OriginalBild);
        JpgOptionenSetzen(gear);
        gear.SetSaveFormat(21);
        const QString pfad = ordner + QStringLiteral("/echt.jpg");
        gear.SaveImage(pfad);
        return QFileInfo(pfad).size();
    }
    QString ErwarteterText()
    {
        const qint64 s = EchteGroesse();
        return GroesseAlsText(s) + QStringLiteral("  (")
            + QLocale().toString(s / (3000000.0 / 100), 'f', 1) + QStringLiteral(" %)");
    }

    TfrmZelvanoMain* f = nullptr;
    TfrmJpgOptimierung* j = nullptr;
    QString ordner;
};

TEST(JpgRate, ProzentMitEinerStelle)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(JpgRateText(300000, 3000000), QStringLiteral("10,0 %"));
    EXPECT_EQ(JpgRateText(0, 3000000), QStringLiteral("0,0 %"));
    EXPECT_EQ(JpgRateText(5, 0), QStringLiteral("500,0 %"));
}

TEST_F(JpgOptimierungTest, Anzeige_GroessenUndRundreise)
{
    Zeigen();
    EXPECT_EQ(j->windowTitle(), QStringLiteral("JPG-Optimierung"));
    EXPECT_EQ(j->lblOriginalGroesse->text(), QStringLiteral("unkomprimiert 2,86 MB  (100%)"));
    EXPECT_EQ(j->lblVorschauGroesse->text(), ErwarteterText());
    EXPECT_EQ(j->lblJpgKompWert->text(), QStringLiteral("23"));
    EXPECT_EQ(j->lblJpgAuflWert->text(), QStringLiteral("11"));
    EXPECT_EQ(j->trbJpgKomp->value(), 23);
    EXPECT_EQ(j->lblZoom->text(), QStringLiteral("Zoom 100%"));
    EXPECT_FALSE(QFile::exists(TempOptiDatei));
    EXPECT_TRUE(j->GearQualiA->isVisible());
    EXPECT_TRUE(j->GearQualiB->isVisible());
    EXPECT_FALSE(j->btnVorschau->isVisible());
    // The right side shows the decoded JPEG, not the original.
    const QImage b = j->GearQualiB->Anzeigebild().convertToFormat(QImage::Format_RGB888);
    const QImage a = j->GearQualiA->Anzeigebild().convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(b.size(), QSize(1000, 1000));
    EXPECT_NE(a, b);
    EXPECT_EQ(a, f->OriginalBild.Bild().convertToFormat(QImage::Format_RGB888));
    // Each takes half the width, side by side.
    EXPECT_EQ(j->GearQualiB->x(), j->GearQualiA->width());
}

TEST_F(JpgOptimierungTest, Stufen_JedeStufeZeigtIhreEchteGroesse)
{
    Zeigen();
    QString vorher = j->lblVorschauGroesse->text();
    for (int stufe : {5, 15, 25}) {
        j->trbJpgKomp->setValue(stufe);
        EXPECT_EQ(JpegKomp, stufe);
        EXPECT_EQ(j->lblJpgKompWert->text(), QString::number(stufe));
        EXPECT_FALSE(j->GearQualiB->isVisible());
        EXPECT_TRUE(j->btnVorschau->isVisible());
        EXPECT_TRUE(j->lblVorschauGroesse->text().isEmpty());
        j->btnVorschau->click();
        EXPECT_EQ(j->lblVorschauGroesse->text(), ErwarteterText()) << stufe;
        EXPECT_NE(j->lblVorschauGroesse->text(), vorher);
        vorher = j->lblVorschauGroesse->text();
        EXPECT_TRUE(j->GearQualiB->isVisible());
        EXPECT_FALSE(j->btnVorschau->isVisible());
        EXPECT_FALSE(QFile::exists(TempOptiDatei));
    }
}

TEST_F(JpgOptimierungTest, Regler_HinUndZurueckVerlangtTrotzdemDieAktualisierung)
{
    Zeigen();
    j->trbJpgKomp->setValue(10);
    j->trbJpgKomp->setValue(23);
    EXPECT_EQ(JpegKomp, 23);
    EXPECT_FALSE(j->GearQualiB->isVisible());
    EXPECT_TRUE(j->btnVorschau->isVisible());

    j->trbJpgAufl->setValue(-3);
    EXPECT_EQ(JpegAufl, 3);
    EXPECT_EQ(j->lblJpgAuflWert->text(), QStringLiteral("8"));
}

TEST_F(JpgOptimierungTest, Zoom_BeideSeitenGleichUndScrollenImGleichschritt)
{
    Zeigen();
    j->tbZoom->setValue(300);
    EXPECT_EQ(j->lblZoom->text(), QStringLiteral("Zoom 300%"));
    EXPECT_EQ(j->GearQualiA->AnzeigeGroesse(), QSize(3000, 3000));
    EXPECT_EQ(j->GearQualiB->AnzeigeGroesse(), QSize(3000, 3000));
    QApplication::processEvents();

    int meldungenA = 0, meldungenB = 0;
    auto va = QObject::connect(j->GearQualiA, &TGearAnsicht::OnScroll, [&] { ++meldungenA; });
    auto vb = QObject::connect(j->GearQualiB, &TGearAnsicht::OnScroll, [&] { ++meldungenB; });
    j->GearQualiA->horizontalScrollBar()->setValue(700);
    j->GearQualiA->verticalScrollBar()->setValue(400);
    EXPECT_EQ(j->GearQualiB->ScrollPositionGet(0), 700);
    EXPECT_EQ(j->GearQualiB->ScrollPositionGet(1), 400);
    // The copy does not echo back.
    EXPECT_EQ(meldungenA, 2);
    EXPECT_EQ(meldungenB, 0);
    j->GearQualiB->verticalScrollBar()->setValue(900);
    EXPECT_EQ(j->GearQualiA->ScrollPositionGet(1), 900);
    EXPECT_EQ(meldungenA, 2);
    QObject::disconnect(va);
    QObject::disconnect(vb);

    // Hand panning drags the picture; the partner follows on the mouse move.
    QWidget* flaeche = j->GearQualiA->widget();
    const QPointF start(200, 200), ziel(150, 140);
    QMouseEvent druck(QEvent::MouseButtonPress, start, flaeche->mapToGlobal(start), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(flaeche, &druck);
    QMouseEvent zug(QEvent::MouseMove, ziel, flaeche->mapToGlobal(start) + (ziel - start), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(flaeche, &zug);
    QMouseEvent los(QEvent::MouseButtonRelease, ziel, flaeche->mapToGlobal(start) + (ziel - start), Qt::LeftButton,
                    Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(flaeche, &los);
    EXPECT_EQ(j->GearQualiA->ScrollPositionGet(0), 750);
    EXPECT_EQ(j->GearQualiA->ScrollPositionGet(1), 960);
    EXPECT_EQ(j->GearQualiB->ScrollPositionGet(0), 750);
    EXPECT_EQ(j->GearQualiB->ScrollPositionGet(1), 960);

    // A refresh keeps the place and the zoom.
    j->trbJpgKomp->setValue(3);
    j->btnVorschau->click();
    EXPECT_EQ(j->GearQualiB->AnzeigeGroesse(), QSize(3000, 3000));
    EXPECT_EQ(j->GearQualiB->ScrollPositionGet(0), 750);
}

TEST_F(JpgOptimierungTest, Schliessen_SetztDieReglerDerFormatoptionen)
{
    Zeigen();
    j->trbJpgKomp->setValue(12);
    j->trbJpgAufl->setValue(-4);
    j->btnOk->click();
    EXPECT_FALSE(j->isVisible());
    EXPECT_EQ(frmFormatOption->trbJpgKomp->value(), 12);
    EXPECT_EQ(frmFormatOption->trbJpgAufl->value(), -4);
    EXPECT_EQ(j->GearQualiA->Gear().ImageWidth(), 0);
    EXPECT_EQ(j->GearQualiB->Gear().ImageWidth(), 0);
}

TEST_F(JpgOptimierungTest, Schreibfehler_NullByteOhneAbsturz)
{
    const QString alt = TempOptiDatei;
    TempOptiDatei = ordner + QStringLiteral("/fehlt/Opti");
    Arbeitsbild(10, 10);
    Zeigen();
    EXPECT_EQ(j->lblOriginalGroesse->text(), QStringLiteral("unkomprimiert 300 Byte  (100%)"));
    EXPECT_EQ(j->lblVorschauGroesse->text(), QStringLiteral("0 Byte  (0,0 %)"));
    EXPECT_EQ(j->GearQualiB->Gear().ImageWidth(), 0);
    TempOptiDatei = alt;
}

TEST_F(JpgOptimierungTest, Formatoptionen_KnopfOeffnetDenVergleichUndSchliesst)
{
    ZielTyp = QStringLiteral("jpg");
    frmFormatOption->show();
    QApplication::processEvents();
    TModalSchliesser schliesser;
    frmFormatOption->btnJpgOptimierungClick();
    EXPECT_EQ(schliesser.geschlossen, 1);
    EXPECT_FALSE(frmFormatOption->isVisible());
}

} // namespace
