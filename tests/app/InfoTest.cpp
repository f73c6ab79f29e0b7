#include <gtest/gtest.h>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include "Global.h"
#include "Info.h"
#include "pixelops/Bitmap.h"
#include "pixelops/Bitmap_Skalieren.h"
#include "TestHilfen.h"

namespace {

TEST(InfoTest, Hintergrundgroesse_JeBildschirmdichteAbgeschnitten)
{
    EXPECT_EQ(InfoHintergrundGroesse(96), QSize(600, 182));
    EXPECT_EQ(InfoHintergrundGroesse(120), QSize(750, 228));
    EXPECT_EQ(InfoHintergrundGroesse(144), QSize(900, 273));
    EXPECT_EQ(InfoHintergrundGroesse(192), QSize(1200, 365));
}

TEST(InfoTest, Bild_VolleGroesseAufDerKartenfarbe)
{
    const QImage bild = InfoHintergrundBild();
    EXPECT_EQ(bild.size(), QSize(1200, 365));
    EXPECT_FALSE(bild.hasAlphaChannel());
    // The lower right corner is plain card orange under the lightest wave.
    EXPECT_GT(qRed(bild.pixel(1190, 10)), 240);
    EXPECT_LT(qBlue(bild.pixel(1190, 10)), 60);
}

TEST(InfoTest, Karte_BildNachDichteGeschrumpftUndListeGeleert)
{
    for (const auto& [dpi, groesse] : {std::pair{96, QSize(600, 182)}, std::pair{144, QSize(900, 273)}}) {
        TfrmInfo karte(nullptr, dpi);
        EXPECT_EQ(karte.imgHintergrund->pixmap().size(), groesse) << dpi;
        EXPECT_EQ(karte.imgHintergrund->size(), groesse) << dpi;
        EXPECT_TRUE(karte.PngImageList1.isNull());
    }
}

TEST(InfoTest, Karte_BildIstDasLanczosGeschrumpfteVorlagebild)
{
    TfrmInfo karte(nullptr, 96);
    TBitmap erwartet(InfoHintergrundBild());
    ASSERT_TRUE(BitmapSkalieren(erwartet, 600, 182, 0, FilterNrLanczos3, 1));
    const QImage gezeigt = karte.imgHintergrund->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(gezeigt, erwartet.Bild().convertToFormat(QImage::Format_RGB32));
}

TEST(InfoTest, Karte_MasseUndFarben)
{
    TfrmInfo karte(nullptr, 96);
    EXPECT_TRUE(karte.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(karte.size(), QSize(760, 410));
    EXPECT_EQ(karte.palette().color(QPalette::Window), QColor(255, 114, 19));
    EXPECT_EQ(karte.shpFussleiste->geometry(), QRect(0, 335, 760, 75));
    EXPECT_EQ(karte.shpFussleiste->palette().color(QPalette::Window), QColor(219, 227, 226));
    EXPECT_EQ(karte.imgHintergrund->pos(), QPoint(45, 45));
    EXPECT_EQ(karte.RichInfo->geometry(), QRect(15, 15, 744, 319));
    EXPECT_EQ(karte.btnOk->geometry(), QRect(657, 363, 70, 25));
    EXPECT_EQ(karte.btnOk->text(), QStringLiteral("Ok"));
    EXPECT_EQ(karte.lblTitel->pos(), QPoint(58, 302));
    EXPECT_EQ(karte.lblTitel->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_TRUE(karte.lblTitel->text().contains(QStringLiteral("Zelvano ") + ProgrammVersion(2)));
    EXPECT_TRUE(karte.RichInfo->toPlainText().contains(ProgrammVersion(4)));
    EXPECT_TRUE(karte.shpTextHintergrund->isHidden());
}

TEST(InfoTest, Karte_OkUndEscSchliessen)
{
    TfrmInfo karte(nullptr, 96);
    karte.show();
    karte.btnOk->click();
    EXPECT_FALSE(karte.isVisible());
    EXPECT_EQ(karte.result(), QDialog::Accepted);
    karte.show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&karte, &esc);
    EXPECT_FALSE(karte.isVisible());
}

TEST(InfoTest, Karte_KlickAufsBildZeigtDieEinzelheitenUndZurueck)
{
    TfrmInfo karte(nullptr, 96);
    karte.show();
    auto klick = [](QWidget* ziel) {
        const QPointF punkt(10, 10);
        QMouseEvent los(QEvent::MouseButtonRelease, punkt, ziel->mapToGlobal(punkt), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
        QApplication::sendEvent(ziel, &los);
    };
    klick(karte.imgHintergrund);
    EXPECT_TRUE(karte.shpTextHintergrund->isVisible());
    EXPECT_TRUE(karte.RichInfo->isVisible());
    klick(karte.RichInfo->viewport());
    EXPECT_FALSE(karte.shpTextHintergrund->isVisible());
}

} // namespace
