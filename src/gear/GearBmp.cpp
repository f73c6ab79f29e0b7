#include "GearBmp.h"
#include "GearHilfen.h"
#include "SicherErsetzen.h"
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

void Setze16(uint8_t* p, uint32_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
void Setze32(uint8_t* p, uint32_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24); }

const QString Unvollstaendig = QStringLiteral("Die Bitmap-Datei ist unvollständig.");
const QString Beschaedigt = QStringLiteral("Die Bitmap-Datei ist beschädigt.");

// One channel of a bit-field pixel scaled to 0..255.
struct TKanal {
    uint32_t maske = 0;
    int schiebe = 0;
    int bits = 0;
    void Setze(uint32_t m)
    {
        maske = m;
        schiebe = 0;
        bits = 0;
        if (!m)
            return;
        while (!(m & 1)) {
            m >>= 1;
            ++schiebe;
        }
        while (m & 1) {
            m >>= 1;
            ++bits;
        }
    }
    uint8_t Wert(uint32_t px) const
    {
        if (!bits)
            return 0;
        const uint32_t v = (px & maske) >> schiebe;
        if (bits >= 8)
            return uint8_t(v >> (bits - 8));
        const uint32_t max = (1u << bits) - 1;
        return uint8_t((v * 255 + max / 2) / max);
    }
};

struct TBmpKopf {
    int breite = 0;
    int hoehe = 0;
    bool vonOben = false;
    int bits = 0;
    uint32_t kompression = 0;
    qint64 datenAb = 0;
    QList<QRgb> palette;
    TKanal rot, gruen, blau, alpha;
};

