#include "GearFaxZeilen.h"
#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace {

struct TCode {
    const char* bits;
    int lauf;
};

// ITU-T T.4 tables 2 and 3: terminating codes 0-63 and make-up codes
// 64-1728 of each colour, and the extended make-up codes 1792-2560 that
// both colours share.
const TCode WeissEnde[] = {
    {"00110101", 0}, {"000111", 1}, {"0111", 2}, {"1000", 3}, {"1011", 4}, {"1100", 5}, {"1110", 6},
    {"1111", 7}, {"10011", 8}, {"10100", 9}, {"00111", 10}, {"01000", 11}, {"001000", 12}, {"000011", 13},
    {"110100", 14}, {"110101", 15}, {"101010", 16}, {"101011", 17}, {"0100111", 18}, {"0001100", 19},
    {"0001000", 20}, {"0010111", 21}, {"0000011", 22}, {"0000100", 23}, {"0101000", 24}, {"0101011", 25},
    {"0010011", 26}, {"0100100", 27}, {"0011000", 28}, {"00000010", 29}, {"00000011", 30}, {"00011010", 31},
    {"00011011", 32}, {"00010010", 33}, {"00010011", 34}, {"00010100", 35}, {"00010101", 36},
    {"00010110", 37}, {"00010111", 38}, {"00101000", 39}, {"00101001", 40}, {"00101010", 41},
    {"00101011", 42}, {"00101100", 43}, {"00101101", 44}, {"00000100", 45}, {"00000101", 46},
    {"00001010", 47}, {"00001011", 48}, {"01010010", 49}, {"01010011", 50}, {"01010100", 51},
    {"01010101", 52}, {"00100100", 53}, {"00100101", 54}, {"01011000", 55}, {"01011001", 56},
    {"01011010", 57}, {"01011011", 58}, {"01001010", 59}, {"01001011", 60}, {"00110010", 61},
    {"00110011", 62}, {"00110100", 63}};
const TCode WeissAuf[] = {
    {"11011", 64}, {"10010", 128}, {"010111", 192}, {"0110111", 256}, {"00110110", 320}, {"00110111", 384},
    {"01100100", 448}, {"01100101", 512}, {"01101000", 576}, {"01100111", 640}, {"011001100", 704},
    {"011001101", 768}, {"011010010", 832}, {"011010011", 896}, {"011010100", 960}, {"011010101", 1024},
    {"011010110", 1088}, {"011010111", 1152}, {"011011000", 1216}, {"011011001", 1280}, {"011011010", 1344},
    {"011011011", 1408}, {"010011000", 1472}, {"010011001", 1536}, {"010011010", 1600}, {"011000", 1664},
    {"010011011", 1728}};
const TCode SchwarzEnde[] = {
    {"0000110111", 0}, {"010", 1}, {"11", 2}, {"10", 3}, {"011", 4}, {"0011", 5}, {"0010", 6}, {"00011", 7},
    {"000101", 8}, {"000100", 9}, {"0000100", 10}, {"0000101", 11}, {"0000111", 12}, {"00000100", 13},
    {"00000111", 14}, {"000011000", 15}, {"0000010111", 16}, {"0000011000", 17}, {"0000001000", 18},
    {"00001100111", 19}, {"00001101000", 20}, {"00001101100", 21}, {"00000110111", 22}, {"00000101000", 23},
    {"00000010111", 24}, {"00000011000", 25}, {"000011001010", 26}, {"000011001011", 27},
    {"000011001100", 28}, {"000011001101", 29}, {"000001101000", 30}, {"000001101001", 31},
    {"000001101010", 32}, {"000001101011", 33}, {"000011010010", 34}, {"000011010011", 35},
    {"000011010100", 36}, {"000011010101", 37}, {"000011010110", 38}, {"000011010111", 39},
    {"000001101100", 40}, {"000001101101", 41}, {"000011011010", 42}, {"000011011011", 43},
    {"000001010100", 44}, {"000001010101", 45}, {"000001010110", 46}, {"000001010111", 47},
    {"000001100100", 48}, {"000001100101", 49}, {"000001010010", 50}, {"000001010011", 51},
    {"000000100100", 52}, {"000000110111", 53}, {"000000111000", 54}, {"000000100111", 55},
    {"000000101000", 56}, {"000001011000", 57}, {"000001011001", 58}, {"000000101011", 59},
    {"000000101100", 60}, {"000001011010", 61}, {"000001100110", 62}, {"000001100111", 63}};
