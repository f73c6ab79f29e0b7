#include "Bitmap_Skalieren.h"
#include "PixelTestnaht.h"
#include "Bildspeicher.h"
#include "Runden.h"
#include "Zeilenbaender.h"
#include <cfloat>
#include <cmath>
#include <cstring>
#include <immintrin.h>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>

static_assert(LDBL_MANT_DIG == 64, "kernels and positions follow 80-bit extended arithmetic");

// The vector helpers are only ever inlined, so their ABI does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

std::function<void(const QString& text)> SkalierenFehlerMelden;
bool SkalierenAvx2Erlaubt = true;

namespace {
constexpr long double Pi = 3.141592653589793238462643383279502884L;
// Wider windows could overflow the 32-bit channel sums.
constexpr long long GroessteFensterbreite = 1LL << 22;
} // namespace

float FilterKasten(float x)
{
    return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f;
}

float FilterDreieck(float x)
{
    const long double a = std::fabs((long double)x);
    return a < 1.0L ? float(1.0L - a) : 0.0f;
}

float FilterHermite(float x)
{
    const long double a = std::fabs((long double)x);
    const long double q = (long double)x * x;
    return a < 1.0L ? float((2.0L * a - 3.0L) * q + 1.0L) : 0.0f;
}

float FilterGlocke(float x)
{
    const long double a = std::fabs((long double)x);
    if (a < 0.5L)
        return float(0.75L - (long double)x * x);
    if (a < 1.5L) {
        const long double t = a - 1.5L;
        return float(0.5L * t * t);
    }
    return 0.0f;
}

float FilterBSpline(float x)
{
    const long double a = std::fabs((long double)x);
    const long double q = (long double)x * x;
    if (a < 1.0L)
        return float(a * a * a / 2.0L - q + 2.0L / 3.0L);
    if (a < 2.0L) {
        const long double t = 2.0L - a;
        return float(t * t * t / 6.0L);
    }
    return 0.0f;
}

float Kardinalsinus(float x)
{
    if (x == 0.0f)
        return 1.0f;
    const float a = float((long double)x * Pi);
    return float(std::sin((long double)a) / a);
}

float FilterLanczos3(float x)
{
    if (std::fabs((long double)x) < 3.0L)
        return float((long double)Kardinalsinus(x) * Kardinalsinus(float((long double)x / 3.0L)));
    return 0.0f;
}

float FilterMitchell(float x)
{
    const long double a = std::fabs((long double)x);
    const long double q = (long double)x * x;
    if (a < 1.0L)
        return float((7.0L * a * a * a - 12.0L * q + 16.0L / 3.0L) / 6.0L);
    if (a < 2.0L)
        return float((-7.0L / 3.0L * a * a * a + 12.0L * q - 20.0L * a + 32.0L / 3.0L) / 6.0L);
    return 0.0f;
}

namespace {
using TKern = float (*)(float);
constexpr TKern Kerne[7] = {FilterKasten, FilterDreieck, FilterHermite, FilterGlocke,
                            FilterBSpline, FilterLanczos3, FilterMitchell};
constexpr float Stuetzen[7] = {0.5f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};

int Spiegeln(long long j, int n)
{
    if (j < 0)
        j = -j;
    else if (j >= n)
        j = 2LL * n - 1 - j;
    // A source narrower than the kernel's reach: one reflection is not enough.
    return int(std::clamp<long long>(j, 0, n - 1));
}
} // namespace

float FilterStuetze(uint8_t filter)
{
    return filter < 7 ? Stuetzen[filter] : 0.0f;
}

