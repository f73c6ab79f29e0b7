#include "GearTiff.h"
#include "GearHilfen.h"
#include <tiffio.h>
#include <QTransform>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

struct TSpeicher {
    const QByteArray* lesen = nullptr;
    QByteArray* schreiben = nullptr;
    qint64 pos = 0;
    QString fehler;
    // Collects the codec's warnings while raw fax rows are decoded.
    QStringList* warnungen = nullptr;
};

qint64 Groesse(const TSpeicher* s) { return s->lesen ? s->lesen->size() : s->schreiben->size(); }

tmsize_t Lesen(thandle_t h, void* ziel, tmsize_t n)
{
    auto* s = static_cast<TSpeicher*>(h);
    const char* quelle = s->lesen ? s->lesen->constData() : s->schreiben->constData();
    const qint64 k = std::clamp<qint64>(Groesse(s) - s->pos, 0, n);
    if (k > 0)
        std::memcpy(ziel, quelle + s->pos, size_t(k));
    s->pos += k;
    return tmsize_t(k);
}

tmsize_t Schreiben(thandle_t h, void* daten, tmsize_t n)
{
    auto* s = static_cast<TSpeicher*>(h);
    if (!s->schreiben || n < 0)
        return 0;
    if (s->pos + n > s->schreiben->size())
        s->schreiben->resize(s->pos + n);
    std::memcpy(s->schreiben->data() + s->pos, daten, size_t(n));
    s->pos += n;
    return n;
}

toff_t Suchen(thandle_t h, toff_t off, int woher)
{
    auto* s = static_cast<TSpeicher*>(h);
    qint64 neu = qint64(off);
    if (woher == SEEK_CUR)
        neu = s->pos + qint64(off);
    else if (woher == SEEK_END)
        neu = Groesse(s) + qint64(off);
    if (neu < 0)
        return toff_t(-1);
    s->pos = neu;
    return toff_t(neu);
}

int Schliessen(thandle_t) { return 0; }
toff_t GroesseProc(thandle_t h) { return toff_t(Groesse(static_cast<TSpeicher*>(h))); }

int Abbilden(thandle_t h, void** basis, toff_t* groesse)
{
    auto* s = static_cast<TSpeicher*>(h);
    if (!s->lesen)
        return 0;
    *basis = const_cast<char*>(s->lesen->constData());
    *groesse = toff_t(s->lesen->size());
    return 1;
}

void Freigeben(thandle_t, void*, toff_t) {}

int Fehler(TIFF*, void* nutzer, const char* modul, const char* format, va_list ap)
{
    auto* s = static_cast<TSpeicher*>(nutzer);
    if (s->fehler.isEmpty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, ap);
        s->fehler = QString::fromUtf8(text);
    }
    return 1;
}

int Warnung(TIFF*, void* nutzer, const char*, const char* format, va_list ap)
{
    auto* s = static_cast<TSpeicher*>(nutzer);
    if (s && s->warnungen) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, ap);
        s->warnungen->append(QString::fromUtf8(text));
    }
    return 1;
}

TIFF* Oeffnen(TSpeicher& s, const char* modus)
{
    TIFFOpenOptions* o = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(o, Fehler, &s);
    TIFFOpenOptionsSetWarningHandlerExtR(o, Warnung, &s);
    TIFFOpenOptionsSetMaxSingleMemAlloc(o, tmsize_t(1) << 31);
    TIFF* tif = TIFFClientOpenExt("Speicher", modus, &s, Lesen, Schreiben, Suchen, Schliessen, GroesseProc,
                                  Abbilden, Freigeben, o);
    TIFFOpenOptionsFree(o);
    return tif;
}

QString KompressionsText(uint16_t c)
{
    switch (c) {
    case COMPRESSION_NONE: return QStringLiteral("UNCOMPRESSED");
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW: return QStringLiteral("CCITT HUFFMAN");
    case COMPRESSION_CCITTFAX3: return QStringLiteral("CCITT G3");
    case COMPRESSION_CCITTFAX4: return QStringLiteral("CCITT G4");
    case COMPRESSION_LZW: return QStringLiteral("LZW");
    case COMPRESSION_OJPEG:
    case COMPRESSION_JPEG: return QStringLiteral("JPEG");
    case COMPRESSION_PACKBITS: return QStringLiteral("PACKBITS");
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE: return QStringLiteral("DEFLATE");
    case COMPRESSION_LZMA: return QStringLiteral("LZMA");
    case COMPRESSION_ZSTD: return QStringLiteral("ZSTD");
    case COMPRESSION_WEBP: return QStringLiteral("WEBP");
    default: return QStringLiteral("UNKNOWN");
    }
}

