#include "Bitmap_Drehen.h"
#include <cfloat>
#include <cmath>
#include <algorithm>
#include <cstring>
#include "Bildspeicher.h"
#include "Zeilenbaender.h"

static_assert(LDBL_MANT_DIG == 64, "positions and blends are evaluated in 80-bit extended precision");

namespace {

// The angle in radians as a 64-bit float, from the extended product with
// the 80-bit pi; at 30 degrees this lands just above pi/6 in magnitude,
// which the canvas size depends on.
double Bogenmass(double winkel)
{
    return double(-(long double)winkel * 3.14159265358979323846264338327950288L / 180.0L);
}

// Trunc of an extended value without switching the x87 rounding mode for
// every pixel: the value rounded to double and cut by SSE, then corrected
// when the rounding crossed an integer.
inline int Trunc(long double wert)
{
    int i = int(double(wert));
    if (wert >= 0.0L) {
        if ((long double)i > wert)
            --i;
    } else if ((long double)i < wert) {
        ++i;
    }
    return i;
}

struct TDrehung {
    const uint8_t* qbits;
    qsizetype qstride;
    int qb, qh;           // source size
    int cx, cy, ex, ey;
    double s, c;
};

// The four source pixels of a blend: (X, Y), (X1, Y), (X, Y1), (X1, Y1),
// where the last column and row pair with themselves.
struct TNachbarn {
    const uint8_t *a, *b, *d0, *d1;
};

inline TNachbarn Nachbarn(const TDrehung& d, int X, int Y)
{
    const int X1 = Begrenze(X + 1, 0, d.qb - 1);
    const int Y1 = Begrenze(Y + 1, 0, d.qh - 1);
    const uint8_t* zeile0 = d.qbits + qsizetype(Y) * d.qstride;
    const uint8_t* zeile1 = d.qbits + qsizetype(Y1) * d.qstride;
    return {zeile0 + 3 * X, zeile0 + 3 * X1, zeile1 + 3 * X, zeile1 + 3 * X1};
}

// One destination pixel exactly as specified: positions and blends in
// extended precision, stored to 64-bit floats where the rule stores them.
void PixelGenau(const TDrehung& d, int x, int y, uint8_t* p)
{
    const long double s = d.s, c = d.c;
    const long double u = (long double)(2 * (x - d.cx) + 1);
    const long double v = (long double)(2 * (y - d.cy) + 1);
    const double sx = double((c * u - s * v - 1.0L) / 2.0L + (long double)(d.cx - d.ex));
    const double sy = double((s * u + c * v - 1.0L) / 2.0L + (long double)(d.cy - d.ey));
    // Trunc(sx) lies in 0..W-1 exactly when -1 < sx < W (toward zero, so
    // just left of the image still gives column 0).
    if (!(sx > -1.0 && sx < d.qb && sy > -1.0 && sy < d.qh))
        return;
    const int X = int(sx), Y = int(sy);
    const long double fx = (long double)(sx - X);
    const long double fy = (long double)(sy - Y);
    const auto [a, b, d0, d1] = Nachbarn(d, X, Y);
    for (int k = 0; k < 3; ++k) {
        const double oben = double(fx * (long double)(b[k] - a[k]) + (long double)a[k]);
        const double unten = double(fx * (long double)(d1[k] - d0[k]) + (long double)d0[k]);
        p[k] = BegrenzeByte(Trunc((long double)oben + fy * ((long double)unten - (long double)oben)));
    }
}

// How far a value computed in double may lie from the extended result: the
// position carries about 2^-37 of rounding at 2^16 pixels, a blend of up to
// 255 multiplies that, and the rest is far smaller. Anything this close to
// an integer is decided by the exact path instead.
constexpr double Vorsicht = 1e-6;

// Distance to the nearest integer, by the rounding that adding and removing
// 1.5 * 2^52 does (exact for |wert| < 2^51), with no conversions.
inline double Ganzabstand(double wert)
{
    constexpr double Magie = 6755399441055744.0;
    const double ganz = (wert + Magie) - Magie;
    return std::fabs(wert - ganz);
}

// The columns of a destination row whose position can come near the image:
// sx and sy are linear in x, so the interval is solved for, with a margin
// of two pixels; the pixels in it are still tested one by one.
void Spalten(double sx0, double sy0, double c, double s, int qb, int qh, int zb, int& von, int& bis)
{
    double lo = 0, hi = zb;
    auto schneiden = [&](double a, double steigung, double min, double max) {
        if (std::fabs(steigung) < 1e-12) {
            if (!(a > min && a < max))
                hi = lo - 1;
            return;
        }
        double x1 = (min - a) / steigung, x2 = (max - a) / steigung;
        if (x1 > x2)
            std::swap(x1, x2);
        lo = std::max(lo, x1 - 2);
        hi = std::min(hi, x2 + 2);
    };
    schneiden(sx0, c, -1.5, qb + 0.5);
    schneiden(sy0, s, -1.5, qh + 0.5);
    if (!(hi >= lo)) {
        von = bis = 0;
        return;
    }
    von = std::clamp(int(lo), 0, zb);
    bis = std::clamp(int(hi) + 1, von, zb);
}

// Destination tiles this big are worked off one after the other: the
// source pixels of a tile lie close together, so a turned walk through the
// source stays in the caches.
constexpr int KachelBreite = 64, KachelHoehe = 32;

// Destination rows y0..y1. Each pixel is first computed in double; only a
// position or a value so close to an integer that the extended rounding
// could tip its truncation goes through PixelGenau. Where all four source
// pixels agree in a channel, both ways give that value exactly. Pixels
// whose source lies outside stay as they are (white). The order in which
// pixels are worked off does not change any of them.
void Zeilen(const TDrehung& d, uint8_t* zbits, qsizetype zstride, int zb, int y0, int y1)
{
    const double s = d.s, c = d.c;
    const double versatzX = double(d.cx - d.ex), versatzY = double(d.cy - d.ey);
    auto lage = [&](int x, int y, double& sx, double& sy) {
        const double u = double(2 * (x - d.cx) + 1);
        const double v = double(2 * (y - d.cy) + 1);
        sx = (c * u - s * v - 1.0) / 2.0 + versatzX;
        sy = (s * u + c * v - 1.0) / 2.0 + versatzY;
    };
    int von[KachelHoehe], bis[KachelHoehe];
    for (int ty = y0; ty < y1; ty += KachelHoehe) {
        const int tyEnde = std::min(ty + KachelHoehe, y1);
        int links = zb, rechts = 0;
        for (int y = ty; y < tyEnde; ++y) {
            // A new bitmap starts white, the padding too; each band clears
            // its own rows, so the fresh memory is touched by the thread
            // that uses it.
            std::memset(zbits + qsizetype(y) * zstride, 0xFF, size_t(zstride));
            double sx0, sy0;
            lage(0, y, sx0, sy0);
            Spalten(sx0, sy0, c, s, d.qb, d.qh, zb, von[y - ty], bis[y - ty]);
            if (bis[y - ty] > von[y - ty]) {
                links = std::min(links, von[y - ty]);
                rechts = std::max(rechts, bis[y - ty]);
            }
        }
        for (int tx = links; tx < rechts; tx += KachelBreite) {
            const int txEnde = std::min(tx + KachelBreite, rechts);
            for (int y = ty; y < tyEnde; ++y) {
                uint8_t* z = zbits + qsizetype(y) * zstride;
                const int xEnde = std::min(txEnde, bis[y - ty]);
                for (int x = std::max(tx, von[y - ty]); x < xEnde; ++x) {
                    double sx, sy;
                    lage(x, y, sx, sy);
                    uint8_t* p = z + 3 * x;
                    if (!(sx > -1.5 && sx < d.qb + 0.5 && sy > -1.5 && sy < d.qh + 0.5))
                        continue;   // far outside
                    if (Ganzabstand(sx) < Vorsicht || Ganzabstand(sy) < Vorsicht) {
                        PixelGenau(d, x, y, p);
                        continue;
                    }
                    if (!(sx > -1.0 && sx < d.qb && sy > -1.0 && sy < d.qh))
                        continue;
                    const int X = int(sx), Y = int(sy);   // toward zero, as above
                    const double fx = sx - X, fy = sy - Y;
                    const auto [a, b, d0, d1] = Nachbarn(d, X, Y);
                    double w[3];
                    bool knapp = false;
                    for (int k = 0; k < 3; ++k) {
                        const double oben = fx * double(b[k] - a[k]) + a[k];
                        const double unten = fx * double(d1[k] - d0[k]) + d0[k];
                        w[k] = oben + fy * (unten - oben);
                        if (Ganzabstand(w[k]) < Vorsicht && !(a[k] == b[k] && a[k] == d0[k] && a[k] == d1[k]))
                            knapp = true;
                    }
                    if (knapp) {
                        PixelGenau(d, x, y, p);
                        continue;
                    }
                    p[0] = BegrenzeByte(int(w[0]));
                    p[1] = BegrenzeByte(int(w[1]));
                    p[2] = BegrenzeByte(int(w[2]));
                }
            }
        }
    }
}

} // namespace

