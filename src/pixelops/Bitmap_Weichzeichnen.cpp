#include "Bitmap_Weichzeichnen.h"
#include "Bildspeicher.h"
#include "Zeilenbaender.h"
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

static_assert(LDBL_MANT_DIG == 64, "the accumulation follows 80-bit extended arithmetic");

// The vector helpers are only ever inlined, so their ABI does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

// Columns go in tiles narrow enough for the ring of one tile to stay in the
// core's cache; each output value is computed exactly as over whole rows.
constexpr int Kachel = 512;

typedef float V4f __attribute__((vector_size(16)));
typedef double V4d __attribute__((vector_size(32)));
typedef uint64_t V4l __attribute__((vector_size(32)));

// All taps over a row: ziel[k] = Σ q[i][k] * w[i], accumulated tap by tap as
// sum := float(sum + value * weight). The product of two floats is exact in
// double; the double sum rounds to the same float as the extended one except
// when it lies exactly halfway between two floats (its lowest 29 bits are 1
// followed by 28 zeros). That rare step is redone in extended precision.
__attribute__((target_clones("avx2", "default"))) void
Falten(const float* const* q, const float* w, int abgriffe, float* __restrict ziel, size_t anzahl)
{
    constexpr int Ketten = 4;   // independent sums in flight, hiding the latency
    const V4l maske = {0x1FFFFFFF, 0x1FFFFFFF, 0x1FFFFFFF, 0x1FFFFFFF};
    const V4l mitte = {0x10000000, 0x10000000, 0x10000000, 0x10000000};
    const V4l eins = {1, 1, 1, 1};
    size_t k = 0;
    for (; k + 4 * Ketten <= anzahl; k += 4 * Ketten) {
        // The sums are doubles that always hold a float's value.
        V4d a[Ketten] = {};
        for (int i = 0; i < abgriffe; ++i) {
            const double g = w[i];
            const V4d gv = {g, g, g, g};
            const float* zeile = q[i] + k;
            V4l halb = {};
            V4l b[Ketten];
            V4f p[Ketten];
#pragma GCC unroll 4
            for (int c = 0; c < Ketten; ++c) {
                std::memcpy(&p[c], zeile + 4 * c, sizeof p[c]);
                const V4d d = a[c] + __builtin_convertvector(p[c], V4d) * gv;
                std::memcpy(&b[c], &d, sizeof b[c]);
                halb |= (b[c] & maske) == mitte;
            }
            if ((halb[0] | halb[1] | halb[2] | halb[3]) != 0) {
                for (int c = 0; c < Ketten; ++c)
                    for (int l = 0; l < 4; ++l) {
                        const double f = float((long double)a[c][l] + (long double)p[c][l] * (long double)w[i]);
                        std::memcpy(&b[c][l], &f, sizeof f);
                    }
            }
            // Round each double to float precision in place: to nearest,
            // ties to even, at bit 29 of the mantissa. (Already rounded
            // values pass unchanged.)
#pragma GCC unroll 4
            for (int c = 0; c < Ketten; ++c) {
                const V4l r = (b[c] + (maske >> 1) + ((b[c] >> 29) & eins)) & ~maske;
                std::memcpy(&a[c], &r, sizeof r);
            }
        }
#pragma GCC unroll 4
        for (int c = 0; c < Ketten; ++c) {
            const V4f z = __builtin_convertvector(a[c], V4f);
            std::memcpy(ziel + k + 4 * c, &z, sizeof z);
        }
    }
    for (; k < anzahl; ++k) {
        float a = 0;
        for (int i = 0; i < abgriffe; ++i)
            a = float((long double)a + (long double)q[i][k] * (long double)w[i]);
        ziel[k] = a;
    }
}

} // namespace

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
        std::vector<float> summe(size_t(Kachel) * 3);
        // Ring of 2n + 1 horizontal results of one tile.
        std::vector<float> zeilen(size_t(ring) * std::min<size_t>(anzahl, size_t(Kachel) * 3));
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
                for (int i = 0; i < ring; ++i)
                    abgriff[size_t(i)] = gepolstert.data() + 3 * i;
                Falten(abgriff.data(), gewicht.data(), ring, zeilen.data() + size_t(y % ring) * werte, werte);
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
                Falten(abgriff.data(), gewicht.data(), ring, summe.data(), werte);
                uint8_t* z = bits + qsizetype(y) * stride + size_t(x0) * 3;
                for (size_t k = 0; k < werte; ++k)
                    z[k] = uint8_t(int(std::nearbyint(summe[k])));
            }
        }
    };
    InZeilenbaendern(bandAnzahl, bandAnzahl, [&](int t0, int t1) {
        for (int t = t0; t < t1; ++t)
            bandRechnen(t);
    });
    bmp = neu;
}