bool KopfLesen(const QByteArray& daten, TBmpKopf& k, QString& fehler, bool& unterstuetzt)
{
    unterstuetzt = true;
    const auto* d = reinterpret_cast<const uint8_t*>(daten.constData());
    const qint64 n = daten.size();
    if (n < 26 || d[0] != 'B' || d[1] != 'M') {
        fehler = Beschaedigt;
        return false;
    }
    const uint32_t offBits = Le32(d + 10);
    const uint32_t kopfGroesse = Le32(d + 14);
    if (kopfGroesse < 12 || kopfGroesse > 1024 || 14 + qint64(kopfGroesse) > n) {
        fehler = kopfGroesse >= 12 && kopfGroesse <= 1024 ? Unvollstaendig : Beschaedigt;
        return false;
    }
    const uint8_t* h = d + 14;
    int eintrag = 4;
    qint64 farbenBenutzt = 0;
    int64_t hoehe = 0;
    if (kopfGroesse == 12) {
        k.breite = Le16(h + 4);
        hoehe = Le16(h + 6);
        k.bits = Le16(h + 10);
        eintrag = 3;
    } else {
        if (kopfGroesse < 16) {
            fehler = Beschaedigt;
            return false;
        }
        k.breite = int32_t(Le32(h + 4));
        hoehe = int32_t(Le32(h + 8));
        k.bits = Le16(h + 14);
        if (kopfGroesse >= 20)
            k.kompression = Le32(h + 16);
        if (kopfGroesse >= 36)
            farbenBenutzt = Le32(h + 32);
    }
    // OS/2 2.x uses 3 and 4 for Huffman and RLE24.
    if (kopfGroesse == 64 && (k.kompression == 3 || k.kompression == 4)) {
        unterstuetzt = false;
        fehler = QStringLiteral("Diese Bitmap-Kompression wird nicht unterstützt.");
        return false;
    }
    if (k.kompression == 4 || k.kompression == 5) {   // embedded JPEG or PNG
        unterstuetzt = false;
        fehler = QStringLiteral("Diese Bitmap-Kompression wird nicht unterstützt.");
        return false;
    }
    if (k.breite <= 0 || hoehe == 0) {
        fehler = QStringLiteral("Das Bild hat keine gültige Größe.");
        return false;
    }
    k.vonOben = hoehe < 0;
    if (hoehe < 0)
        hoehe = -hoehe;
    if (hoehe > 1000000) {
        fehler = Beschaedigt;
        return false;
    }
    k.hoehe = int(hoehe);
    const int b = k.bits;
    const uint32_t c = k.kompression;
    const bool gueltig = (c == 0 && (b == 1 || b == 2 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32))
        || (c == 1 && b == 8) || (c == 2 && b == 4) || ((c == 3 || c == 6) && (b == 16 || b == 32));
    if (!gueltig) {
        fehler = QStringLiteral("Die Bitmap hat eine ungültige Farbtiefe oder Kompression.");
        return false;
    }
    qint64 palAb = 14 + kopfGroesse;
    if (c == 3 || c == 6) {
        const uint8_t* m = h + 40;
        if (kopfGroesse < 52) {
            m = d + palAb;
            palAb += c == 6 ? 16 : 12;
            if (palAb > n) {
                fehler = Unvollstaendig;
                return false;
            }
        }
        k.rot.Setze(Le32(m));
        k.gruen.Setze(Le32(m + 4));
        k.blau.Setze(Le32(m + 8));
        if (c == 6 && kopfGroesse < 52)
            k.alpha.Setze(Le32(m + 12));
    } else if (b == 16) {
        k.rot.Setze(0x7C00);
        k.gruen.Setze(0x03E0);
        k.blau.Setze(0x001F);
    } else if (b == 32) {
        k.rot.Setze(0xFF0000);
        k.gruen.Setze(0x00FF00);
        k.blau.Setze(0x0000FF);
    }
    // The header holds an alpha mask from its 56-byte form on (not OS/2's 64
    // bytes); it applies to BI_RGB pixels as well.
    if ((b == 16 || b == 32) && (kopfGroesse == 56 || kopfGroesse >= 108))
        k.alpha.Setze(Le32(h + 52));
    if (b <= 8) {
        qint64 farben = qint64(1) << b;
        if (farbenBenutzt > 0 && farbenBenutzt < farben)
            farben = farbenBenutzt;
        const qint64 platz = std::max<qint64>(0, ((offBits >= palAb ? std::min<qint64>(offBits, n) : n) - palAb) / eintrag);
        farben = std::min(farben, platz);
        k.palette.reserve(int(farben));
        for (qint64 i = 0; i < farben; ++i) {
            const uint8_t* e = d + palAb + i * eintrag;
            k.palette.append(qRgb(e[2], e[1], e[0]));
        }
        if (k.palette.isEmpty())
            k.palette = GearGrauPalette(1 << b);
        palAb += farben * eintrag;
    }
    k.datenAb = offBits >= palAb ? qint64(offBits) : palAb;
    if (offBits == 0)
        k.datenAb = palAb;
    if (k.datenAb >= n) {
        fehler = Unvollstaendig;
        return false;
    }
    return true;
}

// Unpacks one row of 1/2/4-bit indices.
void Entpacken(const uint8_t* s, uint8_t* z, int w, int bits)
{
    const int proByte = 8 / bits;
    const int maske = (1 << bits) - 1;
    for (int x = 0; x < w; ++x) {
        const int byte = s[x / proByte];
        const int verschiebung = 8 - bits * (x % proByte + 1);
        z[x] = uint8_t((byte >> verschiebung) & maske);
    }
}

