// The main window's attributes and resize commands: wired, opening their
// windows at the right zoom, and showing the working bitmap afterwards.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include "AnzeigeBild.h"
#include "Global.h"
#include "Menuset.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "editing/Attribute.h"
#include "editing/Skalieren.h"
#include "widgets/Numedit.h"

namespace {

class Editieren : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HauptfensterFuerTestAnlegen();
        frmZelvanoMain->resize(800, 600);
        frmZelvanoMain->show();
    }
    static void TearDownTestSuite() { delete frmZelvanoMain; }

    void SetUp() override
    {
        f = frmZelvanoMain;
        ordner = FrischerOrdner(QStringLiteral("editieren"));
        QImage bild(60, 40, QImage::Format_RGB888);
        bild.fill(QColor(100, 100, 100));
        const QString pfad = ordner + QStringLiteral("/bild.png");
        ASSERT_TRUE(bild.save(pfad));
        BildListe = QStringList{pfad};
        BildIndex = 0;
        f->BildAnzeigen();
        RueckgaengigLoeschen();
        BildBearbeitet = false;
        MenuesSetzen();
    }
    void TearDown() override
    {
        RueckgaengigLoeschen();
        BildBearbeitet = false;
    }

    // Runs aktion once the modal window is up and active.
    template <class F> static void WennModal(F aktion)
    {
        auto* timer = new QTimer(qApp);
        QObject::connect(timer, &QTimer::timeout, [timer, aktion] {
            // The window must also be active: until then setFocus() only
            // marks a control, and handlers that act on focus stay idle.
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (d && d->isActiveWindow()) {
                timer->stop();
                timer->deleteLater();
                aktion(d);
            }
        });
        timer->start(10);
    }

    TfrmZelvanoMain* f = nullptr;
    QString ordner;
};

} // namespace

TEST_F(Editieren, BeideBefehleSindVerfuegbarMitBild)
{
    EXPECT_TRUE(f->mBeaSkalieren->isEnabled());
    EXPECT_TRUE(f->mBeaBildattribute->isEnabled());
    EXPECT_TRUE(AktionRegelFrei(f->mBeaSkalieren));
}

TEST_F(Editieren, SkalierenVerkleinertUndZeigtBei100Prozent)
{
    ZoomFaktor = 0.5;
    Einpassen = false;
    WennModal([](QDialog* d) {
        auto* s = qobject_cast<TfrmSkalieren*>(d);
        ASSERT_NE(s, nullptr);
        EXPECT_FALSE(frmZelvanoMain->AnzeigeBild->isVisible());
        s->nedBreiteProzent->setFocus();
        s->nedBreiteProzent->SetWert(50);
        s->btnOk->click();
    });
    f->mBeaSkalieren->trigger();
    EXPECT_EQ(f->OriginalBild.Width(), 30);
    EXPECT_EQ(f->OriginalBild.Height(), 20);
    EXPECT_TRUE(BildBearbeitet);
    EXPECT_EQ(ZoomFaktor, 1.0);
    EXPECT_TRUE(f->AnzeigeBild->isVisible());
    EXPECT_EQ(f->AnzeigeBild->Bild().width(), 30);
    EXPECT_TRUE(f->mBeaRueckgaengig->isEnabled());
}

TEST_F(Editieren, SkalierenAbbrechenLaesstAllesStehen)
{
    TModalSchliesser schliesser;
    f->mBeaSkalieren->trigger();
    EXPECT_EQ(schliesser.geschlossen, 1);
    EXPECT_EQ(f->OriginalBild.Width(), 60);
    EXPECT_FALSE(BildBearbeitet);
    EXPECT_TRUE(f->AnzeigeBild->isVisible());
}

TEST_F(Editieren, BildattributeGehtAufHundertProzentUndZeigtDanachDasOriginal)
{
    ZoomFaktor = 4.0;
    Einpassen = false;
    f->SetAnzeigeBild();
    double zoomImFenster = 0;
    WennModal([&zoomImFenster](QDialog* d) {
        auto* a = qobject_cast<TfrmAttribute*>(d);
        ASSERT_NE(a, nullptr);
        zoomImFenster = ZoomFaktor;
        a->pcAttribute->setCurrentWidget(a->tsHellKon);
        a->trbHelligkeit->setValue(-50);
        // The preview is on the display, the working bitmap untouched.
        EXPECT_EQ(qRed(frmZelvanoMain->AnzeigeBild->Bild().pixel(0, 0)), 50);
        EXPECT_EQ(frmZelvanoMain->OriginalBild.ScanLine(0)[0], 100);
        a->reject();
    });
    f->mBeaBildattribute->trigger();
    EXPECT_EQ(zoomImFenster, 1.0);
    EXPECT_EQ(qRed(f->AnzeigeBild->Bild().pixel(0, 0)), 100);
    EXPECT_FALSE(BildBearbeitet);

    WennModal([](QDialog* d) {
        auto* a = qobject_cast<TfrmAttribute*>(d);
        a->pcAttribute->setCurrentWidget(a->tsHellKon);
        a->trbKontrast->setValue(-100);
        a->btnHellKonOk->click();
    });
    f->mBeaBildattribute->trigger();
    EXPECT_EQ(f->OriginalBild.ScanLine(5)[7], 127);
    EXPECT_EQ(qGreen(f->AnzeigeBild->Bild().pixel(3, 3)), 127);
    EXPECT_TRUE(BildBearbeitet);
}
