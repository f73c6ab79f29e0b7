#include "GearAltformate.h"
#include "GearBmp.h"
#include "GearHilfen.h"
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return uint32_t(Le16(p)) | (uint32_t(Le16(p + 2)) << 16); }
uint16_t Be16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }

void Haengen16(QByteArray& a, uint32_t v)
{
    a.append(char(v & 0xFF));
    a.append(char((v >> 8) & 0xFF));
}
void Haengen32(QByteArray& a, uint32_t v)
{
    Haengen16(a, v & 0xFFFF);
    Haengen16(a, v >> 16);
}

constexpr uint16_t ClpWin31 = 0xC350;
constexpr int CfDib = 8, CfDibV5 = 17;

} // namespace

// ---- Clipboard ----------------------------------------------------------

bool ClpSignatur(const QByteArray& d)
{
    if (d.size() < 4)
        return false;
    const uint16_t id = Le16(reinterpret_cast<const uint8_t*>(d.constData()));
    return id == 0xC350 || id == 0xC351 || id == 0xC352;
}

bool ClpDekodieren(const QByteArray& daten, TGearSeite& seite, QString& kompression, QString& fehler,
                   const TFortschritt& fs)
{
    if (!ClpSignatur(daten)) {
        fehler = QStringLiteral("Die Datei ist keine Zwischenablage-Datei.");
        return false;
    }
    const auto* d = reinterpret_cast<const uint8_t*>(daten.constData());
    const qint64 n = daten.size();
    const bool nt = Le16(d) != ClpWin31;
    const int eintrag = nt ? 4 + 4 + 4 + 79 * 2 : 2 + 4 + 4 + 79;
    const int anzahl = Le16(d + 2);
    qint64 bestesOffset = -1, besteLaenge = 0;
    int besteArt = 0;
    for (int i = 0; i < anzahl; ++i) {
        const qint64 e = 4 + qint64(i) * eintrag;
        if (e + eintrag > n)
            break;
        const uint32_t art = nt ? Le32(d + e) : Le16(d + e);
        const qint64 laenge = Le32(d + e + (nt ? 4 : 2));
        const qint64 offset = Le32(d + e + (nt ? 8 : 6));
        if ((art == CfDib || art == CfDibV5) && offset >= 4 && laenge > 0 && offset + laenge <= n
            && (besteArt != CfDib)) {
            bestesOffset = offset;
            besteLaenge = laenge;
            besteArt = int(art);
        }
    }
    if (bestesOffset < 0) {
        fehler = QStringLiteral("Die Zwischenablage-Datei enthält kein Bild.");
        return false;
    }
    // A file header in front turns the DIB into a BMP file.
    const uint8_t* dib = d + bestesOffset;
    if (besteLaenge < 40) {
        fehler = QStringLiteral("Das Bild der Zwischenablage-Datei ist beschädigt.");
        return false;
    }
    const uint32_t kopf = Le32(dib);
    const int bits = Le16(dib + 14);
    const uint32_t art = Le32(dib + 16);
    uint32_t farben = kopf >= 40 ? Le32(dib + 32) : 0;
    if (farben == 0 && bits <= 8)
        farben = 1u << bits;
    const qint64 masken = (art == 3 && kopf == 40) ? 12 : 0;
    const qint64 bitsAb = 14 + qint64(kopf) + masken + qint64(std::min<uint32_t>(farben, 256)) * 4;
    QByteArray bmp("BM");
    Haengen32(bmp, uint32_t(14 + besteLaenge));
    Haengen32(bmp, 0);
    Haengen32(bmp, uint32_t(std::min<qint64>(bitsAb, 14 + besteLaenge)));
    bmp.append(reinterpret_cast<const char*>(dib), qsizetype(besteLaenge));
    bool unterstuetzt = true;
    if (!BmpDekodieren(bmp, seite, kompression, fehler, unterstuetzt, fs)) {
        if (fehler.isEmpty())
            fehler = QStringLiteral("Das Bild der Zwischenablage-Datei ist beschädigt.");
        return false;
    }
    return true;
}

bool ClpKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs)
{
    QByteArray bmp;
    if (!BmpKodieren(seite, false, bmp, fehler, fs))
        return false;
    const int eintrag = 2 + 4 + 4 + 79;
    const QByteArray dib = bmp.mid(14);
    aus.clear();
    Haengen16(aus, ClpWin31);
    Haengen16(aus, 1);
    Haengen16(aus, CfDib);
    Haengen32(aus, uint32_t(dib.size()));
    Haengen32(aus, uint32_t(4 + eintrag));
    aus.append(QByteArray(79, '\0'));
    aus.append(dib);
    return true;
}

