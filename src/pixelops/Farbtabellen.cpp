#include "Farbtabellen.h"
#include "Zeilenbaender.h"

void KanalTabellenAnwenden(TBitmap& bmp, const uint8_t tb[256], const uint8_t tg[256], const uint8_t tr[256],
                           int threads)
{
    if (bmp.IsEmpty())
        return;
    const int breite = bmp.Width();
    uint8_t* bits = bmp.ScanLine(0);   // detaches a shared picture once, here
    const qsizetype stride = bmp.Stride();
    InZeilenbaendern(bmp.Height(), ThreadZahl(threads, (long long)breite * bmp.Height()), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t* p = bits + qsizetype(y) * stride;
            for (int x = 0; x < breite; ++x, p += 3) {
                p[0] = tb[p[0]];
                p[1] = tg[p[1]];
                p[2] = tr[p[2]];
            }
        }
    });
}

void SummenTabelleAnwenden(TBitmap& bmp, const uint8_t tabelle[766][3], int threads)
{
    if (bmp.IsEmpty())
        return;
    const int breite = bmp.Width();
    uint8_t* bits = bmp.ScanLine(0);
    const qsizetype stride = bmp.Stride();
    InZeilenbaendern(bmp.Height(), ThreadZahl(threads, (long long)breite * bmp.Height()), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t* p = bits + qsizetype(y) * stride;
            for (int x = 0; x < breite; ++x, p += 3) {
                const uint8_t* neu = tabelle[p[0] + p[1] + p[2]];
                p[0] = neu[0];
                p[1] = neu[1];
                p[2] = neu[2];
            }
        }
    });
}
