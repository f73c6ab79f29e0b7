#include "GearFarbtiefe.h"
#include "GearBaender.h"
#include "GearPalette.h"
#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <numeric>

namespace {

const QList<QRgb> kSchwarzWeiss = {qRgb(0, 0, 0), qRgb(255, 255, 255)};

int64_t Pixel(const QImage& b) { return int64_t(b.width()) * b.height(); }

void Uebernehmen(TGearSeite& seite, QImage&& bild, int bpp)
{
    if (bild.isNull())
        return;   // out of memory: the page stays as it was
    seite.bild = std::move(bild);
    seite.bpp = bpp;
}

// ---------------------------------------------------------------- ordered dither

using TMatrix8 = std::array<std::array<uint8_t, 8>, 8>;

// Bayer's recursive matrix: M(2n) = [4M, 4M+2; 4M+3, 4M+1].
const TMatrix8& BayerMatrix()
{
    static const TMatrix8 m = [] {
        TMatrix8 r{};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                int v = 0;
                for (int bit = 0; bit < 3; ++bit) {
                    const int xb = (x >> bit) & 1, yb = (y >> bit) & 1;
                    // 2 x 2 step [0 2; 3 1]
                    const int stufe = yb ? (xb ? 1 : 3) : (xb ? 2 : 0);
                    v += stufe << (2 * (2 - bit));
                }
                r[y][x] = uint8_t(v);
            }
        return r;
    }();
    return m;
}

// Clustered dot: cells are ranked along a cosine spot function, so the black
// dot grows from the middle of each tile and the white one from its corners.
const TMatrix8& HalbtonMatrix()
{
    static const TMatrix8 m = [] {
        std::array<std::pair<long long, int>, 64> zellen{};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const double f = std::cos(2 * M_PI * (x + 0.5) / 8) + std::cos(2 * M_PI * (y + 0.5) / 8);
                // Rounded so that mirror-equal cells compare equal and fall back to their position.
                zellen[y * 8 + x] = {-std::llround(f * 1e6), y * 8 + x};
            }
        std::sort(zellen.begin(), zellen.end());
        TMatrix8 r{};
        for (int rang = 0; rang < 64; ++rang)
            r[zellen[rang].second / 8][zellen[rang].second % 8] = uint8_t(rang);
        return r;
    }();
    return m;
}

// Maps every pixel's luminance to an index of a new palette page, by row bands.
template <class F>
void HelligkeitAbbilden(TGearSeite& seite, const QList<QRgb>& palette, int bpp, const TFortschritt& fs, F index)
{
    if (!SeiteLesbar(seite))
        return;
    const TZeilenLeser leser(seite.bild);
    const int w = leser.Breite(), h = leser.Hoehe();
    QImage aus = IndexBild(w, h, palette);
    if (aus.isNull())
        return;
    uint8_t* basis = aus.bits();
    const qsizetype bpl = aus.bytesPerLine();
    TFortschrittsMelder melder(fs);
    ZeilenBaender(h, Pixel(aus), melder, 0, 100, [&](int y0, int y1) {
        std::vector<uint8_t> puffer(size_t(w) * 3);
        for (int y = y0; y < y1; ++y) {
            const uint8_t* z = leser.Zeile(y, puffer.data());
            uint8_t* ziel = basis + qsizetype(y) * bpl;
            for (int x = 0; x < w; ++x, z += 3)
                ziel[x] = index(Luma(z[2], z[1], z[0]), x, y);
        }
    });
    Uebernehmen(seite, std::move(aus), bpp);
}

// Grey value v is white where v > 4 * rank + 2: 0 stays black, 255 white, 128 half.
void OrdnetMono(TGearSeite& seite, const TMatrix8& matrix, const TFortschritt& fs)
{
    HelligkeitAbbilden(seite, kSchwarzWeiss, 1, fs, [&matrix](int v, int x, int y) -> uint8_t {
        return v > 4 * matrix[y & 7][x & 7] + 2 ? 1 : 0;
    });
}

