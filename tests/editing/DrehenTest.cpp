// The rotate dialog: preview size, slider and field in step, the step
// buttons, "Winkel messen" and "Drehen".
#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "Global.h"
#include "Menuset.h"
#include "Modi.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "editing/Drehen.h"
#include "widgets/Numedit.h"
#include "widgets/PngBitBtn.h"
#include "widgets/PngObject.h"

namespace {

TEST(DrehenVorschau, GroesseNachSeitenverhaeltnis)
{
    EXPECT_EQ(DrehVorschauGroesse(3000, 1000), QSize(300, 100));
    EXPECT_EQ(DrehVorschauGroesse(1, 1000), QSize(2, 300));
    EXPECT_EQ(DrehVorschauGroesse(1000, 1), QSize(300, 2));
    EXPECT_EQ(DrehVorschauGroesse(640, 480), QSize(300, 225));
    EXPECT_EQ(DrehVorschauGroesse(1000, 3000), QSize(100, 300));
    EXPECT_EQ(DrehVorschauGroesse(500, 500), QSize(300, 300));
    EXPECT_EQ(DrehVorschauGroesse(0, 10), QSize(2, 2));
}

class DrehenDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite() { delete frmZelvanoMain; }
    void SetUp() override
    {
        f = frmZelvanoMain;
        QImage bild(640, 480, QImage::Format_BGR888);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                bild.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
        f->OriginalBild = TBitmap(bild);
        BildQuelle = BildQuelleDatei;
        BildBearbeitet = false;
        WinkelMessen = false;
        MaxRueck = 10;
        RueckgaengigLoeschen();
        DrehWinkel = 0;
        d = new TfrmDrehen(f);
    }
    void TearDown() override
    {
        delete d;
        RueckgaengigLoeschen();
        BildBearbeitet = false;
        WinkelMessen = false;
    }
    void Oeffnen()
    {
        d->show();
        QApplication::processEvents();
        QApplication::processEvents();
    }
    QSize Vorschau() const { return d->imgVorschau->pixmap().size(); }
    TfrmZelvanoMain* f = nullptr;
    TfrmDrehen* d = nullptr;
};

