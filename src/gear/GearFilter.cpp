#include "GearFilter.h"
#include "GearBaender.h"
#include "GearFarbtiefe.h"
#include "GearPalette.h"
#include "pixelops/Runden.h"
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// The filters read and write 24-bit pages; a palette page is expanded first.
bool Seite24(TGearSeite& seite)
{
    if (!SeiteLesbar(seite))
        return false;
    if (seite.bild.format() == QImage::Format_Indexed8) {
        seite.bpp = std::min(seite.bpp, 8);
        GearPromoteColor(seite, 24);
    }
    return seite.bild.format() == QImage::Format_BGR888;
}

int64_t Pixel(const QImage& b) { return int64_t(b.width()) * b.height(); }

uint8_t Begrenzt(int v) { return uint8_t(std::clamp(v, 0, 255)); }

// The eight directions, counter-clockwise from east in steps of 45 degrees
// (y grows downwards).
struct TSchritt {
    int dx, dy;
};
TSchritt Richtung(int r)
{
    static constexpr TSchritt kRichtungen[8] = {{1, 0},  {1, -1}, {0, -1}, {-1, -1},
                                                {-1, 0}, {-1, 1}, {0, 1},  {1, 1}};
    return kRichtungen[((r % 8) + 8) % 8];
}

// Row y of a 24-bit picture with its pixels as base + y * bpl.
struct TRaster {
    uint8_t* basis;
    qsizetype bpl;
    int w, h;
    explicit TRaster(QImage& b) : basis(b.bits()), bpl(b.bytesPerLine()), w(b.width()), h(b.height()) {}
    uint8_t* Zeile(int y) const { return basis + qsizetype(y) * bpl; }
};

// ---------------------------------------------------------------- edge maps

using TKern = std::array<int, 9>;   // row by row, top left first

struct TKantenArt {
    TKern a;
    TKern b;
    bool betrag;   // true: |a| alone; false: sqrt(a^2 + b^2)
};

constexpr TKantenArt kKanten[9] = {
    {},
    {{-1, 0, 1, -1, 0, 1, -1, 0, 1}, {-1, -1, -1, 0, 0, 0, 1, 1, 1}, false},   // Prewitt
    {{0, 0, 0, 0, 1, 0, 0, 0, -1}, {0, 0, 0, 0, 0, 1, 0, -1, 0}, false},       // Roberts cross
    {{-1, 0, 1, -2, 0, 2, -1, 0, 1}, {-1, -2, -1, 0, 0, 0, 1, 2, 1}, false},   // Sobel
    {{0, -1, 0, -1, 4, -1, 0, -1, 0}, {}, true},                             // Laplacian
    {{-1, -1, -1, 0, 0, 0, 1, 1, 1}, {}, true},                              // horizontal edges
    {{-1, 0, 1, -1, 0, 1, -1, 0, 1}, {}, true},                              // vertical edges
    {{-1, -1, 0, -1, 0, 1, 0, 1, 1}, {}, true},                              // edges along "/"
    {{0, 1, 1, -1, 0, 1, -1, -1, 0}, {}, true},                              // edges along "\"
};

// Rounded square roots up to 255.5^2; anything above is 255.
const std::vector<uint8_t>& WurzelTabelle()
{
    static const std::vector<uint8_t> t = [] {
        std::vector<uint8_t> v(65281);
        for (int i = 0; i < int(v.size()); ++i)
            v[i] = uint8_t(std::min(255.0, Gerundet(std::sqrt(double(i)))));
        return v;
    }();
    return t;
}

// Copies row y with one replicated pixel on each side.
void Gepolstert(const uint8_t* zeile, int w, uint8_t* ziel)
{
    std::copy(zeile, zeile + 3, ziel);
    std::copy(zeile, zeile + qsizetype(w) * 3, ziel + 3);
    std::copy(zeile + qsizetype(w - 1) * 3, zeile + qsizetype(w) * 3, ziel + qsizetype(w + 1) * 3);
}

