// The crop-mode dialog: frame sizes for the ratio presets and the fixed
// size, and what its buttons leave in the crop state.
#include <gtest/gtest.h>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include "Global.h"
#include "Modi.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "editing/Schneiden.h"
#include "widgets/Numedit.h"

namespace {

struct TRahmen {
    int x, y;
    long double verhaeltnis;
};

TRahmen Rahmen(int a, int b, TSchnittFormat format, int w, int h)
{
    TRahmen r{0, 0, 0};
    EXPECT_TRUE(VerhaeltnisRahmen(a, b, format, w, h, r.x, r.y, r.verhaeltnis));
    return r;
}

TEST(SchneidenRahmen, VorgabenAufBekanntenBildern)
{
    TRahmen r = Rahmen(3, 2, sfAutomatisch, 3000, 2000);
    EXPECT_EQ(r.x, 2400);
    EXPECT_EQ(r.y, 1600);
    EXPECT_EQ(r.verhaeltnis, 1.5L);
    // Portrait image: the terms turn to 2:3.
    r = Rahmen(3, 2, sfAutomatisch, 2000, 3000);
    EXPECT_EQ(r.x, 1600);
    EXPECT_EQ(r.y, 2400);
    EXPECT_NEAR(double(r.verhaeltnis), 2.0 / 3.0, 1e-15);
    r = Rahmen(16, 9, sfHochformat, 1000, 1000);
    EXPECT_EQ(r.x, 450);
    EXPECT_EQ(r.y, 800);
    r = Rahmen(16, 9, sfQuerformat, 1000, 300);
    EXPECT_EQ(r.x, 427);
    EXPECT_EQ(r.y, 240);
    // A square image counts as landscape.
    r = Rahmen(4, 3, sfAutomatisch, 1000, 1000);
    EXPECT_EQ(r.x, 800);
    EXPECT_EQ(r.y, 600);
    r = Rahmen(1414, 1000, sfAutomatisch, 1000, 800);
    EXPECT_EQ(r.x, 800);
    EXPECT_EQ(r.y, 566);
    // Ties round to even: 2.5 -> 2.
    r = Rahmen(1, 1, sfAutomatisch, 5, 5);
    EXPECT_EQ(r.x, 4);
    r = Rahmen(5, 4, sfAutomatisch, 1000, 800);
    EXPECT_EQ(r.x, 800);
    EXPECT_EQ(r.y, 640);
}

TEST(SchneidenRahmen, ExtremeVerhaeltnisseGebenNieEinenLeerenRahmen)
{
    TRahmen r = Rahmen(9999, 1, sfAutomatisch, 1000, 1000);
    EXPECT_EQ(r.x, 800);
    EXPECT_EQ(r.y, 1);
    r = Rahmen(9999, 1, sfHochformat, 1000, 1000);
    EXPECT_EQ(r.x, 1);
    EXPECT_EQ(r.y, 800);
    r = Rahmen(3, 1, sfAutomatisch, 1, 1);
    EXPECT_EQ(r.x, 1);
    EXPECT_EQ(r.y, 1);
    int x = 7, y = 7;
    long double v = 0;
    EXPECT_FALSE(VerhaeltnisRahmen(0, 3, sfAutomatisch, 100, 100, x, y, v));
    EXPECT_FALSE(VerhaeltnisRahmen(3, 0, sfAutomatisch, 100, 100, x, y, v));
    EXPECT_EQ(x, 7);
}

TEST(SchneidenRahmen, FesteGroesseMindestensZweiHoechstensDasBild)
{
    int x = 0, y = 0;
    FestRahmen(5000, 1, 1024, 768, x, y);
    EXPECT_EQ(x, 1024);
    EXPECT_EQ(y, 2);
    FestRahmen(300, 200, 1024, 768, x, y);
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 200);
    FestRahmen(0, 0, 1, 1, x, y);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 1);
}

class SchneidenDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { HauptfensterFuerTestAnlegen(); }
    static void TearDownTestSuite() { delete frmZelvanoMain; }
    void SetUp() override
    {
        f = frmZelvanoMain;
        f->OriginalBild = TBitmap(1024, 768);
        f->OriginalBild.Fill(10, 20, 30);
        BildQuelle = BildQuelleDatei;
        Ausschneiden = Fotoschnitt = Festschnitt = false;
        SchnittX = SchnittY = 0;
        d = new TfrmSchneiden(f);
    }
    void TearDown() override
    {
        delete d;
        f->pnlSchnittinfo->hide();
        Ausschneiden = Fotoschnitt = Festschnitt = false;
    }
    TfrmZelvanoMain* f = nullptr;
    TfrmSchneiden* d = nullptr;
};