// Every run, literal block and delta must stay inside its row and the
// picture; the counters are 64-bit so no count of runs can wrap them. A file
// that asks for more is corrupt: nothing is written outside the picture.
bool RleLesen(const uint8_t* d, qint64 n, const TBmpKopf& k, QImage& bild, QString& fehler, TFortschrittsBand& band)
{
    const bool rle8 = k.kompression == 1;
    const qint64 w = k.breite, h = k.hoehe;
    bild.fill(0);
    qint64 p = k.datenAb;
    qint64 x = 0, r = 0;
    auto zeile = [&](qint64 reihe) { return bild.scanLine(int(k.vonOben ? reihe : h - 1 - reihe)); };
    uint8_t* z = zeile(0);
    auto beschaedigt = [&] {
        fehler = Beschaedigt;
        return false;
    };
    bool ende = false;
    while (!ende && p + 1 < n) {
        const int a = d[p], b = d[p + 1];
        p += 2;
        if (a > 0) {
            if (x + a > w)
                return beschaedigt();
            if (rle8) {
                std::memset(z + x, b, size_t(a));
            } else {
                for (int i = 0; i < a; ++i)
                    z[x + i] = uint8_t((i & 1) ? (b & 15) : (b >> 4));
            }
            x += a;
            continue;
        }
        switch (b) {
        case 0:
            x = 0;
            if (++r >= h)
                ende = true;
            else {
                z = zeile(r);
                band.Zeile(int(r));
            }
            break;
        case 1:
            ende = true;
            break;
        case 2:
            if (p + 1 >= n) {
                fehler = Unvollstaendig;
                return false;
            }
            x += d[p];
            r += d[p + 1];
            p += 2;
            if (x > w || r > h)
                return beschaedigt();
            if (r == h)
                ende = true;
            else
                z = zeile(r);
            break;
        default: {
            const qint64 bytes = rle8 ? b : (b + 1) / 2;
            if (p + bytes > n) {
                fehler = Unvollstaendig;
                return false;
            }
            if (x + b > w)
                return beschaedigt();
            for (int i = 0; i < b; ++i)
                z[x + i] = rle8 ? d[p + i] : uint8_t((i & 1) ? (d[p + i / 2] & 15) : (d[p + i / 2] >> 4));
            x += b;
            p += bytes + (bytes & 1);
            break;
        }
        }
    }
    if (!ende && r < h - 1) {
        fehler = Unvollstaendig;
        return false;
    }
    return true;
}

// Lays a picture with alpha on the background. An alpha of 0 everywhere
// is taken for an opaque picture whose writer left the bytes empty, and one
// of 255 everywhere needs nothing laid.
bool AlphaAnwenden(QImage& bild, const std::vector<uint8_t>& alpha, QRgb hintergrund, QString& fehler)
{
    const auto [wenigste, meiste] = std::minmax_element(alpha.begin(), alpha.end());
    if (*meiste == 0 || *wenigste == 255)
        return true;
    const int w = bild.width(), h = bild.height();
    QImage argb = GearNeuesBild(w, h, QImage::Format_ARGB32, fehler);
    if (argb.isNull())
        return false;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = bild.constScanLine(y);
        const uint8_t* a = alpha.data() + qint64(y) * w;
        auto* z = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < w; ++x, s += 3)
            z[x] = qRgba(s[2], s[1], s[0], a[x]);
    }
    bild = QImage();
    bild = GearAufHintergrund(argb, hintergrund, fehler);
    return !bild.isNull();
}

bool PixelLesen(const QByteArray& daten, const TBmpKopf& k, TGearSeite& seite, QString& fehler,
                const TFortschritt& fs, QRgb hintergrund)
{
    const auto* d = reinterpret_cast<const uint8_t*>(daten.constData());
    const qint64 n = daten.size();
    const int w = k.breite, h = k.hoehe, b = k.bits;
    const bool palette = b <= 8;
    QImage bild = GearNeuesBild(w, h, palette ? QImage::Format_Indexed8 : QImage::Format_BGR888, fehler);
    if (bild.isNull())
        return false;
    std::vector<uint8_t> alpha;
    if (k.alpha.bits && !GearPuffer(alpha, qint64(w) * h, fehler))
        return false;
    TFortschrittsBand band(fs, 0, 100, h);
    if (k.kompression == 1 || k.kompression == 2) {
        if (!RleLesen(d, n, k, bild, fehler, band))
            return false;
    } else {
        const qint64 stride = ((qint64(w) * b + 31) / 32) * 4;
        const qint64 nutz = (qint64(w) * b + 7) / 8;
        if (k.datenAb + stride * (h - 1) + nutz > n) {
            fehler = Unvollstaendig;
            return false;
        }
        for (int r = 0; r < h; ++r) {
            const uint8_t* s = d + k.datenAb + stride * r;
            const int y = k.vonOben ? r : h - 1 - r;
            uint8_t* z = bild.scanLine(y);
            if (b == 8 || b == 24) {
                std::memcpy(z, s, size_t(nutz));
            } else if (b < 8) {
                Entpacken(s, z, w, b);
            } else if (b == 32 && k.kompression == 0 && !k.alpha.bits) {
                for (int x = 0; x < w; ++x, s += 4, z += 3) {
                    z[0] = s[0];
                    z[1] = s[1];
                    z[2] = s[2];
                }
            } else {
                const int schritt = b / 8;
                for (int x = 0; x < w; ++x, s += schritt, z += 3) {
                    const uint32_t px = schritt == 2 ? Le16(s) : Le32(s);
                    z[0] = k.blau.Wert(px);
                    z[1] = k.gruen.Wert(px);
                    z[2] = k.rot.Wert(px);
                }
                if (k.alpha.bits) {
                    s = d + k.datenAb + stride * r;
                    uint8_t* a = alpha.data() + qint64(y) * w;
                    for (int x = 0; x < w; ++x, s += schritt)
                        a[x] = k.alpha.Wert(schritt == 2 ? Le16(s) : Le32(s));
                }
            }
            if ((r & 63) == 0)
                band.Zeile(r);
        }
    }
    if (palette) {
        bild.setColorTable(k.palette);
        GearIndizesAbsichern(bild);
    }
    if (!alpha.empty() && !AlphaAnwenden(bild, alpha, hintergrund, fehler))
        return false;
    seite.bild = std::move(bild);
    seite.bpp = palette ? GearTiefeFuerBits(b) : 24;
    return true;
}