// ---- MS Paint -------------------------------------------------------------

bool MspSignatur(const QByteArray& d)
{
    return d.size() >= 32 && (d.startsWith("DanM") || d.startsWith("LinS"));
}

bool MspDekodieren(const QByteArray& daten, TGearSeite& seite, QString& kompression, QString& fehler,
                   const TFortschritt& fs)
{
    if (!MspSignatur(daten)) {
        fehler = QStringLiteral("Die Datei ist kein MS-Paint-Bild.");
        return false;
    }
    const auto* d = reinterpret_cast<const uint8_t*>(daten.constData());
    const qint64 n = daten.size();
    const bool v2 = daten.startsWith("LinS");
    const int w = Le16(d + 4), h = Le16(d + 6);
    const int zeilenBytes = (w + 7) / 8;
    const QString kurz = QStringLiteral("Die MS-Paint-Datei ist unvollständig.");
    if (w == 0 || h == 0) {
        fehler = QStringLiteral("Die MS-Paint-Datei ist beschädigt.");
        return false;
    }
    // Version 1 stores every bit; version 2 a row table of h words.
    if ((!v2 && 32 + qint64(zeilenBytes) * h > n) || (v2 && 32 + 2 * qint64(h) > n)) {
        fehler = kurz;
        return false;
    }
    QImage bild = GearNeuesBild(w, h, QImage::Format_Indexed8, fehler);
    std::vector<uint8_t> zeile;
    if (bild.isNull() || !GearPuffer(zeile, zeilenBytes, fehler))
        return false;
    qint64 pos = 32 + (v2 ? 2 * qint64(h) : 0);
    TFortschrittsBand band(fs, 0, 100, h);
    for (int y = 0; y < h; ++y) {
        if (!v2) {
            std::memcpy(zeile.data(), d + pos, size_t(zeilenBytes));
            pos += zeilenBytes;
        } else {
            const qint64 laenge = Le16(d + 32 + 2 * y);
            const qint64 zeilenEnde = pos + laenge;
            if (zeilenEnde > n) {
                fehler = kurz;
                return false;
            }
            // An empty row is white.
            std::fill(zeile.begin(), zeile.end(), uint8_t(0xFF));
            int k = 0;
            while (pos < zeilenEnde && k < zeilenBytes) {
                const int art = d[pos++];
                if (art == 0) {
                    if (pos + 2 > zeilenEnde)
                        break;
                    const int anzahl = d[pos], wert = d[pos + 1];
                    pos += 2;
                    const int m = std::min(anzahl, zeilenBytes - k);
                    std::memset(zeile.data() + k, wert, size_t(m));
                    k += m;
                } else {
                    const int m = int(std::min<qint64>({qint64(art), zeilenEnde - pos, qint64(zeilenBytes - k)}));
                    std::memcpy(zeile.data() + k, d + pos, size_t(m));
                    pos += art;
                    k += m;
                }
            }
            pos = zeilenEnde;
        }
        uint8_t* z = bild.scanLine(y);
        // A set bit is white.
        for (int x = 0; x < w; ++x)
            z[x] = uint8_t((zeile[size_t(x >> 3)] >> (7 - (x & 7))) & 1);
        band.Zeile(y);
    }
    bild.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    seite.bild = std::move(bild);
    seite.bpp = 1;
    kompression = v2 ? QStringLiteral("RLE") : QStringLiteral("UNCOMPRESSED");
    return true;
}

// ---- GEM bit image ---------------------------------------------------------