// ---------------------------------------------------------------- error diffusion

// Floyd-Steinberg onto a palette, serpentine, errors kept in sixteenths.
// The value plus its error is clamped before the lookup so the error cannot
// run away in saturated areas.
QImage FarbeVerteilen(const QImage& quelle, const QList<QRgb>& palette, TFortschrittsMelder& melder, int von,
                      int bis)
{
    const TZeilenLeser leser(quelle);
    const int w = leser.Breite(), h = leser.Hoehe();
    QImage aus = IndexBild(w, h, palette);
    if (aus.isNull())
        return aus;
    const TNaechsteFarbe naechste(palette);
    std::vector<uint8_t> puffer(size_t(w) * 3);
    // Index (x + 1) * 3 + c, so the neighbours of both edges need no test.
    std::vector<int> jetzt(size_t(w + 2) * 3, 0), danach(size_t(w + 2) * 3, 0);
    for (int y = 0; y < h; ++y) {
        const uint8_t* z = leser.Zeile(y, puffer.data());
        uint8_t* ziel = aus.scanLine(y);
        std::fill(danach.begin(), danach.end(), 0);
        const bool rueckwaerts = y & 1;
        const int schritt = rueckwaerts ? -1 : 1;
        for (int i = 0; i < w; ++i) {
            const int x = rueckwaerts ? w - 1 - i : i;
            const int p = (x + 1) * 3;
            int v[3];
            for (int c = 0; c < 3; ++c)
                v[c] = std::clamp(int(z[x * 3 + 2 - c]) + ((jetzt[p + c] + 8) >> 4), 0, 255);   // c: R, G, B
            const int k = naechste.Index(v[0], v[1], v[2]);
            ziel[x] = uint8_t(k);
            const int f[3] = {v[0] - naechste.R(k), v[1] - naechste.G(k), v[2] - naechste.B(k)};
            const int vor = p + schritt * 3, zurueck = p - schritt * 3;
            for (int c = 0; c < 3; ++c) {
                jetzt[vor + c] += f[c] * 7;
                danach[zurueck + c] += f[c] * 3;
                danach[p + c] += f[c] * 5;
                danach[vor + c] += f[c];
            }
        }
        std::swap(jetzt, danach);
        melder.Anteil(von, bis, y + 1, h);
    }
    return aus;
}

// ---------------------------------------------------------------- octree

// Octree quantiser: every colour descends one level per bit; reducing folds
// the children of an inner node into it. Reduction takes the deepest inner
// nodes first and among them those with the fewest pixels, so rare shades
// merge before frequent ones. While building, the tree is kept below a leaf
// limit the same way, and new colours then stop at the level reduced last.
class TOctree {
public:
    TOctree() { Neu(0); }

    void Einfuegen(int r, int g, int b, uint64_t anzahl)
    {
        int k = 0;
        for (int ebene = 0;; ++ebene) {
            if (m_knoten[k].blatt) {
                TKnoten& n = m_knoten[k];
                n.r += uint64_t(r) * anzahl;
                n.g += uint64_t(g) * anzahl;
                n.b += uint64_t(b) * anzahl;
                n.n += anzahl;
                return;
            }
            const int i = Kind(r, g, b, ebene);
            int kind = m_knoten[k].kind[i];
            if (kind < 0) {
                kind = Neu(ebene + 1);
                m_knoten[k].kind[i] = kind;
            }
            k = kind;
        }
    }

    int Blaetter() const { return m_blaetter; }

    void Reduzieren(int ziel)
    {
        if (m_blaetter <= ziel)
            return;
        std::vector<uint64_t> anzahl(m_knoten.size(), 0);
        std::array<std::vector<int>, 8> innen;
        Zaehlen(0, anzahl, innen);
        for (int ebene = 7; ebene >= 0 && m_blaetter > ziel; --ebene) {
            auto& liste = innen[ebene];
            // Stable: equal counts keep tree order, so the result is reproducible.
            std::stable_sort(liste.begin(), liste.end(), [&](int a, int b) { return anzahl[a] < anzahl[b]; });
            for (int k : liste) {
                if (m_blaetter <= ziel)
                    break;
                Zusammenfassen(k);
            }
            m_blattEbene = std::min(m_blattEbene, ebene);
        }
    }

