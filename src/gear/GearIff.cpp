#include "GearIff.h"
#include "GearHilfen.h"
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

uint32_t Be32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }
uint16_t Be16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }

void Haengen32(QByteArray& a, uint32_t v)
{
    a.append(char(v >> 24));
    a.append(char(v >> 16));
    a.append(char(v >> 8));
    a.append(char(v));
}
void Haengen16(QByteArray& a, int v)
{
    a.append(char(v >> 8));
    a.append(char(v));
}

// ByteRun1 into exactly n bytes; false when the data runs out first.
bool Entpacken(const uint8_t*& p, const uint8_t* ende, uint8_t* ziel, qint64 n)
{
    qint64 k = 0;
    while (k < n) {
        if (p >= ende)
            return false;
        const int8_t c = int8_t(*p++);
        if (c >= 0) {
            const qint64 m = std::min<qint64>(c + 1, n - k);
            if (ende - p < c + 1)
                return false;
            std::memcpy(ziel + k, p, size_t(m));
            p += c + 1;
            k += m;
        } else if (c != -128) {
            if (p >= ende)
                return false;
            const qint64 m = std::min<qint64>(1 - c, n - k);
            std::memset(ziel + k, *p++, size_t(m));
            k += m;
        }
    }
    return true;
}

void Packen(const uint8_t* q, int n, QByteArray& aus)
{
    int i = 0;
    while (i < n) {
        int lauf = 1;
        while (i + lauf < n && lauf < 128 && q[i + lauf] == q[i])
            ++lauf;
        if (lauf >= 3) {
            aus.append(char(1 - lauf));
            aus.append(char(q[i]));
            i += lauf;
            continue;
        }
        int roh = 0;
        while (i + roh < n && roh < 128) {
            if (i + roh + 2 < n && q[i + roh] == q[i + roh + 1] && q[i + roh] == q[i + roh + 2])
                break;
            ++roh;
        }
        aus.append(char(roh - 1));
        aus.append(reinterpret_cast<const char*>(q + i), roh);
        i += roh;
    }
}

} // namespace

bool IffSignatur(const QByteArray& d)
{
    return d.size() >= 12 && d.startsWith("FORM") && d.mid(8, 4) == "ILBM";
}