bool GemDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, const TFortschritt& fs)
{
    const auto* d = reinterpret_cast<const uint8_t*>(daten.constData());
    const qint64 n = daten.size();
    const QString kaputt = QStringLiteral("Die GEM-Datei ist beschädigt.");
    if (n < 16) {
        fehler = kaputt;
        return false;
    }
    const int kopfWorte = Be16(d + 2), ebenen = Be16(d + 4), musterLaenge = Be16(d + 6);
    const int w = Be16(d + 12), h = Be16(d + 14);
    if (kopfWorte < 8 || ebenen < 1 || ebenen > 8 || musterLaenge < 1 || musterLaenge > 8 || w == 0 || h == 0
        || 2 * qint64(kopfWorte) > n) {
        fehler = kaputt;
        return false;
    }
    QList<QRgb> karte;
    // XIMG: RGB levels 0..1000 for every colour.
    if (kopfWorte >= 11 && std::memcmp(d + 16, "XIMG", 4) == 0 && Be16(d + 20) == 0) {
        const int farben = 1 << ebenen;
        for (int i = 0; i < farben && 22 + 6 * (i + 1) <= 2 * kopfWorte; ++i) {
            const uint8_t* c = d + 22 + 6 * i;
            auto k = [](int v) { return std::clamp((v * 255 + 500) / 1000, 0, 255); };
            karte.append(qRgb(k(Be16(c)), k(Be16(c + 2)), k(Be16(c + 4))));
        }
    }
    if (karte.size() < (1 << ebenen)) {
        if (ebenen == 1) {
            karte = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
        } else {
            // Grey levels, white for index 0 as on a GEM screen.
            karte.clear();
            const int stufen = 1 << ebenen;
            for (int i = 0; i < stufen; ++i) {
                const int g = 255 - i * 255 / (stufen - 1);
                karte.append(qRgb(g, g, g));
            }
        }
    }
    const int zeilenBytes = (w + 7) / 8;
    QImage bild = GearNeuesBild(w, h, QImage::Format_Indexed8, fehler);
    std::vector<uint8_t> zeile;
    if (bild.isNull() || !GearPuffer(zeile, qint64(zeilenBytes) * ebenen, fehler))
        return false;
    qint64 pos = 2 * qint64(kopfWorte);
    const qint64 ebeneBytes = zeilenBytes;
    TFortschrittsBand band(fs, 0, 100, h);
    int y = 0;
    while (y < h) {
        int wiederholen = 1;
        if (pos + 4 <= n && d[pos] == 0 && d[pos + 1] == 0 && d[pos + 2] == 0xFF) {
            wiederholen = std::max(1, int(d[pos + 3]));
            pos += 4;
        }
        std::fill(zeile.begin(), zeile.end(), uint8_t(0));
        for (int e = 0; e < ebenen; ++e) {
            uint8_t* z = zeile.data() + e * ebeneBytes;
            qint64 k = 0;
            while (k < ebeneBytes) {
                if (pos >= n) {
                    fehler = QStringLiteral("Die GEM-Datei ist unvollständig.");
                    return false;
                }
                const uint8_t c = d[pos++];
                if (c == 0) {
                    if (pos >= n) {
                        fehler = QStringLiteral("Die GEM-Datei ist unvollständig.");
                        return false;
                    }
                    const int anzahl = d[pos++];
                    if (pos + musterLaenge > n) {
                        fehler = QStringLiteral("Die GEM-Datei ist unvollständig.");
                        return false;
                    }
                    for (int r = 0; r < anzahl; ++r)
                        for (int m = 0; m < musterLaenge && k < ebeneBytes; ++m)
                            z[k++] = d[pos + m];
                    pos += musterLaenge;
                } else if (c == 0x80) {
                    if (pos >= n) {
                        fehler = QStringLiteral("Die GEM-Datei ist unvollständig.");
                        return false;
                    }
                    const int anzahl = d[pos++];
                    if (pos + anzahl > n) {
                        fehler = QStringLiteral("Die GEM-Datei ist unvollständig.");
                        return false;
                    }
                    for (int m = 0; m < anzahl && k < ebeneBytes; ++m)
                        z[k++] = d[pos + m];
                    pos += anzahl;
                } else {
                    const uint8_t wert = (c & 0x80) ? 0xFF : 0x00;
                    for (int m = 0; m < (c & 0x7F) && k < ebeneBytes; ++m)
                        z[k++] = wert;
                }
            }
        }
        for (int r = 0; r < wiederholen && y < h; ++r, ++y) {
            uint8_t* z = bild.scanLine(y);
            for (int x = 0; x < w; ++x) {
                int wert = 0;
                for (int e = 0; e < ebenen; ++e)
                    wert |= ((zeile[size_t(e * ebeneBytes + (x >> 3))] >> (7 - (x & 7))) & 1) << e;
                z[x] = uint8_t(wert);
            }
            band.Zeile(y);
        }
    }
    bild.setColorTable(karte.mid(0, 1 << ebenen));
    seite.bild = std::move(bild);
    seite.bpp = GearTiefeFuerBits(ebenen);
    return true;
}
