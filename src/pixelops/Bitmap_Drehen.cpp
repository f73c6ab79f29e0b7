#include "Bitmap_Drehen.h"
#include <cfloat>
#include <cmath>
#include <algorithm>
#include <cstring>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
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

// One destination pixel computed in double; only a position or a value so
// close to an integer that the extended rounding could tip its truncation
// goes through PixelGenau. Where all four source pixels agree in a channel,
// both ways give that value exactly. A pixel whose source lies outside
// stays as it is (white).
inline void PixelSchnell(const TDrehung& d, int x, int y, uint8_t* p)
{
    const double u = double(2 * (x - d.cx) + 1);
    const double v = double(2 * (y - d.cy) + 1);
    const double sx = (d.c * u - d.s * v - 1.0) / 2.0 + double(d.cx - d.ex);
    const double sy = (d.s * u + d.c * v - 1.0) / 2.0 + double(d.cy - d.ey);
    if (!(sx > -1.5 && sx < d.qb + 0.5 && sy > -1.5 && sy < d.qh + 0.5))
        return;   // far outside
    if (Ganzabstand(sx) < Vorsicht || Ganzabstand(sy) < Vorsicht) {
        PixelGenau(d, x, y, p);
        return;
    }
    if (!(sx > -1.0 && sx < d.qb && sy > -1.0 && sy < d.qh))
        return;
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
        return;
    }
    p[0] = BegrenzeByte(int(w[0]));
    p[1] = BegrenzeByte(int(w[1]));
    p[2] = BegrenzeByte(int(w[2]));
}

#if defined(__x86_64__)
// Lanes whose value lies within Vorsicht of an integer, as Ganzabstand.
__attribute__((target("avx2"))) inline __m256d NahGanz4(__m256d w)
{
    const __m256d magie = _mm256_set1_pd(6755399441055744.0);
    const __m256d betrag = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    const __m256d ganz = _mm256_sub_pd(_mm256_add_pd(w, magie), magie);
    return _mm256_cmp_pd(_mm256_and_pd(_mm256_sub_pd(w, ganz), betrag), _mm256_set1_pd(Vorsicht), _CMP_LT_OQ);
}

__attribute__((target("avx2"))) inline __m256d Lade4(const int* q)
{
    return _mm256_cvtepi32_pd(_mm_load_si128(reinterpret_cast<const __m128i*>(q)));
}

// Four neighbouring pixels x..x+3 of row y with AVX2, the same double
// arithmetic as PixelSchnell lane by lane. It writes only when all four lie
// well inside the image and no value comes near an integer; otherwise it
// returns false and the pixels go the one-by-one way.
__attribute__((target("avx2"))) bool VierPixel(const TDrehung& d, int x, int y, uint8_t* p)
{
    const __m256d c = _mm256_set1_pd(d.c), s = _mm256_set1_pd(d.s);
    const double v = double(2 * (y - d.cy) + 1);
    const __m256d sv = _mm256_set1_pd(d.s * v), cv = _mm256_set1_pd(d.c * v);
    const __m256d u = _mm256_add_pd(_mm256_set1_pd(double(2 * (x - d.cx) + 1)), _mm256_setr_pd(0, 2, 4, 6));
    const __m256d eins = _mm256_set1_pd(1.0), halb = _mm256_set1_pd(0.5);
    const __m256d sx = _mm256_add_pd(
        _mm256_mul_pd(_mm256_sub_pd(_mm256_sub_pd(_mm256_mul_pd(c, u), sv), eins), halb),
        _mm256_set1_pd(double(d.cx - d.ex)));
    const __m256d sy = _mm256_add_pd(
        _mm256_mul_pd(_mm256_sub_pd(_mm256_add_pd(_mm256_mul_pd(s, u), cv), eins), halb),
        _mm256_set1_pd(double(d.cy - d.ey)));
    const __m256d minus1 = _mm256_set1_pd(-1.0);
    __m256d gut = _mm256_and_pd(_mm256_cmp_pd(sx, minus1, _CMP_GT_OQ),
                                _mm256_cmp_pd(sx, _mm256_set1_pd(double(d.qb)), _CMP_LT_OQ));
    gut = _mm256_and_pd(gut, _mm256_cmp_pd(sy, minus1, _CMP_GT_OQ));
    gut = _mm256_and_pd(gut, _mm256_cmp_pd(sy, _mm256_set1_pd(double(d.qh)), _CMP_LT_OQ));
    gut = _mm256_andnot_pd(_mm256_or_pd(NahGanz4(sx), NahGanz4(sy)), gut);
    if (_mm256_movemask_pd(gut) != 0xF)
        return false;
    const __m128i X = _mm256_cvttpd_epi32(sx), Y = _mm256_cvttpd_epi32(sy);
    const __m256d fx = _mm256_sub_pd(sx, _mm256_cvtepi32_pd(X));
    const __m256d fy = _mm256_sub_pd(sy, _mm256_cvtepi32_pd(Y));
    alignas(16) int xs[4], ys[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(xs), X);
    _mm_store_si128(reinterpret_cast<__m128i*>(ys), Y);
    alignas(16) int wa[3][4], wb[3][4], w0[3][4], w1[3][4];
    for (int i = 0; i < 4; ++i) {
        const auto [a, b, d0, d1] = Nachbarn(d, xs[i], ys[i]);
        for (int k = 0; k < 3; ++k) {
            wa[k][i] = a[k];
            wb[k][i] = b[k];
            w0[k][i] = d0[k];
            w1[k][i] = d1[k];
        }
    }
    alignas(16) int ergebnis[3][4];
    for (int k = 0; k < 3; ++k) {
        const __m256d a = Lade4(wa[k]), b = Lade4(wb[k]), d0 = Lade4(w0[k]), d1 = Lade4(w1[k]);
        const __m256d oben = _mm256_add_pd(_mm256_mul_pd(fx, _mm256_sub_pd(b, a)), a);
        const __m256d unten = _mm256_add_pd(_mm256_mul_pd(fx, _mm256_sub_pd(d1, d0)), d0);
        const __m256d w = _mm256_add_pd(oben, _mm256_mul_pd(fy, _mm256_sub_pd(unten, oben)));
        if (_mm256_movemask_pd(NahGanz4(w)) != 0)
            return false;
        __m128i t = _mm256_cvttpd_epi32(w);
        t = _mm_min_epi32(_mm_max_epi32(t, _mm_setzero_si128()), _mm_set1_epi32(255));
        _mm_store_si128(reinterpret_cast<__m128i*>(ergebnis[k]), t);
    }
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 3; ++k)
            p[3 * i + k] = uint8_t(ergebnis[k][i]);
    return true;
}
#endif

