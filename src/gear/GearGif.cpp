#include "GearGif.h"
#include "GearHilfen.h"
#include <gif_lib.h>
#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace {

int Schreiben(GifFileType* g, const GifByteType* daten, int n)
{
    static_cast<QByteArray*>(g->UserData)->append(reinterpret_cast<const char*>(daten), n);
    return n;
}

const QString Beschaedigt = QStringLiteral("Die GIF-Datei ist beschädigt.");

enum { EntsorgungKeine = 1, EntsorgungHintergrund = 2, EntsorgungVorher = 3 };

// One image block as the file's structure gives it; its pixels are decoded
// only when a page needs them.
struct TBlock {
    qint64 datenAb = 0;     // the LZW minimum code size byte
    int links = 0, oben = 0, breite = 0, hoehe = 0;
    bool zeilensprung = false;
    int karte = 0;          // index into TGifQuelle::m_karten (0 = global)
    int entsorgung = 0;
    int transparent = -1;
    int verzoegerung = 0;
};

// Reads LZW codes of growing width from the data sub-blocks.
class TCodeLeser {
public:
    TCodeLeser(const uint8_t* d, qint64 n, qint64 ab) : m_d(d), m_n(n), m_pos(ab) {}
    // -1 at the end of the data.
    int Code(int bits)
    {
        while (m_anzahl < bits) {
            if (m_rest == 0) {
                if (m_pos >= m_n || m_d[m_pos] == 0)
                    return -1;
                m_rest = m_d[m_pos++];
            }
            if (m_pos >= m_n)
                return -1;
            m_puffer |= uint32_t(m_d[m_pos++]) << m_anzahl;
            m_anzahl += 8;
            --m_rest;
        }
        const int c = int(m_puffer & ((1u << bits) - 1));
        m_puffer >>= bits;
        m_anzahl -= bits;
        return c;
    }
private:
    const uint8_t* m_d;
    qint64 m_n, m_pos;
    int m_rest = 0;
    uint32_t m_puffer = 0;
    int m_anzahl = 0;
};

// Decodes one block's LZW stream and hands every pixel to ziel(index) in
// stored order until ziel returns false or the stream ends. A full table of
// 4,096 codes is valid: codes then stay 12 bits wide and nothing is added
// until the next clear code. False when the stream is corrupt.
template <class Ziel>
bool LzwDekodieren(const uint8_t* d, qint64 n, qint64 ab, Ziel&& ziel)
{
    if (ab >= n)
        return false;
    const int minimum = d[ab];
    if (minimum < 1 || minimum > 8)
        return false;
    TCodeLeser leser(d, n, ab + 1);
    static thread_local uint16_t vorgaenger[4096];
    static thread_local uint8_t endzeichen[4096];
    static thread_local uint8_t stapel[4097];
    const int loeschen = 1 << minimum, ende = loeschen + 1;
    int breite = minimum + 1, naechster = loeschen + 2, alt = -1;
    uint8_t erstes = 0;
    for (int i = 0; i < loeschen; ++i) {
        vorgaenger[i] = 0xFFFF;
        endzeichen[i] = uint8_t(i);
    }
    for (;;) {
        const int code = leser.Code(breite);
        if (code < 0 || code == ende)
            return true;   // the caller decides whether the rows were filled
        if (code == loeschen) {
            breite = minimum + 1;
            naechster = loeschen + 2;
            alt = -1;
            continue;
        }
        int k = 0;
        int c = code;
        if (alt < 0) {
            if (code >= loeschen)
                return false;
        } else if (code == naechster && naechster < 4096) {
            stapel[k++] = erstes;
            c = alt;
        } else if (code >= naechster) {
            return false;
        }
        while (c >= loeschen) {
            if (k >= 4096)
                return false;
            stapel[k++] = endzeichen[c];
            c = vorgaenger[c];
        }
        stapel[k++] = uint8_t(c);
        erstes = uint8_t(c);
        if (alt >= 0 && naechster < 4096) {
            vorgaenger[naechster] = uint16_t(alt);
            endzeichen[naechster] = erstes;
            ++naechster;
        }
        // Wider codes once the next entry no longer fits (with a minimum
        // size of 1 already after the first code).
        if (naechster == (1 << breite) && breite < 12)
            ++breite;
        alt = code;
        while (k > 0)
            if (!ziel(stapel[--k]))
                return true;
    }
}

