#include "Farbtabellen.h"

void KanalTabellenAnwenden(TBitmap& bmp, const uint8_t tb[256], const uint8_t tg[256], const uint8_t tr[256],
                           int threads)
{
    JedesPixel(bmp, threads, [&](uint8_t* p) {
        p[0] = tb[p[0]];
        p[1] = tg[p[1]];
        p[2] = tr[p[2]];
    });
}

void SummenTabelleAnwenden(TBitmap& bmp, const uint8_t tabelle[766][3], int threads)
{
    JedesPixel(bmp, threads, [&](uint8_t* p) {
        const uint8_t* neu = tabelle[p[0] + p[1] + p[2]];
        p[0] = neu[0];
        p[1] = neu[1];
        p[2] = neu[2];
    });
}