void DrehenGroesse(int breite, int hoehe, bool vergroessern, double winkel, int& neueBreite, int& neueHoehe)
{
    neueBreite = breite;
    neueHoehe = hoehe;
    if (!vergroessern)
        return;
    if (!std::isfinite(winkel)) {
        neueBreite = neueHoehe = 0;
        return;
    }
    const long double theta = std::fabs((long double)Bogenmass(winkel));
    const long double sinus = std::sin(theta), kosinus = std::cos(theta);
    // Each product cut on its own before the two are added.
    neueHoehe = int(sinus * breite) + int(kosinus * hoehe);
    neueBreite = int(sinus * hoehe) + int(kosinus * breite);
}

void BitmapDrehen(TBitmap& bmp, bool vergroessern, double winkel, int threads)
{
    if (bmp.IsEmpty() || !std::isfinite(winkel))
        return;
    if (bmp.Bild().format() != QImage::Format_BGR888)
        bmp.Assign(bmp.Bild());
    const int qb = bmp.Width(), qh = bmp.Height();
    int zb, zh;
    DrehenGroesse(qb, qh, vergroessern, winkel, zb, zh);
    if (zb < 1 || zh < 1)
        return;

    QImage neu = GrossesBild(zb, zh, QImage::Format_BGR888);
    if (neu.isNull())
        return;   // no memory for the turned image: keep the image

    const double theta = Bogenmass(winkel);
    TDrehung d;
    const TBitmap& quelle = bmp;
    d.qbits = quelle.ScanLine(0);
    d.qstride = quelle.Stride();
    d.qb = qb;
    d.qh = qh;
    d.cx = zb / 2;
    d.cy = zh / 2;
    d.ex = (zb - qb) / 2;
    d.ey = (zh - qh) / 2;
    d.s = double(std::sin((long double)theta));
    d.c = double(std::cos((long double)theta));
    uint8_t* zbits = neu.bits();
    const qsizetype zstride = neu.bytesPerLine();
    InZeilenbaendern(zh, ThreadZahl(threads, (long long)zb * zh, 500000),
                     [&](int y0, int y1) { Zeilen(d, zbits, zstride, zb, y0, y1); });
    bmp.Assign(neu);
}