const TCode SchwarzAuf[] = {
    {"0000001111", 64}, {"000011001000", 128}, {"000011001001", 192}, {"000001011011", 256},
    {"000000110011", 320}, {"000000110100", 384}, {"000000110101", 448}, {"0000001101100", 512},
    {"0000001101101", 576}, {"0000001001010", 640}, {"0000001001011", 704}, {"0000001001100", 768},
    {"0000001001101", 832}, {"0000001110010", 896}, {"0000001110011", 960}, {"0000001110100", 1024},
    {"0000001110101", 1088}, {"0000001110110", 1152}, {"0000001110111", 1216}, {"0000001010010", 1280},
    {"0000001010011", 1344}, {"0000001010100", 1408}, {"0000001010101", 1472}, {"0000001011010", 1536},
    {"0000001011011", 1600}, {"0000001100100", 1664}, {"0000001100101", 1728}};
const TCode GemeinsamAuf[] = {
    {"00000001000", 1792}, {"00000001100", 1856}, {"00000001101", 1920}, {"000000010010", 1984},
    {"000000010011", 2048}, {"000000010100", 2112}, {"000000010101", 2176}, {"000000010110", 2240},
    {"000000010111", 2304}, {"000000011100", 2368}, {"000000011101", 2432}, {"000000011110", 2496},
    {"000000011111", 2560}};

// T.4 table 4 (2-D modes) as offsets of a1 from b1; the rest are named.
enum TModus : uint8_t { MUngueltig, MPass, MHorizontal, MVertikal, MErweiterung, MNullen };

enum TArt : uint8_t { Ungueltig, Ende, Auf, Eol, Nullen };

struct TEintrag {
    int16_t wert = 0;   // run length, or the vertical offset
    uint8_t laenge = 0;
    uint8_t art = Ungueltig;
};

constexpr int LaufBits = 13;   // the longest run code
constexpr int ModusBits = 7;

struct TTabellen {
    std::array<TEintrag, 1 << LaufBits> lauf[2];
    std::array<TEintrag, 1 << ModusBits> modus;
    uint8_t umgekehrt[256];

    template <typename Tab>
    static void Eintragen(Tab& tab, int bitsGesamt, const char* bits, int wert, uint8_t art)
    {
        int code = 0, n = 0;
        for (; bits[n]; ++n)
            code = code * 2 + (bits[n] == '1');
        const int frei = bitsGesamt - n;
        for (int rest = 0; frei >= 0 && rest < (1 << frei); ++rest)
            if (const size_t k = size_t((code << frei) | rest); k < tab.size())
                tab[k] = TEintrag{int16_t(wert), uint8_t(n), art};
    }

    TTabellen()
    {
        for (int farbe = 0; farbe < 2; ++farbe) {
            auto& t = lauf[farbe];
            for (const TCode& c : farbe ? SchwarzEnde : WeissEnde)
                Eintragen(t, LaufBits, c.bits, c.lauf, Ende);
            for (const TCode& c : farbe ? SchwarzAuf : WeissAuf)
                Eintragen(t, LaufBits, c.bits, c.lauf, Auf);
            for (const TCode& c : GemeinsamAuf)
                Eintragen(t, LaufBits, c.bits, c.lauf, Auf);
            Eintragen(t, LaufBits, "000000000001", 0, Eol);
            Eintragen(t, LaufBits, "000000000000", 0, Nullen);
        }
        Eintragen(modus, ModusBits, "0001", 0, MPass);
        Eintragen(modus, ModusBits, "001", 0, MHorizontal);
        const struct {
            const char* bits;
            int d;
        } vertikal[] = {{"1", 0}, {"011", 1}, {"000011", 2}, {"0000011", 3}, {"010", -1}, {"000010", -2}, {"0000010", -3}};
        for (const auto& v : vertikal)
            Eintragen(modus, ModusBits, v.bits, v.d, MVertikal);
        Eintragen(modus, ModusBits, "0000001", 0, MErweiterung);
        Eintragen(modus, ModusBits, "0000000", 0, MNullen);
        for (int b = 0; b < 256; ++b) {
            int r = 0;
            for (int i = 0; i < 8; ++i)
                r |= ((b >> i) & 1) << (7 - i);
            umgekehrt[b] = uint8_t(r);
        }
    }
};