// One row run-length coded; rle4 packs two indices per byte.
void RleZeile(const uint8_t* s, int w, bool rle4, QByteArray& aus)
{
    auto lauf = [&](int x) {
        int r = 1;
        while (x + r < w && r < 255 && s[x + r] == s[x])
            ++r;
        return r;
    };
    auto kodiert = [&](int x, int anzahl) {
        aus.append(char(anzahl));
        if (rle4) {
            const int a = s[x] & 15, b = anzahl > 1 ? (s[x + 1] & 15) : 0;
            aus.append(char((a << 4) | b));
        } else {
            aus.append(char(s[x]));
        }
    };
    int x = 0;
    while (x < w) {
        const int r = lauf(x);
        if (r >= 3 || x + r == w) {
            kodiert(x, r);   // a run of one value: both nibbles are the same
            x += r;
            continue;
        }
        // Gather pixels until the next run of three or more starts.
        int ende = x + r;
        while (ende < w && ende - x < 255) {
            const int r2 = lauf(ende);
            if (r2 >= 3)
                break;
            ende += std::min(r2, 255 - (ende - x));
        }
        const int anzahl = ende - x;
        if (anzahl < 3) {
            if (rle4 && anzahl == 2) {
                kodiert(x, 2);
            } else {
                for (int i = 0; i < anzahl; ++i)
                    kodiert(x + i, 1);
            }
        } else {
            aus.append(char(0));
            aus.append(char(anzahl));
            if (rle4) {
                const int bytes = (anzahl + 1) / 2;
                for (int i = 0; i < bytes; ++i) {
                    const int a = s[x + 2 * i] & 15;
                    const int b = 2 * i + 1 < anzahl ? (s[x + 2 * i + 1] & 15) : 0;
                    aus.append(char((a << 4) | b));
                }
                if (bytes & 1)
                    aus.append(char(0));
            } else {
                aus.append(reinterpret_cast<const char*>(s + x), anzahl);
                if (anzahl & 1)
                    aus.append(char(0));
            }
        }
        x = ende;
    }
    aus.append(char(0));
    aus.append(char(0));
}

} // namespace

bool BmpDekodieren(const QByteArray& daten, TGearSeite& seite, QString& kompression, QString& fehler,
                   bool& unterstuetzt, const TFortschritt& fs, QRgb hintergrund)
{
    TBmpKopf k;
    if (!KopfLesen(daten, k, fehler, unterstuetzt))
        return false;
    if (!PixelLesen(daten, k, seite, fehler, fs, hintergrund))
        return false;
    kompression = (k.kompression == 1 || k.kompression == 2) ? QStringLiteral("RLE") : QStringLiteral("UNCOMPRESSED");
    return true;
}

