#include "Bitmap_Farbkorrektur.h"
#include "Farbtabellen.h"

uint8_t KorrekturKanal(int v, int anteil, int versatz)
{
    const int wert = v + anteil - versatz;
    return uint8_t(wert < 0 ? 0 : (wert > 255 ? 255 : wert));
}

void BitmapFarbkorrektur(TBitmap& bmp, TFarbwert farbe, uint8_t intensitaet, int threads)
{
    const int r = intensitaet * FarbwertRot(farbe) / 255;
    const int g = intensitaet * FarbwertGruen(farbe) / 255;
    const int b = intensitaet * FarbwertBlau(farbe) / 255;
    const int versatz = (5 * r + 10 * g + 7 * b) / 32 + 32;
    uint8_t tb[256], tg[256], tr[256];
    for (int v = 0; v < 256; ++v) {
        tb[v] = KorrekturKanal(v, b, versatz);
        tg[v] = KorrekturKanal(v, g, versatz);
        tr[v] = KorrekturKanal(v, r, versatz);
    }
    KanalTabellenAnwenden(bmp, tb, tg, tr, threads);
}
