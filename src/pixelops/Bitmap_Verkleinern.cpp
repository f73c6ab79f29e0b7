#include "Bitmap_Verkleinern.h"
#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <vector>
#include "Zeilenbaender.h"
#ifdef __SSE2__
#include <emmintrin.h>
#endif

static_assert(LDBL_MANT_DIG == 64, "the spans are computed in 80-bit extended precision");

namespace {

// Where each destination column (or row) starts in the source and how many
// source pixels it covers.
struct TSpannen {
    std::vector<int> start;
    std::vector<int> spanne;
    int groesste = 0;
    int gelesen = 0;   // source pixels read from the start: start + span of the last one
};

// Span i = Trunc((i + 1) * r) - Trunc(i * r) with r = 1 / (neu / alt) held as a
// 32-bit float; the products are exact in extended precision. A span of 0
// (this side grows while the other shrinks) reads the one source pixel that
// the destination pixel lies in, which is also its nearest.
TSpannen SpannenBerechnen(int neu, int alt)
{
    TSpannen s;
    s.start.resize(size_t(neu));
    s.spanne.resize(size_t(neu));
    const float r = float(1.0L / ((long double)neu / (long double)alt));
    long long vorher = 0;
    for (int i = 0; i < neu; ++i) {
        const long long nach = (long long)((long double)r * (long double)(i + 1));
        long long anfang = std::min<long long>(vorher, alt - 1);
        long long breite = std::max<long long>(nach - vorher, 1);
        breite = std::min<long long>(breite, alt - anfang);
        s.start[size_t(i)] = int(anfang);
        s.spanne[size_t(i)] = int(breite);
        s.groesste = std::max(s.groesste, int(breite));
        vorher = nach;
    }
    s.gelesen = s.start.back() + s.spanne.back();
    return s;
}

struct TPlan {
    const uint8_t* quelle;
    qsizetype quelleStride;
    uint8_t* ziel;
    qsizetype zielStride;
    int zielBreite;
    TSpannen x, y;
    int spanneXMin;
};

// Column sums of one destination row: spanY source rows added byte by byte.
template <typename S>
void SpaltenSummieren(const TPlan& p, int j, S* summe, int n3)
{
    const int sy = p.y.spanne[size_t(j)];
    const uint8_t* zeile = p.quelle + qsizetype(p.y.start[size_t(j)]) * p.quelleStride;
    for (int k = 0; k < n3; ++k)
        summe[k] = zeile[k];
    for (int r = 1; r < sy; ++r) {
        zeile += p.quelleStride;
        int k = 0;
#ifdef __SSE2__
        if constexpr (sizeof(S) == 2) {
            const __m128i null = _mm_setzero_si128();
            for (; k + 16 <= n3; k += 16) {
                const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i*>(zeile + k));
                __m128i* a = reinterpret_cast<__m128i*>(summe + k);
                _mm_storeu_si128(a, _mm_add_epi16(_mm_loadu_si128(a), _mm_unpacklo_epi8(q, null)));
                _mm_storeu_si128(a + 1, _mm_add_epi16(_mm_loadu_si128(a + 1), _mm_unpackhi_epi8(q, null)));
            }
        }
#endif
        for (; k < n3; ++k)
            summe[k] = S(summe[k] + zeile[k]);
    }
}

// Floor(summe * 65535 / (65536 * n)) for a block of n pixels, without a
// division per channel. The mean q = summe div n comes from one
// multiplication: with 2^k >= 255 * n * n and m = ceil(2^k / n), summe * m
// / 2^k lies in [summe / n, summe / n + 1 / n) for every sum up to 255 * n.
// The result is q, or q - 1 when 65535 * r < q * n for the rest r (q <= 255,
// so the shortfall q / 65536 never reaches a whole step).
struct TTeiler {
    uint64_t n = 1, m = 1;
    int k = 0;
    void Setze(uint64_t anzahl)
    {
        n = anzahl;
        k = 0;
        while (((unsigned __int128)1 << k) < (unsigned __int128)255 * n * n)
            ++k;
        m = uint64_t((((unsigned __int128)1 << k) + n - 1) / n);
    }
    uint8_t Anteil(uint64_t summe) const
    {
        const uint64_t q = uint64_t(((unsigned __int128)summe * m) >> k), r = summe - q * n;
        return uint8_t(q - (r * 65535u < q * n ? 1u : 0u));
    }
};