TEST_F(DrehenDialog, OeffnenZeigtDieVerkleinerteVorschau)
{
    Oeffnen();
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Bild drehen"));
    EXPECT_EQ(Vorschau(), QSize(300, 225));
    EXPECT_TRUE(d->imgVorschau->isVisible());
    EXPECT_EQ(d->trbWinkel->value(), 0);
    EXPECT_EQ(d->nedWinkel->Wert(), 0.0L);
    EXPECT_TRUE(d->trbWinkel->isEnabled());
    EXPECT_TRUE(d->btnDrehen->isEnabled());
    EXPECT_FALSE(d->PngBitBtnDrehLinks->PngImage().Empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DrehenDialog, GemessenerWinkelKommtInsFeldUndAufDenSchieber)
{
    DrehWinkel = -12.34L;
    Oeffnen();
    EXPECT_EQ(d->nedWinkel->text(), QStringLiteral("-12,34"));
    // Trunc, also below zero.
    EXPECT_EQ(d->trbWinkel->value(), -24);
    // Turned by -12.34 degrees on a grown canvas: wider and taller.
    EXPECT_GT(Vorschau().width(), 300);
    EXPECT_GT(Vorschau().height(), 225);
}

TEST_F(DrehenDialog, FeldeingabeSetztSchieberUndDreht)
{
    Oeffnen();
    QApplication::setActiveWindow(d);
    d->nedWinkel->setFocus();
    if (!d->nedWinkel->hasFocus())
        GTEST_SKIP() << "no keyboard focus on this platform";
    d->nedWinkel->setText(QStringLiteral("12,34"));
    EXPECT_NEAR(double(DrehWinkel), 12.34, 1e-12);
    EXPECT_EQ(d->trbWinkel->value(), 24);
    // The preview shows the whole turned picture: larger than before.
    EXPECT_GT(Vorschau().height(), 225);
}

TEST_F(DrehenDialog, SchrittknoepfeInHalbenGrad)
{
    Oeffnen();
    d->PngBitBtnDrehLinks->click();
    EXPECT_EQ(d->trbWinkel->value(), -1);
    EXPECT_EQ(DrehWinkel, -0.5L);
    EXPECT_EQ(d->nedWinkel->text(), QStringLiteral("-0,5"));
    d->trbWinkel->setValue(180);
    d->PngBitBtnDrehRechts->click();
    EXPECT_EQ(d->trbWinkel->value(), 180);
    EXPECT_EQ(DrehWinkel, 90.0L);
    EXPECT_EQ(d->nedWinkel->text(), QStringLiteral("90"));
}

TEST_F(DrehenDialog, GitterLaesstSichAusblenden)
{
    Oeffnen();
    for (QFrame* band : d->shpGitter)
        EXPECT_TRUE(band->isVisible());
    d->cbGitter->click();
    for (QFrame* band : d->shpGitter)
        EXPECT_FALSE(band->isVisible());
    d->reject();
    Oeffnen();
    EXPECT_FALSE(d->cbGitter->isChecked());
    EXPECT_FALSE(d->shpGitter[9]->isVisible());
}

TEST_F(DrehenDialog, WinkelMessenSchliesstOhneAenderung)
{
    const TBitmap vorher = f->OriginalBild;
    Oeffnen();
    d->btnWinkelmessen->click();
    EXPECT_TRUE(WinkelMessen);
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(f->OriginalBild, vorher);
    EXPECT_TRUE(d->DrehVorschauBild.IsEmpty());
}

TEST_F(DrehenDialog, DrehenMitNullAendertNichts)
{
    const TBitmap vorher = f->OriginalBild;
    Oeffnen();
    d->btnDrehenClick();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(f->OriginalBild, vorher);
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_FALSE(BildBearbeitet);
}

TEST_F(DrehenDialog, NeunzigGradMitUndOhneAnpassung)
{
    for (bool anpassen : {true, false}) {
        f->OriginalBild = TBitmap(300, 200);
        f->OriginalBild.Fill(0, 0, 0);
        RueckgaengigLoeschen();
        BildBearbeitet = false;
        DrehWinkel = 90;
        Oeffnen();
        d->cbAnpassen->setChecked(anpassen);
        d->btnDrehen->click();
        EXPECT_EQ(f->OriginalBild.Width(), anpassen ? 200 : 300);
        EXPECT_EQ(f->OriginalBild.Height(), anpassen ? 300 : 200);
        // Without growing, the corners left over are white; the middle stays black.
        EXPECT_EQ(f->OriginalBild.Bild().pixel(0, 0), anpassen ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        EXPECT_EQ(f->OriginalBild.Bild().pixel(150, 100), qRgb(0, 0, 0));
        EXPECT_EQ(RueckgaengigAnzahl, 1);
        EXPECT_TRUE(BildBearbeitet);
    }
}

} // namespace

namespace {

TEST_F(DrehenDialog, NullAusDemMenueSetztAuchDenSchieberZurueck)
{
    // An earlier opening left the slider at 12 degrees and the field empty.
    Oeffnen();
    d->trbWinkel->setValue(24);
    d->nedWinkel->clear();
    d->reject();
    DrehWinkel = 0;
    Oeffnen();
    // Field, slider and the angle a turn would use all say 0.
    EXPECT_EQ(d->trbWinkel->value(), 0);
    EXPECT_EQ(d->nedWinkel->Wert(), 0.0L);
    EXPECT_EQ(Vorschau(), QSize(300, 225));
}

} // namespace

namespace {

// The undo files of this run in the temporary folder.
QStringList RueckgaengigDateien()
{
    return QDir(TempVerzeichnis).entryList({QFileInfo(RueckgaengigPrefix).fileName() + QLatin1Char('*')},
                                           QDir::Files);
}

TEST_F(DrehenDialog, SpeichermangelMeldetUndLaesstBildUndRueckgaengig)
{
    // 11000 x 1000 turned by 45 degrees needs a canvas of 8485 x 8485, 216 MB.
    QImage bild(11000, 1000, QImage::Format_BGR888);
    for (int y = 0; y < bild.height(); ++y) {
        uchar* z = bild.scanLine(y);
        for (qsizetype k = 0; k < bild.bytesPerLine(); ++k)
            z[k] = uchar(k * 7 + y);
    }
    f->OriginalBild = TBitmap(bild);
    const TBitmap vorher(bild.copy());
    MenuesSetzen();
    ASSERT_TRUE(RueckgaengigDateien().isEmpty());

    // "Drehen..." from the menu; in the dialog 45 degrees and "Drehen",
    // pressed while memory is short.
    frmDrehen = d;
    QTimer bediener;
    bediener.setInterval(10);
    bool begrenzt = false;
    QObject::connect(&bediener, &QTimer::timeout, [&] {
        if (!d->isVisible() || !d->imgVorschau->isVisible() || !d->btnDrehen->isEnabled())
            return;
        bediener.stop();
        d->nedWinkel->SetWert(45);
        TSpeicherGrenze grenze(150ul << 20);
        begrenzt = grenze.ok;
        d->btnDrehen->click();
    });
    bediener.start();
    TMeldungsFaenger faenger;
    f->mBeaDrehenExecute();
    frmDrehen = nullptr;
    ASSERT_TRUE(begrenzt);

    EXPECT_EQ(faenger.texte,
              QStringList{QStringLiteral("Fehler beim Drehen: Der Arbeitsspeicher reicht nicht für das gedrehte Bild.")});
    EXPECT_EQ(f->OriginalBild, vorher);
    EXPECT_FALSE(BildBearbeitet);
    EXPECT_EQ(f->StatusPanel[4]->text(), QString());
    EXPECT_EQ(RueckgaengigAnzahl, 0);
    EXPECT_FALSE(f->mBeaRueckgaengig->isEnabled());
    EXPECT_EQ(RueckgaengigDateien(), QStringList());
}

} // namespace