std::vector<TBeitragsListe> BeitraegeBerechnen(int quellLaenge, int zielLaenge, float support, uint8_t filter,
                                               int threads)
{
    if (filter > 6)
        filter = FilterNrLanczos3;
    if (!(support > 0.0f) || std::isinf(support))
        support = Stuetzen[filter];
    const TKern kern = Kerne[filter];
    const long double f = support;
    // The first and last source pixels fall on the first and last destination
    // pixels; a single destination pixel takes the centre of the whole source.
    const bool einzeln = zielLaenge == 1 && quellLaenge > 1;
    float s;
    if (einzeln)
        s = float(1.0L / quellLaenge);
    else if (quellLaenge == 1)
        s = float((long double)zielLaenge / quellLaenge);
    else
        s = float((long double)(zielLaenge - 1) / (quellLaenge - 1));
    const bool vergroessern = s >= 1.0f;
    const long double reichweite = vergroessern ? f : (long double)float(f / s);

    std::vector<TBeitragsListe> listen(size_t(std::max(0, zielLaenge)));
    auto liste = [&](int i) {
        const float c = einzeln ? float((long double)(quellLaenge - 1) / 2.0L) : float((long double)i / s);
        const long double l0 = std::floor((long double)c - reichweite);
        const long double r0 = std::ceil((long double)c + reichweite);
        if (!(r0 - l0 + 1 <= GroessteFensterbreite))
            throw std::length_error("Fenster zu breit");
        const long long links = (long long)l0, rechts = (long long)r0;
        TBeitragsListe& l = listen[size_t(i)];
        l.Beitrag.resize(size_t(rechts - links + 1));
        long long summe = 0;
        for (long long j = links; j <= rechts; ++j) {
            const long double d = (long double)c - (long double)j;
            const long double g = vergroessern ? (long double)kern(float(d)) * 256.0L
                                               : (long double)kern(float(d * s)) * s * 256.0L;
            const int gewicht = Runden(g);
            if (gewicht == 0)
                continue;
            l.Beitrag[size_t(l.Anzahl++)] = {gewicht, Spiegeln(j, quellLaenge)};
            summe += gewicht;
        }
        if (summe == 0) {
            // All weights rounded away: the window's plain average keeps a
            // uniform image uniform instead of turning it black.
            l.Anzahl = 0;
            for (long long j = links; j <= rechts; ++j)
                l.Beitrag[size_t(l.Anzahl++)] = {1, Spiegeln(j, quellLaenge)};
        }
        l.Beitrag.resize(size_t(l.Anzahl));
    };
    // The kernels run in extended precision and cost about as much as a
    // pass over a large picture, so the lists are made in bands as well. A
    // failure in any band (a window too wide, no memory) fails the whole.
    std::mutex sperre;
    std::exception_ptr fehler;
    InZeilenbaendern(zielLaenge, std::clamp(threads, 1, std::max(1, zielLaenge / 64)), [&](int i0, int i1) {
        try {
            for (int i = i0; i < i1; ++i)
                liste(i);
        } catch (...) {
            const std::lock_guard<std::mutex> halten(sperre);
            fehler = std::current_exception();
        }
    });
    if (fehler)
        std::rethrow_exception(fehler);
    return listen;
}