const TTabellen& Tabellen()
{
    static const TTabellen t;
    return t;
}

// How one row read, in the terms of libtiff's warnings: Leer is a row that
// holds nothing before an EOL ("got 0"), Fehler one that broke after
// `gemeldet` pixels (0: no length reported).
enum class TZeile { Sauber, Leer, DatenEnde, Fehler, Unsicher };

struct TErgebnis {
    TZeile art;
    int gemeldet = 0;
};

class TLeser {
public:
    // vergleichen: note where the data leaves the T.6 coder's steps.
    TLeser(const QByteArray& roh, TFaxKodierung art, bool lsb, int breite, bool vergleichen = false)
        : m_vergleichen(vergleichen), m_d(reinterpret_cast<const uint8_t*>(roh.constData())), m_bytes(roh.size()), m_bits(qint64(roh.size()) * 8),
          m_lsb(lsb), m_art(art), m_w(breite), m_t(Tabellen())
    {
        m_letzteEins = -1;
        for (qint64 i = m_bytes - 1; i >= 0 && m_letzteEins < 0; --i)
            if (const uint8_t b = Byte(i); b != 0)
                for (int k = 7; k >= 0 && m_letzteEins < 0; --k)
                    if ((b >> (7 - k)) & 1)
                        m_letzteEins = i * 8 + k;
        Referenz();
    }

    TErgebnis Zeile()
    {
        if (m_art == TFaxKodierung::G4)
            return ZweiD();
        if (!EolSuchen())
            return {TZeile::DatenEnde};
        bool einD = m_art == TFaxKodierung::G3EinD;
        if (!einD) {
            if (m_pos >= m_bits)
                return {TZeile::Unsicher};
            einD = Peek(1) == 1;
            m_pos += 1;
        }
        return einD ? EinD() : ZweiD();
    }

    const std::vector<int>& Wechsel() const { return m_ref; }

    // After an empty row libtiff reads on; the stop is a clean end when
    // nothing but EOL codes and fill bits follow. T.6 data ends with EOFB
    // (two EOLs) and fill to the byte; libtiff reads rows after further
    // EOLs or fill from wherever its look-ahead left off, so any other tail
    // is left to it.
    bool NurEolsBisEnde() const
    {
        if (m_art == TFaxKodierung::G4) {
            const qint64 eofbEnde = m_leerAb + 24;
            if (eofbEnde > m_bits || m_bits - eofbEnde >= 8 || m_letzteEins != eofbEnde - 1)
                return false;
            for (qint64 p = m_leerAb; p < eofbEnde; ++p)
                if (Bit(p) != (p == m_leerAb + 11 || p == eofbEnde - 1))
                    return false;
            return true;
        }
        int nullen = 0;
        for (qint64 p = m_leerAb; p <= m_letzteEins; ++p) {
            if (!Bit(p)) {
                ++nullen;
                continue;
            }
            if (nullen < 11)
                return false;
            nullen = 0;
            if (m_art == TFaxKodierung::G3ZweiD)
                ++p;   // the tag bit after the EOL
        }
        return true;
    }

private:
    uint8_t Byte(qint64 i) const { return m_lsb ? m_t.umgekehrt[m_d[i]] : m_d[i]; }
    bool Bit(qint64 p) const { return (Byte(p >> 3) >> (7 - (p & 7))) & 1; }

    // The next n (<= 24) bits, zeros past the end of the data.
    uint32_t Peek(int n) const
    {
        const qint64 i = m_pos >> 3;
        uint32_t v = 0;
        if (i + 4 <= m_bytes && !m_lsb) {
            v = uint32_t(m_d[i]) << 24 | uint32_t(m_d[i + 1]) << 16 | uint32_t(m_d[i + 2]) << 8 | m_d[i + 3];
        } else {
            for (int k = 0; k < 4; ++k)
                v = (v << 8) | (i + k < m_bytes ? Byte(i + k) : 0u);
        }
        return (v << (m_pos & 7)) >> (32 - n);
    }

