#include <gtest/gtest.h>
#include <Magick++.h>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QMovie>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <vector>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Menuset.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "viewing/Animation.h"
#include "viewing/Gehezu.h"
#include "viewing/Vollbild.h"

namespace {

// Runs handlung once the window w shows; false when it never did.
bool WennSichtbar(const std::function<QWidget*()>& fenster, const std::function<void()>& handlung,
                  const std::function<void()>& befehl)
{
    bool gelaufen = false;
    QTimer waechter;
    waechter.setInterval(10);
    QObject::connect(&waechter, &QTimer::timeout, [&] {
        QWidget* w = fenster();
        if (w && w->isVisible()) {
            waechter.stop();
            handlung();
            gelaufen = true;
        }
    });
    waechter.start();
    befehl();
    return gelaufen;
}

class AnsichtBefehleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
    }
    static void TearDownTestSuite()
    {
        delete frmZelvanoMain;
    }
    void SetUp() override
    {
        f = frmZelvanoMain;
        ordner = FrischerOrdner(QStringLiteral("ansicht"));
        BildListe.clear();
        for (int i = 0; i < 3; ++i) {
            QImage bild(10 + i, 8, QImage::Format_RGB888);
            bild.fill(Qt::darkGreen);
            const QString pfad = ordner + QStringLiteral("/b%1.png").arg(i);
            ASSERT_TRUE(bild.save(pfad));
            BildListe << pfad;
        }
        BildIndex = 0;
        BildBearbeitet = false;
        f->BildAnzeigen();
        MenuesSetzen();
    }
    TfrmZelvanoMain* f = nullptr;
    QString ordner;
};

TEST_F(AnsichtBefehleTest, Gehezu_OkLaedtDasGewaehlteBild)
{
    ASSERT_TRUE(f->mAnsGehezu->isEnabled());
    const bool gelaufen = WennSichtbar([] { return frmGehezu; },
                                       [] {
                                           frmGehezu->lbGeheZu->setCurrentRow(2);
                                           frmGehezu->btnOk->click();
                                       },
                                       [this] { f->mAnsGehezu->trigger(); });
    ASSERT_TRUE(gelaufen);
    EXPECT_EQ(BildIndex, 2);
    EXPECT_EQ(f->OriginalBild.Width(), 12);
}

TEST_F(AnsichtBefehleTest, Gehezu_AbbrechenLaesstDasBild)
{
    TModalSchliesser schliesser;
    f->mAnsGehezu->trigger();
    EXPECT_EQ(schliesser.geschlossen, 1);
    EXPECT_EQ(BildIndex, 0);
    EXPECT_EQ(f->OriginalBild.Width(), 10);
}

TEST_F(AnsichtBefehleTest, Gehezu_UngespeichertesBildAbbrechenOeffnetNichts)
{
    BildBearbeitet = true;
    TMeldungsFaenger faenger(mbAbbrechen);
    TModalSchliesser schliesser;
    f->mAnsGehezu->trigger();
    EXPECT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(schliesser.geschlossen, 0);
    BildBearbeitet = false;
}

TEST_F(AnsichtBefehleTest, Animieren_NurFuerGifMitMehrerenBildernUndSpielt)
{
    EXPECT_FALSE(f->mAnsAnimieren->isVisible());
    const QString gif = ordner + QStringLiteral("/a.gif");
    std::vector<Magick::Image> bilder;
    for (const char* farbe : {"red", "blue"}) {
        bilder.emplace_back(Magick::Geometry(16, 12), Magick::Color(farbe));
        // Blocks without a delay would make one picture, not two frames.
        bilder.back().animationDelay(10);
    }
    Magick::writeImages(bilder.begin(), bilder.end(), "GIF:" + gif.toStdString());
    BildListe = {gif};
    BildIndex = 0;
    f->BildAnzeigen();
    MenuesSetzen();
    ASSERT_EQ(f->Gear1->ImageType(), QStringLiteral("GIF"));
    ASSERT_EQ(f->Gear1->PageCount(), 2);
    ASSERT_TRUE(f->mAnsAnimieren->isVisible());
    ASSERT_TRUE(f->mAnsAnimieren->isEnabled());
    QMovie::MovieState zustand = QMovie::NotRunning;
    const bool gelaufen = WennSichtbar([] { return frmAnimation; },
                                       [&] {
                                           zustand = frmAnimation->Film->state();
                                           frmAnimation->btnBeenden->click();
                                       },
                                       [this] { f->mAnsAnimieren->trigger(); });
    ASSERT_TRUE(gelaufen);
    EXPECT_EQ(zustand, QMovie::Running);
    EXPECT_EQ(frmAnimation->Film->fileName(), gif);
    EXPECT_EQ(frmAnimation->Film->state(), QMovie::NotRunning);
}

} // namespace

namespace {

TEST_F(AnsichtBefehleTest, Vollbild_GeheZuOeffnetDieselbeListe)
{
    ASSERT_TRUE(bool(VollbildGehezuZeigen));
    int ergebnis = 0;
    const bool gelaufen = WennSichtbar([] { return frmGehezu; },
                                       [] {
                                           frmGehezu->lbGeheZu->setCurrentRow(1);
                                           frmGehezu->btnOk->click();
                                       },
                                       [&] { ergebnis = VollbildGehezuZeigen(); });
    ASSERT_TRUE(gelaufen);
    EXPECT_EQ(ergebnis, 1);
    EXPECT_EQ(BildIndex, 1);
}

} // namespace