bool BmpLesen24(const QByteArray& daten, QImage& bgr888, QString& fehler)
{
    TGearSeite seite;
    QString kompression;
    bool unterstuetzt = true;
    if (!BmpDekodieren(daten, seite, kompression, fehler, unterstuetzt))
        return false;
    bgr888 = GearAlsBgr888(seite);
    if (bgr888.isNull()) {
        fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
        return false;
    }
    return true;
}

bool BmpKodieren(const TGearSeite& seite, bool rle, QByteArray& aus, QString& fehler, const TFortschritt& fs)
{
    if (seite.Leer()) {
        fehler = QStringLiteral("Es ist kein Bild vorhanden.");
        return false;
    }
    const bool palette = seite.bild.format() == QImage::Format_Indexed8;
    const QImage bild = palette ? seite.bild : GearAlsBgr888(seite);
    int bits = 24;
    if (palette) {
        bits = (seite.bpp == 1 || seite.bpp == 4 || seite.bpp == 8) ? seite.bpp : GearTiefeFuerFarben(bild.colorCount());
        if (bits < GearTiefeFuerFarben(bild.colorCount()))
            bits = GearTiefeFuerFarben(bild.colorCount());
    }
    if (rle && !palette) {
        fehler = QStringLiteral("Nur Palettenbilder können lauflängenkodiert werden.");
        return false;
    }
    if (rle)
        bits = bits == 8 ? 8 : 4;
    const uint32_t kompression = rle ? (bits == 8 ? 1u : 2u) : 0u;
    const int w = bild.width(), h = bild.height();
    const int farben = bits <= 8 ? (1 << bits) : 0;
    const qint64 datenAb = 14 + 40 + qint64(farben) * 4;
    const qint64 stride = ((qint64(w) * bits + 31) / 32) * 4;
    TFortschrittsBand band(fs, 0, 100, h);

    QByteArray pixel;
    if (rle) {
        pixel.reserve(int(std::min<qint64>(stride * h, 1 << 24)));
        for (int r = 0; r < h; ++r) {
            RleZeile(bild.constScanLine(h - 1 - r), w, bits == 4, pixel);
            if ((r & 63) == 0)
                band.Zeile(r);
        }
        pixel.append(char(0));
        pixel.append(char(1));
    }
    const qint64 pixelGroesse = rle ? pixel.size() : stride * h;
    const qint64 gesamt = datenAb + pixelGroesse;
    if (gesamt > qint64(0xFFFFFFFFu)) {
        fehler = QStringLiteral("Das Bild ist für eine Bitmap-Datei zu groß.");
        return false;
    }
    aus = QByteArray();
    aus.resize(gesamt);
    if (aus.size() != gesamt) {
        fehler = QStringLiteral("Nicht genug Speicher für die Bitmap-Datei.");
        return false;
    }
    auto* d = reinterpret_cast<uint8_t*>(aus.data());
    std::memset(d, 0, size_t(datenAb));
    d[0] = 'B';
    d[1] = 'M';
    Setze32(d + 2, uint32_t(gesamt));
    Setze32(d + 10, uint32_t(datenAb));
    uint8_t* k = d + 14;
    Setze32(k, 40);
    Setze32(k + 4, uint32_t(w));
    Setze32(k + 8, uint32_t(h));
    Setze16(k + 12, 1);
    Setze16(k + 14, uint32_t(bits));
    Setze32(k + 16, kompression);
    Setze32(k + 20, uint32_t(pixelGroesse));
    Setze32(k + 24, uint32_t(std::max(0, bild.dotsPerMeterX())));
    Setze32(k + 28, uint32_t(std::max(0, bild.dotsPerMeterY())));
    Setze32(k + 32, uint32_t(farben));
    // Pad the colour map to 2^bpp so a reader keeps the page's depth.
    if (farben) {
        const QList<QRgb> t = bild.colorTable();
        uint8_t* p = d + 54;
        for (int i = 0; i < farben && i < t.size(); ++i, p += 4) {
            p[0] = uint8_t(qBlue(t[i]));
            p[1] = uint8_t(qGreen(t[i]));
            p[2] = uint8_t(qRed(t[i]));
        }
    }
    uint8_t* pix = d + datenAb;
    if (rle) {
        std::memcpy(pix, pixel.constData(), size_t(pixel.size()));
        return true;
    }
    const int nutz = int((qint64(w) * bits + 7) / 8);
    for (int r = 0; r < h; ++r) {
        const uint8_t* s = bild.constScanLine(h - 1 - r);
        uint8_t* z = pix + stride * r;
        if (bits == 24 || bits == 8) {
            std::memcpy(z, s, size_t(nutz));
        } else if (bits == 4) {
            for (int x = 0; x + 1 < w; x += 2)
                z[x / 2] = uint8_t(((s[x] & 15) << 4) | (s[x + 1] & 15));
            if (w & 1)
                z[w / 2] = uint8_t((s[w - 1] & 15) << 4);
        } else {
            std::memset(z, 0, size_t(nutz));
            for (int x = 0; x < w; ++x)
                if (s[x] & 1)
                    z[x >> 3] |= uint8_t(0x80 >> (x & 7));
        }
        std::memset(z + nutz, 0, size_t(stride - nutz));
        if ((r & 255) == 0)
            band.Zeile(r);
    }
    return true;
}