namespace {

// The quotient sum div total, clamped to 0..255, without an integer division
// per value: with |sum| < 2^31 a true quotient below 512 is at least 2^-31 away
// from the next integer above it, far more than the error of the product plus
// the small lift that keeps exact integers from falling just below.
struct TTeiler {
    double kehrwert;
    explicit TTeiler(int32_t gesamt) : kehrwert(1.0 / gesamt) {}
    uint8_t operator()(int32_t summe) const
    {
        const double q = summe * kehrwert + 0x1p-40;
        if (!(q > 0.0))
            return 0;
        return q >= 255.0 ? 255 : uint8_t(int(q));
    }
};

struct TListe {
    int32_t gesamt;
    TTeiler teiler;
    const TBeitrag* b;
    int anzahl;
};

std::vector<TListe> Vorbereiten(const std::vector<TBeitragsListe>& listen)
{
    std::vector<TListe> v;
    v.reserve(listen.size());
    for (const TBeitragsListe& l : listen) {
        int32_t gesamt = 0;
        for (int k = 0; k < l.Anzahl; ++k)
            gesamt += l.Beitrag[size_t(k)].Gewicht;
        v.push_back({gesamt, TTeiler(gesamt), l.Beitrag.data(), l.Anzahl});
    }
    return v;
}

typedef int32_t V8i __attribute__((vector_size(32)));
typedef double V4d __attribute__((vector_size(32)));
typedef uint8_t V8b __attribute__((vector_size(8)));

// Macros rather than functions: clang refuses 32-byte vector arguments in
// functions compiled without AVX, even inlined ones.
#define Laden(p) ({ V8i v_; std::memcpy(&v_, (p), sizeof v_); v_; })
#define LadenBytes(p) ({ V8b b_; std::memcpy(&b_, (p), sizeof b_); __builtin_convertvector(b_, V8i); })

// Eight quotients at once, exactly as TTeiler computes each.
[[gnu::always_inline]] inline void Teilen(const V8i& summe, double kehrwert, uint8_t* ziel)
{
    const V4d k = {kehrwert, kehrwert, kehrwert, kehrwert};
    const V4d heben = {0x1p-40, 0x1p-40, 0x1p-40, 0x1p-40};
    const V4d null = {0, 0, 0, 0};
    const V4d voll = {255, 255, 255, 255};
    const V4d teile[2] = {__builtin_convertvector(__builtin_shufflevector(summe, summe, 0, 1, 2, 3), V4d),
                          __builtin_convertvector(__builtin_shufflevector(summe, summe, 4, 5, 6, 7), V4d)};
    for (int h = 0; h < 2; ++h) {
        V4d q = teile[h] * k + heben;
        q = q > null ? q : null;
        q = q < voll ? q : voll;
        for (int i = 0; i < 4; ++i)
            ziel[4 * h + i] = uint8_t(int(q[i]));
    }
}

// First pass: source rows y0..y1 into the intermediate rows of the new width.
// Eight rows go together: their pixels are laid side by side (pixel, row,
// channel), so each weight multiplies 24 values at once.
__attribute__((target_clones("avx2", "default"))) void
Waagrecht(const TBitmap& quelle, const std::vector<TListe>& spalten, uint8_t* mitte, size_t mitteZeile, int y0,
          int y1)
{
    const int sw = quelle.Width();
    std::vector<int32_t> block(size_t(sw) * 24);
    uint8_t ergebnis[24];
    for (int g = y0; g < y1; g += 8) {
        const int zeilen = std::min(8, y1 - g);
        // Missing rows of the last group repeat its last row; their results
        // are not stored.
        for (int r = 0; r < 8; ++r) {
            const uint8_t* q = quelle.ScanLine(g + std::min(r, zeilen - 1));
            int32_t* b = block.data() + 3 * r;
            for (int x = 0; x < sw; ++x, b += 24, q += 3) {
                b[0] = q[0];
                b[1] = q[1];
                b[2] = q[2];
            }
        }
        for (size_t i = 0; i < spalten.size(); ++i) {
            const TListe& l = spalten[i];
            V8i a = {}, b = {}, c = {};
            for (int k = 0; k < l.anzahl; ++k) {
                const int32_t w = l.b[k].Gewicht;
                const int32_t* p = block.data() + size_t(l.b[k].Pixel) * 24;
                a += w * Laden(p);
                b += w * Laden(p + 8);
                c += w * Laden(p + 16);
            }
            Teilen(a, l.teiler.kehrwert, ergebnis);
            Teilen(b, l.teiler.kehrwert, ergebnis + 8);
            Teilen(c, l.teiler.kehrwert, ergebnis + 16);
            for (int r = 0; r < zeilen; ++r) {
                uint8_t* z = mitte + size_t(g + r) * mitteZeile + 3 * i;
                z[0] = ergebnis[3 * r];
                z[1] = ergebnis[3 * r + 1];
                z[2] = ergebnis[3 * r + 2];
            }
        }
    }
}

// Second pass: destination rows y0..y1, each the weighted sum of whole
// intermediate rows (integer sums, so the order of the rows does not matter).
__attribute__((target_clones("avx2", "default"))) void
Senkrecht(const uint8_t* mitte, size_t mitteZeile, const std::vector<TListe>& zeilen, uint8_t* zielBits,
          qsizetype stride, int y0, int y1)
{
    const size_t breit = mitteZeile / 8 * 8;
    std::vector<int32_t> summe(mitteZeile);
    for (int y = y0; y < y1; ++y) {
        const TListe& l = zeilen[size_t(y)];
        std::fill(summe.begin(), summe.end(), 0);
        int32_t* s = summe.data();
        for (int k = 0; k < l.anzahl; ++k) {
            const int32_t w = l.b[k].Gewicht;
            const uint8_t* q = mitte + size_t(l.b[k].Pixel) * mitteZeile;
            size_t x = 0;
            for (; x < breit; x += 8) {
                V8i v = Laden(s + x) + w * LadenBytes(q + x);
                std::memcpy(s + x, &v, sizeof v);
            }
            for (; x < mitteZeile; ++x)
                s[x] += w * int32_t(q[x]);
        }
        uint8_t* z = zielBits + qsizetype(y) * stride;
        size_t x = 0;
        for (; x < breit; x += 8)
            Teilen(Laden(s + x), l.teiler.kehrwert, z + x);
        for (; x < mitteZeile; ++x)
            z[x] = l.teiler(s[x]);
    }
}

// ---- AVX2 ------------------------------------------------------------------
// The same integer sums with pmaddwd: two taps at a time, each 16-bit pixel
// value times its 16-bit weight (|weight| <= 256), added in pairs into 32
// bits. Integer sums do not depend on the order, so the bytes are those of
// the plain passes.

// Two taps: their pixels (or rows) and both weights packed for pmaddwd.
struct TPaar {
    int32_t a, b;
    int32_t gewichte;   // low half for a, high half for b
};

struct TPaarListe {
    const TPaar* paare;
    int anzahl;
    TTeiler teiler;
};

std::vector<TPaarListe> PaareBilden(const std::vector<TListe>& listen, std::vector<TPaar>& speicher)
{
    size_t n = 0;
    for (const TListe& l : listen)
        n += size_t(l.anzahl + 1) / 2;
    speicher.resize(n);
    std::vector<TPaarListe> v;
    v.reserve(listen.size());
    TPaar* p = speicher.data();
    for (const TListe& l : listen) {
        v.push_back({p, (l.anzahl + 1) / 2, l.teiler});
        for (int k = 0; k < l.anzahl; k += 2) {
            // An odd last tap pairs with itself at weight 0.
            const TBeitrag a = l.b[k];
            const TBeitrag b = k + 1 < l.anzahl ? l.b[k + 1] : TBeitrag{0, a.Pixel};
            *p++ = {a.Pixel, b.Pixel, int32_t(uint32_t(uint16_t(a.Gewicht)) | (uint32_t(uint16_t(b.Gewicht)) << 16))};
        }
    }
    return v;
}

// Four sums to four 32-bit quotients, exactly as TTeiler computes each.
__attribute__((target("avx2"))) inline __m128i ViertelTeilen(__m128i summe, __m256d kehrwert)
{
    __m256d q = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(summe), kehrwert), _mm256_set1_pd(0x1p-40));
    q = _mm256_min_pd(_mm256_max_pd(q, _mm256_setzero_pd()), _mm256_set1_pd(255.0));
    return _mm256_cvttpd_epi32(q);
}