// Destination rows y0..y1, pixel by pixel as PixelSchnell says, four at a
// time where the processor has AVX2. The order in which pixels are worked
// off does not change any of them.
void Zeilen(const TDrehung& d, uint8_t* zbits, qsizetype zstride, int zb, int y0, int y1)
{
#if defined(__x86_64__)
    static const bool vier = __builtin_cpu_supports("avx2");
#else
    constexpr bool vier = false;
#endif
    int von[KachelHoehe], bis[KachelHoehe];
    for (int ty = y0; ty < y1; ty += KachelHoehe) {
        const int tyEnde = std::min(ty + KachelHoehe, y1);
        int links = zb, rechts = 0;
        for (int y = ty; y < tyEnde; ++y) {
            // A new bitmap starts white, the padding too; each band clears
            // its own rows, so the fresh memory is touched by the thread
            // that uses it.
            std::memset(zbits + qsizetype(y) * zstride, 0xFF, size_t(zstride));
            const double v = double(2 * (y - d.cy) + 1), u = double(1 - 2 * d.cx);
            const double sx0 = (d.c * u - d.s * v - 1.0) / 2.0 + double(d.cx - d.ex);
            const double sy0 = (d.s * u + d.c * v - 1.0) / 2.0 + double(d.cy - d.ey);
            Spalten(sx0, sy0, d.c, d.s, d.qb, d.qh, zb, von[y - ty], bis[y - ty]);
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
                int x = std::max(tx, von[y - ty]);
#if defined(__x86_64__)
                if (vier)
                    for (; x + 4 <= xEnde; x += 4)
                        if (!VierPixel(d, x, y, z + 3 * x))
                            for (int i = 0; i < 4; ++i)
                                PixelSchnell(d, x + i, y, z + 3 * (x + i));
#endif
                for (; x < xEnde; ++x)
                    PixelSchnell(d, x, y, z + 3 * x);
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

bool BitmapDrehen(TBitmap& bmp, bool vergroessern, double winkel, int threads)
{
    if (bmp.IsEmpty() || !std::isfinite(winkel))
        return true;
    int zb, zh;
    DrehenGroesse(bmp.Width(), bmp.Height(), vergroessern, winkel, zb, zh);
    if (zb < 1 || zh < 1)
        return true;
    // Another format is converted aside: when memory runs out, on the way or
    // for the turned image, the bitmap stays as it was.
    TBitmap umgewandelt;
    if (bmp.Bild().format() != QImage::Format_BGR888) {
        umgewandelt = TBitmap(bmp.Bild());
        if (umgewandelt.IsEmpty())
            return false;
    }
    const TBitmap& quelle = umgewandelt.IsEmpty() ? bmp : umgewandelt;
    const int qb = quelle.Width(), qh = quelle.Height();

    QImage neu = GrossesBild(zb, zh, QImage::Format_BGR888);
    if (neu.isNull())
        return false;   // no memory for the turned image: keep the image

    const double theta = Bogenmass(winkel);
    TDrehung d;
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
    return true;
}