template <int N>
void KantenBand(const TRaster& q, const TRaster& z, int y0, int y1)
{
    constexpr TKantenArt art = kKanten[N];
    const std::vector<uint8_t>& wurzel = WurzelTabelle();
    const int w = q.w;
    std::vector<uint8_t> puffer(size_t(w + 2) * 9);
    uint8_t* reihe[3] = {puffer.data(), puffer.data() + (w + 2) * 3, puffer.data() + (w + 2) * 6};
    for (int y = y0; y < y1; ++y) {
        Gepolstert(q.Zeile(std::max(y - 1, 0)), w, reihe[0]);
        Gepolstert(q.Zeile(y), w, reihe[1]);
        Gepolstert(q.Zeile(std::min(y + 1, q.h - 1)), w, reihe[2]);
        uint8_t* aus = z.Zeile(y);
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                int a = 0, b = 0;
                for (int ky = 0; ky < 3; ++ky)
                    for (int kx = 0; kx < 3; ++kx) {
                        const int p = reihe[ky][(x + kx) * 3 + c];
                        a += art.a[ky * 3 + kx] * p;
                        if constexpr (!art.betrag)
                            b += art.b[ky * 3 + kx] * p;
                    }
                if constexpr (art.betrag) {
                    aus[x * 3 + c] = uint8_t(std::min(255, std::abs(a)));
                } else {
                    const int m = a * a + b * b;
                    aus[x * 3 + c] = m < int(wurzel.size()) ? wurzel[m] : 255;
                }
            }
        }
    }
}

// ---------------------------------------------------------------- relief

// Shading from the grey step across a pixel in the light's direction: the
// neighbour towards the light minus the one away from it, times staerke / teiler.
std::array<int, 511> Schattierung(int staerke, int teiler)
{
    std::array<int, 511> t{};
    for (int d = -255; d <= 255; ++d)
        t[d + 255] = int(std::clamp(Gerundet(double(d) * staerke / teiler), -255.0, 255.0));
    return t;
}

// Calls setze(x, y, schatten) for every pixel; the grey rows of the two
// neighbours are computed once per row.
template <class F>
void Schattieren(const TRaster& q, int richtung, const std::array<int, 511>& tabelle, TFortschrittsMelder& melder,
                 F&& setze)
{
    const TSchritt s = Richtung(richtung);
    const int w = q.w, h = q.h;
    ZeilenBaender(h, int64_t(w) * h, melder, 0, 100, [&](int y0, int y1) {
        std::vector<int> zum(w), weg(w);
        for (int y = y0; y < y1; ++y) {
            const uint8_t* a = q.Zeile(std::clamp(y + s.dy, 0, h - 1));
            const uint8_t* b = q.Zeile(std::clamp(y - s.dy, 0, h - 1));
            for (int x = 0; x < w; ++x) {
                const uint8_t* pa = a + std::clamp(x + s.dx, 0, w - 1) * 3;
                const uint8_t* pb = b + std::clamp(x - s.dx, 0, w - 1) * 3;
                zum[x] = Luma(pa[2], pa[1], pa[0]);
                weg[x] = Luma(pb[2], pb[1], pb[0]);
            }
            for (int x = 0; x < w; ++x)
                setze(x, y, tabelle[zum[x] - weg[x] + 255]);
        }
    });
}

// ---------------------------------------------------------------- sampling

// Bilinear sample at (sx, sy), coordinates clamped to the picture.
inline void Bilinear(const TRaster& q, double sx, double sy, uint8_t* ziel)
{
    sx = std::clamp(sx, 0.0, double(q.w - 1));
    sy = std::clamp(sy, 0.0, double(q.h - 1));
    const int x0 = int(sx), y0 = int(sy);
    const int x1 = std::min(x0 + 1, q.w - 1), y1 = std::min(y0 + 1, q.h - 1);
    const int fx = int((sx - x0) * 256), fy = int((sy - y0) * 256);
    const uint8_t* o = q.Zeile(y0);
    const uint8_t* u = q.Zeile(y1);
    for (int c = 0; c < 3; ++c) {
        const int oben = o[x0 * 3 + c] * (256 - fx) + o[x1 * 3 + c] * fx;
        const int unten = u[x0 * 3 + c] * (256 - fx) + u[x1 * 3 + c] * fx;
        ziel[c] = uint8_t((oben * (256 - fy) + unten * fy + 32768) >> 16);
    }
}

