#include "Bitmap_Weichzeichnen.h"
#include "PixelTestnaht.h"
#include "Bildspeicher.h"
#include "Runden.h"
#include "Zeilenbaender.h"
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <immintrin.h>
#include <new>
#include <vector>

static_assert(LDBL_MANT_DIG == 64, "the accumulation follows 80-bit extended arithmetic");

// The vector helpers are only ever inlined, so their ABI does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

bool WeichzeichnenFmaErlaubt = true;

namespace {

// Columns go in tiles narrow enough for the ring of one tile to stay in the
// core's cache; each output value is computed exactly as over whole rows.
constexpr int Kachel = 384;

typedef float V4f __attribute__((vector_size(16)));
typedef double V4d __attribute__((vector_size(32)));
typedef uint64_t V4l __attribute__((vector_size(32)));

// Four values as doubles, from doubles or floats.
[[gnu::always_inline]] inline void Laden4(const double* p, V4d& v) { std::memcpy(&v, p, sizeof v); }
[[gnu::always_inline]] inline void Laden4(const float* p, V4d& v)
{
    V4f f;
    std::memcpy(&f, p, sizeof f);
    v = __builtin_convertvector(f, V4d);
}

// All taps over a row: ziel[k] = Σ q[i][k] * w[i], accumulated tap by tap as
// sum := float(sum + value * weight). The product of two floats is exact in
// double; the double sum rounds to the same float as the extended one except
// when it lies exactly halfway between two floats (its lowest 29 bits are 1
// followed by 28 zeros). A group of values that met such a step anywhere is
// computed again in extended precision.
template <class T>
[[gnu::always_inline]] inline float SpalteGenau(const T* const* q, const float* w, int abgriffe, size_t k)
{
    float a = 0;
    for (int i = 0; i < abgriffe; ++i)
        a = float((long double)a + (long double)q[i][k] * (long double)w[i]);
    return a;
}

template <class T> void FaltenAllgemein(const T* const* q, const float* w, int abgriffe, float* __restrict ziel, size_t anzahl)
{
    const V4l maske = {0x1FFFFFFF, 0x1FFFFFFF, 0x1FFFFFFF, 0x1FFFFFFF};
    const V4l mitte = {0x10000000, 0x10000000, 0x10000000, 0x10000000};
    size_t k = 0;
    for (; k + 16 <= anzahl; k += 16) {
        // Four independent sums in flight hide the latency of each step.
        V4f a0 = {}, a1 = {}, a2 = {}, a3 = {};
        V4l halb = {};
        for (int i = 0; i < abgriffe; ++i) {
            const double g = w[i];
            const V4d gv = {g, g, g, g};
            const T* zeile = q[i] + k;
            V4d p0, p1, p2, p3;
            Laden4(zeile, p0);
            Laden4(zeile + 4, p1);
            Laden4(zeile + 8, p2);
            Laden4(zeile + 12, p3);
            const V4d d0 = __builtin_convertvector(a0, V4d) + p0 * gv;
            const V4d d1 = __builtin_convertvector(a1, V4d) + p1 * gv;
            const V4d d2 = __builtin_convertvector(a2, V4d) + p2 * gv;
            const V4d d3 = __builtin_convertvector(a3, V4d) + p3 * gv;
            V4l b0, b1, b2, b3;
            std::memcpy(&b0, &d0, sizeof b0);
            std::memcpy(&b1, &d1, sizeof b1);
            std::memcpy(&b2, &d2, sizeof b2);
            std::memcpy(&b3, &d3, sizeof b3);
            halb |= ((b0 & maske) == mitte) | ((b1 & maske) == mitte) | ((b2 & maske) == mitte) |
                    ((b3 & maske) == mitte);
            a0 = __builtin_convertvector(d0, V4f);
            a1 = __builtin_convertvector(d1, V4f);
            a2 = __builtin_convertvector(d2, V4f);
            a3 = __builtin_convertvector(d3, V4f);
        }
        std::memcpy(ziel + k, &a0, sizeof a0);
        std::memcpy(ziel + k + 4, &a1, sizeof a1);
        std::memcpy(ziel + k + 8, &a2, sizeof a2);
        std::memcpy(ziel + k + 12, &a3, sizeof a3);
        if ((halb[0] | halb[1] | halb[2] | halb[3]) != 0)
            for (size_t j = k; j < k + 16; ++j)
                ziel[j] = SpalteGenau(q, w, abgriffe, j);
    }
    for (; k < anzahl; ++k)
        ziel[k] = SpalteGenau(q, w, abgriffe, k);
}

__attribute__((target_clones("avx2", "default"))) void Falten(const double* const* q, const float* w, int abgriffe,
                                                               float* __restrict ziel, size_t anzahl)
{
    FaltenAllgemein(q, w, abgriffe, ziel, anzahl);
}

__attribute__((target_clones("avx2", "default"))) void Falten(const float* const* q, const float* w, int abgriffe,
                                                               float* __restrict ziel, size_t anzahl)
{
    FaltenAllgemein(q, w, abgriffe, ziel, anzahl);
}

// The horizontal pass multiplies whole channel values: every partial sum is a
// multiple of the smallest weight's last mantissa bit, so as long as no weight
// is below 2^-21 each exact sum fits 53 bits, extended precision holds it
// exactly, and one fused multiply-add rounds it to the same float.
__attribute__((target("avx2,fma"))) void FaltenGenau(const float* p, const float* w, int abgriffe,
                                                   float* __restrict ziel, size_t anzahl)
{
    size_t k = 0;
    for (; k + 32 <= anzahl; k += 32) {
        __m256 a0 = _mm256_setzero_ps(), a1 = a0, a2 = a0, a3 = a0;
        for (int i = 0; i < abgriffe; ++i) {
            const __m256 g = _mm256_set1_ps(w[i]);
            const float* q = p + 3 * i + k;
            a0 = _mm256_fmadd_ps(_mm256_loadu_ps(q), g, a0);
            a1 = _mm256_fmadd_ps(_mm256_loadu_ps(q + 8), g, a1);
            a2 = _mm256_fmadd_ps(_mm256_loadu_ps(q + 16), g, a2);
            a3 = _mm256_fmadd_ps(_mm256_loadu_ps(q + 24), g, a3);
        }
        _mm256_storeu_ps(ziel + k, a0);
        _mm256_storeu_ps(ziel + k + 8, a1);
        _mm256_storeu_ps(ziel + k + 16, a2);
        _mm256_storeu_ps(ziel + k + 24, a3);
    }
    for (; k < anzahl; ++k) {
        float a = 0;
        for (int i = 0; i < abgriffe; ++i)
            a = std::fmaf(p[3 * i + k], w[i], a);
        ziel[k] = a;
    }
}

// The vertical pass with fused multiply-adds in double: the product of two
// floats is exact in double, so one fused step rounds exactly as the
// separate ones; the midpoint check is that of Falten.
__attribute__((target("avx2,fma"))) void FaltenSenkrechtDoppelt(const float* const* q, const float* w, int abgriffe,
                                                              float* __restrict ziel, size_t k, size_t bis)
{
    const __m256i maske = _mm256_set1_epi64x(0x1FFFFFFF);
    const __m256i mitte = _mm256_set1_epi64x(0x10000000);
    for (; k + 16 <= bis; k += 16) {
        __m256d a0 = _mm256_setzero_pd(), a1 = a0, a2 = a0, a3 = a0;
        __m256i halb = _mm256_setzero_si256();
        for (int i = 0; i < abgriffe; ++i) {
            const __m256d g = _mm256_set1_pd(w[i]);
            const float* z = q[i] + k;
            const __m256d d0 = _mm256_fmadd_pd(_mm256_cvtps_pd(_mm_loadu_ps(z)), g, a0);
            const __m256d d1 = _mm256_fmadd_pd(_mm256_cvtps_pd(_mm_loadu_ps(z + 4)), g, a1);
            const __m256d d2 = _mm256_fmadd_pd(_mm256_cvtps_pd(_mm_loadu_ps(z + 8)), g, a2);
            const __m256d d3 = _mm256_fmadd_pd(_mm256_cvtps_pd(_mm_loadu_ps(z + 12)), g, a3);
            const __m256d dd[4] = {d0, d1, d2, d3};
            for (const __m256d& d : dd)
                halb = _mm256_or_si256(
                    halb, _mm256_cmpeq_epi64(_mm256_and_si256(_mm256_castpd_si256(d), maske), mitte));
            a0 = _mm256_cvtps_pd(_mm256_cvtpd_ps(d0));
            a1 = _mm256_cvtps_pd(_mm256_cvtpd_ps(d1));
            a2 = _mm256_cvtps_pd(_mm256_cvtpd_ps(d2));
            a3 = _mm256_cvtps_pd(_mm256_cvtpd_ps(d3));
        }
        _mm_storeu_ps(ziel + k, _mm256_cvtpd_ps(a0));
        _mm_storeu_ps(ziel + k + 4, _mm256_cvtpd_ps(a1));
        _mm_storeu_ps(ziel + k + 8, _mm256_cvtpd_ps(a2));
        _mm_storeu_ps(ziel + k + 12, _mm256_cvtpd_ps(a3));
        if (!_mm256_testz_si256(halb, halb))
            for (size_t j = k; j < k + 16; ++j)
                ziel[j] = SpalteGenau(q, w, abgriffe, j);
    }
    for (; k < bis; ++k)
        ziel[k] = SpalteGenau(q, w, abgriffe, k);
}

// The vertical pass in single precision. A fused step rounds the exact
// a + v * w once, and so does the extended sum followed by its rounding to
// float whenever the exact sum fits extended precision's 64 bits. For
// values >= 0 that holds at every step where the product is 0, or the sum so
// far is at most 2^13 times the product (at most 14 binades between their
// leading bits) and the product at most 2^37 times a nonzero sum. Sums only
// grow and each one is at least the largest product added so far, so one
// bound per lane covers all steps: final sum <= 2^13 * smallest nonzero
// product. Groups with a lane beyond it are done in double above.
__attribute__((target("avx2,fma"))) void FaltenSenkrechtEinfach(const float* const* q, const float* w, int abgriffe,
                                                              float* __restrict ziel, size_t anzahl)
{
    const __m256 kleinst = _mm256_set1_ps(*std::min_element(w, w + abgriffe));
    const __m256 grenze = _mm256_set1_ps(0x1p13f);
    const __m256i eins = _mm256_set1_epi32(1);
    size_t k = 0;
    for (; k + 32 <= anzahl; k += 32) {
        __m256 a[4];
        __m256i vMin[4];
        for (int j = 0; j < 4; ++j) {
            a[j] = _mm256_setzero_ps();
            vMin[j] = _mm256_set1_epi32(-1);
        }
        for (int i = 0; i < abgriffe; ++i) {
            const __m256 g = _mm256_set1_ps(w[i]);
            const float* z = q[i] + k;
            for (int j = 0; j < 4; ++j) {
                const __m256 v = _mm256_loadu_ps(z + 8 * j);
                a[j] = _mm256_fmadd_ps(v, g, a[j]);
                // As unsigned integers, floats >= 0 keep their order; 0 - 1
                // becomes the largest and drops out of the minimum.
                vMin[j] = _mm256_min_epu32(vMin[j], _mm256_sub_epi32(_mm256_castps_si256(v), eins));
            }
        }
        __m256 gut = _mm256_castsi256_ps(_mm256_set1_epi32(-1));
        for (int j = 0; j < 4; ++j) {
            // All values 0 give pMin 0 and a sum of 0, which passes.
            const __m256 pMin = _mm256_mul_ps(_mm256_castsi256_ps(_mm256_add_epi32(vMin[j], eins)), kleinst);
            gut = _mm256_and_ps(gut, _mm256_cmp_ps(a[j], _mm256_mul_ps(pMin, grenze), _CMP_LE_OQ));
            _mm256_storeu_ps(ziel + k + 8 * j, a[j]);
        }
        if (_mm256_movemask_ps(gut) != 0xFF)
            FaltenSenkrechtDoppelt(q, w, abgriffe, ziel, k, k + 32);
    }
    FaltenSenkrechtDoppelt(q, w, abgriffe, ziel, k, anzahl);
}

// Round(sum) of values in 0..255, ties to even as the default rounding mode.
__attribute__((target("avx2"))) void ZeileRundenAvx2(const float* summe, uint8_t* z, size_t anzahl)
{
    size_t k = 0;
    for (; k + 16 <= anzahl; k += 16) {
        const __m256i a = _mm256_cvtps_epi32(_mm256_loadu_ps(summe + k));
        const __m256i b = _mm256_cvtps_epi32(_mm256_loadu_ps(summe + k + 8));
        const __m256i w = _mm256_permute4x64_epi64(_mm256_packs_epi32(a, b), 0xD8);
        const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(w), _mm256_extracti128_si256(w, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(z + k), bytes);
    }
    for (; k < anzahl; ++k)
        z[k] = uint8_t(Runden(summe[k]));
}

void ZeileRunden(const float* summe, uint8_t* z, size_t anzahl)
{
    if (__builtin_cpu_supports("avx2")) {
        ZeileRundenAvx2(summe, z, anzahl);
        return;
    }
    for (size_t k = 0; k < anzahl; ++k)
        z[k] = uint8_t(Runden(summe[k]));
}

} // namespace

