#include "Bitmap_Einfaerben.h"
#include "Farbtabellen.h"

uint8_t EinfaerbenKanal(int v, int anteil)
{
    const int wert = v + anteil - 64;
    return uint8_t(wert < 0 ? 0 : (wert > 255 ? 255 : wert));
}

void BitmapEinfaerben(TBitmap& bmp, TFarbwert farbe, int graugrenze, uint8_t intensitaet, int schwarzgrenze,
                      int weissgrenze, int threads)
{
    const int pB = (intensitaet * FarbwertBlau(farbe)) >> 8;
    const int pG = (intensitaet * FarbwertGruen(farbe)) >> 8;
    const int pR = (intensitaet * FarbwertRot(farbe)) >> 8;
    uint8_t tabelle[766][3];
    for (int summe = 0; summe < 766; ++summe) {
        int gr = summe / 3;
        uint8_t* t = tabelle[summe];
        if (gr > weissgrenze) {
            t[0] = EinfaerbenKanal(290, pB);
            t[1] = EinfaerbenKanal(290, pG);
            t[2] = EinfaerbenKanal(290, pR);
        } else if (gr < schwarzgrenze) {
            t[0] = t[1] = t[2] = 0;
        } else {
            if (gr < graugrenze)
                gr = 60;
            t[0] = EinfaerbenKanal(gr, pB);
            t[1] = EinfaerbenKanal(gr, pG);
            t[2] = EinfaerbenKanal(gr, pR);
        }
    }
    SummenTabelleAnwenden(bmp, tabelle, threads);
}
