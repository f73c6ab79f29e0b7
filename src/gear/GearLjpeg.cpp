#include "GearLjpeg.h"
#include "GearHilfen.h"
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

// The usual DC table; a difference of 8-bit samples needs no more than
// category 9 (differences are taken modulo 2^16).
constexpr uint8_t TabelleLaengen[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
constexpr uint8_t TabelleWerte[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
constexpr int Praediktor = 6;

int Vorhersage(int art, int ra, int rb, int rc)
{
    switch (art) {
    case 1: return ra;
    case 2: return rb;
    case 3: return rc;
    case 4: return ra + rb - rc;
    case 5: return ra + ((rb - rc) >> 1);
    case 6: return rb + ((ra - rc) >> 1);
    default: return (ra + rb) / 2;
    }
}

// The prediction of sample x: the first sample of the scan or of a restart
// interval takes the middle value, the rest of that row its left
// neighbour, the first sample of every other row the one above.
inline int Schaetzung(const uint16_t* oben, const uint16_t* hier, int x, bool ersteZeile, bool ersterWert, int art,
                      int p, int pt)
{
    if (ersterWert)
        return 1 << (p - pt - 1);
    if (ersteZeile)
        return hier[x - 1];
    if (x == 0)
        return oben[0];
    return Vorhersage(art, hier[x - 1], oben[x], oben[x - 1]);
}

class TBitSchreiber {
public:
    explicit TBitSchreiber(QByteArray& aus) : m_aus(aus) {}
    void Schreiben(uint32_t code, int laenge)
    {
        for (int i = laenge - 1; i >= 0; --i) {
            m_byte = uint8_t((m_byte << 1) | ((code >> i) & 1));
            if (++m_bits == 8)
                Byte();
        }
    }
    void Ende()
    {
        while (m_bits != 0)
            Schreiben(1, 1);
    }
private:
    void Byte()
    {
        m_aus.append(char(m_byte));
        if (m_byte == 0xFF)
            m_aus.append('\0');
        m_byte = 0;
        m_bits = 0;
    }
    QByteArray& m_aus;
    uint8_t m_byte = 0;
    int m_bits = 0;
};

struct THuffman {
    // Encoding: code and length per category.
    std::array<uint16_t, 17> code{};
    std::array<uint8_t, 17> laenge{};
    // Decoding (maxcode, valptr, mincode per length).
    std::array<int32_t, 18> maxcode{};
    std::array<int32_t, 17> mincode{};
    std::array<int32_t, 17> valptr{};
    std::vector<uint8_t> werte;
    bool da = false;
};

bool HuffmanBauen(const uint8_t* laengen, const uint8_t* werte, int anzahl, THuffman& t)
{
    t.werte.assign(werte, werte + anzahl);
    t.laenge.fill(0);
    int code = 0, k = 0;
    for (int l = 1; l <= 16; ++l) {
        t.valptr[size_t(l)] = k;
        t.mincode[size_t(l)] = code;
        for (int i = 0; i < laengen[l - 1]; ++i, ++k, ++code) {
            if (werte[k] <= 16) {
                t.code[werte[k]] = uint16_t(code);
                t.laenge[werte[k]] = uint8_t(l);
            }
        }
        t.maxcode[size_t(l)] = laengen[l - 1] ? code - 1 : -1;
        if (code > (1 << l))
            return false;
        code <<= 1;
    }
    t.maxcode[17] = 0x7FFFFFFF;
    t.da = true;
    return true;
}

void Abschnitt(QByteArray& aus, uint8_t marker, const QByteArray& inhalt)
{
    aus.append(char(0xFF));
    aus.append(char(marker));
    const int n = int(inhalt.size()) + 2;
    aus.append(char(n >> 8));
    aus.append(char(n & 0xFF));
    aus.append(inhalt);
}

class TBitLeser {
public:
    TBitLeser(const uint8_t* d, qint64 n, qint64 pos) : m_d(d), m_n(n), m_pos(pos) {}
    int Bit()
    {
        if (m_bits == 0) {
            m_byte = 0;
            if (m_pos < m_n && !m_marker) {
                const uint8_t b = m_d[m_pos];
                if (b == 0xFF && m_pos + 1 < m_n && m_d[m_pos + 1] != 0) {
                    m_marker = true;   // the data of this interval ends here
                    ++m_fehlend;
                } else {
                    m_byte = b;
                    m_pos += b == 0xFF ? 2 : 1;
                }
            } else {
                ++m_fehlend;
            }
            m_bits = 8;
        }
        --m_bits;
        return (m_byte >> m_bits) & 1;
    }
    int Bits(int n)
    {
        int v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 1) | Bit();
        return v;
    }
    // Skips to the restart marker after this interval.
    bool Neustart()
    {
        m_bits = 0;
        m_marker = false;
        while (m_pos + 1 < m_n && !(m_d[m_pos] == 0xFF && m_d[m_pos + 1] >= 0xD0 && m_d[m_pos + 1] <= 0xD7))
            ++m_pos;
        if (m_pos + 1 >= m_n)
            return false;
        m_pos += 2;
        return true;
    }
    // Bits were needed past the data: the file is cut off or corrupt.
    bool Erschoepft() const { return m_fehlend > 0; }
    qint64 Position() const { return m_pos; }
private:
    const uint8_t* m_d;
    qint64 m_n, m_pos;
    uint8_t m_byte = 0;
    int m_bits = 0;
    bool m_marker = false;
    int m_fehlend = 0;
};

int Dekodieren(TBitLeser& l, const THuffman& t)
{
    int code = l.Bit();
    for (int laenge = 1; laenge <= 16; ++laenge) {
        if (t.maxcode[size_t(laenge)] >= 0 && code <= t.maxcode[size_t(laenge)] && code >= t.mincode[size_t(laenge)])
            return t.werte[size_t(t.valptr[size_t(laenge)] + code - t.mincode[size_t(laenge)])];
        code = (code << 1) | l.Bit();
    }
    return -1;
}

int Differenz(TBitLeser& l, int s)
{
    if (s == 0)
        return 0;
    if (s == 16)
        return 32768;
    const int v = l.Bits(s);
    return v < (1 << (s - 1)) ? v - (1 << s) + 1 : v;
}

} // namespace

