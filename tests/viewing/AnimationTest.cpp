#include <gtest/gtest.h>
#include <Magick++.h>
#include <QApplication>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QScrollArea>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <vector>
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "viewing/Animation.h"

namespace {

// An animated GIF of one frame per colour, each w x h.
QString GifSchreiben(const QString& name, const std::vector<std::string>& farben, int w = 40, int h = 30)
{
    const QString pfad = FrischerOrdner(QStringLiteral("gif_") + name) + QLatin1Char('/') + name;
    std::vector<Magick::Image> bilder;
    for (const std::string& farbe : farben) {
        Magick::Image bild(Magick::Geometry(w, h), Magick::Color(farbe));
        bild.animationDelay(5);
        bilder.push_back(bild);
    }
    Magick::writeImages(bilder.begin(), bilder.end(), "GIF:" + pfad.toStdString());
    return pfad;
}

class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        d = new TfrmAnimation();
    }
    void TearDown() override
    {
        delete d;
    }
    TfrmAnimation* d = nullptr;
};

TEST_F(AnimationTest, Zeigen_SpieltDieBilderDerDatei)
{
    const QString gif = GifSchreiben(QStringLiteral("a.gif"), {"red", "blue", "lime"});
    BildListe = {QStringLiteral("/anderes.gif"), gif};
    BildIndex = 1;
    d->show();
    EXPECT_EQ(d->Film->fileName(), gif);
    EXPECT_EQ(d->Film->state(), QMovie::Running);
    EXPECT_EQ(d->Film->frameCount(), 3);
    EXPECT_EQ(d->imgAnimation->movie(), d->Film);
    // The frames follow one another while the window shows.
    QSet<QRgb> farben;
    QObject::connect(d->Film, &QMovie::frameChanged, d,
                     [&] { farben.insert(d->Film->currentImage().pixel(5, 5) & 0xFFFFFF); });
    QElapsedTimer uhr;
    uhr.start();
    while (farben.size() < 3 && uhr.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_TRUE(farben.contains(0xFF0000));
    EXPECT_TRUE(farben.contains(0x0000FF));
    EXPECT_TRUE(farben.contains(0x00FF00));
}

TEST_F(AnimationTest, JedesZeigen_LaedtDenAktuellenEintrag)
{
    const QString a = GifSchreiben(QStringLiteral("a.gif"), {"red", "blue"});
    const QString b = GifSchreiben(QStringLiteral("b.gif"), {"white", "black"}, 70, 20);
    BildListe = {a, b};
    BildIndex = 0;
    d->show();
    d->btnBeenden->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->Film->state(), QMovie::NotRunning);
    BildIndex = 1;
    d->show();
    EXPECT_EQ(d->Film->fileName(), b);
    EXPECT_EQ(d->Film->currentImage().size(), QSize(70, 20));
}

TEST_F(AnimationTest, Esc_SchliesstUndHaeltAn)
{
    BildListe = {GifSchreiben(QStringLiteral("a.gif"), {"red", "blue"})};
    BildIndex = 0;
    d->show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(d, &esc);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->Film->state(), QMovie::NotRunning);
}

TEST_F(AnimationTest, KaputteDatei_ZeigtDasFehlerbild)
{
    const QString pfad = FrischerOrdner(QStringLiteral("kaputt")) + QStringLiteral("/k.gif");
    DateiSchreiben(pfad, QByteArray("GIF89a\x10\x00"));
    BildListe = {pfad};
    BildIndex = 0;
    d->show();
    EXPECT_NE(d->Film->state(), QMovie::Running);
    EXPECT_EQ(d->imgAnimation->movie(), nullptr);
    EXPECT_EQ(d->imgAnimation->pixmap().size(), FehlerBild().size());
    // An index outside the list too.
    d->hide();
    BildIndex = 3;
    d->show();
    EXPECT_EQ(d->imgAnimation->pixmap().size(), FehlerBild().size());
}

TEST_F(AnimationTest, Groesse_KnopfBleibtAchtPunkteVomRand)
{
    d->show();
    EXPECT_EQ(d->size(), QSize(500, 400));
    d->resize(700, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(d->btnBeenden->geometry().right() + 1, 700 - 8);
    EXPECT_EQ(d->btnBeenden->size(), QSize(75, 25));
    EXPECT_EQ(d->Panel1->height(), 41);
    EXPECT_EQ(d->Panel1->geometry().bottom() + 1, 300);
    EXPECT_EQ(d->WebBrowser1->geometry().bottom() + 1, d->Panel1->y());
}

} // namespace