bool IffDekodieren(const QByteArray& daten, TGearSeite& seite, QString& kompression, QString& fehler,
                   const TFortschritt& fs)
{
    const QString kaputt = QStringLiteral("Die IFF-Datei ist beschädigt.");
    if (!IffSignatur(daten)) {
        fehler = QStringLiteral("Die Datei ist kein IFF-ILBM-Bild.");
        return false;
    }
    const auto* d = reinterpret_cast<const uint8_t*>(daten.constData());
    const qint64 n = std::min<qint64>(daten.size(), qint64(Be32(d + 4)) + 8);
    int w = 0, h = 0, ebenen = 0, maske = 0, packung = 0;
    uint32_t camg = 0;
    QList<QRgb> karte;
    const uint8_t* body = nullptr;
    qint64 bodyLaenge = 0;
    bool kopf = false;
    for (qint64 i = 12; i + 8 <= n;) {
        const uint32_t laenge = Be32(d + i + 4);
        const uint8_t* inhalt = d + i + 8;
        const qint64 da = std::min<qint64>(laenge, n - i - 8);
        if (std::memcmp(d + i, "BMHD", 4) == 0 && da >= 20) {
            w = Be16(inhalt);
            h = Be16(inhalt + 2);
            ebenen = inhalt[8];
            maske = inhalt[9];
            packung = inhalt[10];
            kopf = true;
        } else if (std::memcmp(d + i, "CMAP", 4) == 0) {
            for (qint64 k = 0; k + 3 <= da && karte.size() < 256; k += 3)
                karte.append(qRgb(inhalt[k], inhalt[k + 1], inhalt[k + 2]));
        } else if (std::memcmp(d + i, "CAMG", 4) == 0 && da >= 4) {
            camg = Be32(inhalt);
        } else if (std::memcmp(d + i, "BODY", 4) == 0) {
            body = inhalt;
            bodyLaenge = da;
        }
        i += 8 + qint64(laenge) + (laenge & 1);
    }
    const bool ham = (camg & 0x800) != 0, ehb = (camg & 0x80) != 0;
    // Hold-and-modify exists with 6 and 8 planes (4 or 6 data bits).
    const bool hamFalsch = ham && ebenen != 6 && ebenen != 8;
    if (!kopf || !body || w == 0 || h == 0 || packung > 1 || !(ebenen == 24 || (ebenen >= 1 && ebenen <= 8))
        || hamFalsch) {
        fehler = kopf && (packung > 1 || ebenen > 8 || hamFalsch) && ebenen != 24
            ? QStringLiteral("Diese IFF-Variante wird nicht unterstützt.") : kaputt;
        return false;
    }
    const int zeilenBytes = ((w + 15) / 16) * 2;
    const int alleEbenen = ebenen + (maske == 1 ? 1 : 0);
    const bool farbe = ebenen == 24 || ham;
    QImage bild = GearNeuesBild(w, h, farbe ? QImage::Format_BGR888 : QImage::Format_Indexed8, fehler);
    std::vector<uint8_t> zeile;
    if (bild.isNull() || !GearPuffer(zeile, qint64(zeilenBytes) * alleEbenen, fehler))
        return false;
    // Colour map: extra half-brite doubles it, missing entries are grey.
    if (ehb && karte.size() >= 32) {
        karte.resize(32);
        for (int k = 0; k < 32; ++k)
            karte.append(qRgb(qRed(karte[k]) / 2, qGreen(karte[k]) / 2, qBlue(karte[k]) / 2));
    }
    const int palettenEbenen = ham ? ebenen - 2 : ebenen;
    // Without a colour map the planes are grey levels.
    if (ebenen != 24 && karte.isEmpty())
        karte = GearGrauPalette(1 << std::max(1, palettenEbenen));
    while (ebenen != 24 && karte.size() < (1 << std::max(1, palettenEbenen)))
        karte.append(qRgb(0, 0, 0));
    const uint8_t* p = body;
    const uint8_t* ende = body + bodyLaenge;
    TFortschrittsBand band(fs, 0, 100, h);
    for (int y = 0; y < h; ++y) {
        if (packung == 1) {
            for (int e = 0; e < alleEbenen; ++e)
                if (!Entpacken(p, ende, zeile.data() + size_t(e) * size_t(zeilenBytes), zeilenBytes)) {
                    fehler = QStringLiteral("Die IFF-Datei ist unvollständig.");
                    return false;
                }
        } else {
            const qint64 m = qint64(zeilenBytes) * alleEbenen;
            if (ende - p < m) {
                fehler = QStringLiteral("Die IFF-Datei ist unvollständig.");
                return false;
            }
            std::memcpy(zeile.data(), p, size_t(m));
            p += m;
        }
        uint8_t* z = bild.scanLine(y);
        int r = 0, g = 0, b = 0;
        if (ham && !karte.isEmpty()) {
            r = qRed(karte[0]);
            g = qGreen(karte[0]);
            b = qBlue(karte[0]);
        }
        for (int x = 0; x < w; ++x) {
            uint32_t wert = 0;
            const int byte = x >> 3, bit = 7 - (x & 7);
            for (int e = 0; e < ebenen; ++e)
                wert |= uint32_t((zeile[size_t(e) * size_t(zeilenBytes) + size_t(byte)] >> bit) & 1) << e;
            if (ebenen == 24) {
                z[3 * x + 2] = uint8_t(wert);
                z[3 * x + 1] = uint8_t(wert >> 8);
                z[3 * x] = uint8_t(wert >> 16);
            } else if (ham) {
                const int datenBits = ebenen - 2;
                const int steuer = int(wert >> datenBits) & 3;
                const int v = int(wert & ((1u << datenBits) - 1));
                // The modified channel keeps its low bits from the new value scaled up.
                const int voll = datenBits == 4 ? v * 17 : (v << 2) | (v >> 4);
                switch (steuer) {
                case 0:
                    r = qRed(karte[v]);
                    g = qGreen(karte[v]);
                    b = qBlue(karte[v]);
                    break;
                case 1: b = voll; break;
                case 2: r = voll; break;
                default: g = voll; break;
                }
                z[3 * x + 2] = uint8_t(r);
                z[3 * x + 1] = uint8_t(g);
                z[3 * x] = uint8_t(b);
            } else {
                z[x] = uint8_t(std::min<uint32_t>(wert, uint32_t(karte.size() - 1)));
            }
        }
        band.Zeile(y);
    }
    if (farbe) {
        seite.bpp = 24;
    } else {
        bild.setColorTable(karte.mid(0, std::min<qsizetype>(karte.size(), 256)));
        seite.bpp = GearTiefeFuerBits(ebenen);
    }
    seite.bild = std::move(bild);
    kompression = packung == 1 ? QStringLiteral("RLE") : QStringLiteral("UNCOMPRESSED");
    return true;
}

