#include <gtest/gtest.h>
#include <QApplication>
#include <QScrollBar>
#include "gear/Gear.h"
#include "gear/GearAnsicht.h"
#include "pixelops/Bitmap.h"

namespace {

class GearAnsichtTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ansicht.resize(300, 200);
        ansicht.SetPicture(TBitmap(600, 100));
        ansicht.show();
        QApplication::processEvents();
    }
    TGearAnsicht ansicht;
};

TEST_F(GearAnsichtTest, Zoom_ProzentBeiMethodeDreiSonstEingepasst)
{
    EXPECT_EQ(ansicht.FitMethod(), 3);
    EXPECT_EQ(ansicht.AnzeigeGroesse(), QSize(600, 100));
    ansicht.SetZoomLevel(250);
    EXPECT_EQ(ansicht.AnzeigeGroesse(), QSize(1500, 250));
    // Without redrawing the zoom waits; switching it on applies it.
    ansicht.SetAutoRedraw(false);
    ansicht.SetZoomLevel(100);
    EXPECT_EQ(ansicht.AnzeigeGroesse(), QSize(1500, 250));
    ansicht.SetAutoRedraw(true);
    EXPECT_EQ(ansicht.AnzeigeGroesse(), QSize(600, 100));
    ansicht.SetScrollBars(false);
    ansicht.SetFitMethod(1);
    EXPECT_EQ(ansicht.AnzeigeGroesse().width(), ansicht.viewport()->width());
    EXPECT_EQ(ansicht.AnzeigeGroesse().height(), ansicht.viewport()->width() / 6);
}

TEST_F(GearAnsichtTest, Scrollen_MeldetNurMitScrollEvent)
{
    int meldungen = 0;
    QObject::connect(&ansicht, &TGearAnsicht::OnScroll, [&] { ++meldungen; });
    ansicht.SetScrollEvent(false);
    ansicht.ScrollPositionSet(0, 4, 120);
    EXPECT_EQ(meldungen, 0);
    EXPECT_EQ(ansicht.ScrollPositionGet(0), 120);
    ansicht.SetScrollEvent(true);
    ansicht.horizontalScrollBar()->setValue(50);
    EXPECT_EQ(meldungen, 1);
    // Beyond the end stops at the end.
    ansicht.ScrollPositionSet(0, 4, 100000);
    EXPECT_EQ(ansicht.ScrollPositionGet(0), ansicht.horizontalScrollBar()->maximum());
}

TEST_F(GearAnsichtTest, Hintergrund_FarbwertMitBlauOben)
{
    ansicht.SetBackColor(0xFF0000);   // blue in the toolkit's colour value
    EXPECT_EQ(ansicht.viewport()->palette().color(QPalette::Window), QColor(0, 0, 255));
    ansicht.DelImage();
    EXPECT_EQ(ansicht.Gear().ImageWidth(), 0);
    EXPECT_TRUE(ansicht.Anzeigebild().isNull());
    EXPECT_EQ(ansicht.AnzeigeGroesse(), QSize(0, 0));
}

} // namespace
