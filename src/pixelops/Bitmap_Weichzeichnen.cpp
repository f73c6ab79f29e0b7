#include "Bitmap_Weichzeichnen.h"
#include "Zeilenbaender.h"
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

static_assert(LDBL_MANT_DIG == 64, "the accumulation follows 80-bit extended arithmetic");

namespace {

// One tap for a whole row: o[k] = float(a[k] + p[k] * w), evaluated in double.
// The product of two floats is exact in double; the sum may round, and the
// double result rounds to the same float as the extended one except when it
// lies exactly halfway between two floats. Such a case is reported, so the
// caller can redo the tap in extended precision.
__attribute__((target_clones("avx2", "default"))) bool
Abgriff(const float* __restrict a, const float* __restrict p, double w, float* __restrict o, size_t anzahl)
{
    uint64_t halb = 0;
    for (size_t k = 0; k < anzahl; ++k) {
        const double d = double(a[k]) + double(p[k]) * w;
        uint64_t b;
        std::memcpy(&b, &d, sizeof b);
        halb |= uint64_t((b & 0x1FFFFFFFu) == 0x10000000u);
        o[k] = float(d);
    }
    return halb != 0;
}

void AbgriffGenau(const float* a, const float* p, float w, float* o, size_t anzahl)
{
    for (size_t k = 0; k < anzahl; ++k)
        o[k] = float((long double)a[k] + (long double)p[k] * (long double)w);
}

// Runs all taps over one row: summe = Σ p[k + 3i] * w[i], tap by tap.
void Falten(const std::vector<float>& gewicht, const float* p, float* puffer, float* summe, size_t anzahl)
{
    std::memset(summe, 0, anzahl * sizeof(float));
    float* a = summe;
    float* o = puffer;
    for (size_t i = 0; i < gewicht.size(); ++i) {
        const float* q = p + 3 * i;
        if (Abgriff(a, q, double(gewicht[i]), o, anzahl))
            AbgriffGenau(a, q, gewicht[i], o, anzahl);
        std::swap(a, o);
    }
    if (a != summe)
        std::memcpy(summe, a, anzahl * sizeof(float));
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
    uint8_t* bits = bmp.ScanLine(0);
    const qsizetype stride = bmp.Stride();
    // Each band reads its own rows and n rows beyond, and writes only its own
    // rows; the source rows it reads are copied before anything is written.
    const int bandAnzahl = ThreadsFuer((long long)breite * hoehe, threads, hoehe);
    std::vector<int> grenze(static_cast<size_t>(bandAnzahl) + 1);
    for (int t = 0; t <= bandAnzahl; ++t)
        grenze[size_t(t)] = int((long long)hoehe * t / bandAnzahl);

    // Horizontal pass rows, n rows above and below each band.
    struct TBand {
        std::vector<float> zeilen;   // ring of 2n + 1 horizontal results
        std::vector<uint8_t> rand;   // source rows n above and n below the band
        int randOben = 0;            // first row held in rand
    };
    std::vector<TBand> baender(static_cast<size_t>(bandAnzahl));
    for (int t = 0; t < bandAnzahl; ++t) {
        TBand& b = baender[size_t(t)];
        b.zeilen.resize(size_t(ring) * anzahl);
        const int von = std::max(0, grenze[size_t(t)] - n);
        const int bis = std::min(hoehe, grenze[size_t(t) + 1] + n);
        b.randOben = von;
        b.rand.resize(size_t(bis - von) * anzahl);
        for (int y = von; y < bis; ++y)
            std::memcpy(b.rand.data() + size_t(y - von) * anzahl, bits + qsizetype(y) * stride, anzahl);
    }

    auto bandRechnen = [&](int t) {
        TBand& b = baender[size_t(t)];
        const int y0 = grenze[size_t(t)];
        const int y1 = grenze[size_t(t) + 1];
        std::vector<float> gepolstert((size_t(breite) + 2 * size_t(n)) * 3);
        std::vector<float> puffer(anzahl), summe(anzahl);
        auto waagrecht = [&](int y) {
            const uint8_t* q = b.rand.data() + size_t(y - b.randOben) * anzahl;
            float* p = gepolstert.data();
            for (int x = -n; x < breite + n; ++x) {
                const uint8_t* px = q + size_t(std::clamp(x, 0, breite - 1)) * 3;
                *p++ = px[0];
                *p++ = px[1];
                *p++ = px[2];
            }
            Falten(gewicht, gepolstert.data(), puffer.data(), b.zeilen.data() + size_t(y % ring) * anzahl, anzahl);
        };
        int fertig = std::max(0, y0 - n);   // next horizontal row to compute
        for (int y = y0; y < y1; ++y) {
            const int letzte = std::min(hoehe - 1, y + n);
            for (; fertig <= letzte; ++fertig)
                waagrecht(fertig);
            // The vertical taps, from -n upward, each over a whole row.
            std::memset(summe.data(), 0, anzahl * sizeof(float));
            float* a = summe.data();
            float* o = puffer.data();
            for (int j = -n; j <= n; ++j) {
                const float* q = b.zeilen.data() + size_t(std::clamp(y + j, 0, hoehe - 1) % ring) * anzahl;
                const float w = gewicht[size_t(j + n)];
                if (Abgriff(a, q, double(w), o, anzahl))
                    AbgriffGenau(a, q, w, o, anzahl);
                std::swap(a, o);
            }
            uint8_t* z = bits + qsizetype(y) * stride;
            for (size_t k = 0; k < anzahl; ++k)
                z[k] = uint8_t(int(std::nearbyint(a[k])));
        }
    };
    InZeilenbaendern(bandAnzahl, bandAnzahl, [&](int t0, int t1) {
        for (int t = t0; t < t1; ++t)
            bandRechnen(t);
    });
}