    // A code that needs bits past the data: in T.4 libtiff reads zeros
    // there and reports the row as broken at a0 when nothing but a few fill
    // zeros was left; T.6 is left to libtiff.
    TErgebnis AmDatenEnde(int a0) const
    {
        if (m_art == TFaxKodierung::G4)
            return {TZeile::Unsicher};
        if (m_pos > m_letzteEins && m_bits - m_pos < 8 && a0 > 0)
            return {TZeile::Fehler, a0};
        return {TZeile::Unsicher};
    }

    // An EOL or a broken code inside a row: libtiff reports the length so far.
    TErgebnis Abbruch(int a0)
    {
        m_leerAb = m_pos;
        return a0 > 0 ? TErgebnis{TZeile::Fehler, a0} : TErgebnis{TZeile::Leer};
    }

    // G3 rows follow an EOL; whatever comes before it is skipped.
    bool EolSuchen()
    {
        int nullen = 0;
        for (; m_pos <= m_letzteEins; ++m_pos) {
            if (!Bit(m_pos)) {
                ++nullen;
            } else if (nullen >= 11) {
                ++m_pos;
                return true;
            } else {
                nullen = 0;
            }
        }
        m_pos = m_bits;
        return false;
    }

    // The finished row becomes the reference of the next; both buffers are kept.
    void Referenz()
    {
        std::swap(m_ref, m_neu);
        m_ref.insert(m_ref.end(), {m_w, m_w, m_w});
    }

    // One run of the colour: make-up codes, then a terminating code.
    // Returns -1 when the row breaks (ergebnis says how).
    int Lauf(int farbe, int a0, TErgebnis& ergebnis)
    {
        int lauf = 0;
        for (;;) {
            const TEintrag& e = m_t.lauf[farbe][Peek(LaufBits)];
            if (e.art == Ende || e.art == Auf) {
                if (m_pos + e.laenge > m_bits) {
                    ergebnis = lauf ? TErgebnis{TZeile::Unsicher} : AmDatenEnde(a0);
                    return -1;
                }
                m_pos += e.laenge;
                lauf += e.wert;
                if (e.art == Ende)
                    return lauf;
                continue;
            }
            if (lauf > 0 || e.art == Nullen || m_pos + 12 > m_bits)
                ergebnis = lauf > 0 || m_pos + 12 <= m_bits ? TErgebnis{TZeile::Unsicher} : AmDatenEnde(a0);
            else
                ergebnis = Abbruch(a0);
            return -1;
        }
    }

    TErgebnis EinD()
    {
        std::vector<int>& neu = m_neu;
        neu.clear();
        int a0 = 0, farbe = 0;
        while (a0 < m_w) {
            TErgebnis e{TZeile::Sauber};
            const int lauf = Lauf(farbe, a0, e);
            if (lauf < 0)
                return e;
            const int a1 = a0 + lauf;
            if (a1 > m_w)
                return {TZeile::Fehler};   // "Line length mismatch"
            if (lauf == 0 && a0 > 0) {
                // Two changes at one place cancel; a 2-D row after them
                // is left to libtiff.
                if (m_art == TFaxKodierung::G3ZweiD)
                    return {TZeile::Unsicher};
                if (!neu.empty() && neu.back() == a1)
                    neu.pop_back();
                else
                    neu.push_back(a1);
            } else if (a1 < m_w) {
                neu.push_back(a1);
            }
            a0 = a1;
            farbe ^= 1;
        }
        Referenz();
        return {TZeile::Sauber};
    }

    // b1 and b2 for a0 of the colour farbe; i walks along the reference row.
    void B1B2(int a0, int farbe, size_t& i, int& b1, int& b2) const
    {
        while (i > 0 && m_ref[i - 1] > a0)
            --i;
        while (m_ref[i] <= a0 && m_ref[i] < m_w)
            ++i;
        if (int(i & 1) != farbe)
            ++i;
        b1 = m_ref[i];
        b2 = m_ref[i + 1];
    }