void WeichzeichnenSpalten(const float* const* zeilen, const float* gewichte, int abgriffe, float* ziel,
                          size_t anzahl)
{
    if (WeichzeichnenFmaErlaubt && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
        // The blur's weights are positive and its rows hold values >= 0.
        if (*std::min_element(gewichte, gewichte + abgriffe) > 0.0f)
            FaltenSenkrechtEinfach(zeilen, gewichte, abgriffe, ziel, anzahl);
        else
            FaltenSenkrechtDoppelt(zeilen, gewichte, abgriffe, ziel, 0, anzahl);
    } else {
        Falten(zeilen, gewichte, abgriffe, ziel, anzahl);
    }
}

void BitmapWeichzeichnen(TBitmap& bmp, float amount, int threads)
{
    const int breite = bmp.Width();
    const int hoehe = bmp.Height();
    if (bmp.IsEmpty() || breite < 3 || hoehe < 3 || !(amount >= 0.0f && amount <= 100.0f))
        return;
    const float r = float((long double)amount / 4.0L);
    const float s = float((long double)r + 1.0L);
    int n = int(s);
    if (s == std::trunc(s))
        --n;
    std::vector<float> gewicht(size_t(2 * n + 1));
    float summe = 0;
    for (int i = -n; i <= n; ++i) {
        gewicht[size_t(i + n)] = float((long double)s - std::abs(i));
        summe = float((long double)summe + gewicht[size_t(i + n)]);
    }
    for (float& w : gewicht)
        w = float((long double)w / summe);

    const size_t anzahl = size_t(breite) * 3;
    const bool fma = WeichzeichnenFmaErlaubt && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    const bool waagrechtFma = fma && *std::min_element(gewicht.begin(), gewicht.end()) >= 0x1p-21f;
    const int ring = 2 * n + 1;
    // The result goes into a new bitmap, so every band reads the unchanged
    // source and writes only its own rows.
    TBitmap neu(GrossesBild(breite, hoehe, QImage::Format_BGR888));
    if (neu.IsEmpty())
        throw std::bad_alloc();
    uint8_t* bits = neu.ScanLine(0);
    const qsizetype stride = neu.Stride();
    const TBitmap& quelle = bmp;
    const uint8_t* quellBits = quelle.ScanLine(0);
    const qsizetype quellStride = quelle.Stride();
    const int bandAnzahl = ThreadsFuer((long long)breite * hoehe, threads, hoehe);
    std::vector<int> grenze(static_cast<size_t>(bandAnzahl) + 1);
    for (int t = 0; t <= bandAnzahl; ++t)
        grenze[size_t(t)] = int((long long)hoehe * t / bandAnzahl);

    auto bandRechnen = [&](int t) {
        const int y0 = grenze[size_t(t)];
        const int y1 = grenze[size_t(t) + 1];
        std::vector<float> gepolstert((size_t(Kachel) + 2 * size_t(n)) * 3);
        std::vector<double> gepolstertD(waagrechtFma ? 0 : gepolstert.size());
        std::vector<float> summe(size_t(Kachel) * 3);
        // Ring of 2n + 1 horizontal results of one tile.
        std::vector<float> zeilen(size_t(ring) * std::min<size_t>(anzahl, size_t(Kachel) * 3));
        std::vector<const double*> waagAbgriff(static_cast<size_t>(ring));
        std::vector<const float*> abgriff(static_cast<size_t>(ring));
        for (int x0 = 0; x0 < breite; x0 += Kachel) {
            const int x1 = std::min(breite, x0 + Kachel);
            const size_t werte = size_t(x1 - x0) * 3;
            auto waagrecht = [&](int y) {
                const uint8_t* q = quellBits + qsizetype(y) * quellStride;
                float* p = gepolstert.data();
                for (int x = x0 - n; x < x1 + n; ++x) {
                    const uint8_t* px = q + size_t(std::clamp(x, 0, breite - 1)) * 3;
                    *p++ = px[0];
                    *p++ = px[1];
                    *p++ = px[2];
                }
                float* ziel = zeilen.data() + size_t(y % ring) * werte;
                if (waagrechtFma) {
                    FaltenGenau(gepolstert.data(), gewicht.data(), ring, ziel, werte);
                    return;
                }
                std::copy(gepolstert.begin(), gepolstert.end(), gepolstertD.begin());
                for (int i = 0; i < ring; ++i)
                    waagAbgriff[size_t(i)] = gepolstertD.data() + 3 * i;
                Falten(waagAbgriff.data(), gewicht.data(), ring, ziel, werte);
            };
            int fertig = std::max(0, y0 - n);   // next horizontal row to compute
            for (int y = y0; y < y1; ++y) {
                const int letzte = std::min(hoehe - 1, y + n);
                for (; fertig <= letzte; ++fertig)
                    waagrecht(fertig);
                // The vertical taps, from -n upward.
                for (int j = -n; j <= n; ++j)
                    abgriff[size_t(j + n)] =
                        zeilen.data() + size_t(std::clamp(y + j, 0, hoehe - 1) % ring) * werte;
                WeichzeichnenSpalten(abgriff.data(), gewicht.data(), ring, summe.data(), werte);
                ZeileRunden(summe.data(), bits + qsizetype(y) * stride + size_t(x0) * 3, werte);
            }
        }
    };
    InZeilenbaendern(bandAnzahl, bandAnzahl, [&](int t0, int t1) {
        for (int t = t0; t < t1; ++t)
            bandRechnen(t);
    });
    bmp = neu;
}