uint32_t Mischen(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

// Separable Gaussian weights with sum 65536.
std::vector<int> Gauss(double sigma)
{
    const int radius = std::max(1, int(std::ceil(3 * sigma)));
    std::vector<double> g(2 * radius + 1);
    double summe = 0;
    for (int k = -radius; k <= radius; ++k)
        summe += g[k + radius] = std::exp(-k * k / (2 * sigma * sigma));
    std::vector<int> w(g.size());
    int ganz = 0;
    for (size_t i = 0; i < g.size(); ++i)
        ganz += w[i] = Runden(g[i] / summe * 65536);
    w[radius] += 65536 - ganz;
    return w;
}

}   // namespace

void GearEdgeMap(TGearSeite& seite, int n, const TFortschritt& fs)
{
    if (n < 1 || n > 8 || !Seite24(seite))
        return;
    QImage aus(seite.bild.width(), seite.bild.height(), QImage::Format_BGR888);
    if (aus.isNull())
        return;
    const TRaster q(seite.bild), z(aus);
    TFortschrittsMelder melder(fs);
    using TBand = void (*)(const TRaster&, const TRaster&, int, int);
    static constexpr TBand kBaender[9] = {nullptr,         KantenBand<1>, KantenBand<2>, KantenBand<3>, KantenBand<4>,
                                          KantenBand<5>,   KantenBand<6>, KantenBand<7>, KantenBand<8>};
    ZeilenBaender(q.h, Pixel(aus), melder, 0, 100, [&](int y0, int y1) { kBaender[n](q, z, y0, y1); });
    seite.bild = std::move(aus);
    seite.bpp = 24;
}

void GearEmboss(TGearSeite& seite, int staerke, int richtung, const TFortschritt& fs)
{
    if (!Seite24(seite))
        return;
    QImage aus(seite.bild.width(), seite.bild.height(), QImage::Format_BGR888);
    if (aus.isNull())
        return;
    const TRaster q(seite.bild), z(aus);
    TFortschrittsMelder melder(fs);
    // A grey relief: flat areas become middle grey, steps light or dark.
    Schattieren(q, richtung, Schattierung(staerke, 10), melder, [&](int x, int y, int schatten) {
        uint8_t* p = z.Zeile(y) + x * 3;
        p[0] = p[1] = p[2] = Begrenzt(128 + schatten);
    });
    seite.bild = std::move(aus);
    seite.bpp = 24;
}

void GearStitch(TGearSeite& seite, int staerke, int richtung, const TFortschritt& fs)
{
    if (!Seite24(seite))
        return;
    QImage aus(seite.bild.width(), seite.bild.height(), QImage::Format_BGR888);
    if (aus.isNull())
        return;
    const TRaster q(seite.bild), z(aus);
    TFortschrittsMelder melder(fs);
    // The picture keeps its colours and gets the light and shadow of its steps,
    // as if carved: flat areas stay as they are.
    Schattieren(q, richtung, Schattierung(staerke, 20), melder, [&](int x, int y, int schatten) {
        const uint8_t* s = q.Zeile(y) + x * 3;
        uint8_t* p = z.Zeile(y) + x * 3;
        for (int c = 0; c < 3; ++c)
            p[c] = Begrenzt(s[c] + schatten);
    });
    seite.bild = std::move(aus);
    seite.bpp = 24;
}

void GearDiffuse(TGearSeite& seite, int weite, const TFortschritt& fs)
{
    if (weite <= 0 || !Seite24(seite))
        return;
    weite = std::min(weite, 10000);
    QImage aus(seite.bild.width(), seite.bild.height(), QImage::Format_BGR888);
    if (aus.isNull())
        return;
    const TRaster q(seite.bild), z(aus);
    const uint32_t spanne = uint32_t(2 * weite + 1);
    TFortschrittsMelder melder(fs);
    // Each pixel takes a random neighbour within weite; the choice hangs on the
    // position only, so bands on different threads give the same picture.
    ZeilenBaender(q.h, Pixel(aus), melder, 0, 100, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t* ziel = z.Zeile(y);
            for (int x = 0; x < q.w; ++x) {
                const uint32_t zufall = Mischen(uint32_t(x) * 0x9E3779B1u ^ Mischen(uint32_t(y) + 0x632BE5ABu));
                const int sx = std::clamp(x + int(zufall % spanne) - weite, 0, q.w - 1);
                const int sy = std::clamp(y + int((zufall >> 16) % spanne) - weite, 0, q.h - 1);
                std::copy_n(q.Zeile(sy) + sx * 3, 3, ziel + x * 3);
            }
        }
    });
    seite.bild = std::move(aus);
    seite.bpp = 24;
}