// Sample x of a row at 1, 2, 4, 8 or 16 bits, cut to 8 bits for 16.
inline int Probe(const uint8_t* z, qint64 i, int bits)
{
    switch (bits) {
    case 8: return z[i];
    case 16: return reinterpret_cast<const uint16_t*>(z)[i] >> 8;
    default: {
        const qint64 bit = i * bits;
        return (z[bit >> 3] >> (8 - bits - (bit & 7))) & ((1 << bits) - 1);
    }
    }
}

// Whether the page's strips or tiles can hold its declared size: every
// coding has a largest ratio between the pixels it gives and the bytes it
// needs, and a few kilobytes cannot fill gigabytes.
bool DatenReichen(TIFF* tif, qint64 dateiGroesse, uint32_t h, QString& fehler)
{
    uint16_t kompression = COMPRESSION_NONE, planar = PLANARCONFIG_CONTIG, spp = 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &kompression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    const bool kacheln = TIFFIsTiled(tif);
    const qint64 anzahl = kacheln ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    uint64_t* groessen = nullptr;
    uint64_t* lagen = nullptr;
    const bool da = TIFFGetField(tif, kacheln ? TIFFTAG_TILEBYTECOUNTS : TIFFTAG_STRIPBYTECOUNTS, &groessen)
        && TIFFGetField(tif, kacheln ? TIFFTAG_TILEOFFSETS : TIFFTAG_STRIPOFFSETS, &lagen) && groessen && lagen;
    qint64 vorhanden = 0;
    for (qint64 i = 0; da && i < anzahl; ++i)
        if (lagen[i] < uint64_t(dateiGroesse))
            vorhanden += qint64(std::min<uint64_t>(groessen[i], uint64_t(dateiGroesse) - lagen[i]));
    const qint64 ebenen = planar == PLANARCONFIG_SEPARATE ? std::max<int>(1, spp) : 1;
    const qint64 noetig = kacheln ? qint64(TIFFTileSize64(tif)) * anzahl : qint64(TIFFScanlineSize64(tif)) * h * ebenen;
    qint64 verhaeltnis = 0;
    switch (kompression) {
    case COMPRESSION_NONE: verhaeltnis = 1; break;
    case COMPRESSION_PACKBITS: verhaeltnis = 128; break;
    case COMPRESSION_LZW: verhaeltnis = 2048; break;
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ADOBE_DEFLATE: verhaeltnis = 1100; break;
    case COMPRESSION_JPEG:
    case COMPRESSION_OJPEG: verhaeltnis = 1024; break;
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
        // At least one bit per row, however long the row.
        if (vorhanden * 8 >= qint64(h) * ebenen)
            return true;
        break;
    default:
        return true;   // no known bound; the memory budget still holds
    }
    if (verhaeltnis > 0 && vorhanden * verhaeltnis >= noetig)
        return true;
    fehler = QStringLiteral("Die TIFF-Datei enthält zu wenig Bilddaten für ihre Größe.");
    return false;
}

// Where a pixel of a w x h picture as stored lands in the turned picture.
QPoint OrientierterPunkt(QPoint p, int w, int h, uint16_t orientierung)
{
    const int x = p.x(), y = p.y();
    switch (orientierung) {
    case ORIENTATION_TOPRIGHT: return {w - 1 - x, y};
    case ORIENTATION_BOTRIGHT: return {w - 1 - x, h - 1 - y};
    case ORIENTATION_BOTLEFT: return {x, h - 1 - y};
    case ORIENTATION_LEFTTOP: return {y, x};
    case ORIENTATION_RIGHTTOP: return {h - 1 - y, x};
    case ORIENTATION_RIGHTBOT: return {h - 1 - y, w - 1 - x};
    case ORIENTATION_LEFTBOT: return {y, w - 1 - x};
    default: return p;
    }
}