QList<QRgb> Karte(const uint8_t* d, int anzahl)
{
    QList<QRgb> t;
    t.reserve(anzahl);
    for (int i = 0; i < anzahl; ++i)
        t.append(qRgb(d[3 * i], d[3 * i + 1], d[3 * i + 2]));
    return t;
}

// A GIF's pages. Blocks without a delay after them belong to the frame of
// the next block (that is how pictures with more than 256 colours are
// stored), so a page is a frame as a viewer shows it. Composing page k needs
// every block before it; the canvas is kept so paging forward goes on from
// where it stands, and paging back starts again at the first block.
class TGifQuelle : public TGearSeitenQuelle {
public:
    bool Oeffnen(const QByteArray& daten, QString& fehler);
    int Anzahl() const override { return int(m_rahmenEnde.size()); }
    bool Lesen(int index, TGearSeite& seite, QString& fehler, const TFortschritt& fs) override;

private:
    bool Zeichnen(const TBlock& b, QString& fehler);
    void Fuellen(int x0, int y0, int bw, int bh);

    QByteArray m_daten;
    int m_w = 0, m_h = 0;
    int m_hgIndex = 0;
    QRgb m_hgFarbe = 0;
    std::vector<TBlock> m_bloecke;
    std::vector<int> m_rahmenEnde;              // last block of each frame
    std::vector<QList<QRgb>> m_karten;          // [0] global
    std::vector<std::vector<uint8_t>> m_umsetzung;   // per map into the merged palette
    QList<QRgb> m_palette;
    bool m_indiziert = true;
    int m_tiefe = 8;
    // Composition state: the canvas after block m_naechster - 1 was drawn.
    QImage m_leinwand;
    QImage m_vorher;
    int m_naechster = 0;
};

