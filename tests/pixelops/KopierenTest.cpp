#include "pixelops/Bitmap_Kopieren.h"
#include <gtest/gtest.h>
#include "ZufallsBild.h"

namespace {

TEST(KopierenTest, EigeneKopieDieDieQuelleNieBeschreibt)
{
    const TBitmap quelle = ZufallsBitmap(37, 29, 7);
    const TBitmap unberuehrt = ZufallsBitmap(37, 29, 7);
    TBitmap ziel = quelle;   // shares the picture: the copy must not write into it
    ASSERT_TRUE(BitmapKopieren(quelle, ziel, 3));
    EXPECT_TRUE(PixelGleich(ziel, quelle));
    ziel.ScanLine(0)[0] ^= 0xFF;
    EXPECT_TRUE(PixelGleich(quelle, unberuehrt));
}

TEST(KopierenTest, NimmtDenVorhandenenPufferWiederUndWechseltDieGroesse)
{
    TBitmap ziel;
    ASSERT_TRUE(BitmapKopieren(ZufallsBitmap(20, 10, 1), ziel));
    const uint8_t* puffer = ziel.ScanLine(0);
    const TBitmap zweite = ZufallsBitmap(20, 10, 2);
    ASSERT_TRUE(BitmapKopieren(zweite, ziel, 4));
    EXPECT_EQ(ziel.ScanLine(0), puffer);   // no fresh memory for a preview of the same size
    EXPECT_TRUE(PixelGleich(ziel, zweite));
    const TBitmap dritte = ZufallsBitmap(9, 31, 3);
    ASSERT_TRUE(BitmapKopieren(dritte, ziel));
    EXPECT_TRUE(PixelGleich(ziel, dritte));
    ASSERT_TRUE(BitmapKopieren(TBitmap(), ziel));
    EXPECT_TRUE(ziel.IsEmpty());
}

} // namespace