// Turns the rows as stored into the picture the orientation tag describes;
// the page's gap turns with them.
bool Orientieren(QImage& bild, uint16_t orientierung, QRect& luecke, QString& fehler)
{
    if (orientierung <= ORIENTATION_TOPLEFT || orientierung > ORIENTATION_LEFTBOT)
        return true;
    if (!luecke.isEmpty()) {
        const QPoint a = OrientierterPunkt(luecke.topLeft(), bild.width(), bild.height(), orientierung);
        const QPoint b = OrientierterPunkt(luecke.bottomRight(), bild.width(), bild.height(), orientierung);
        luecke = QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                       QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
    }
    if (!GearSpeicherNehmen(bild.sizeInBytes(), fehler))
        return false;
    QImage neu;
    switch (orientierung) {
    case ORIENTATION_TOPRIGHT: neu = bild.mirrored(true, false); break;
    case ORIENTATION_BOTRIGHT: neu = bild.mirrored(true, true); break;
    case ORIENTATION_BOTLEFT: neu = bild.mirrored(false, true); break;
    case ORIENTATION_LEFTTOP: neu = bild.transformed(QTransform().rotate(90)).mirrored(true, false); break;
    case ORIENTATION_RIGHTTOP: neu = bild.transformed(QTransform().rotate(90)); break;
    case ORIENTATION_RIGHTBOT: neu = bild.transformed(QTransform().rotate(90)).mirrored(false, true); break;
    case ORIENTATION_LEFTBOT: neu = bild.transformed(QTransform().rotate(270)); break;
    }
    if (neu.isNull() || neu.format() != bild.format()) {
        fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
        return false;
    }
    bild = std::move(neu);
    return true;
}

// libtiff's RGBA reader turns only within the four unturned corners; asked
// for the file's own orientation it keeps the stored order, and Orientieren
// turns that as it turns the scanline path.
bool RgbaLesen(TIFF* tif, int w, int h, uint16_t orientierung, TGearSeite& seite, QString& fehler, TSpeicher& s)
{
    char text[1024] = {};
    if (!TIFFRGBAImageOK(tif, text)) {
        fehler = QStringLiteral("Diese TIFF-Variante wird nicht unterstützt (%1).").arg(QString::fromUtf8(text));
        return false;
    }
    QImage bild = GearNeuesBild(w, h, QImage::Format_BGR888, fehler);
    if (bild.isNull())
        return false;
    std::vector<uint32_t> raster;
    if (!GearPuffer(raster, qint64(w) * h, fehler))
        return false;
    const int ziel = orientierung >= ORIENTATION_TOPLEFT && orientierung <= ORIENTATION_LEFTBOT ? orientierung
                                                                                             : ORIENTATION_TOPLEFT;
    if (!TIFFReadRGBAImageOriented(tif, uint32_t(w), uint32_t(h), raster.data(), ziel, 1)) {
        // The reader goes through the strips or rows of tiles from the top
        // and stops at the damaged one. Without alpha every pixel it wrote is
        // opaque, so the first row with an untouched (all-zero) pixel is where
        // it stopped; with alpha a transparent black pixel may end it sooner.
        int erreicht = 0;
        while (erreicht < h) {
            const uint32_t* q = raster.data() + size_t(erreicht) * size_t(w);
            if (std::find(q, q + w, 0u) != q + w)
                break;
            ++erreicht;
        }
        if (erreicht == 0) {
            fehler = QStringLiteral("Die TIFF-Datei ist beschädigt (%1).").arg(s.fehler);
            return false;
        }
        seite.beschaedigt = true;
        seite.luecke = QRect(0, erreicht, w, h - erreicht);
    }
    for (int y = 0; y < h; ++y) {
        const uint32_t* q = raster.data() + size_t(y) * size_t(w);
        uint8_t* z = bild.scanLine(y);
        for (int x = 0; x < w; ++x, z += 3) {
            z[0] = uint8_t(TIFFGetB(q[x]));
            z[1] = uint8_t(TIFFGetG(q[x]));
            z[2] = uint8_t(TIFFGetR(q[x]));
        }
    }
    if (!Orientieren(bild, orientierung, seite.luecke, fehler))
        return false;
    seite.bild = std::move(bild);
    seite.bpp = 24;
    return true;
}