bool TGifQuelle::Oeffnen(const QByteArray& daten, QString& fehler)
{
    m_daten = daten;
    const auto* d = reinterpret_cast<const uint8_t*>(m_daten.constData());
    const qint64 n = m_daten.size();
    if (n < 13) {
        fehler = QStringLiteral("Die GIF-Datei ist unvollständig.");
        return false;
    }
    m_w = d[6] | (d[7] << 8);
    m_h = d[8] | (d[9] << 8);
    m_hgIndex = d[11];
    qint64 p = 13;
    int bits = 1;
    m_karten.emplace_back();
    if (d[10] & 0x80) {
        const int anzahl = 2 << (d[10] & 7);
        if (p + 3 * anzahl > n) {
            fehler = QStringLiteral("Die GIF-Datei ist unvollständig.");
            return false;
        }
        m_karten[0] = Karte(d + p, anzahl);
        bits = (d[10] & 7) + 1;
        p += 3 * anzahl;
    }
    // Skips data sub-blocks; false when the file ends inside them.
    auto ueberspringen = [&](qint64& q) {
        while (q < n) {
            const int laenge = d[q++];
            if (laenge == 0)
                return true;
            q += laenge;
        }
        return false;
    };
    TBlock steuerung;
    while (p < n) {
        const int art = d[p++];
        if (art == 0x3B)
            break;
        if (art == 0x21) {
            if (p >= n)
                break;
            const int etikett = d[p++];
            if (etikett == 0xF9 && p + 5 <= n && d[p] >= 4) {
                steuerung.entsorgung = (d[p + 1] >> 2) & 7;
                steuerung.verzoegerung = d[p + 2] | (d[p + 3] << 8);
                steuerung.transparent = (d[p + 1] & 1) ? d[p + 4] : -1;
            }
            if (!ueberspringen(p))
                break;
            continue;
        }
        if (art != 0x2C || p + 9 > n)
            break;   // anything else ends the readable part
        TBlock b = steuerung;
        steuerung = TBlock();
        b.links = d[p] | (d[p + 1] << 8);
        b.oben = d[p + 2] | (d[p + 3] << 8);
        b.breite = d[p + 4] | (d[p + 5] << 8);
        b.hoehe = d[p + 6] | (d[p + 7] << 8);
        const int packt = d[p + 8];
        b.zeilensprung = packt & 0x40;
        p += 9;
        if (packt & 0x80) {
            const int anzahl = 2 << (packt & 7);
            if (p + 3 * anzahl > n)
                break;
            b.karte = int(m_karten.size());
            m_karten.push_back(Karte(d + p, anzahl));
            bits = std::max(bits, (packt & 7) + 1);
            p += 3 * anzahl;
        }
        b.datenAb = p;
        ++p;   // minimum code size
        if (!ueberspringen(p))
            break;   // cut off inside its data: the block is not whole
        if (b.breite > 0 && b.hoehe > 0)
            m_bloecke.push_back(b);
    }
    if (m_bloecke.empty()) {
        fehler = QStringLiteral("Die GIF-Datei ist beschädigt oder unvollständig (kein Bild).");
        return false;
    }
    for (size_t i = 0; i < m_bloecke.size(); ++i)
        if (m_bloecke[i].verzoegerung > 0 || i + 1 == m_bloecke.size())
            m_rahmenEnde.push_back(int(i));
    if (m_w <= 0 || m_h <= 0) {
        for (const TBlock& b : m_bloecke) {
            m_w = std::max(m_w, b.links + b.breite);
            m_h = std::max(m_h, b.oben + b.hoehe);
        }
    }
    if (m_karten[0].isEmpty() && m_karten.size() == 1)
        m_karten[0] = GearGrauPalette(256);
    // One palette for all blocks when their maps fit together in 256 colours.
    m_palette = m_karten[0];
    std::unordered_map<QRgb, int> index;
    for (int i = 0; i < m_palette.size(); ++i)
        index.emplace(m_palette[i], i);
    m_umsetzung.resize(m_karten.size());
    for (size_t k = 0; k < m_karten.size() && m_indiziert; ++k) {
        auto& lut = m_umsetzung[k];
        lut.assign(256, 0);
        for (int i = 0; i < m_karten[k].size() && i < 256; ++i) {
            if (k == 0) {
                lut[size_t(i)] = uint8_t(i);
                continue;
            }
            auto it = index.find(m_karten[k][i]);
            if (it == index.end()) {
                if (m_palette.size() >= 256) {
                    m_indiziert = false;
                    break;
                }
                it = index.emplace(m_karten[k][i], int(m_palette.size())).first;
                m_palette.append(m_karten[k][i]);
            }
            lut[size_t(i)] = uint8_t(it->second);
        }
    }
    if (m_palette.isEmpty())
        m_palette = GearGrauPalette(256);
    m_hgFarbe = m_hgIndex < m_karten[0].size() ? m_karten[0][m_hgIndex] : qRgb(0, 0, 0);
    if (m_hgIndex >= m_palette.size())
        m_hgIndex = 0;
    m_tiefe = m_indiziert ? std::max(GearTiefeFuerBits(bits), GearTiefeFuerFarben(int(m_palette.size()))) : 24;
    return true;
}

void TGifQuelle::Fuellen(int x0, int y0, int bw, int bh)
{
    const int x1 = std::min(m_w, x0 + bw), y1 = std::min(m_h, y0 + bh);
    x0 = std::max(0, x0);
    for (int y = std::max(0, y0); y < y1; ++y) {
        uint8_t* z = m_leinwand.scanLine(y);
        if (m_indiziert) {
            if (x1 > x0)
                std::memset(z + x0, m_hgIndex, size_t(x1 - x0));
            continue;
        }
        for (int x = x0; x < x1; ++x) {
            z[3 * x] = uint8_t(qBlue(m_hgFarbe));
            z[3 * x + 1] = uint8_t(qGreen(m_hgFarbe));
            z[3 * x + 2] = uint8_t(qRed(m_hgFarbe));
        }
    }
}