// One band of destination rows. S holds a column sum, A a block sum.
template <typename S, typename A>
void BandVerkleinern(const TPlan& p, int j0, int j1)
{
    const int n3 = 3 * p.x.gelesen;
    std::vector<S> summen(static_cast<size_t>(n3));
    std::vector<uint32_t> gewicht(size_t(p.x.groesste - p.spanneXMin + 1));
    std::vector<TTeiler> teiler(gewicht.size());
    const int* startX = p.x.start.data();
    const int* spanneX = p.x.spanne.data();

    for (int j = j0; j < j1; ++j) {
        SpaltenSummieren<S>(p, j, summen.data(), n3);
        const long long sy = p.y.spanne[size_t(j)];
        // w = 65535 div (spanX * spanY) up to 256 pixels, where it is within
        // one step of the mean; 0 marks a larger block, divided exactly.
        for (size_t t = 0; t < gewicht.size(); ++t) {
            const long long n = (long long)(p.spanneXMin + int(t)) * sy;
            gewicht[t] = n <= 256 ? uint32_t(65535 / n) : 0;
            if (n > 256)
                teiler[t].Setze(uint64_t(n));
        }
        uint8_t* z = p.ziel + qsizetype(j) * p.zielStride;
        for (int i = 0; i < p.zielBreite; ++i) {
            const S* q = summen.data() + 3 * qsizetype(startX[i]);
            const int sx = spanneX[i];
            A b = 0, g = 0, r = 0;
            for (int t = 0; t < sx; ++t) {
                b += q[0];
                g += q[1];
                r += q[2];
                q += 3;
            }
            const uint32_t w = gewicht[size_t(sx - p.spanneXMin)];
            if (w != 0) {
                z[0] = uint8_t((uint32_t(b) * w) >> 16);
                z[1] = uint8_t((uint32_t(g) * w) >> 16);
                z[2] = uint8_t((uint32_t(r) * w) >> 16);
            } else {
                // The truncated reciprocal loses up to 255 * n / 65536 steps, so
                // large blocks darken (white gave 233 at 10,000 pixels): take
                // sum * 65535 / (65536 * n) exactly, which keeps a white block
                // at 254 and every block within one step of its mean.
                const TTeiler& d = teiler[size_t(sx - p.spanneXMin)];
                z[0] = d.Anteil(uint64_t(b));
                z[1] = d.Anteil(uint64_t(g));
                z[2] = d.Anteil(uint64_t(r));
            }
            z += 3;
        }
    }
}

template <typename S, typename A>
void Verteilen(const TPlan& p, int zielHoehe, int threads)
{
    InZeilenbaendern(zielHoehe, threads, [&p](int j0, int j1) { BandVerkleinern<S, A>(p, j0, j1); });
}

} // namespace

void BitmapVerkleinern(const TBitmap& quelle, TBitmap& ziel, int neueBreite, int neueHoehe, int threads)
{
    if (neueBreite <= 0 || neueHoehe <= 0)
        return;
    // The source may be the destination itself: keep its pixels while ziel is rebuilt.
    const TBitmap q = quelle;
    ziel.Clear();
    ziel.SetSize(neueBreite, neueHoehe);
    if (neueBreite >= q.Width() && neueHoehe >= q.Height()) {
        ziel.Assign(q);
        return;
    }
    if (ziel.IsEmpty())
        return;   // the requested size could not be allocated

    TPlan p;
    p.quelle = q.ScanLine(0);
    p.quelleStride = q.Stride();
    p.ziel = ziel.ScanLine(0);
    p.zielStride = ziel.Stride();
    p.zielBreite = neueBreite;
    p.x = SpannenBerechnen(neueBreite, q.Width());
    p.y = SpannenBerechnen(neueHoehe, q.Height());
    p.spanneXMin = *std::min_element(p.x.spanne.begin(), p.x.spanne.end());

    // A thread pays for itself from about half a million source pixels.
    threads = ThreadZahl(threads, (long long)p.x.gelesen * p.y.gelesen, 500000);

    const unsigned long long spalte = 255ull * unsigned(p.y.groesste);
    const unsigned long long block = spalte * unsigned(p.x.groesste);
    if (spalte <= 0xFFFFu && block <= 0xFFFFFFFFu)
        Verteilen<uint16_t, uint32_t>(p, neueHoehe, threads);
    else if (block <= 0xFFFFFFFFu)
        Verteilen<uint32_t, uint32_t>(p, neueHoehe, threads);
    else if (spalte <= 0xFFFFFFFFu)
        Verteilen<uint32_t, uint64_t>(p, neueHoehe, threads);
    else
        Verteilen<uint64_t, uint64_t>(p, neueHoehe, threads);
}