bool SeiteLesen(TIFF* tif, TGearSeite& seite, uint16_t& kompression, QString& fehler, TSpeicher& s,
                const TFortschritt& fs, int von, int bis)
{
    uint32_t w = 0, h = 0;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h) || !w || !h) {
        fehler = QStringLiteral("Die TIFF-Datei ist beschädigt (keine Bildgröße).");
        return false;
    }
    if (qint64(w) * h > GearMaxPixel || w > 1000000 || h > 1000000) {
        fehler = QStringLiteral("Das Bild ist zu groß (%1 x %2 Pixel).").arg(w).arg(h);
        return false;
    }
    if (!DatenReichen(tif, Groesse(&s), h, fehler))
        return false;
    uint16_t bits = 1, spp = 1, planar = PLANARCONFIG_CONTIG, photo = 0, orientierung = ORIENTATION_TOPLEFT;
    kompression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientierung);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &kompression);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photo))
        photo = spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISWHITE;
    const bool bitsOk = bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16;
    const bool grau = photo == PHOTOMETRIC_MINISWHITE || photo == PHOTOMETRIC_MINISBLACK;
    const bool pal = photo == PHOTOMETRIC_PALETTE && spp == 1 && bits <= 8;
    const bool ycbcrJpeg = photo == PHOTOMETRIC_YCBCR && kompression == COMPRESSION_JPEG && bits == 8 && spp == 3;
    const bool rgb = (photo == PHOTOMETRIC_RGB && spp >= 3 && (bits == 8 || bits == 16)) || ycbcrJpeg;
    const bool getrennt = planar == PLANARCONFIG_SEPARATE && spp > 1;
    if (TIFFIsTiled(tif) || !bitsOk || !(grau || pal || rgb) || (getrennt && ycbcrJpeg) || spp == 0)
        return RgbaLesen(tif, int(w), int(h), orientierung, seite, fehler, s);
    if (ycbcrJpeg)
        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);

    QImage bild = GearNeuesBild(w, h, rgb ? QImage::Format_BGR888 : QImage::Format_Indexed8, fehler);
    if (bild.isNull())
        return false;
    const tmsize_t zeilenGroesse = TIFFScanlineSize(tif);
    if (zeilenGroesse <= 0) {
        fehler = QStringLiteral("Die TIFF-Datei ist beschädigt.");
        return false;
    }
    std::vector<uint8_t> puffer;
    if (!GearPuffer(puffer, qint64(zeilenGroesse) + 8, fehler))
        return false;
    const int proben = getrennt ? 1 : spp;
    const int durchgaenge = rgb && getrennt ? 3 : 1;
    TFortschrittsBand band(fs, von, bis, int(h) * durchgaenge);
    // Rows from here on were never read: a strip that fails part-way ends
    // the picture there.
    uint32_t erreicht = h;
    for (int d = 0; d < durchgaenge && erreicht == h; ++d) {
        for (uint32_t y = 0; y < h; ++y) {
            if (TIFFReadScanline(tif, puffer.data(), y, uint16_t(d)) < 0) {
                if (y == 0) {
                    fehler = QStringLiteral("Die TIFF-Datei ist beschädigt oder unvollständig (%1).").arg(s.fehler);
                    return false;
                }
                erreicht = y;
                break;
            }
            uint8_t* z = bild.scanLine(int(y));
            const uint8_t* q = puffer.data();
            if (rgb && getrennt) {
                uint8_t* k = z + (2 - d);
                for (uint32_t x = 0; x < w; ++x, k += 3)
                    *k = uint8_t(Probe(q, x, bits));
            } else if (rgb) {
                for (uint32_t x = 0; x < w; ++x, z += 3) {
                    const qint64 i = qint64(x) * proben;
                    z[2] = uint8_t(Probe(q, i, bits));
                    z[1] = uint8_t(Probe(q, i + 1, bits));
                    z[0] = uint8_t(Probe(q, i + 2, bits));
                }
            } else if (bits == 8 && proben == 1) {
                std::memcpy(z, q, w);
            } else {
                for (uint32_t x = 0; x < w; ++x)
                    z[x] = uint8_t(Probe(q, qint64(x) * proben, bits));
            }
            if ((y & 63) == 0)
                band.Zeile(int(d * h + y));
        }
    }
    if (rgb) {
        seite.bpp = 24;
    } else if (pal) {
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        const int n = 1 << bits;
        QList<QRgb> t;
        if (TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) && r && g && b) {
            // Some writers store 8-bit values in the 16-bit map.
            bool achtBit = true;
            for (int i = 0; i < n && achtBit; ++i)
                achtBit = r[i] < 256 && g[i] < 256 && b[i] < 256;
            const int schieben = achtBit ? 0 : 8;
            for (int i = 0; i < n; ++i)
                t.append(qRgb(r[i] >> schieben, g[i] >> schieben, b[i] >> schieben));
        } else {
            t = GearGrauPalette(n);
        }
        bild.setColorTable(t);
        seite.bpp = GearTiefeFuerBits(bits);
    } else {
        const int stufen = bits >= 8 ? 256 : 1 << bits;
        QList<QRgb> t = GearGrauPalette(stufen);
        if (photo == PHOTOMETRIC_MINISWHITE)
            std::reverse(t.begin(), t.end());
        bild.setColorTable(t);
        seite.bpp = bits >= 8 ? 8 : GearTiefeFuerBits(bits);
    }
    if (bild.format() == QImage::Format_Indexed8)
        GearIndizesAbsichern(bild);
    if (erreicht < h) {
        seite.beschaedigt = true;
        seite.luecke = QRect(0, int(erreicht), int(w), int(h - erreicht));
    }
    if (!Orientieren(bild, orientierung, seite.luecke, fehler))
        return false;
    seite.bild = std::move(bild);
    return true;
}

} // namespace