// Eight sums to eight bytes (the low half of the result).
__attribute__((target("avx2"))) inline __m128i TeilenAvx2(__m256i summe, double kehrwert)
{
    const __m256d k = _mm256_set1_pd(kehrwert);
    const __m128i w = _mm_packs_epi32(ViertelTeilen(_mm256_castsi256_si128(summe), k),
                                      ViertelTeilen(_mm256_extracti128_si256(summe, 1), k));
    return _mm_packus_epi16(w, w);
}

// First pass. Eight source rows are transposed into a block of bytes
// (pixel, channel, row), so one pixel is 24 bytes and a tap pair weighs
// three channels of eight rows with three pmaddwd.
__attribute__((target("avx2"))) void WaagrechtAvx2(const TBitmap& quelle, const std::vector<TPaarListe>& spalten,
                                                   uint8_t* mitte, size_t mitteZeile, int y0, int y1)
{
    const int sw = quelle.Width();
    const size_t zeilenBytes = size_t(sw) * 3;
    // 8 spare bytes: the last pixel's third channel is read with 16.
    std::vector<uint8_t> block(zeilenBytes * 8 + 16);
    uint8_t* blk = block.data();
    for (int g = y0; g < y1; g += 8) {
        const int zeilen = std::min(8, y1 - g);
        // Missing rows of the last group repeat its last row; their results
        // are not stored.
        const uint8_t* q[8];
        for (int r = 0; r < 8; ++r)
            q[r] = quelle.ScanLine(g + std::min(r, zeilen - 1));
        size_t j = 0;
        for (; j + 16 <= zeilenBytes; j += 16) {
            __m128i z[8];
            for (int r = 0; r < 8; ++r)
                z[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q[r] + j));
            const __m128i t0 = _mm_unpacklo_epi8(z[0], z[1]), t1 = _mm_unpackhi_epi8(z[0], z[1]);
            const __m128i t2 = _mm_unpacklo_epi8(z[2], z[3]), t3 = _mm_unpackhi_epi8(z[2], z[3]);
            const __m128i t4 = _mm_unpacklo_epi8(z[4], z[5]), t5 = _mm_unpackhi_epi8(z[4], z[5]);
            const __m128i t6 = _mm_unpacklo_epi8(z[6], z[7]), t7 = _mm_unpackhi_epi8(z[6], z[7]);
            const __m128i u0 = _mm_unpacklo_epi16(t0, t2), u1 = _mm_unpackhi_epi16(t0, t2);
            const __m128i u2 = _mm_unpacklo_epi16(t1, t3), u3 = _mm_unpackhi_epi16(t1, t3);
            const __m128i u4 = _mm_unpacklo_epi16(t4, t6), u5 = _mm_unpackhi_epi16(t4, t6);
            const __m128i u6 = _mm_unpacklo_epi16(t5, t7), u7 = _mm_unpackhi_epi16(t5, t7);
            __m128i* ziel = reinterpret_cast<__m128i*>(blk + j * 8);
            _mm_storeu_si128(ziel + 0, _mm_unpacklo_epi32(u0, u4));
            _mm_storeu_si128(ziel + 1, _mm_unpackhi_epi32(u0, u4));
            _mm_storeu_si128(ziel + 2, _mm_unpacklo_epi32(u1, u5));
            _mm_storeu_si128(ziel + 3, _mm_unpackhi_epi32(u1, u5));
            _mm_storeu_si128(ziel + 4, _mm_unpacklo_epi32(u2, u6));
            _mm_storeu_si128(ziel + 5, _mm_unpackhi_epi32(u2, u6));
            _mm_storeu_si128(ziel + 6, _mm_unpacklo_epi32(u3, u7));
            _mm_storeu_si128(ziel + 7, _mm_unpackhi_epi32(u3, u7));
        }
        for (; j < zeilenBytes; ++j)
            for (int r = 0; r < 8; ++r)
                blk[j * 8 + size_t(r)] = q[r][j];

        for (size_t i = 0; i < spalten.size(); ++i) {
            const TPaarListe& l = spalten[i];
            __m256i k0 = _mm256_setzero_si256(), k1 = k0, k2 = k0;
            for (int p = 0; p < l.anzahl; ++p) {
                const TPaar& paar = l.paare[p];
                const uint8_t* a = blk + size_t(paar.a) * 24;
                const uint8_t* b = blk + size_t(paar.b) * 24;
                const __m256i w = _mm256_set1_epi32(paar.gewichte);
                const __m128i a01 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
                const __m128i b01 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
                const __m128i a2 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + 16));
                const __m128i b2 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + 16));
                k0 = _mm256_add_epi32(k0, _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(a01, b01)), w));
                k1 = _mm256_add_epi32(k1, _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpackhi_epi8(a01, b01)), w));
                k2 = _mm256_add_epi32(k2, _mm256_madd_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(a2, b2)), w));
            }
            alignas(16) uint8_t e[3][16];
            _mm_store_si128(reinterpret_cast<__m128i*>(e[0]), TeilenAvx2(k0, l.teiler.kehrwert));
            _mm_store_si128(reinterpret_cast<__m128i*>(e[1]), TeilenAvx2(k1, l.teiler.kehrwert));
            _mm_store_si128(reinterpret_cast<__m128i*>(e[2]), TeilenAvx2(k2, l.teiler.kehrwert));
            for (int r = 0; r < zeilen; ++r) {
                uint8_t* z = mitte + size_t(g + r) * mitteZeile + 3 * i;
                z[0] = e[0][r];
                z[1] = e[1][r];
                z[2] = e[2][r];
            }
        }
    }
}