bool TGifQuelle::Zeichnen(const TBlock& b, QString& fehler)
{
    const auto* d = reinterpret_cast<const uint8_t*>(m_daten.constData());
    const QList<QRgb>& farben = m_karten[size_t(b.karte)].isEmpty() ? m_karten[0] : m_karten[size_t(b.karte)];
    const uint8_t* lut = m_indiziert ? m_umsetzung[size_t(b.karte)].data() : nullptr;
    // Only rows and columns on the canvas are drawn; the decoding stops
    // after the last row that reaches it.
    const int sichtbar = std::max(0, std::min(b.hoehe, m_h - b.oben));
    if (b.links >= m_w || sichtbar == 0)
        return true;
    // Rows in stored order: interlaced blocks in their four passes.
    static const int beginn[4] = {0, 4, 2, 1}, schritt[4] = {8, 8, 4, 2};
    int durchgang = b.zeilensprung ? 0 : 3, reihe = 0;
    auto naechsteReihe = [&] {
        reihe += b.zeilensprung ? schritt[durchgang] : 1;
        while (b.zeilensprung && reihe >= b.hoehe && durchgang < 3)
            reihe = beginn[++durchgang];
    };
    int x = 0;
    uint8_t* z = nullptr;
    auto zeileHolen = [&] { z = reihe < sichtbar ? m_leinwand.scanLine(b.oben + reihe) : nullptr; };
    zeileHolen();
    const qint64 uebrig = sichtbar;
    qint64 gefuellt = 0;
    const bool ok = LzwDekodieren(d, m_daten.size(), b.datenAb, [&](uint8_t i) {
        const int sx = b.links + x;
        if (z && sx < m_w && int(i) != b.transparent) {
            if (lut) {
                z[sx] = lut[i];
            } else {
                const QRgb c = i < farben.size() ? farben[i] : qRgb(0, 0, 0);
                z[3 * sx] = uint8_t(qBlue(c));
                z[3 * sx + 1] = uint8_t(qGreen(c));
                z[3 * sx + 2] = uint8_t(qRed(c));
            }
        }
        if (++x < b.breite)
            return true;
        x = 0;
        if (z)
            ++gefuellt;
        if (gefuellt >= uebrig)
            return false;
        naechsteReihe();
        zeileHolen();
        return true;
    });
    if (!ok || gefuellt < uebrig) {
        fehler = ok ? QStringLiteral("Die GIF-Datei ist unvollständig.") : Beschaedigt;
        return false;
    }
    return true;
}

bool TGifQuelle::Lesen(int index, TGearSeite& seite, QString& fehler, const TFortschritt& fs)
{
    if (index < 0 || index >= Anzahl()) {
        fehler = Beschaedigt;
        return false;
    }
    const int bis = m_rahmenEnde[size_t(index)];
    if (m_leinwand.isNull() || m_naechster > bis) {
        m_leinwand = QImage();
        m_vorher = QImage();
        m_leinwand = GearNeuesBild(m_w, m_h, m_indiziert ? QImage::Format_Indexed8 : QImage::Format_BGR888, fehler);
        if (m_leinwand.isNull())
            return false;
        if (m_indiziert)
            m_leinwand.setColorTable(m_palette);
        Fuellen(0, 0, m_w, m_h);
        m_naechster = 0;
    }
    const int von = m_naechster;
    for (; m_naechster <= bis; ++m_naechster) {
        const TBlock& b = m_bloecke[size_t(m_naechster)];
        // A canvas shared with a handed-out page gets
        // its own pixels before it is drawn on.
        if (!m_leinwand.isDetached()) {
            if (!GearSpeicherNehmen(m_leinwand.sizeInBytes(), fehler))
                return false;
            QImage eigen = m_leinwand.copy();
            if (eigen.isNull()) {
                fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
                return false;
            }
            m_leinwand = eigen;
        }
        if (m_naechster > 0) {
            // What the block before asked to leave behind.
            const TBlock& alt = m_bloecke[size_t(m_naechster - 1)];
            if (alt.entsorgung == EntsorgungHintergrund) {
                Fuellen(alt.links, alt.oben, alt.breite, alt.hoehe);
            } else if (alt.entsorgung == EntsorgungVorher && !m_vorher.isNull()) {
                m_leinwand = m_vorher;
                m_vorher = QImage();
            }
        }
        if (b.entsorgung == EntsorgungVorher) {
            if (!GearSpeicherNehmen(m_leinwand.sizeInBytes(), fehler))
                return false;
            m_vorher = m_leinwand.copy();
            if (m_vorher.isNull()) {
                fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
                return false;
            }
        }
        if (!Zeichnen(b, fehler)) {
            m_leinwand = QImage();   // half drawn: the next page starts again
            return false;
        }
        if (fs && bis > von)
            fs(int(100 * (m_naechster - von) / (bis - von + 1)));
    }
    if (m_indiziert)
        GearIndizesAbsichern(m_leinwand);
    seite.bild = m_leinwand;   // shared until the next block is drawn
    seite.bpp = m_tiefe;
    return true;
}

} // namespace