TEST_F(SchneidenDialog, BeschriftungenUndStartzustand)
{
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Fotoschnitt"));
    EXPECT_EQ(d->rbBenutzerdef->text(), QStringLiteral("Benutzerdeffiniert"));
    EXPECT_EQ(d->rbFotoschnitt->text(),
              QStringLiteral("Fotoschnitt    (freie Ausschnittwahl mit festem Seitenverhältnis)"));
    EXPECT_FALSE(d->rbFotoschnitt->isChecked());
    EXPECT_FALSE(d->rbFestschnitt->isChecked());
    EXPECT_TRUE(d->rb3zu2->isChecked());
    EXPECT_TRUE(d->rbAutomatisch->isChecked());
    EXPECT_EQ(d->nedX->text(), QStringLiteral("3"));
    EXPECT_EQ(d->nedFestX->text(), QStringLiteral("300"));
    EXPECT_EQ(d->nedFestY->text(), QStringLiteral("200"));
    EXPECT_FALSE(d->nedX->isEnabled());
    EXPECT_EQ(d->size(), QSize(492, 371));
}

TEST_F(SchneidenDialog, VerhaeltnisknoepfeSchreibenIhreGlieder)
{
    d->rbFotoschnitt->click();
    EXPECT_TRUE(d->rb16zu9->isEnabled());
    EXPECT_FALSE(d->nedFestX->isEnabled());
    d->rb16zu9->click();
    EXPECT_EQ(d->nedX->text(), QStringLiteral("16"));
    EXPECT_EQ(d->nedY->text(), QStringLiteral("9"));
    d->rb14zu10->click();
    EXPECT_EQ(d->nedX->text(), QStringLiteral("1414"));
    EXPECT_EQ(d->nedY->text(), QStringLiteral("1000"));
    d->rbBenutzerdef->click();
    EXPECT_TRUE(d->nedX->isEnabled());
    EXPECT_EQ(d->nedX->text(), QStringLiteral("1414"));
    d->rbFestschnitt->click();
    EXPECT_FALSE(d->rbFotoschnitt->isChecked());
    EXPECT_FALSE(d->rb16zu9->isEnabled());
    EXPECT_TRUE(d->nedFestX->isEnabled());
}

TEST_F(SchneidenDialog, OkImVerhaeltnismodusSetztRahmenUndHilfe)
{
    d->show();
    EXPECT_TRUE(Einpassen);
    d->rbFotoschnitt->click();
    d->rb4zu3->click();
    d->rbHochformat->click();
    d->btnOk->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_TRUE(Fotoschnitt);
    EXPECT_FALSE(Festschnitt);
    // Portrait 3:4 on 1024 x 768: height 614 needs width 460.5, which
    // rounds to the even 460.
    EXPECT_EQ(SchnittY, 614);
    EXPECT_EQ(SchnittX, 460);
    EXPECT_EQ(SchnittVerhaeltnis, 0.75L);
    EXPECT_FALSE(f->pnlSchnittinfo->isHidden());
    EXPECT_EQ(f->pnlSchnittinfo->pos(), QPoint(5, 5));
    EXPECT_TRUE(f->memoSchnittinfo->toPlainText().startsWith(
        QStringLiteral("Die Größe des Schnittrahmens können Sie mit dem Mausrad verändern.")));
}

TEST_F(SchneidenDialog, NullImVerhaeltnisBeendetJedenModus)
{
    TMeldungsFaenger faenger;
    Ausschneiden = true;
    d->show();
    d->rbFotoschnitt->click();
    d->rbBenutzerdef->click();
    d->nedY->setText(QStringLiteral("0"));
    d->btnOk->click();
    ASSERT_EQ(faenger.texte.size(), 1);
    EXPECT_EQ(faenger.texte.first(), QStringLiteral("Unzulässiges Seitenverhältnis"));
    EXPECT_FALSE(Fotoschnitt || Festschnitt || Ausschneiden);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_TRUE(f->pnlSchnittinfo->isHidden());
}

TEST_F(SchneidenDialog, FesteGroesseUndLetzterRahmenImFeld)
{
    SchnittX = 640;
    SchnittY = 480;
    d->show();
    EXPECT_EQ(d->nedFestX->text(), QStringLiteral("640"));
    EXPECT_EQ(d->nedFestY->text(), QStringLiteral("480"));
    d->rbFestschnitt->click();
    d->nedFestX->setText(QStringLiteral("5000"));
    d->nedFestY->setText(QStringLiteral("1"));
    d->btnOk->click();
    EXPECT_TRUE(Festschnitt);
    EXPECT_EQ(SchnittX, 1024);
    EXPECT_EQ(SchnittY, 2);
    EXPECT_TRUE(f->pnlSchnittinfo->isHidden());
    // A negative size left by a cut drag does not refill the fields.
    SchnittX = -30;
    SchnittY = 40;
    d->show();
    EXPECT_EQ(d->nedFestX->text(), QStringLiteral("5000"));
}

TEST_F(SchneidenDialog, AbbrechenAendertNurDieEinpassung)
{
    Einpassen = false;
    SchnittX = 11;
    SchnittY = 12;
    d->show();
    d->rbFotoschnitt->click();
    d->btnAbbrechen->click();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_FALSE(Fotoschnitt);
    EXPECT_EQ(SchnittX, 11);
    EXPECT_TRUE(Einpassen);
}

} // namespace