// Second pass: 32 bytes of a destination row at a time, over all tap pairs
// in registers. The in-lane unpacks leave the sums in the order
// [0..3 | 16..19], [4..7 | 20..23], [8..11 | 24..27], [12..15 | 28..31].
__attribute__((target("avx2"))) void SenkrechtAvx2(const uint8_t* mitte, size_t mitteZeile,
                                                   const std::vector<TPaarListe>& zeilen, uint8_t* zielBits,
                                                   qsizetype stride, int y0, int y1)
{
    const __m256i null = _mm256_setzero_si256();
    for (int y = y0; y < y1; ++y) {
        const TPaarListe& l = zeilen[size_t(y)];
        uint8_t* z = zielBits + qsizetype(y) * stride;
        size_t x = 0;
        for (; x + 32 <= mitteZeile; x += 32) {
            __m256i k0 = null, k1 = null, k2 = null, k3 = null;
            for (int p = 0; p < l.anzahl; ++p) {
                const TPaar& paar = l.paare[p];
                const __m256i w = _mm256_set1_epi32(paar.gewichte);
                const __m256i a = _mm256_loadu_si256(
                    reinterpret_cast<const __m256i*>(mitte + size_t(paar.a) * mitteZeile + x));
                const __m256i b = _mm256_loadu_si256(
                    reinterpret_cast<const __m256i*>(mitte + size_t(paar.b) * mitteZeile + x));
                const __m256i lo = _mm256_unpacklo_epi8(a, b), hi = _mm256_unpackhi_epi8(a, b);
                k0 = _mm256_add_epi32(k0, _mm256_madd_epi16(_mm256_unpacklo_epi8(lo, null), w));
                k1 = _mm256_add_epi32(k1, _mm256_madd_epi16(_mm256_unpackhi_epi8(lo, null), w));
                k2 = _mm256_add_epi32(k2, _mm256_madd_epi16(_mm256_unpacklo_epi8(hi, null), w));
                k3 = _mm256_add_epi32(k3, _mm256_madd_epi16(_mm256_unpackhi_epi8(hi, null), w));
            }
            const __m128i e0 = TeilenAvx2(_mm256_permute2x128_si256(k0, k1, 0x20), l.teiler.kehrwert);
            const __m128i e1 = TeilenAvx2(_mm256_permute2x128_si256(k2, k3, 0x20), l.teiler.kehrwert);
            const __m128i e2 = TeilenAvx2(_mm256_permute2x128_si256(k0, k1, 0x31), l.teiler.kehrwert);
            const __m128i e3 = TeilenAvx2(_mm256_permute2x128_si256(k2, k3, 0x31), l.teiler.kehrwert);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(z + x), _mm_unpacklo_epi64(e0, e1));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(z + x + 16), _mm_unpacklo_epi64(e2, e3));
        }
        for (; x < mitteZeile; ++x) {
            int32_t summe = 0;
            for (int p = 0; p < l.anzahl; ++p) {
                const TPaar& paar = l.paare[p];
                summe += int16_t(paar.gewichte & 0xFFFF) * int32_t(mitte[size_t(paar.a) * mitteZeile + x])
                    + int16_t(uint32_t(paar.gewichte) >> 16) * int32_t(mitte[size_t(paar.b) * mitteZeile + x]);
            }
            z[x] = l.teiler(summe);
        }
    }
}

} // namespace