    // The steps a T.6 coder chooses for the finished row (pass when b2 lies
    // before a1, vertical within three of b1, else horizontal); where the
    // data took another step, it cannot be the same coder's output.
    void KodierungVergleichen()
    {
        const std::vector<int>& zeile = m_neu;
        int a0 = -1, farbe = 0;
        size_t i = 0, k = 0;
        for (const TSchritt& s : m_schritte) {
            int b1, b2;
            B1B2(a0, farbe, i, b1, b2);
            while (k < zeile.size() && zeile[k] <= a0)
                ++k;
            const int a1 = k < zeile.size() ? zeile[k] : m_w;
            TSchritt soll{MPass, 0, 0, 0};
            if (b2 < a1) {
                a0 = b2;
            } else if (std::abs(a1 - b1) <= 3) {
                soll = {MVertikal, a1 - b1, 0, 0};
                a0 = a1;
                farbe ^= 1;
            } else {
                const int a2 = k + 1 < zeile.size() ? zeile[k + 1] : m_w;
                soll = {MHorizontal, a1 - std::max(a0, 0), a2 - a1, 0};
                a0 = a2;
            }
            if (soll.art != s.art || soll.w1 != s.w1 || soll.w2 != s.w2) {
                m_abweichungBis = s.bis;
                return;
            }
        }
    }

    TErgebnis ZweiD()
    {
        const bool vergleichen = m_vergleichen && m_abweichungBis < 0;
        std::vector<int>& neu = m_neu;
        neu.clear();
        int a0 = -1, farbe = 0;
        size_t i = 0;
        while (a0 < m_w) {
            const int start = std::max(a0, 0);
            int b1, b2;
            B1B2(a0, farbe, i, b1, b2);
            // Near the end of T.6 data libtiff's answer depends on how far
            // it has read ahead (the first read past the end passes quietly).
            if (m_art == TFaxKodierung::G4 && m_pos + LaufBits > m_bits)
                return {TZeile::Unsicher};
            const TEintrag& m = m_t.modus[Peek(ModusBits)];
            if (m.art == MNullen || m.art == MUngueltig) {
                const uint32_t zwoelf = Peek(12);
                if (m_pos + 12 > m_bits)
                    return AmDatenEnde(start);
                if (zwoelf == 0)
                    return {TZeile::Unsicher};
                return Abbruch(start);   // EOL, or no code at all
            }
            if (m_pos + m.laenge > m_bits)
                return AmDatenEnde(start);
            if (m.art == MErweiterung) {
                if (m_pos + 10 > m_bits)
                    return {TZeile::Unsicher};
                return Abbruch(start);   // uncompressed mode is not supported
            }
            m_pos += m.laenge;
            if (m.art == MPass) {
                if (vergleichen)
                    m_schritte.push_back({MPass, 0, 0, m_pos});
                // A pass up to the row's end is read on by libtiff at times.
                if (b2 >= m_w)
                    return {TZeile::Unsicher};
                // Until the row has its first change, libtiff takes the
                // element after b2 as the next b1 without looking past a0;
                // they differ only where the reference holds an empty run.
                if (neu.empty() && m_ref[i + 2] <= b2)
                    return {TZeile::Unsicher};
                a0 = b2;
            } else if (m.art == MHorizontal) {
                TErgebnis e{TZeile::Sauber};
                const int r1 = Lauf(farbe, start, e);
                // A broken first code: broken at a0, as in the modes. An EOL
                // there is no end mark in T.6; libtiff reads on after it.
                if (r1 < 0)
                    return m_art == TFaxKodierung::G4 && e.art == TZeile::Leer ? TErgebnis{TZeile::Unsicher} : e;
                const int r2 = Lauf(farbe ^ 1, start, e);
                if (r2 < 0)
                    return {TZeile::Unsicher};
                const int a1 = start + r1, a2 = a1 + r2;
                if (a2 > m_w)
                    return {TZeile::Fehler};   // "Line length mismatch"
                // An empty run stays as two changes at one place, as libtiff
                // keeps them for the next row's b1.
                if (a1 < m_w)
                    neu.push_back(a1);
                if (a2 < m_w)
                    neu.push_back(a2);
                if (vergleichen)
                    m_schritte.push_back({MHorizontal, r1, r2, m_pos});
                a0 = a2;
            } else {
                const int a1 = b1 + m.wert;
                if (a1 > m_w)
                    return {TZeile::Fehler};
                if (a1 < a0 && a0 >= 0)
                    return Abbruch(start);   // libtiff calls a step back a broken code
                if (a1 < start || (a1 == start && a0 >= 0))
                    return {TZeile::Unsicher};
                if (a1 < m_w)
                    neu.push_back(a1);
                if (vergleichen)
                    m_schritte.push_back({MVertikal, m.wert, 0, m_pos});
                a0 = a1;
                farbe ^= 1;
            }
        }
        if (vergleichen) {
            KodierungVergleichen();
            m_schritte.clear();
        }
        Referenz();
        return {TZeile::Sauber};
    }