void GearMotion(TGearSeite& seite, int laenge, int richtung, const TFortschritt& fs)
{
    if (laenge <= 1 || !Seite24(seite))
        return;
    laenge = std::min(laenge, 1000);
    QImage aus(seite.bild.width(), seite.bild.height(), QImage::Format_BGR888);
    if (aus.isNull())
        return;
    const TRaster q(seite.bild), z(aus);
    const TSchritt s = Richtung(richtung);
    const qsizetype schritt = qsizetype(s.dy) * q.bpl + s.dx * 3;
    TFortschrittsMelder melder(fs);
    // A trail: each pixel averages itself and the laenge - 1 pixels behind it
    // against the direction of motion; at the border only those inside count.
    ZeilenBaender(q.h, Pixel(aus), melder, 0, 100, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const int ky = s.dy > 0 ? y / s.dy + 1 : (s.dy < 0 ? (q.h - 1 - y) / -s.dy + 1 : laenge);
            const uint8_t* zeile = q.Zeile(y);
            uint8_t* ziel = z.Zeile(y);
            for (int x = 0; x < q.w; ++x) {
                const int kx = s.dx > 0 ? x / s.dx + 1 : (s.dx < 0 ? (q.w - 1 - x) / -s.dx + 1 : laenge);
                const int k = std::min({laenge, ky, kx});
                int summe[3] = {0, 0, 0};
                const uint8_t* p = zeile + x * 3;
                for (int i = 0; i < k; ++i, p -= schritt) {
                    summe[0] += p[0];
                    summe[1] += p[1];
                    summe[2] += p[2];
                }
                for (int c = 0; c < 3; ++c)
                    ziel[x * 3 + c] = uint8_t((summe[c] + k / 2) / k);
            }
        }
    });
    seite.bild = std::move(aus);
    seite.bpp = 24;
}

void GearPosterize(TGearSeite& seite, int stufen, const TFortschritt& fs)
{
    if (stufen < 2 || stufen > 255 || !Seite24(seite))
        return;
    std::array<uint8_t, 256> tabelle{};
    for (int v = 0; v < 256; ++v) {
        const double stufe = Gerundet(v * (stufen - 1) / 255.0);
        tabelle[v] = uint8_t(Runden(stufe * 255.0 / (stufen - 1)));
    }
    const TRaster q(seite.bild);
    TFortschrittsMelder melder(fs);
    ZeilenBaender(q.h, Pixel(seite.bild), melder, 0, 100, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t* z = q.Zeile(y);
            for (int i = 0; i < q.w * 3; ++i)
                z[i] = tabelle[z[i]];
        }
    });
    seite.bpp = 24;
}

