#include "Bitmap_QuickSkalieren.h"
#include "Bildspeicher.h"
#include "Zeilenbaender.h"
#include <climits>
#include <cstdint>
#include <new>
#include <vector>

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long p = (long long)a * b;
    const long long betragP = p < 0 ? -p : p;
    const long long betragC = c < 0 ? -(long long)c : c;
    // Away from zero: round the magnitudes, then give the sign back.
    const long long q = (betragP + betragC / 2) / betragC;
    if (q > INT_MAX)
        return -1;   // as the system's MulDiv reports an overflow
    return int((p < 0) != (c < 0) ? -q : q);
}

void BitmapQuickSkalieren(TBitmap& bmp, int neueBreite, int neueHoehe, int threads)
{
    if (neueBreite <= 0 || neueHoehe <= 0) {
        bmp.Clear();
        return;
    }
    if (bmp.IsEmpty())
        return;
    const int sw = bmp.Width(), sh = bmp.Height();
    if (sw == neueBreite && sh == neueHoehe)
        return;
    TBitmap neu(GrossesBild(neueBreite, neueHoehe, QImage::Format_BGR888));
    if (neu.IsEmpty())
        throw std::bad_alloc();
    const int xstep = MulDiv(sw - 1, 65536, neueBreite);
    const int ystep = MulDiv(sh - 1, 65536, neueHoehe);

    // Per column: the left source pixel and the fraction; positions beyond the
    // last pixel (very large enlargements) stay on it.
    const size_t anzahl = static_cast<size_t>(neueBreite);
    std::vector<int> spalte(anzahl), rechts(anzahl), anteil(anzahl);
    {
        long long X = 0;
        for (int i = 0; i < neueBreite; ++i, X += xstep) {
            const int x = int(std::min<long long>(X >> 16, sw - 1));
            spalte[size_t(i)] = x * 3;
            rechts[size_t(i)] = std::min(x + 1, sw - 1) * 3;
            anteil[size_t(i)] = int(X & 65535);
        }
    }
    const TBitmap& alt = bmp;
    uint8_t* bits = neu.ScanLine(0);
    const qsizetype stride = neu.Stride();
    // Four reads and two MulDivs per pixel: worth threads from a quarter million pixels on.
    InZeilenbaendern(neueHoehe, ThreadsFuer((long long)neueBreite * neueHoehe * 4, threads, neueHoehe),
                     [&](int r0, int r1) {
                         for (int r = r0; r < r1; ++r) {
                             const long long Y = (long long)r * ystep;
                             const int y = int(std::min<long long>(Y >> 16, sh - 1));
                             const uint8_t* oben = alt.ScanLine(y);
                             const uint8_t* unten = alt.ScanLine(y >= sh - 1 ? y : y + 1);
                             const int fy = int(Y & 65535);
                             const int wOben = 65536 - fy, wUnten = fy + 1;
                             uint8_t* z = bits + qsizetype(r) * stride;
                             for (int i = 0; i < neueBreite; ++i) {
                                 const int fx = anteil[size_t(i)];
                                 const int G = MulDiv(fx, wOben, 65536);
                                 const int H = MulDiv(fx, wUnten, 65536);
                                 const int a = spalte[size_t(i)], b = rechts[size_t(i)];
                                 for (int k = 0; k < 3; ++k)
                                     z[3 * i + k] = uint8_t(unsigned((wOben - G) * oben[a + k] + G * oben[b + k] +
                                                                     (wUnten - H) * unten[a + k] + H * unten[b + k]) >>
                                                            16);
                             }
                         }
                     });
    bmp = neu;
}