    // Numbers the leaves in tree order and returns their mean colours.
    QList<QRgb> Palette()
    {
        QList<QRgb> palette;
        Nummerieren(0, palette);
        return palette;
    }

    int Index(int r, int g, int b) const
    {
        int k = 0;
        for (int ebene = 0; !m_knoten[k].blatt; ++ebene) {
            const int kind = m_knoten[k].kind[Kind(r, g, b, ebene)];
            if (kind < 0)
                return 0;   // not reached: every mapped colour was inserted
            k = kind;
        }
        return m_knoten[k].index;
    }

private:
    struct TKnoten {
        uint64_t r = 0, g = 0, b = 0, n = 0;
        std::array<int32_t, 8> kind;
        int ebene = 0;
        int index = 0;
        bool blatt = false;
    };

    static int Kind(int r, int g, int b, int ebene)
    {
        const int s = 7 - ebene;
        return (((r >> s) & 1) << 2) | (((g >> s) & 1) << 1) | ((b >> s) & 1);
    }

    int Neu(int ebene)
    {
        int k;
        if (!m_frei.empty()) {
            k = m_frei.back();
            m_frei.pop_back();
            m_knoten[k] = TKnoten{};
        } else {
            k = int(m_knoten.size());
            m_knoten.emplace_back();
        }
        TKnoten& n = m_knoten[k];
        n.kind.fill(-1);
        n.ebene = ebene;
        n.blatt = ebene >= m_blattEbene;
        if (n.blatt)
            ++m_blaetter;
        return k;
    }

    uint64_t Zaehlen(int k, std::vector<uint64_t>& anzahl, std::array<std::vector<int>, 8>& innen) const
    {
        const TKnoten& n = m_knoten[k];
        if (n.blatt)
            return anzahl[k] = n.n;
        uint64_t summe = 0;
        for (int kind : n.kind)
            if (kind >= 0)
                summe += Zaehlen(kind, anzahl, innen);
        innen[n.ebene].push_back(k);
        return anzahl[k] = summe;
    }

    void Zusammenfassen(int k)
    {
        TKnoten& n = m_knoten[k];
        for (int32_t& kind : n.kind) {
            if (kind < 0)
                continue;
            const TKnoten& c = m_knoten[kind];
            n.r += c.r;
            n.g += c.g;
            n.b += c.b;
            n.n += c.n;
            m_frei.push_back(kind);
            --m_blaetter;
            kind = -1;
        }
        n.blatt = true;
        ++m_blaetter;
    }

    void Nummerieren(int k, QList<QRgb>& palette)
    {
        TKnoten& n = m_knoten[k];
        if (n.blatt) {
            if (n.n == 0)
                return;
            n.index = int(palette.size());
            const uint64_t h = n.n / 2;
            palette.append(qRgb(int((n.r + h) / n.n), int((n.g + h) / n.n), int((n.b + h) / n.n)));
            return;
        }
        for (int kind : n.kind)
            if (kind >= 0)
                Nummerieren(kind, palette);
    }

    std::vector<TKnoten> m_knoten;
    std::vector<int> m_frei;
    int m_blaetter = 0;
    int m_blattEbene = 8;
};

// The building limit: far above 256, so images with few colours keep them all.
constexpr int kOctreeGrenze = 8192;