namespace {

// Keeps the file open between page changes: libtiff's directory walk is
// cheap, the pixels are read only for the page asked for.
class TTiffQuelle : public TGearSeitenQuelle {
public:
    ~TTiffQuelle() override
    {
        if (m_tif)
            TIFFClose(m_tif);
    }
    bool Oeffnen(const QByteArray& daten, QString& fehler)
    {
        m_daten = daten;
        m_speicher.lesen = &m_daten;
        m_tif = ::Oeffnen(m_speicher, "r");
        if (!m_tif) {
            fehler = QStringLiteral("Die TIFF-Datei ist beschädigt (%1).").arg(m_speicher.fehler);
            return false;
        }
        m_anzahl = std::clamp(int(TIFFNumberOfDirectories(m_tif)), 1, 100000);
        return true;
    }
    int Anzahl() const override { return m_anzahl; }
    bool Lesen(int index, TGearSeite& seite, QString& fehler, const TFortschritt& fs) override
    {
        m_speicher.fehler.clear();
        if (index < 0 || index >= m_anzahl || !TIFFSetDirectory(m_tif, tdir_t(index))) {
            fehler = QStringLiteral("Die Seite %1 der TIFF-Datei ist beschädigt (%2).").arg(index + 1).arg(m_speicher.fehler);
            return false;
        }
        uint16_t k = 0;
        if (!SeiteLesen(m_tif, seite, k, fehler, m_speicher, fs, 0, 100))
            return false;
        m_kompression = KompressionsText(k);
        return true;
    }
    QString m_kompression;

private:
    QByteArray m_daten;
    TSpeicher m_speicher;
    TIFF* m_tif = nullptr;
    int m_anzahl = 1;
};

} // namespace

bool TiffDekodieren(const QByteArray& daten, TGearDokument& dok, QString& fehler, const TFortschritt& fs)
{
    auto quelle = std::make_shared<TTiffQuelle>();
    if (!quelle->Oeffnen(daten, fehler) || !GearErsteSeite(quelle, dok, fehler, fs))
        return false;
    dok.kompression = quelle->m_kompression;
    return true;
}

