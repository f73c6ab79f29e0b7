#include "GearGif.h"
#include "GearHilfen.h"
#include <gif_lib.h>
#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace {

struct TQuelle {
    const QByteArray* daten;
    qsizetype pos = 0;
};

int Lesen(GifFileType* g, GifByteType* ziel, int n)
{
    auto* q = static_cast<TQuelle*>(g->UserData);
    const qsizetype rest = q->daten->size() - q->pos;
    const int k = int(std::min<qsizetype>(n, rest));
    if (k > 0)
        std::memcpy(ziel, q->daten->constData() + q->pos, size_t(k));
    q->pos += k;
    return k;
}

int Schreiben(GifFileType* g, const GifByteType* daten, int n)
{
    static_cast<QByteArray*>(g->UserData)->append(reinterpret_cast<const char*>(daten), n);
    return n;
}

struct TRahmen {
    int links = 0, oben = 0, breite = 0, hoehe = 0;
    std::vector<uint8_t> pixel;
    QList<QRgb> farben;        // the frame's own or the global map
    int bits = 8;
    bool eigeneKarte = false;
    int entsorgung = DISPOSAL_UNSPECIFIED;
    int transparent = NO_TRANSPARENT_COLOR;
};

QList<QRgb> Farben(const ColorMapObject* m)
{
    QList<QRgb> t;
    if (!m || !m->Colors)
        return t;
    for (int i = 0; i < m->ColorCount; ++i)
        t.append(qRgb(m->Colors[i].Red, m->Colors[i].Green, m->Colors[i].Blue));
    return t;
}

// Reads all records; false only when not a single frame came through whole.
bool RahmenLesen(GifFileType* g, std::vector<TRahmen>& rahmen, QString& fehler)
{
    const QList<QRgb> global = Farben(g->SColorMap);
    const int globalBits = g->SColorMap ? g->SColorMap->BitsPerPixel : 8;
    GraphicsControlBlock gcb{};
    bool gcbDa = false;
    for (;;) {
        GifRecordType typ = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(g, &typ) == GIF_ERROR)
            break;
        if (typ == TERMINATE_RECORD_TYPE)
            return true;
        if (typ == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(g, &code, &ext) == GIF_ERROR)
                break;
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                gcbDa = DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK;
            }
            bool fehlerhaft = false;
            while (ext) {
                if (DGifGetExtensionNext(g, &ext) == GIF_ERROR) {
                    fehlerhaft = true;
                    break;
                }
            }
            if (fehlerhaft)
                break;
            continue;
        }
        if (typ != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(g) == GIF_ERROR)
            break;
        TRahmen r;
        const GifImageDesc& desc = g->Image;
        r.links = desc.Left;
        r.oben = desc.Top;
        r.breite = desc.Width;
        r.hoehe = desc.Height;
        if (r.breite <= 0 || r.hoehe <= 0 || qint64(r.breite) * r.hoehe > GearMaxPixel)
            break;
        if (desc.ColorMap) {
            r.farben = Farben(desc.ColorMap);
            r.bits = desc.ColorMap->BitsPerPixel;
            r.eigeneKarte = true;
        } else {
            r.farben = global;
            r.bits = globalBits;
        }
        if (r.farben.isEmpty()) {
            r.farben = GearGrauPalette(256);
            r.bits = 8;
            r.eigeneKarte = true;
        }
        if (gcbDa) {
            r.entsorgung = gcb.DisposalMode;
            r.transparent = gcb.TransparentColor;
        }
        gcbDa = false;
        r.pixel.resize(size_t(r.breite) * size_t(r.hoehe));
        bool ganz = true;
        auto zeile = [&](int y) {
            return DGifGetLine(g, r.pixel.data() + size_t(y) * size_t(r.breite), r.breite) == GIF_OK;
        };
        if (desc.Interlace) {
            static const int beginn[4] = {0, 4, 2, 1}, schritt[4] = {8, 8, 4, 2};
            for (int d = 0; d < 4 && ganz; ++d)
                for (int y = beginn[d]; y < r.hoehe && ganz; y += schritt[d])
                    ganz = zeile(y);
        } else {
            for (int y = 0; y < r.hoehe && ganz; ++y)
                ganz = zeile(y);
        }
        if (!ganz)
            break;
        rahmen.push_back(std::move(r));
    }
    if (rahmen.empty()) {
        fehler = QStringLiteral("Die GIF-Datei ist beschädigt oder unvollständig (%1).")
                     .arg(QString::fromUtf8(GifErrorString(g->Error)));
        return false;
    }
    return true;
}

} // namespace