// Maps every pixel through a lookup, on row bands; the lookup must be safe to
// call from several threads.
template <class F>
QImage Abbilden(const QImage& quelle, const QList<QRgb>& palette, TFortschrittsMelder& melder, int von, int bis,
                F&& index)
{
    const TZeilenLeser leser(quelle);
    const int w = leser.Breite(), h = leser.Hoehe();
    QImage aus = IndexBild(w, h, palette);
    if (aus.isNull())
        return aus;
    uint8_t* basis = aus.bits();
    const qsizetype bpl = aus.bytesPerLine();
    ZeilenBaender(h, Pixel(aus), melder, von, bis, [&](int y0, int y1) {
        std::vector<uint8_t> puffer(size_t(w) * 3);
        for (int y = y0; y < y1; ++y) {
            const uint8_t* z = leser.Zeile(y, puffer.data());
            uint8_t* ziel = basis + qsizetype(y) * bpl;
            uint32_t letzte = 0xFFFFFFFFu;
            uint8_t letzterIndex = 0;
            for (int x = 0; x < w; ++x, z += 3) {
                const uint32_t c = (uint32_t(z[2]) << 16) | (uint32_t(z[1]) << 8) | z[0];
                if (c != letzte) {
                    letzte = c;
                    letzterIndex = uint8_t(index(z[2], z[1], z[0]));
                }
                ziel[x] = letzterIndex;
            }
        }
    });
    return aus;
}

// The exact colours of a picture that has no more than farben of them.
QImage ExakteFarben(const QImage& quelle, const QList<QRgb>& farben, TFortschrittsMelder& melder)
{
    const TNaechsteFarbe naechste(farben);
    return Abbilden(quelle, farben, melder, 0, 100, [&](int r, int g, int b) { return naechste.Index(r, g, b); });
}

// ---------------------------------------------------------------- 5-5-5 histogram

struct TFach {
    uint64_t n = 0, r = 0, g = 0, b = 0;
};

inline int Fach(int r, int g, int b) { return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3); }

// Counts and exact colour sums per 5-5-5 cell; bands add into their own
// table and merge, which gives the same integers in any order.
std::vector<TFach> Histogramm(const QImage& quelle, TFortschrittsMelder& melder, int von, int bis)
{
    const TZeilenLeser leser(quelle);
    const int w = leser.Breite();
    std::vector<TFach> gesamt(32768);
    std::mutex sperre;
    ZeilenBaender(leser.Hoehe(), Pixel(quelle), melder, von, bis, [&](int y0, int y1) {
        std::vector<TFach> eigen(32768);
        std::vector<uint8_t> puffer(size_t(w) * 3);
        for (int y = y0; y < y1; ++y) {
            const uint8_t* z = leser.Zeile(y, puffer.data());
            for (int x = 0; x < w; ++x, z += 3) {
                TFach& f = eigen[Fach(z[2], z[1], z[0])];
                ++f.n;
                f.r += z[2];
                f.g += z[1];
                f.b += z[0];
            }
        }
        std::lock_guard<std::mutex> l(sperre);
        for (int i = 0; i < 32768; ++i) {
            gesamt[i].n += eigen[i].n;
            gesamt[i].r += eigen[i].r;
            gesamt[i].g += eigen[i].g;
            gesamt[i].b += eigen[i].b;
        }
    });
    return gesamt;
}

QRgb Mittel(const TFach& f)
{
    const uint64_t h = f.n / 2;
    return qRgb(int((f.r + h) / f.n), int((f.g + h) / f.n), int((f.b + h) / f.n));
}

// A box of histogram cells, shrunk to the cells that hold pixels.
struct TBox {
    std::array<int, 3> lo, hi;   // cell coordinates R, G, B, inclusive
    uint64_t n = 0;
};

void Schrumpfen(TBox& box, const std::vector<TFach>& hist)
{
    std::array<int, 3> lo = {31, 31, 31}, hi = {0, 0, 0};
    box.n = 0;
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
        for (int g = box.lo[1]; g <= box.hi[1]; ++g)
            for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                const uint64_t n = hist[(r << 10) | (g << 5) | b].n;
                if (n == 0)
                    continue;
                box.n += n;
                lo = {std::min(lo[0], r), std::min(lo[1], g), std::min(lo[2], b)};
                hi = {std::max(hi[0], r), std::max(hi[1], g), std::max(hi[2], b)};
            }
    if (box.n) {
        box.lo = lo;
        box.hi = hi;
    }
}

