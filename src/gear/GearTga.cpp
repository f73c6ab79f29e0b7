#include "GearTga.h"
#include "GearHilfen.h"
#include <algorithm>
#include <cstring>

namespace {

const QString Unvollstaendig = QStringLiteral("Die TGA-Datei ist unvollständig.");
const QString Beschaedigt = QStringLiteral("Die TGA-Datei ist beschädigt.");

int Le16(const uint8_t* p) { return p[0] | (p[1] << 8); }

// 5 bits per channel scaled to 8, rounded.
inline uint8_t Acht(int v5) { return uint8_t((v5 * 255 + 15) / 31); }

// One stored colour (15, 16, 24 or 32 bits, little-endian BGR) as BGR bytes.
inline void Farbe(const uint8_t* p, int bytes, uint8_t* bgr)
{
    if (bytes == 2) {
        const int v = Le16(p);
        bgr[0] = Acht(v & 31);
        bgr[1] = Acht((v >> 5) & 31);
        bgr[2] = Acht((v >> 10) & 31);
    } else {
        bgr[0] = p[0];
        bgr[1] = p[1];
        bgr[2] = p[2];
    }
}

} // namespace

bool TgaDekodieren(const QByteArray& daten, TGearSeite& seite, QString& kompression, QString& fehler,
                   bool& unterstuetzt, const TFortschritt& fs)
{
    unterstuetzt = true;
    const auto* d = reinterpret_cast<const uint8_t*>(daten.constData());
    const qint64 n = daten.size();
    if (n < 18) {
        fehler = Unvollstaendig;
        return false;
    }
    const int idLaenge = d[0], kartenTyp = d[1], typ = d[2];
    const int kartenAnfang = Le16(d + 3), kartenLaenge = Le16(d + 5), kartenBits = d[7];
    const int w = Le16(d + 12), h = Le16(d + 14), bits = d[16], beschreibung = d[17];
    const bool rle = typ >= 9;
    const int art = rle ? typ - 8 : typ;   // 1 colour-mapped, 2 true colour, 3 grey
    const bool pal = art == 1, grau = art == 3;
    const bool gueltig = (pal && kartenTyp == 1 && bits == 8 && kartenLaenge > 0
                          && (kartenBits == 15 || kartenBits == 16 || kartenBits == 24 || kartenBits == 32))
        || (art == 2 && (bits == 15 || bits == 16 || bits == 24 || bits == 32))
        || (grau && (bits == 8 || bits == 16));
    if (!gueltig || kartenTyp > 1 || (beschreibung & 0xC0)) {
        unterstuetzt = false;
        fehler = QStringLiteral("Diese TGA-Variante wird nicht unterstützt.");
        return false;
    }
    if (w == 0 || h == 0) {
        fehler = QStringLiteral("Das Bild hat keine gültige Größe.");
        return false;
    }
    const int bpp = (bits + 7) / 8;
    qint64 p = 18 + idLaenge;
    QList<QRgb> palette;
    if (kartenTyp == 1) {
        const int eintrag = (kartenBits + 7) / 8;
        if (p + qint64(kartenLaenge) * eintrag > n) {
            fehler = Unvollstaendig;
            return false;
        }
        if (pal) {
            palette.fill(qRgb(0, 0, 0), std::min(256, kartenAnfang + kartenLaenge));
            for (int i = 0; i < kartenLaenge && kartenAnfang + i < 256; ++i) {
                uint8_t bgr[3];
                Farbe(d + p + qint64(i) * eintrag, eintrag, bgr);
                palette[kartenAnfang + i] = qRgb(bgr[2], bgr[1], bgr[0]);
            }
        }
        p += qint64(kartenLaenge) * eintrag;
    }
    // The data must be able to fill the declared size before anything is
    // allocated: raw pixels one by one, runs at most 128 pixels a packet.
    const qint64 pixel = qint64(w) * h;
    const qint64 mindestens = rle ? (pixel + 127) / 128 * (1 + bpp) : pixel * bpp;
    if (n - p < mindestens) {
        fehler = Unvollstaendig;
        return false;
    }
    QImage bild = GearNeuesBild(w, h, pal || grau ? QImage::Format_Indexed8 : QImage::Format_BGR888, fehler);
    if (bild.isNull())
        return false;
    // Bit 4: the first pixel of a row is its right end; bit 5: the first row
    // is the top one. The default is the bottom-left corner.
    const bool rechts = beschreibung & 0x10, oben = beschreibung & 0x20;
    const int ausBytes = pal || grau ? 1 : 3;
    TFortschrittsBand band(fs, 0, 100, h);
    qint64 k = 0;               // pixel in file order
    int lauf = 0;               // pixels left in the current packet
    bool wiederholen = false;
    const uint8_t* wert = nullptr;
    for (int r = 0; r < h; ++r) {
        uint8_t* z = bild.scanLine(oben ? r : h - 1 - r);
        for (int s = 0; s < w; ++s, ++k) {
            if (rle) {
                if (lauf == 0) {
                    if (p >= n) {
                        fehler = Unvollstaendig;
                        return false;
                    }
                    wiederholen = d[p] & 0x80;
                    lauf = (d[p] & 0x7F) + 1;
                    ++p;
                    const qint64 bytes = wiederholen ? bpp : qint64(lauf) * bpp;
                    if (p + bytes > n) {
                        fehler = Unvollstaendig;
                        return false;
                    }
                    if (wiederholen) {
                        wert = d + p;
                        p += bpp;
                    }
                }
                if (!wiederholen) {
                    wert = d + p;
                    p += bpp;
                }
                --lauf;
            } else {
                wert = d + p;
                p += bpp;
            }
            const int x = rechts ? w - 1 - s : s;
            if (ausBytes == 1)
                z[x] = wert[0];   // index, or grey with its alpha after it
            else
                Farbe(wert, bpp, z + 3 * x);
        }
        if ((r & 63) == 0)
            band.Zeile(r);
    }
    if (pal) {
        bild.setColorTable(palette);
        GearIndizesAbsichern(bild);
        seite.bpp = 8;
    } else if (grau) {
        bild.setColorTable(GearGrauPalette(256));
        seite.bpp = 8;
    } else {
        seite.bpp = 24;
    }
    seite.bild = std::move(bild);
    kompression = rle ? QStringLiteral("RLE") : QStringLiteral("UNCOMPRESSED");
    return true;
}