bool TiffKodieren(const TGearSeite& seite, int kompression, bool g3ZweiD, QByteArray& aus, QString& fehler,
                  const TFortschritt& fs)
{
    if (seite.Leer()) {
        fehler = QStringLiteral("Es ist kein Bild vorhanden.");
        return false;
    }
    if (!TIFFIsCODECConfigured(uint16_t(kompression))) {
        fehler = QStringLiteral("Diese TIFF-Kompression ist hier nicht verfügbar.");
        return false;
    }
    const bool fax = kompression == COMPRESSION_CCITTRLE || kompression == COMPRESSION_CCITTFAX3
        || kompression == COMPRESSION_CCITTFAX4;
    const bool jpeg = kompression == COMPRESSION_JPEG;
    const bool palette = seite.bild.format() == QImage::Format_Indexed8;
    const QList<QRgb> t = palette ? seite.bild.colorTable() : QList<QRgb>();
    bool nurGrau = palette;
    for (QRgb c : t)
        nurGrau = nurGrau && qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
    const bool schwarzWeiss = palette && t.size() == 2
        && ((t[0] & 0xFFFFFF) == 0 || (t[0] & 0xFFFFFF) == 0xFFFFFF)
        && ((t[1] & 0xFFFFFF) == 0 || (t[1] & 0xFFFFFF) == 0xFFFFFF) && t[0] != t[1];

    // Decide the sample layout; bild holds one byte per index or grey level,
    // or BGR888.
    QImage bild;
    int bits = 8, spp = 1;
    uint16_t photo = PHOTOMETRIC_MINISBLACK;
    if (fax || (!jpeg && schwarzWeiss)) {
        bild = GearAlsSchwarzWeiss(seite);
        bits = 1;
        photo = PHOTOMETRIC_MINISWHITE;
    } else if (palette && nurGrau && (jpeg || GearIstGrauRampe(t))) {
        bild = QImage(seite.bild.width(), seite.bild.height(), QImage::Format_Grayscale8);
        if (!bild.isNull()) {
            uint8_t lut[256] = {};
            for (int i = 0; i < t.size() && i < 256; ++i)
                lut[i] = uint8_t(qRed(t[i]));
            for (int y = 0; y < bild.height(); ++y) {
                const uint8_t* a = seite.bild.constScanLine(y);
                uint8_t* b = bild.scanLine(y);
                for (int x = 0; x < bild.width(); ++x)
                    b[x] = lut[a[x]];
            }
        }
    } else if (palette && !jpeg) {
        bild = seite.bild;
        photo = PHOTOMETRIC_PALETTE;
        bits = (seite.bpp == 1 || seite.bpp == 4) ? seite.bpp : 8;
        bits = std::max(bits, GearTiefeFuerFarben(int(t.size())));
    } else {
        bild = GearAlsBgr888(seite);
        spp = 3;
        photo = jpeg ? PHOTOMETRIC_YCBCR : PHOTOMETRIC_RGB;
    }
    if (bild.isNull()) {
        fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
        return false;
    }
    const int w = bild.width(), h = bild.height();
    QByteArray puffer;
    TSpeicher s;
    s.schreiben = &puffer;
    TIFF* tif = Oeffnen(s, "w");
    if (!tif) {
        fehler = QStringLiteral("Die TIFF-Datei kann nicht erzeugt werden (%1).").arg(s.fehler);
        return false;
    }
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(w));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(h));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(bits));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(spp));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photo);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, uint16_t(kompression));
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    const double dpm = seite.bild.dotsPerMeterX() > 0 ? seite.bild.dotsPerMeterX() : 2835;
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(dpm * 0.0254));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, float((seite.bild.dotsPerMeterY() > 0 ? seite.bild.dotsPerMeterY() : dpm) * 0.0254));
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (kompression == COMPRESSION_CCITTFAX3)
        TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, uint32_t(g3ZweiD ? GROUP3OPT_2DENCODING : 0));
    std::vector<uint16_t> karte[3];
    if (photo == PHOTOMETRIC_PALETTE) {
        const int n = 1 << bits;
        for (auto& k : karte)
            k.assign(size_t(n), 0);
        for (int i = 0; i < n && i < t.size(); ++i) {
            karte[0][size_t(i)] = uint16_t(qRed(t[i]) * 257);
            karte[1][size_t(i)] = uint16_t(qGreen(t[i]) * 257);
            karte[2][size_t(i)] = uint16_t(qBlue(t[i]) * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, karte[0].data(), karte[1].data(), karte[2].data());
    }
    const qint64 zeilenBytes = (qint64(w) * bits * spp + 7) / 8;
    int zeilenProStreifen;
    if (jpeg) {
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 75);
        if (spp == 3) {
            TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, uint16_t(2), uint16_t(2));
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        }
        zeilenProStreifen = int(std::max<qint64>(1, (1 << 16) / std::max<qint64>(1, zeilenBytes) / 16) * 16);
    } else if (fax) {
        zeilenProStreifen = h;
    } else {
        zeilenProStreifen = int(std::max<qint64>(1, (1 << 16) / std::max<qint64>(1, zeilenBytes)));
    }
    zeilenProStreifen = std::min(zeilenProStreifen, std::max(h, 1));
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(zeilenProStreifen));

    std::vector<uint8_t> streifen(size_t(zeilenBytes) * size_t(zeilenProStreifen));
    TFortschrittsBand band(fs, 0, 100, h);
    bool ok = true;
    for (int y0 = 0, nr = 0; y0 < h && ok; y0 += zeilenProStreifen, ++nr) {
        const int n = std::min(zeilenProStreifen, h - y0);
        for (int i = 0; i < n; ++i) {
            const uint8_t* q = bild.constScanLine(y0 + i);
            uint8_t* z = streifen.data() + size_t(i) * size_t(zeilenBytes);
            if (spp == 3) {
                for (int x = 0; x < w; ++x, q += 3, z += 3) {
                    z[0] = q[2];
                    z[1] = q[1];
                    z[2] = q[0];
                }
            } else if (bits == 8) {
                std::memcpy(z, q, size_t(w));
            } else if (bits == 4) {
                for (int x = 0; x + 1 < w; x += 2)
                    z[x / 2] = uint8_t(((q[x] & 15) << 4) | (q[x + 1] & 15));
                if (w & 1)
                    z[w / 2] = uint8_t((q[w - 1] & 15) << 4);
            } else {
                std::memset(z, 0, size_t(zeilenBytes));
                for (int x = 0; x < w; ++x)
                    if (q[x] & 1)
                        z[x >> 3] |= uint8_t(0x80 >> (x & 7));
            }
        }
        ok = TIFFWriteEncodedStrip(tif, uint32_t(nr), streifen.data(), tmsize_t(zeilenBytes) * n) >= 0;
        band.Zeile(y0);
    }
    if (ok)
        ok = TIFFWriteDirectory(tif) != 0;
    TIFFClose(tif);
    if (!ok || !s.fehler.isEmpty()) {
        fehler = QStringLiteral("Die TIFF-Datei kann nicht erzeugt werden (%1).").arg(s.fehler);
        return false;
    }
    aus = std::move(puffer);
    return true;
}