// Count of pixels in the slice axis = s of the box.
uint64_t Scheibe(const TBox& box, const std::vector<TFach>& hist, int achse, int s)
{
    std::array<int, 3> lo = box.lo, hi = box.hi;
    lo[achse] = hi[achse] = s;
    uint64_t n = 0;
    for (int r = lo[0]; r <= hi[0]; ++r)
        for (int g = lo[1]; g <= hi[1]; ++g)
            for (int b = lo[2]; b <= hi[2]; ++b)
                n += hist[(r << 10) | (g << 5) | b].n;
    return n;
}

// Heckbert's median cut: the fullest box that can still be split is cut
// across its longest side at the pixel median, until there are enough boxes.
QList<QRgb> MedianCutPalette(const std::vector<TFach>& hist, int farben)
{
    std::vector<TBox> boxen(1);
    boxen[0].lo = {0, 0, 0};
    boxen[0].hi = {31, 31, 31};
    Schrumpfen(boxen[0], hist);
    while (int(boxen.size()) < farben) {
        int wahl = -1;
        for (int i = 0; i < int(boxen.size()); ++i) {
            const TBox& b = boxen[i];
            const bool teilbar = b.lo != b.hi;
            if (teilbar && (wahl < 0 || b.n > boxen[wahl].n))
                wahl = i;
        }
        if (wahl < 0)
            break;
        TBox box = boxen[wahl];
        int achse = 0;
        for (int a = 1; a < 3; ++a)
            if (box.hi[a] - box.lo[a] > box.hi[achse] - box.lo[achse])
                achse = a;
        // The first slice at which at least half the pixels lie at or below it;
        // the box is shrunk, so both ends hold pixels and neither half is empty.
        int schnitt = box.hi[achse] - 1;
        uint64_t summe = 0;
        for (int s = box.lo[achse]; s < box.hi[achse]; ++s) {
            summe += Scheibe(box, hist, achse, s);
            if (summe * 2 >= box.n) {
                schnitt = s;
                break;
            }
        }
        TBox unten = box, oben = box;
        unten.hi[achse] = schnitt;
        oben.lo[achse] = schnitt + 1;
        Schrumpfen(unten, hist);
        Schrumpfen(oben, hist);
        boxen[wahl] = unten;
        boxen.push_back(oben);
    }
    QList<QRgb> palette;
    for (const TBox& box : boxen) {
        TFach summe;
        for (int r = box.lo[0]; r <= box.hi[0]; ++r)
            for (int g = box.lo[1]; g <= box.hi[1]; ++g)
                for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                    const TFach& f = hist[(r << 10) | (g << 5) | b];
                    summe.n += f.n;
                    summe.r += f.r;
                    summe.g += f.g;
                    summe.b += f.b;
                }
        if (summe.n)
            palette.append(Mittel(summe));
    }
    return palette;
}

int FarbenBegrenzen(int farben, int hoechstens)
{
    return farben <= 0 ? hoechstens : std::min(farben, hoechstens);
}

}   // namespace

