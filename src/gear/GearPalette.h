#pragma once
#include "GearSeite.h"
#include <QImage>
#include <QList>
#include <array>
#include <cstdint>
#include <vector>

// Shared pieces of the depth reductions and filters: reading rows of either
// page form as BGR, palettes and the nearest palette colour.

// Brings a page into one of the two forms the operations read (BGR888 or
// Indexed8); false for an empty page.
bool SeiteLesbar(TGearSeite& seite);

// Grey value of a colour; weights sum to 256, so a grey stays the same grey.
inline int Luma(int r, int g, int b) { return (r * 77 + g * 150 + b * 29 + 128) >> 8; }

// Hands out rows as BGR bytes, expanding palette rows into a buffer of the
// caller (one per thread) and passing 24-bit rows through.
class TZeilenLeser {
public:
    explicit TZeilenLeser(const QImage& bild);
    const uint8_t* Zeile(int y, uint8_t* puffer) const;
    int Breite() const { return m_breite; }
    int Hoehe() const { return m_hoehe; }
    bool Indexiert() const { return m_indexiert; }

private:
    const uint8_t* m_basis;
    qsizetype m_zeilenLaenge;
    int m_breite;
    int m_hoehe;
    bool m_indexiert;
    std::array<uint8_t, 256 * 3> m_tabelle{};   // index -> B, G, R
};

// The 16 colours of the standard VGA/Windows palette, in its usual order.
const QList<QRgb>& StandardPalette16();

// Distinct colours of the picture, stopping once more than grenze are found;
// returns their number (at most grenze + 1) and, when it is <= grenze, the
// colours in order of first appearance.
int FarbenZaehlen(const QImage& bild, int grenze, QList<QRgb>* farben = nullptr);

// An Indexed8 picture of the size with the colour table, pixels undefined;
// null when the memory is not there.
QImage IndexBild(int breite, int hoehe, const QList<QRgb>& palette);

// Exact nearest palette colour (squared RGB distance, lowest index on ties).
// For each cell of a 32 x 32 x 32 grid only the colours that can be nearest
// somewhere in the cell are kept, so a lookup compares a handful of colours.
class TNaechsteFarbe {
public:
    explicit TNaechsteFarbe(const QList<QRgb>& palette);
    int Index(int r, int g, int b) const
    {
        const int zelle = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        const uint32_t anfang = m_anfang[zelle];
        const uint32_t ende = m_anfang[zelle + 1];
        int bester = m_kandidaten[anfang];
        int besteDistanz = INT32_MAX;
        for (uint32_t k = anfang; k < ende; ++k) {
            const int i = m_kandidaten[k];
            const int dr = r - m_r[i], dg = g - m_g[i], db = b - m_b[i];
            const int d = dr * dr + dg * dg + db * db;
            if (d < besteDistanz) {
                besteDistanz = d;
                bester = i;
            }
        }
        return bester;
    }
    int R(int i) const { return m_r[i]; }
    int G(int i) const { return m_g[i]; }
    int B(int i) const { return m_b[i]; }

private:
    std::vector<int> m_r, m_g, m_b;
    std::vector<uint32_t> m_anfang;
    std::vector<uint8_t> m_kandidaten;
};