    bool m_vergleichen;
    const uint8_t* m_d;
    qint64 m_bytes, m_bits, m_pos = 0, m_letzteEins = -1, m_leerAb = 0;
    bool m_lsb;
    TFaxKodierung m_art;
    int m_w;
    const TTabellen& m_t;
    std::vector<int> m_ref, m_neu;
    struct TSchritt {
        uint8_t art;
        int w1, w2;
        qint64 bis;   // the bit after the step
    };
    std::vector<TSchritt> m_schritte;

public:
    qint64 m_abweichungBis = -1;   // where the data first left the T.6 coder's steps
};

void Packen(const std::vector<int>& wechsel, int breite, std::vector<uint8_t>& zeile)
{
    std::fill(zeile.begin(), zeile.end(), 0);
    for (size_t k = 0; k + 1 < wechsel.size() && wechsel[k] < breite; k += 2)
        for (int x = wechsel[k]; x < std::min(wechsel[k + 1], breite); ++x)
            zeile[size_t(x >> 3)] |= uint8_t(0x80 >> (x & 7));
}

} // namespace

namespace {

TFaxLauf Lesen(TLeser& leser, int breite, int maxZeilen, const std::function<void(int, const uint8_t*)>& zeile)
{
    TFaxLauf l;
    std::vector<uint8_t> puffer(zeile ? size_t((qint64(breite) + 7) / 8) : 0);
    for (int n = 0; n < maxZeilen; ++n) {
        const TErgebnis e = leser.Zeile();
        l.zeilen = n;
        switch (e.art) {
        case TZeile::Sauber:
            if (zeile) {
                Packen(leser.Wechsel(), breite, puffer);
                zeile(n, puffer.data());
            }
            continue;
        case TZeile::DatenEnde:
            // G3: no further EOL; libtiff reports an empty row, then no more.
            l.ende = true;
            return l;
        case TZeile::Leer:
            // Whether libtiff then finds only the end matters after clean rows.
            if (n > 0 && n + 1 < maxZeilen && !leser.NurEolsBisEnde())
                l.sicher = false;
            else
                l.ende = true;
            return l;
        case TZeile::Fehler:
            if (n == 0)
                l.gemeldeteBreite = e.gemeldet;
            return l;
        case TZeile::Unsicher:
            l.sicher = false;
            return l;
        }
    }
    l.zeilen = maxZeilen;
    return l;
}

} // namespace

TFaxLauf FaxZeilenLesen(const QByteArray& roh, TFaxKodierung art, bool lsbZuerst, int breite, int maxZeilen,
                        const std::function<void(int, const uint8_t*)>& zeile)
{
    if (roh.isEmpty() || breite <= 0 || maxZeilen <= 0)
        return {};
    TLeser leser(roh, art, lsbZuerst, breite);
    TFaxLauf l = Lesen(leser, breite, maxZeilen, zeile);
    // Only a clean T.6 page is worth comparing with its coder's steps, in a
    // second pass; libtiff compares all but the last few bytes (end mark,
    // padding).
    if (art == TFaxKodierung::G4 && !lsbZuerst && l.sicher && l.ende && l.zeilen > 0) {
        TLeser vergleich(roh, art, lsbZuerst, breite, true);
        Lesen(vergleich, breite, maxZeilen, {});
        l.gleichKodierbar = vergleich.m_abweichungBis < 0 || vergleich.m_abweichungBis > (qint64(roh.size()) - 7) * 8;
    }
    return l;
}