void GearDiffusionMono(TGearSeite& seite, const TFortschritt& fs)
{
    if (!SeiteLesbar(seite))
        return;
    // Already two colours: keep them. An undo push or a save of a 1-bit image
    // runs this reduction, and must not turn red and blue into black and white.
    if (seite.bpp == 1 && seite.bild.format() == QImage::Format_Indexed8 && seite.bild.colorCount() <= 2)
        return;
    TFortschrittsMelder melder(fs);
    QList<QRgb> farben;
    if (FarbenZaehlen(seite.bild, 2, &farben) == 2) {
        Uebernehmen(seite, ExakteFarben(seite.bild, farben, melder), 1);
        return;
    }

    const TZeilenLeser leser(seite.bild);
    const int w = leser.Breite(), h = leser.Hoehe();
    QImage aus = IndexBild(w, h, kSchwarzWeiss);
    if (aus.isNull())
        return;
    std::vector<uint8_t> puffer(size_t(w) * 3);
    std::vector<int> jetzt(size_t(w) + 2, 0), danach(size_t(w) + 2, 0);   // sixteenths, index x + 1
    for (int y = 0; y < h; ++y) {
        const uint8_t* z = leser.Zeile(y, puffer.data());
        uint8_t* ziel = aus.scanLine(y);
        std::fill(danach.begin(), danach.end(), 0);
        const bool rueckwaerts = y & 1;
        const int s = rueckwaerts ? -1 : 1;
        for (int i = 0; i < w; ++i) {
            const int x = rueckwaerts ? w - 1 - i : i;
            const int p = x + 1;
            const int v = std::clamp(Luma(z[x * 3 + 2], z[x * 3 + 1], z[x * 3]) + ((jetzt[p] + 8) >> 4), 0, 255);
            const bool weiss = v >= 128;
            ziel[x] = weiss ? 1 : 0;
            const int f = v - (weiss ? 255 : 0);
            jetzt[p + s] += f * 7;
            danach[p - s] += f * 3;
            danach[p] += f * 5;
            danach[p + s] += f;
        }
        std::swap(jetzt, danach);
        melder.Anteil(0, 100, y + 1, h);
    }
    Uebernehmen(seite, std::move(aus), 1);
}

void GearHalftoneMono(TGearSeite& seite, const TFortschritt& fs)
{
    OrdnetMono(seite, HalbtonMatrix(), fs);
}

void GearBayerMono(TGearSeite& seite, const TFortschritt& fs)
{
    OrdnetMono(seite, BayerMatrix(), fs);
}

void GearDiffusionColor(TGearSeite& seite, const TFortschritt& fs)
{
    if (!SeiteLesbar(seite))
        return;
    TFortschrittsMelder melder(fs);
    Uebernehmen(seite, FarbeVerteilen(seite.bild, StandardPalette16(), melder, 0, 100), 4);
}

void GearBayerColor(TGearSeite& seite, const TFortschritt& fs)
{
    if (!SeiteLesbar(seite))
        return;
    // Each channel is dithered to 0 or 255, which lands on one of the eight
    // corner colours of the standard palette: index by the bits R G B.
    static constexpr uint8_t kEcke[8] = {0, 12, 10, 14, 9, 13, 11, 15};
    const TMatrix8& m = BayerMatrix();
    const TZeilenLeser leser(seite.bild);
    const int w = leser.Breite(), h = leser.Hoehe();
    QImage aus = IndexBild(w, h, StandardPalette16());
    if (aus.isNull())
        return;
    uint8_t* basis = aus.bits();
    const qsizetype bpl = aus.bytesPerLine();
    TFortschrittsMelder melder(fs);
    ZeilenBaender(h, Pixel(aus), melder, 0, 100, [&](int y0, int y1) {
        std::vector<uint8_t> puffer(size_t(w) * 3);
        for (int y = y0; y < y1; ++y) {
            const uint8_t* z = leser.Zeile(y, puffer.data());
            uint8_t* ziel = basis + qsizetype(y) * bpl;
            for (int x = 0; x < w; ++x, z += 3) {
                const int schwelle = 4 * m[y & 7][x & 7] + 2;
                ziel[x] = kEcke[(z[2] > schwelle ? 4 : 0) | (z[1] > schwelle ? 2 : 0) | (z[0] > schwelle ? 1 : 0)];
            }
        }
    });
    Uebernehmen(seite, std::move(aus), 4);
}

