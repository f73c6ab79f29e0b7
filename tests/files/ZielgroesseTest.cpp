// The target-size window: presets, own sizes, Ok and Cancel, and the choices
// the conversion reads.
#include <gtest/gtest.h>
#include <QRadioButton>
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "files/Zielgroesse.h"
#include "widgets/Numedit.h"

namespace {

class ZielgroesseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZielBreite = 0;
        ZielHoehe = 0;
        NurVerkleinern = false;
        z = new TfrmZielgroesse;
        z->show();
    }
    void TearDown() override { delete z; }
    // Clicks a radio as the user would, with its handler.
    static void Klick(QRadioButton* rb) { rb->click(); }

    TfrmZielgroesse* z = nullptr;
};

} // namespace

TEST_F(ZielgroesseTest, Vorgaben_FuellenFelderUndSperrenSie)
{
    Klick(z->rb1024x768);
    EXPECT_EQ(z->nedBreite->text(), QStringLiteral("1024"));
    EXPECT_EQ(z->nedHoehe->text(), QStringLiteral("768"));
    EXPECT_FALSE(z->nedBreite->isEnabled());
    Klick(z->rb1x1);
    EXPECT_EQ(z->nedBreite->text(), QStringLiteral("0"));
    Klick(z->rb3840x2160);
    z->btnOkClick();
    EXPECT_EQ(ZielBreite, 3840);
    EXPECT_EQ(ZielHoehe, 2160);
}

TEST_F(ZielgroesseTest, Benutzerdefiniert_BehaeltTexteUndGibtFelderFrei)
{
    Klick(z->rb800x600);
    Klick(z->rbBenutzer);
    EXPECT_TRUE(z->nedBreite->isEnabled());
    EXPECT_TRUE(z->nedHoehe->isEnabled());
    EXPECT_EQ(z->nedBreite->text(), QStringLiteral("800"));
    z->nedBreite->setText(QStringLiteral("800"));
    z->nedHoehe->setText(QStringLiteral("0"));
    z->btnOkClick();
    EXPECT_EQ(ZielBreite, 800);
    EXPECT_EQ(ZielHoehe, 0);
}

TEST_F(ZielgroesseTest, LeereHoehe_SpeichertNullUndKehrtZuGroesseBeibehaltenZurueck)
{
    Klick(z->rbBenutzer);
    z->nedBreite->setText(QStringLiteral("1200"));
    z->nedHoehe->clear();
    z->btnOkClick();
    EXPECT_EQ(ZielBreite, 0);
    EXPECT_EQ(ZielHoehe, 0);
    EXPECT_TRUE(z->rb1x1->isChecked());
    EXPECT_EQ(z->nedBreite->text(), QStringLiteral("0"));
    EXPECT_EQ(z->nedHoehe->text(), QStringLiteral("0"));
    EXPECT_FALSE(z->nedBreite->isEnabled());
}

TEST_F(ZielgroesseTest, AbbrechenNachVorgabe_BehaeltGroesseUndZeigtPassendenKnopf)
{
    ZielBreite = 640;
    ZielHoehe = 480;
    z->hide();
    z->show();
    EXPECT_TRUE(z->rb640x480->isChecked());
    Klick(z->rb1920x1080);
    Klick(z->rbVerkleinern);
    z->reject();
    EXPECT_EQ(ZielBreite, 640);
    EXPECT_EQ(ZielHoehe, 480);
    // Shrink-only acts at once, Cancel or not.
    EXPECT_TRUE(NurVerkleinern);
    z->show();
    EXPECT_TRUE(z->rb640x480->isChecked());
    EXPECT_EQ(z->nedBreite->text(), QStringLiteral("640"));
    z->btnOkClick();
    EXPECT_EQ(ZielBreite, 640);
    // An own size shows as "Benutzerdefiniert" with open fields.
    ZielBreite = 500;
    ZielHoehe = 300;
    z->show();
    EXPECT_TRUE(z->rbBenutzer->isChecked());
    EXPECT_TRUE(z->nedHoehe->isEnabled());
    Klick(z->rbVerkleiVergr);
    EXPECT_FALSE(NurVerkleinern);
}

TEST_F(ZielgroesseTest, FilterUndSchaerfe_GebenNummerUndMenge)
{
    EXPECT_EQ(z->FilterIndex(), 5);   // Lanczos at design
    EXPECT_EQ(z->SchaerfeMenge(), 8); // Leicht at design
    const std::pair<QRadioButton*, int> filter[] = {{z->rbBox, 0},    {z->rbTriangle, 1}, {z->rbHermite, 2},
                                                    {z->rbBell, 3},   {z->rbSpline, 4},   {z->rbLanczos, 5},
                                                    {z->rbMitchell, 6}};
    for (const auto& [rb, nummer] : filter) {
        Klick(rb);
        EXPECT_EQ(z->FilterIndex(), nummer) << rb->text().toStdString();
        EXPECT_FALSE(z->IstQuick());
    }
    Klick(z->rbQuick);
    EXPECT_TRUE(z->IstQuick());
    const std::pair<QRadioButton*, int> schaerfe[] = {
        {z->rbSchaerfeOhne, 0}, {z->rbSchaerfeLeicht, 8}, {z->rbSchaerfeMittel, 18}, {z->rbSchaerfeStark, 36}};
    for (const auto& [rb, menge] : schaerfe) {
        Klick(rb);
        EXPECT_EQ(z->SchaerfeMenge(), menge);
    }
}
