// The smoothing-method buttons shared by the resize and target-size windows.
#include <gtest/gtest.h>
#include <QRadioButton>
#include <QWidget>
#include "pixelops/Bitmap_Skalieren.h"
#include "widgets/Glaettungsmethode.h"

TEST(Glaettungsmethode, JederKnopfSeinFilterLanczosZuerstUndBeiQuick)
{
    QWidget eltern;
    TGlaettungsmethode g;
    g.GlaettungAnlegen(&eltern);
    EXPECT_TRUE(g.rbLanczos->isChecked());
    EXPECT_EQ(g.GlaettungsFilter(), FilterNrLanczos3);
    const std::pair<QRadioButton*, int> faelle[] = {
        {g.rbMitchell, FilterNrMitchell}, {g.rbSpline, FilterNrBSpline}, {g.rbBell, FilterNrGlocke},
        {g.rbHermite, FilterNrHermite},   {g.rbTriangle, FilterNrDreieck}, {g.rbBox, FilterNrKasten},
        {g.rbQuick, FilterNrLanczos3},    {g.rbLanczos, FilterNrLanczos3}};
    for (const auto& [knopf, filter] : faelle) {
        knopf->click();
        EXPECT_EQ(g.GlaettungsFilter(), filter) << knopf->objectName().toStdString();
    }
    EXPECT_EQ(g.GlaettungsKnopf(7), g.rbQuick);
    EXPECT_EQ(g.GlaettungsKnopf(8), nullptr);
}

TEST(Glaettungsmethode, NachschaerfMengeNullAchtAchtzehnSechsunddreissig)
{
    QWidget eltern;
    QRadioButton ohne(&eltern), leicht(&eltern), mittel(&eltern), stark(&eltern);
    ohne.setChecked(true);
    EXPECT_EQ(NachschaerfMenge(&leicht, &mittel, &stark), 0);
    leicht.click();
    EXPECT_EQ(NachschaerfMenge(&leicht, &mittel, &stark), 8);
    mittel.click();
    EXPECT_EQ(NachschaerfMenge(&leicht, &mittel, &stark), 18);
    stark.click();
    EXPECT_EQ(NachschaerfMenge(&leicht, &mittel, &stark), 36);
}
