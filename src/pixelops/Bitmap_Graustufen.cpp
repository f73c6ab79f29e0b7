#include "Bitmap_Graustufen.h"
#include <cfloat>
#include <cmath>
#include <cstdint>
#include "Farbtabellen.h"
#include "Runden.h"

static_assert(LDBL_MANT_DIG == 64, "the weighted sum is taken in 80-bit extended precision");

namespace {

// The weights in fixed point: each float weight times 2^Stellen is an
// integer when its lowest mantissa bit is no finer than 2^-Stellen. Then a
// channel times its weight, and the sum of three, are exact integers, and
// so is the extended sum (three 8-bit x 24-bit products span fewer than 64
// bits); rounding the integer to even gives the same grey.
constexpr int Stellen = 40;

bool AlsFestkomma(float w, int64_t& fest)
{
    if (!std::isfinite(w) || std::fabs(w) >= 1024.0f)
        return false;
    const long double skaliert = std::ldexp((long double)w, Stellen);
    fest = int64_t(skaliert);
    return (long double)fest == skaliert;
}

inline uint8_t Begrenzt(int64_t grau)
{
    return uint8_t(grau < 0 ? 0 : (grau > 255 ? 255 : grau));
}

// Round to nearest, ties to even, of a fixed-point value, without a
// branch: half is added and the floor taken (arithmetic shift); an exact
// half that went up to an odd number comes back down by one.
inline int64_t RundeFest(int64_t wert)
{
    constexpr int64_t halb = int64_t(1) << (Stellen - 1);
    constexpr int64_t maske = (int64_t(1) << Stellen) - 1;
    const int64_t q = (wert + halb) >> Stellen;
    const int64_t genauHalb = (wert & maske) == halb;
    return q - (genauHalb & q & 1);
}

// The literal sum for weights that do not fit the fixed point (tiny, huge
// or not finite); NaN gives 0.
uint8_t GrauLiteral(int r, int g, int b, float wr, float wg, float wb)
{
    const long double summe = (long double)r * wr + (long double)g * wg + (long double)b * wb;
    const long double grau = Gerundet(summe);
    if (!(grau >= 0.0L))
        return 0;
    return grau > 255.0L ? 255 : uint8_t(int(grau));
}

} // namespace

void BitmapGraustufen(TBitmap& bmp, float wRot, float wGruen, float wBlau, int threads)
{
    int64_t fr, fg, fb;
    const bool fest = AlsFestkomma(wRot, fr) && AlsFestkomma(wGruen, fg) && AlsFestkomma(wBlau, fb);
    int64_t tr[256], tg[256], tb[256];
    if (fest)
        for (int v = 0; v < 256; ++v) {
            tr[v] = v * fr;
            tg[v] = v * fg;
            tb[v] = v * fb;
        }
    if (fest)
        JedesPixel(bmp, threads, [&](uint8_t* p) {
            p[0] = p[1] = p[2] = Begrenzt(RundeFest(tr[p[2]] + tg[p[1]] + tb[p[0]]));
        });
    else
        JedesPixel(bmp, threads, [&](uint8_t* p) { p[0] = p[1] = p[2] = GrauLiteral(p[2], p[1], p[0], wRot, wGruen, wBlau); });
}