void GearOctree(TGearSeite& seite, int bits, int farben, const TFortschritt& fs)
{
    if (!SeiteLesbar(seite))
        return;
    const int tiefe = bits <= 1 ? 1 : (bits <= 4 ? 4 : 8);
    farben = FarbenBegrenzen(farben, 1 << tiefe);

    TFortschrittsMelder melder(fs);
    const TZeilenLeser leser(seite.bild);
    const int w = leser.Breite(), h = leser.Hoehe();
    TOctree baum;
    std::vector<uint8_t> puffer(size_t(w) * 3);
    for (int y = 0; y < h; ++y) {
        const uint8_t* z = leser.Zeile(y, puffer.data());
        // Runs of one colour go in at once; flat areas cost almost nothing.
        for (int x = 0; x < w;) {
            const uint8_t* p = z + x * 3;
            int ende = x + 1;
            while (ende < w && std::equal(p, p + 3, z + ende * 3))
                ++ende;
            baum.Einfuegen(p[2], p[1], p[0], uint64_t(ende - x));
            x = ende;
            if (baum.Blaetter() > kOctreeGrenze)
                baum.Reduzieren(kOctreeGrenze * 3 / 4);
        }
        melder.Anteil(0, 70, y + 1, h);
    }
    baum.Reduzieren(farben);
    const QList<QRgb> palette = baum.Palette();
    Uebernehmen(seite,
                Abbilden(seite.bild, palette, melder, 70, 100, [&](int r, int g, int b) { return baum.Index(r, g, b); }),
                tiefe);
}

void GearMedianCut(TGearSeite& seite, int farben, const TFortschritt& fs)
{
    if (!SeiteLesbar(seite))
        return;
    farben = FarbenBegrenzen(farben, 256);
    TFortschrittsMelder melder(fs);
    QList<QRgb> palette;
    if (FarbenZaehlen(seite.bild, farben, &palette) > farben) {
        palette = MedianCutPalette(Histogramm(seite.bild, melder, 0, 30), farben);
    }
    Uebernehmen(seite, FarbeVerteilen(seite.bild, palette, melder, 30, 100), 8);
}

void GearPopularity(TGearSeite& seite, int farben, const TFortschritt& fs)
{
    if (!SeiteLesbar(seite))
        return;
    farben = FarbenBegrenzen(farben, 256);
    TFortschrittsMelder melder(fs);
    QList<QRgb> palette;
    if (FarbenZaehlen(seite.bild, farben, &palette) > farben) {
        const std::vector<TFach> hist = Histogramm(seite.bild, melder, 0, 40);
        std::vector<int> faecher(hist.size());
        std::iota(faecher.begin(), faecher.end(), 0);
        // Most pixels first; equal counts in cell order, so the choice is reproducible.
        std::stable_sort(faecher.begin(), faecher.end(), [&](int a, int b) { return hist[a].n > hist[b].n; });
        for (int i = 0; i < farben && hist[faecher[i]].n > 0; ++i)
            palette.append(Mittel(hist[faecher[i]]));
    }
    const TNaechsteFarbe naechste(palette);
    Uebernehmen(seite,
                Abbilden(seite.bild, palette, melder, 40, 100,
                         [&](int r, int g, int b) { return naechste.Index(r, g, b); }),
                8);
}

void GearPromoteColor(TGearSeite& seite, int tiefe)
{
    if (!SeiteLesbar(seite))
        return;
    const int ziel = tiefe > 8 ? 24 : tiefe;
    if ((ziel != 4 && ziel != 8 && ziel != 24) || ziel <= seite.bpp)
        return;
    if (seite.bild.format() != QImage::Format_Indexed8) {
        // Already 24-bit samples; only the depth goes up.
        if (ziel == 24)
            seite.bpp = 24;
        return;
    }
    if (ziel < 24) {
        // The palette and the pixels stay; the page only counts more bits.
        seite.bpp = ziel;
        return;
    }
    const TZeilenLeser leser(seite.bild);
    QImage aus(leser.Breite(), leser.Hoehe(), QImage::Format_BGR888);
    if (aus.isNull())
        return;
    for (int y = 0; y < leser.Hoehe(); ++y)
        leser.Zeile(y, aus.scanLine(y));
    Uebernehmen(seite, std::move(aus), 24);
}

void GearGrau(TGearSeite& seite, const TFortschritt& fs)
{
    QList<QRgb> grau(256);
    for (int i = 0; i < 256; ++i)
        grau[i] = qRgb(i, i, i);
    HelligkeitAbbilden(seite, grau, 8, fs, [](int v, int, int) { return uint8_t(v); });
}