bool LjpegKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs)
{
    const QImage& s = seite.bild;
    bool grau = s.format() == QImage::Format_Indexed8;
    for (QRgb c : s.colorTable())
        grau = grau && qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
    const QImage bgr = grau ? QImage() : GearAlsBgr888(seite);
    if (!grau && bgr.isNull()) {
        fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
        return false;
    }
    const int w = s.width(), h = s.height(), nf = grau ? 1 : 3;
    if (w > 65535 || h > 65535) {
        fehler = QStringLiteral("Das Bild ist für JPEG zu groß (höchstens 65535 Pixel je Seite).");
        return false;
    }
    uint8_t grauwert[256] = {};
    const QList<QRgb> tabelle = s.colorTable();
    for (int i = 0; i < tabelle.size() && i < 256; ++i)
        grauwert[i] = uint8_t(qRed(tabelle[i]));
    THuffman t;
    HuffmanBauen(TabelleLaengen, TabelleWerte, 12, t);
    QByteArray d;
    d.append("\xFF\xD8", 2);
    QByteArray dht(1, '\0');
    dht.append(reinterpret_cast<const char*>(TabelleLaengen), 16);
    dht.append(reinterpret_cast<const char*>(TabelleWerte), 12);
    Abschnitt(d, 0xC4, dht);
    QByteArray sof;
    sof.append(char(8));
    sof.append(char(h >> 8));
    sof.append(char(h & 0xFF));
    sof.append(char(w >> 8));
    sof.append(char(w & 0xFF));
    sof.append(char(nf));
    const char kennung[3] = {'R', 'G', 'B'};
    for (int c = 0; c < nf; ++c) {
        sof.append(grau ? char(1) : kennung[c]);
        sof.append(char(0x11));
        sof.append(char(0));
    }
    Abschnitt(d, 0xC3, sof);
    QByteArray sos(1, char(nf));
    for (int c = 0; c < nf; ++c) {
        sos.append(grau ? char(1) : kennung[c]);
        sos.append(char(0));
    }
    sos.append(char(Praediktor));
    sos.append(char(0));
    sos.append(char(0));
    Abschnitt(d, 0xDA, sos);

    std::vector<uint16_t> oben(size_t(w) * size_t(nf)), hier(size_t(w) * size_t(nf));
    TBitSchreiber bits(d);
    TFortschrittsBand band(fs, 0, 100, h);
    // Component c of sample x lives at [c * w + x].
    for (int y = 0; y < h; ++y) {
        const uint8_t* q = grau ? s.constScanLine(y) : bgr.constScanLine(y);
        for (int x = 0; x < w; ++x)
            if (grau) {
                hier[size_t(x)] = grauwert[q[x]];
            } else {
                for (int c = 0; c < 3; ++c)
                    hier[size_t(c) * size_t(w) + size_t(x)] = q[3 * x + 2 - c];
            }
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < nf; ++c) {
                const size_t o = size_t(c) * size_t(w);
                const int p = Schaetzung(oben.data() + o, hier.data() + o, x, y == 0, y == 0 && x == 0, Praediktor, 8, 0);
                int diff = (int(hier[o + size_t(x)]) - p) & 0xFFFF;
                if (diff >= 32768)
                    diff -= 65536;
                int kat = 0;
                for (int a = diff < 0 ? -diff : diff; a; a >>= 1)
                    ++kat;
                bits.Schreiben(t.code[size_t(kat)], t.laenge[size_t(kat)]);
                if (kat > 0 && kat < 16)
                    bits.Schreiben(uint32_t(diff < 0 ? diff - 1 : diff) & ((1u << kat) - 1), kat);
            }
        std::swap(oben, hier);
        band.Zeile(y);
    }
    bits.Ende();
    d.append("\xFF\xD9", 2);
    aus = std::move(d);
    return true;
}