bool BitmapSkalieren(TBitmap& bmp, int neueBreite, int neueHoehe, float support, uint8_t filter, int threads)
{
    if (bmp.IsEmpty())
        return true;
    if (neueBreite <= 0 || neueHoehe <= 0) {
        bmp.Clear();
        return true;
    }
    const int sw = bmp.Width(), sh = bmp.Height();
    try {
        const int bandZahl = ThreadsFuer((long long)sw * sh, threads, sh);
        const std::vector<TBeitragsListe> spaltenListen =
            BeitraegeBerechnen(sw, neueBreite, support, filter, bandZahl);
        const std::vector<TBeitragsListe> zeilenListen = BeitraegeBerechnen(sh, neueHoehe, support, filter, bandZahl);
        const std::vector<TListe> sp = Vorbereiten(spaltenListen);
        const std::vector<TListe> ze = Vorbereiten(zeilenListen);
        const bool avx2 = SkalierenAvx2Erlaubt && __builtin_cpu_supports("avx2");
        std::vector<TPaar> spaltenPaare, zeilenPaare;
        const std::vector<TPaarListe> spP = avx2 ? PaareBilden(sp, spaltenPaare) : std::vector<TPaarListe>();
        const std::vector<TPaarListe> zeP = avx2 ? PaareBilden(ze, zeilenPaare) : std::vector<TPaarListe>();

        const size_t mitteZeile = size_t(neueBreite) * 3;
        // Every byte is written by the first pass: no need to clear it.
        const std::unique_ptr<uint8_t[]> mitte(new uint8_t[mitteZeile * size_t(sh)]);
        TBitmap ziel(GrossesBild(neueBreite, neueHoehe, QImage::Format_BGR888));
        if (ziel.IsEmpty())
            throw std::bad_alloc();

        const TBitmap& quelle = bmp;
        InZeilenbaendern(sh, bandZahl, [&](int y0, int y1) {
            if (avx2)
                WaagrechtAvx2(quelle, spP, mitte.get(), mitteZeile, y0, y1);
            else
                Waagrecht(quelle, sp, mitte.get(), mitteZeile, y0, y1);
        });
        uint8_t* zielBits = ziel.ScanLine(0);
        const qsizetype stride = ziel.Stride();
        InZeilenbaendern(neueHoehe, ThreadsFuer((long long)neueBreite * std::max(sh, neueHoehe), threads, neueHoehe),
                         [&](int y0, int y1) {
                             if (avx2)
                                 SenkrechtAvx2(mitte.get(), mitteZeile, zeP, zielBits, stride, y0, y1);
                             else
                                 Senkrecht(mitte.get(), mitteZeile, ze, zielBits, stride, y0, y1);
                         });
        bmp = ziel;
        return true;
    } catch (const std::exception&) {
        if (SkalierenFehlerMelden)
            SkalierenFehlerMelden(QStringLiteral("Fehler beim Skalieren. Zielbild zu groß."));
        return false;
    }
}