bool GifDekodieren(const QByteArray& daten, std::vector<TGearSeite>& seiten, QString& fehler, const TFortschritt& fs)
{
    TQuelle q{&daten};
    int fehlerCode = 0;
    GifFileType* g = DGifOpen(&q, Lesen, &fehlerCode);
    if (!g) {
        fehler = QStringLiteral("Die GIF-Datei ist beschädigt (%1).").arg(QString::fromUtf8(GifErrorString(fehlerCode)));
        return false;
    }
    std::vector<TRahmen> rahmen;
    const bool ok = RahmenLesen(g, rahmen, fehler);
    int w = g->SWidth, h = g->SHeight;
    const int hgIndex = g->SBackGroundColor;
    const QList<QRgb> global = Farben(g->SColorMap);
    DGifCloseFile(g, &fehlerCode);
    if (!ok)
        return false;
    if (w <= 0 || h <= 0) {
        for (const TRahmen& r : rahmen) {
            w = std::max(w, r.links + r.breite);
            h = std::max(h, r.oben + r.hoehe);
        }
    }
    if (fs)
        fs(50);

    // One palette for all frames when their maps fit together in 256 colours.
    QList<QRgb> palette = global;
    std::unordered_map<QRgb, int> index;
    for (int i = 0; i < palette.size(); ++i)
        index.emplace(palette[i], i);
    std::vector<std::vector<uint8_t>> umsetzung(rahmen.size());
    bool paletteReicht = true;
    int bits = 1;
    for (size_t i = 0; i < rahmen.size() && paletteReicht; ++i) {
        bits = std::max(bits, rahmen[i].bits);
        auto& lut = umsetzung[i];
        lut.assign(256, 0);
        for (int k = 0; k < rahmen[i].farben.size() && k < 256; ++k) {
            const QRgb c = rahmen[i].farben[k];
            if (!rahmen[i].eigeneKarte) {
                lut[k] = uint8_t(k);
                continue;
            }
            auto it = index.find(c);
            if (it == index.end()) {
                if (palette.size() >= 256) {
                    paletteReicht = false;
                    break;
                }
                it = index.emplace(c, int(palette.size())).first;
                palette.append(c);
            }
            lut[k] = uint8_t(it->second);
        }
    }
    if (palette.isEmpty())
        palette = GearGrauPalette(256);
    const bool indiziert = paletteReicht;
    QImage leinwand = GearNeuesBild(w, h, indiziert ? QImage::Format_Indexed8 : QImage::Format_BGR888, fehler);
    if (leinwand.isNull())
        return false;
    const QRgb hgFarbe = hgIndex >= 0 && hgIndex < global.size() ? global[hgIndex] : qRgb(0, 0, 0);
    const int hg = indiziert ? (hgIndex >= 0 && hgIndex < palette.size() ? hgIndex : 0) : 0;
    auto fuellen = [&](int x0, int y0, int bw, int bh) {
        const int x1 = std::min(w, x0 + bw), y1 = std::min(h, y0 + bh);
        for (int y = std::max(0, y0); y < y1; ++y) {
            uint8_t* z = leinwand.scanLine(y);
            for (int x = std::max(0, x0); x < x1; ++x) {
                if (indiziert) {
                    z[x] = uint8_t(hg);
                } else {
                    z[3 * x] = uint8_t(qBlue(hgFarbe));
                    z[3 * x + 1] = uint8_t(qGreen(hgFarbe));
                    z[3 * x + 2] = uint8_t(qRed(hgFarbe));
                }
            }
        }
    };
    fuellen(0, 0, w, h);
    if (indiziert)
        leinwand.setColorTable(palette);
    const int tiefe = indiziert ? std::max(GearTiefeFuerBits(bits), GearTiefeFuerFarben(int(palette.size()))) : 24;

    QImage vorher;
    for (size_t i = 0; i < rahmen.size(); ++i) {
        const TRahmen& r = rahmen[i];
        if (i > 0) {
            const TRahmen& alt = rahmen[i - 1];
            if (alt.entsorgung == DISPOSE_BACKGROUND)
                fuellen(alt.links, alt.oben, alt.breite, alt.hoehe);
            else if (alt.entsorgung == DISPOSE_PREVIOUS && !vorher.isNull())
                leinwand = vorher;
        }
        if (r.entsorgung == DISPOSE_PREVIOUS)
            vorher = leinwand.copy();
        const int x0 = std::max(0, r.links), x1 = std::min(w, r.links + r.breite);
        const int y0 = std::max(0, r.oben), y1 = std::min(h, r.oben + r.hoehe);
        const uint8_t* lut = indiziert ? umsetzung[i].data() : nullptr;
        for (int y = y0; y < y1; ++y) {
            const uint8_t* s = r.pixel.data() + size_t(y - r.oben) * size_t(r.breite) + (x0 - r.links);
            uint8_t* z = leinwand.scanLine(y);
            for (int x = x0; x < x1; ++x, ++s) {
                if (*s == r.transparent)
                    continue;
                if (indiziert) {
                    z[x] = lut[*s];
                } else {
                    const QRgb c = *s < r.farben.size() ? r.farben[*s] : qRgb(0, 0, 0);
                    z[3 * x] = uint8_t(qBlue(c));
                    z[3 * x + 1] = uint8_t(qGreen(c));
                    z[3 * x + 2] = uint8_t(qRed(c));
                }
            }
        }
        if (indiziert)
            GearIndizesAbsichern(leinwand);
        seiten.push_back(TGearSeite{leinwand, tiefe});
        if (fs)
            fs(50 + int(50 * (i + 1) / rahmen.size()));
    }
    return true;
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