bool GifDekodieren(const QByteArray& daten, TGearDokument& dok, QString& fehler, const TFortschritt& fs)
{
    auto quelle = std::make_shared<TGifQuelle>();
    return quelle->Oeffnen(daten, fehler) && GearErsteSeite(quelle, dok, fehler, fs);
}

bool GifKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs)
{
    if (seite.Leer() || seite.bild.format() != QImage::Format_Indexed8) {
        fehler = QStringLiteral("GIF-Dateien brauchen ein Palettenbild.");
        return false;
    }
    const QImage& bild = seite.bild;
    const QList<QRgb> t = bild.colorTable();
    int bits = (seite.bpp == 1 || seite.bpp == 4) ? seite.bpp : 8;
    bits = std::max(bits, GearTiefeFuerFarben(int(t.size())));
    // Pad the colour map to 2^bpp so the reload reports the same depth.
    ColorMapObject* karte = GifMakeMapObject(1 << bits, nullptr);
    if (!karte) {
        fehler = QStringLiteral("Nicht genug Speicher für die GIF-Datei.");
        return false;
    }
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < t.size() ? t[i] : qRgb(0, 0, 0);
        karte->Colors[i] = GifColorType{GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
    }
    QByteArray puffer;
    int code = 0;
    GifFileType* g = EGifOpen(&puffer, Schreiben, &code);
    if (!g) {
        GifFreeMapObject(karte);
        fehler = QStringLiteral("Die GIF-Datei kann nicht erzeugt werden.");
        return false;
    }
    const int w = bild.width(), h = bild.height();
    bool ok = EGifPutScreenDesc(g, w, h, bits, 0, karte) == GIF_OK
        && EGifPutImageDesc(g, 0, 0, w, h, false, nullptr) == GIF_OK;
    GifFreeMapObject(karte);
    std::vector<GifPixelType> zeile(static_cast<size_t>(w));
    TFortschrittsBand band(fs, 0, 100, h);
    const uint8_t maske = uint8_t((1 << bits) - 1);
    for (int y = 0; y < h && ok; ++y) {
        // The encoder masks the line in place, so it gets a copy.
        const uint8_t* s = bild.constScanLine(y);
        for (int x = 0; x < w; ++x)
            zeile[size_t(x)] = s[x] & maske;
        ok = EGifPutLine(g, zeile.data(), w) == GIF_OK;
        if ((y & 63) == 0)
            band.Zeile(y);
    }
    if (!ok)
        code = g->Error;
    if (EGifCloseFile(g, &code) == GIF_ERROR)
        ok = false;
    if (!ok) {
        fehler = QStringLiteral("Die GIF-Datei kann nicht erzeugt werden (%1).").arg(QString::fromUtf8(GifErrorString(code)));
        return false;
    }
    aus = std::move(puffer);
    return true;
}