bool TiffFaxStreifen(const TGearSeite& seite, int kompression, bool g3ZweiD, QByteArray& roh, QString& fehler)
{
    QByteArray datei;
    if (!TiffKodieren(seite, kompression, g3ZweiD, datei, fehler))
        return false;
    TSpeicher s;
    s.lesen = &datei;
    TIFF* tif = Oeffnen(s, "rm");
    uint64_t* laengen = nullptr;
    bool ok = tif && TIFFNumberOfStrips(tif) == 1 && TIFFGetField(tif, TIFFTAG_STRIPBYTECOUNTS, &laengen) && laengen;
    if (ok) {
        roh.resize(qsizetype(laengen[0]));
        ok = TIFFReadRawStrip(tif, 0, roh.data(), tmsize_t(roh.size())) == tmsize_t(roh.size());
    }
    if (tif)
        TIFFClose(tif);
    if (!ok)
        fehler = QStringLiteral("Die Faxdaten können nicht erzeugt werden.");
    return ok;
}

namespace {

// A little-endian TIFF around raw fax data: one directory, one strip. The
// width search asks for the same data at many widths, so the last file is
// kept (holding the data, whose buffer therefore cannot be reused by other
// data) and only its width and length are changed.
QByteArray FaxHuelle(const QByteArray& roh, int kompression, bool g3ZweiD, bool lsbZuerst, int breite,
                     int maxZeilen)
{
    struct TLetzte {
        QByteArray roh, huelle;
        int kompression = 0;
        bool zweiD = false, lsb = false;
    };
    thread_local TLetzte letzte;
    constexpr int Eintraege = 11, DatenAb = 8 + 2 + Eintraege * 12 + 4;
    auto setze32 = [](QByteArray& d, int an, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d[an + i] = char(v >> (8 * i));
    };
    if (letzte.roh.constData() != roh.constData() || letzte.roh.size() != roh.size()
        || letzte.kompression != kompression || letzte.zweiD != g3ZweiD || letzte.lsb != lsbZuerst) {
        QByteArray d(DatenAb, '\0');
        d[0] = 'I';
        d[1] = 'I';
        d[2] = 42;
        setze32(d, 4, 8);
        d[8] = char(Eintraege);
        const uint32_t eintrag[Eintraege][3] = {
            {TIFFTAG_IMAGEWIDTH, TIFF_LONG, 0}, {TIFFTAG_IMAGELENGTH, TIFF_LONG, 0},
            {TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, 1}, {TIFFTAG_COMPRESSION, TIFF_SHORT, uint32_t(kompression)},
            {TIFFTAG_PHOTOMETRIC, TIFF_SHORT, PHOTOMETRIC_MINISWHITE},
            {TIFFTAG_FILLORDER, TIFF_SHORT, uint32_t(lsbZuerst ? FILLORDER_LSB2MSB : FILLORDER_MSB2LSB)},
            {TIFFTAG_STRIPOFFSETS, TIFF_LONG, uint32_t(DatenAb)}, {TIFFTAG_SAMPLESPERPIXEL, TIFF_SHORT, 1},
            {TIFFTAG_ROWSPERSTRIP, TIFF_LONG, 0}, {TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, uint32_t(roh.size())},
            {uint32_t(kompression == COMPRESSION_CCITTFAX4 ? TIFFTAG_GROUP4OPTIONS : TIFFTAG_GROUP3OPTIONS), TIFF_LONG,
             uint32_t(kompression == COMPRESSION_CCITTFAX3 && g3ZweiD ? GROUP3OPT_2DENCODING : 0)}};
        for (int i = 0; i < Eintraege; ++i) {
            const int e = 10 + 12 * i;
            d[e] = char(eintrag[i][0]);
            d[e + 1] = char(eintrag[i][0] >> 8);
            d[e + 2] = char(eintrag[i][1]);
            setze32(d, e + 4, 1);
            setze32(d, e + 8, eintrag[i][2]);
        }
        letzte.roh = roh;
        letzte.huelle = d + roh;
        letzte.kompression = kompression;
        letzte.zweiD = g3ZweiD;
        letzte.lsb = lsbZuerst;
    }
    setze32(letzte.huelle, 10 + 8, uint32_t(breite));
    setze32(letzte.huelle, 10 + 12 + 8, uint32_t(maxZeilen));
    setze32(letzte.huelle, 10 + 8 * 12 + 8, uint32_t(maxZeilen));
    return letzte.huelle;
}

} // namespace