void GearTwist(TGearSeite& seite, int staerke, int art, const TFortschritt& fs)
{
    if (!Seite24(seite))
        return;
    QImage aus(seite.bild.width(), seite.bild.height(), QImage::Format_BGR888);
    if (aus.isNull())
        return;
    const TRaster q(seite.bild), z(aus);
    TFortschrittsMelder melder(fs);

    if (art == 4) {
        // Structured glass: square tiles, each showing twice its own width of
        // the picture around its middle, shrunk, like a block of pressed glass.
        const int kachel = 2 * std::max(0, staerke) + 4;
        auto quelle = [&](int v, int groesse) {
            const int mitte = (v / kachel) * kachel + kachel / 2;
            return std::clamp(2 * v - mitte, 0, groesse - 1);
        };
        std::vector<int> sx(q.w), sy(q.h);
        for (int x = 0; x < q.w; ++x)
            sx[x] = quelle(x, q.w);
        for (int y = 0; y < q.h; ++y)
            sy[y] = quelle(y, q.h);
        ZeilenBaender(q.h, Pixel(aus), melder, 0, 100, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                const uint8_t* zeile = q.Zeile(sy[y]);
                uint8_t* ziel = z.Zeile(y);
                for (int x = 0; x < q.w; ++x)
                    std::copy_n(zeile + sx[x] * 3, 3, ziel + x * 3);
            }
        });
    } else {
        // Swirl: the angle of turn is staerke x 30 degrees at the centre and
        // falls off to nothing at the radius (half the longer side).
        const double winkel = staerke * 30.0 * M_PI / 180.0;
        const double cx = (q.w - 1) / 2.0, cy = (q.h - 1) / 2.0;
        const double radius = std::max(q.w, q.h) / 2.0;
        ZeilenBaender(q.h, Pixel(aus), melder, 0, 100, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                const uint8_t* zeile = q.Zeile(y);
                uint8_t* ziel = z.Zeile(y);
                const double dy = y - cy;
                for (int x = 0; x < q.w; ++x) {
                    const double dx = x - cx;
                    const double r = std::sqrt(dx * dx + dy * dy);
                    if (r >= radius) {
                        std::copy_n(zeile + x * 3, 3, ziel + x * 3);
                        continue;
                    }
                    const double f = 1.0 - r / radius;
                    const double a = winkel * f * f;
                    const double co = std::cos(a), si = std::sin(a);
                    Bilinear(q, cx + dx * co - dy * si, cy + dx * si + dy * co, ziel + x * 3);
                }
            }
        });
    }
    seite.bild = std::move(aus);
    seite.bpp = 24;
}

void GearBlur(TGearSeite& seite, int staerke, const TFortschritt& fs)
{
    if (staerke <= 0 || !Seite24(seite))
        return;
    const std::vector<int> gewicht = Gauss(std::min(staerke, 100));
    const int radius = int(gewicht.size() / 2);
    QImage zwischen(seite.bild.width(), seite.bild.height(), QImage::Format_BGR888);
    if (zwischen.isNull())
        return;
    const TRaster q(seite.bild), m(zwischen);
    const int w = q.w;
    TFortschrittsMelder melder(fs);
    // Across the rows into the intermediate picture, then down the columns back
    // into the page; the border pixels repeat outwards.
    ZeilenBaender(q.h, Pixel(zwischen), melder, 0, 50, [&](int y0, int y1) {
        std::vector<uint8_t> gepolstert(size_t(w + 2 * radius) * 3);
        for (int y = y0; y < y1; ++y) {
            const uint8_t* zeile = q.Zeile(y);
            for (int i = 0; i < w + 2 * radius; ++i)
                std::copy_n(zeile + std::clamp(i - radius, 0, w - 1) * 3, 3, &gepolstert[size_t(i) * 3]);
            uint8_t* ziel = m.Zeile(y);
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) {
                    int summe = 32768;
                    const uint8_t* p = &gepolstert[size_t(x) * 3 + c];
                    for (size_t k = 0; k < gewicht.size(); ++k)
                        summe += gewicht[k] * p[k * 3];
                    ziel[x * 3 + c] = uint8_t(summe >> 16);
                }
        }
    });
    ZeilenBaender(q.h, Pixel(zwischen), melder, 50, 100, [&](int y0, int y1) {
        std::vector<int> summe(size_t(w) * 3);
        for (int y = y0; y < y1; ++y) {
            std::fill(summe.begin(), summe.end(), 32768);
            for (int k = -radius; k <= radius; ++k) {
                const uint8_t* zeile = m.Zeile(std::clamp(y + k, 0, q.h - 1));
                const int g = gewicht[k + radius];
                for (int i = 0; i < w * 3; ++i)
                    summe[i] += g * zeile[i];
            }
            uint8_t* ziel = q.Zeile(y);
            for (int i = 0; i < w * 3; ++i)
                ziel[i] = uint8_t(summe[i] >> 16);
        }
    });
    seite.bpp = 24;
}