// ---- Transfer files ------------------------------------------------------

namespace {

// Writes or reads rows given in file order, in batches of iovecs.
template <class F>
bool ZeilenInBloecken(int fd, qint64 ab, qint64 zeile, int hoehe, F zeilenZeiger, bool schreiben)
{
    constexpr int Block = 512;
    iovec vektoren[Block];
    qint64 position = ab;
    for (int r = 0; r < hoehe;) {
        const int n = std::min(Block, hoehe - r);
        for (int i = 0; i < n; ++i) {
            vektoren[i].iov_base = zeilenZeiger(r + i);
            vektoren[i].iov_len = size_t(zeile);
        }
        const qint64 soll = zeile * n;
        qint64 erledigt = 0;
        int erster = 0;
        while (erledigt < soll) {
            const ssize_t k = schreiben ? ::pwritev(fd, vektoren + erster, n - erster, position + erledigt)
                                        : ::preadv(fd, vektoren + erster, n - erster, position + erledigt);
            if (k <= 0) {
                if (k == 0)   // no progress: a full disk when writing, the end when reading
                    errno = schreiben ? ENOSPC : EIO;
                return false;
            }
            erledigt += k;
            // Skip what was done, partial vectors included.
            qint64 rest = k;
            while (erster < n && rest >= qint64(vektoren[erster].iov_len)) {
                rest -= qint64(vektoren[erster].iov_len);
                ++erster;
            }
            if (erster < n && rest > 0) {
                vektoren[erster].iov_base = static_cast<char*>(vektoren[erster].iov_base) + rest;
                vektoren[erster].iov_len -= size_t(rest);
            }
        }
        position += soll;
        r += n;
    }
    return true;
}

} // namespace