bool IffKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs)
{
    const bool palette = seite.bild.format() == QImage::Format_Indexed8;
    const QImage bild = palette ? seite.bild : GearAlsBgr888(seite);
    if (bild.isNull()) {
        fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
        return false;
    }
    const int w = bild.width(), h = bild.height();
    if (w > 65535 || h > 65535) {
        fehler = QStringLiteral("Das Bild ist für IFF zu groß (höchstens 65535 Pixel je Seite).");
        return false;
    }
    const QList<QRgb> karte = palette ? bild.colorTable() : QList<QRgb>();
    int ebenen = 24;
    if (palette)
        ebenen = std::max({seite.bpp == 1 || seite.bpp == 4 ? seite.bpp : 8, GearTiefeFuerFarben(int(karte.size()))});
    const int zeilenBytes = ((w + 15) / 16) * 2;
    QByteArray kopf;
    Haengen16(kopf, w);
    Haengen16(kopf, h);
    Haengen32(kopf, 0);            // x, y
    kopf.append(char(ebenen));
    kopf.append(char(0));          // no mask
    kopf.append(char(1));          // ByteRun1
    kopf.append(char(0));
    Haengen16(kopf, 0);            // transparent colour
    kopf.append(char(1));          // aspect 1:1
    kopf.append(char(1));
    Haengen16(kopf, w);
    Haengen16(kopf, h);
    QByteArray inhalt("ILBM");
    auto abschnitt = [&inhalt](const char* name, const QByteArray& teil) {
        inhalt.append(name, 4);
        Haengen32(inhalt, uint32_t(teil.size()));
        inhalt.append(teil);
        if (teil.size() & 1)
            inhalt.append('\0');
    };
    abschnitt("BMHD", kopf);
    if (palette) {
        QByteArray cmap;
        for (int i = 0; i < (1 << ebenen); ++i) {
            const QRgb c = i < karte.size() ? karte[i] : qRgb(0, 0, 0);
            cmap.append(char(qRed(c)));
            cmap.append(char(qGreen(c)));
            cmap.append(char(qBlue(c)));
        }
        abschnitt("CMAP", cmap);
    }
    QByteArray body;
    std::vector<uint8_t> ebene(static_cast<size_t>(zeilenBytes));
    TFortschrittsBand band(fs, 0, 100, h);
    for (int y = 0; y < h; ++y) {
        const uint8_t* q = bild.constScanLine(y);
        for (int e = 0; e < ebenen; ++e) {
            std::fill(ebene.begin(), ebene.end(), 0);
            for (int x = 0; x < w; ++x) {
                uint32_t wert;
                if (palette)
                    wert = q[x];
                else
                    wert = uint32_t(q[3 * x + 2]) | (uint32_t(q[3 * x + 1]) << 8) | (uint32_t(q[3 * x]) << 16);
                if ((wert >> e) & 1)
                    ebene[size_t(x >> 3)] |= uint8_t(0x80 >> (x & 7));
            }
            Packen(ebene.data(), zeilenBytes, body);
        }
        band.Zeile(y);
    }
    abschnitt("BODY", body);
    aus = QByteArray("FORM");
    Haengen32(aus, uint32_t(inhalt.size()));
    aus.append(inhalt);
    return true;
}