int TiffFaxZeilen(const QByteArray& roh, int kompression, bool g3ZweiD, bool lsbZuerst, int breite, int maxZeilen,
                  const std::function<void(int, const uint8_t*)>& zeile, TFaxEnde& ende)
{
    ende = TFaxEnde();
    if (roh.isEmpty() || breite <= 0 || maxZeilen <= 0)
        return 0;
    // The raw data becomes the single strip of a TIFF in memory whose
    // length is only an upper bound; the codec then finds the real end.
    const QByteArray huelle = FaxHuelle(roh, kompression, g3ZweiD, lsbZuerst, breite, maxZeilen);
    QStringList warnungen;
    TSpeicher s;
    s.lesen = &huelle;
    s.warnungen = &warnungen;
    TIFF* tif = Oeffnen(s, "rm");
    if (!tif)
        return 0;
    std::vector<uint8_t> puffer(size_t((qint64(breite) + 7) / 8));
    int n = 0;
    for (; n < maxZeilen; ++n) {
        warnungen.clear();
        const int r = TIFFReadScanline(tif, puffer.data(), uint32_t(n));
        // "(got 0, ...)": the row holds nothing but the end mark (RTC/EOFB).
        bool leer = false, anderes = false;
        for (const QString& w : std::as_const(warnungen)) {
            const int got = w.indexOf(QLatin1String("(got "));
            if (got >= 0 && w.startsWith(QLatin1String("Premature EOL"))) {
                const int zahl = w.mid(got + 5).section(QLatin1Char(','), 0, 0).toInt();
                if (zahl == 0)
                    leer = true;
                else if (n == 0)
                    ende.gemeldeteBreite = zahl;
                anderes = anderes || zahl != 0;
            } else {
                anderes = true;
            }
        }
        if (leer && !anderes) {
            // A real end mark is followed by nothing but further empty rows
            // and the end of the data; a wrong width can run into an
            // empty row in the middle.
            bool nurEnde = true;
            for (int k = 1; k <= 8 && nurEnde && n + k < maxZeilen; ++k) {
                warnungen.clear();
                const int r2 = TIFFReadScanline(tif, puffer.data(), uint32_t(n + k));
                bool datenAus = r2 < 0, leer2 = false;
                for (const QString& w : std::as_const(warnungen)) {
                    if (w.startsWith(QLatin1String("Premature EOF")))
                        datenAus = true;
                    else if (w.startsWith(QLatin1String("Premature EOL")) && w.contains(QLatin1String("(got 0,")))
                        leer2 = true;
                    else
                        nurEnde = false;
                }
                nurEnde = nurEnde && (datenAus || leer2);
                if (datenAus)
                    break;
            }
            ende.endeMarke = nurEnde;
            ende.fehlerhaft = !nurEnde;
            break;
        }
        if (r < 0 || anderes || !s.fehler.isEmpty()) {
            ende.datenEnde = r < 0 && !anderes;
            ende.fehlerhaft = anderes || (r < 0 && n == 0);
            break;
        }
        if (zeile)
            zeile(n, puffer.data());
    }
    TIFFClose(tif);
    return n;
}