bool BmpDateiSchreiben(const TGearSeite& seite, const QString& pfad, QString& fehler)
{
    const QByteArray name = QFile::encodeName(pfad);
    if (seite.Leer() || seite.bild.format() != QImage::Format_BGR888) {
        QByteArray daten;
        if (!BmpKodieren(seite, false, daten, fehler))
            return false;
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) {
            fehler = SchreibfehlerText(pfad, errno);
            return false;
        }
        int e = 0;
        for (qint64 erledigt = 0; erledigt < daten.size() && e == 0;) {
            const ssize_t k = ::write(fd, daten.constData() + erledigt, size_t(daten.size() - erledigt));
            if (k > 0)
                erledigt += k;
            else if (k == 0)
                e = ENOSPC;
            else if (errno != EINTR)
                e = errno;
        }
        if (::close(fd) != 0 && e == 0)
            e = errno;
        if (e != 0) {
            ::unlink(name.constData());
            fehler = SchreibfehlerText(pfad, e);
            return false;
        }
        return true;
    }
    const QImage& bild = seite.bild;
    const int w = bild.width(), h = bild.height();
    const qint64 zeile = ((qint64(w) * 24 + 31) / 32) * 4;
    const qint64 gesamt = 54 + zeile * h;
    if (gesamt > qint64(0xFFFFFFFFu)) {
        fehler = QStringLiteral("Das Bild ist für eine Bitmap-Datei zu groß.");
        return false;
    }
    uint8_t kopf[54] = {};
    kopf[0] = 'B';
    kopf[1] = 'M';
    Setze32(kopf + 2, uint32_t(gesamt));
    Setze32(kopf + 10, 54);
    Setze32(kopf + 14, 40);
    Setze32(kopf + 18, uint32_t(w));
    Setze32(kopf + 22, uint32_t(h));
    Setze16(kopf + 26, 1);
    Setze16(kopf + 28, 24);
    Setze32(kopf + 34, uint32_t(zeile * h));
    Setze32(kopf + 38, 2835);
    Setze32(kopf + 42, 2835);

    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        fehler = SchreibfehlerText(pfad, errno);
        return false;
    }
    // QImage rows of BGR888 are padded to 4 bytes exactly like BMP rows.
    int e = 0;
    const ssize_t k = ::pwrite(fd, kopf, sizeof kopf, 0);
    if (k != ssize_t(sizeof kopf))
        e = k < 0 ? errno : ENOSPC;
    else if (bild.bytesPerLine() != zeile)
        e = EINVAL;
    else if (!ZeilenInBloecken(fd, 54, zeile, h,
                               [&](int r) { return const_cast<uchar*>(bild.constScanLine(h - 1 - r)); }, true))
        e = errno;
    if (::close(fd) != 0 && e == 0)
        e = errno;
    if (e != 0) {
        ::unlink(name.constData());
        fehler = SchreibfehlerText(pfad, e);
        return false;
    }
    return true;
}

bool BmpDateiLesen24(const QString& pfad, QImage& bgr888, QString& fehler)
{
    const QByteArray name = QFile::encodeName(pfad);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        fehler = QStringLiteral("Die Datei „%1“ kann nicht gelesen werden.").arg(pfad);
        return false;
    }
    struct stat st {};
    uint8_t kopf[54];
    bool schnell = ::fstat(fd, &st) == 0 && ::pread(fd, kopf, sizeof kopf, 0) == ssize_t(sizeof kopf)
        && kopf[0] == 'B' && kopf[1] == 'M' && Le32(kopf + 14) >= 40 && Le16(kopf + 26) == 1
        && Le16(kopf + 28) == 24 && Le32(kopf + 30) == 0;
    const int w = schnell ? int(Le32(kopf + 18)) : 0;
    const int hRoh = schnell ? int(Le32(kopf + 22)) : 0;
    const qint64 ab = schnell ? qint64(Le32(kopf + 10)) : 0;
    const int h = hRoh < 0 ? -hRoh : hRoh;
    const qint64 zeile = ((qint64(w) * 24 + 31) / 32) * 4;
    schnell = schnell && w > 0 && h > 0 && hRoh != INT32_MIN && qint64(w) * h <= GearMaxPixel
        && ab >= 54 && ab + zeile * h <= qint64(st.st_size);
    if (schnell) {
        QImage bild = GearNeuesBild(w, h, QImage::Format_BGR888, fehler);
        const bool vonOben = hRoh < 0;
        const bool ok = !bild.isNull() && bild.bytesPerLine() == zeile
            && ZeilenInBloecken(fd, ab, zeile, h,
                                [&](int r) { return bild.scanLine(vonOben ? r : h - 1 - r); }, false);
        ::close(fd);
        if (!ok) {
            if (fehler.isEmpty())
                fehler = Unvollstaendig;
            return false;
        }
        bgr888 = bild;
        return true;
    }
    ::close(fd);
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) {
        fehler = QStringLiteral("Die Datei „%1“ kann nicht gelesen werden.").arg(pfad);
        return false;
    }
    return BmpLesen24(f.readAll(), bgr888, fehler);
}