bool LjpegIstVerlustfrei(const QByteArray& daten)
{
    const auto* d = reinterpret_cast<const uint8_t*>(daten.constData());
    const qint64 n = daten.size();
    for (qint64 i = 2; i + 3 < n;) {
        if (d[i] != 0xFF)
            return false;
        const uint8_t m = d[i + 1];
        if (m == 0xFF) {
            ++i;
            continue;
        }
        if (m == 0xC3 || m == 0xC7 || m == 0xCB || m == 0xCF)
            return true;
        if ((m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) || m == 0xDA)
            return false;
        i += 2 + ((d[i + 2] << 8) | d[i + 3]);
    }
    return false;
}

bool LjpegDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, bool& unterstuetzt,
                     const TFortschritt& fs)
{
    unterstuetzt = true;
    const auto* d = reinterpret_cast<const uint8_t*>(daten.constData());
    const qint64 n = daten.size();
    const QString kaputt = QStringLiteral("Die verlustfreie JPEG-Datei ist beschädigt.");
    std::array<THuffman, 4> tabellen;
    int p = 0, w = 0, h = 0, nf = 0, neustart = 0;
    int kennungen[4] = {};
    QImage bild;
    std::vector<uint16_t> ebenen;   // nf planes of w x h samples, filled scan by scan
    bool rahmen = false, gescannt = false;
    int punktTransform = 0;
    qint64 i = 2;
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8) {
        fehler = kaputt;
        return false;
    }
    while (i + 3 < n) {
        if (d[i] != 0xFF) {
            ++i;
            continue;
        }
        const uint8_t m = d[i + 1];
        if (m == 0xFF || m == 0x00 || (m >= 0xD0 && m <= 0xD7)) {
            ++i;
            continue;
        }
        if (m == 0xD9)
            break;
        const int laenge = (d[i + 2] << 8) | d[i + 3];
        const qint64 anfang = i + 4, ende = i + 2 + laenge;
        if (laenge < 2 || ende > n) {
            fehler = kaputt;
            return false;
        }
        if (m == 0xC4) {
            for (qint64 k = anfang; k < ende;) {
                if (k + 17 > ende) {
                    fehler = kaputt;
                    return false;
                }
                const int ziel = d[k] & 3;
                int anzahl = 0;
                for (int l = 0; l < 16; ++l)
                    anzahl += d[k + 1 + l];
                if (anzahl > 256 || k + 17 + anzahl > ende || !HuffmanBauen(d + k + 1, d + k + 17, anzahl, tabellen[size_t(ziel)])) {
                    fehler = kaputt;
                    return false;
                }
                k += 17 + anzahl;
            }
        } else if (m == 0xDD) {
            if (laenge < 4) {
                fehler = kaputt;
                return false;
            }
            neustart = (d[anfang] << 8) | d[anfang + 1];
        } else if (m == 0xC3) {
            if (laenge < 8) {
                fehler = kaputt;
                return false;
            }
            p = d[anfang];
            h = (d[anfang + 1] << 8) | d[anfang + 2];
            w = (d[anfang + 3] << 8) | d[anfang + 4];
            nf = d[anfang + 5];
            if (nf != 1 && nf != 3) {
                unterstuetzt = false;
                fehler = QStringLiteral("Diese verlustfreie JPEG-Datei hat %1 Komponenten.").arg(nf);
                return false;
            }
            if (laenge < 8 + 3 * nf || p < 2 || p > 16 || w == 0 || h == 0) {
                fehler = kaputt;
                return false;
            }
            for (int c = 0; c < nf; ++c) {
                kennungen[c] = d[anfang + 6 + 3 * c];
                if (d[anfang + 7 + 3 * c] != 0x11) {
                    unterstuetzt = false;
                    fehler = QStringLiteral("Diese verlustfreie JPEG-Datei ist unterabgetastet.");
                    return false;
                }
            }
            bild = GearNeuesBild(w, h, nf == 1 ? QImage::Format_Indexed8 : QImage::Format_BGR888, fehler);
            if (bild.isNull() || !GearPuffer(ebenen, qint64(w) * h * nf, fehler))
                return false;
            rahmen = true;
        } else if (m == 0xDA) {
            if (!rahmen || laenge < 6 + 2 * d[anfang] || d[anfang] < 1 || d[anfang] > nf) {
                fehler = kaputt;
                return false;
            }
            const int ns = d[anfang];
            int komp[4], tab[4];
            for (int s = 0; s < ns; ++s) {
                komp[s] = -1;
                for (int c = 0; c < nf; ++c)
                    if (kennungen[c] == d[anfang + 1 + 2 * s])
                        komp[s] = c;
                tab[s] = (d[anfang + 2 + 2 * s] >> 4) & 3;
                if (komp[s] < 0 || !tabellen[size_t(tab[s])].da) {
                    fehler = kaputt;
                    return false;
                }
            }
            const int art = d[anfang + 1 + 2 * ns];
            const int pt = d[anfang + 3 + 2 * ns] & 15;
            if (art < 1 || art > 7 || pt >= p) {
                fehler = kaputt;
                return false;
            }
            TBitLeser leser(d, n, ende);
            TFortschrittsBand band(fs, 0, 100, h);
            punktTransform = pt;
            qint64 mcu = 0;
            for (int y = 0; y < h; ++y) {
                bool ersteZeile = y == 0;
                int erstesX = y == 0 ? 0 : -1;
                for (int x = 0; x < w; ++x, ++mcu) {
                    if (neustart > 0 && mcu > 0 && mcu % neustart == 0) {
                        if (!leser.Neustart()) {
                            fehler = QStringLiteral("Die verlustfreie JPEG-Datei ist unvollständig.");
                            return false;
                        }
                        // A new interval predicts as the picture's first row does.
                        ersteZeile = true;
                        erstesX = x;
                    }
                    for (int s = 0; s < ns; ++s) {
                        uint16_t* ebene = ebenen.data() + size_t(komp[s]) * size_t(w) * size_t(h);
                        uint16_t* hier = ebene + size_t(y) * size_t(w);
                        const uint16_t* oben = y > 0 ? hier - w : hier;
                        const int kat = Dekodieren(leser, tabellen[size_t(tab[s])]);
                        if (kat < 0 || kat > 16) {
                            fehler = kaputt;
                            return false;
                        }
                        const int vorher = Schaetzung(oben, hier, x, ersteZeile, x == erstesX, art, p, pt);
                        hier[x] = uint16_t((vorher + Differenz(leser, kat)) & 0xFFFF);
                    }
                }
                if (leser.Erschoepft()) {
                    fehler = QStringLiteral("Die verlustfreie JPEG-Datei ist unvollständig.");
                    return false;
                }
                band.Zeile(y);
            }
            gescannt = true;
            i = leser.Position();
            continue;
        }
        i = ende;
    }
    if (!gescannt) {
        fehler = rahmen ? QStringLiteral("Die verlustfreie JPEG-Datei ist unvollständig.") : kaputt;
        return false;
    }
    // Samples of p bits, shifted back by the point transform, to 8 bits.
    const int hoechst = (1 << p) - 1;
    auto acht = [&](uint16_t v) {
        const int wert = std::min((int(v) << punktTransform) & 0xFFFF, hoechst);
        return uint8_t(p >= 8 ? wert >> (p - 8) : (wert * 255 + hoechst / 2) / hoechst);
    };
    for (int y = 0; y < h; ++y) {
        uint8_t* z = bild.scanLine(y);
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < nf; ++c) {
                const uint16_t v = ebenen[size_t(c) * size_t(w) * size_t(h) + size_t(y) * size_t(w) + size_t(x)];
                if (nf == 1)
                    z[x] = acht(v);
                else
                    z[3 * x + 2 - c] = acht(v);
            }
    }
    if (nf == 1)
        bild.setColorTable(GearGrauPalette(256));
    seite.bild = std::move(bild);
    seite.bpp = nf == 1 ? 8 : 24;
    return true;
}
