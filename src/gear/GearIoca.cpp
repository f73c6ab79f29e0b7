#include "GearIoca.h"
#include "GearHilfen.h"
#include "GearTiff.h"
#include <tiffio.h>
#include <cstring>

namespace {

constexpr uint8_t BeginSegment = 0x70, EndeSegment = 0x71, BeginInhalt = 0x91, EndeInhalt = 0x93;
constexpr uint8_t BildGroesse = 0x94, Kodierung = 0x95, IdeGroesse = 0x96;
constexpr uint8_t OhneKompression = 0x03, IbmMmr = 0x01, G4Mmr = 0x82;

int Be16(const uint8_t* p) { return (p[0] << 8) | p[1]; }

} // namespace

bool IocaDekodieren(const QByteArray& daten, TGearSeite& seite, QString& kompression, QString& fehler,
                    const TFortschritt& fs)
{
    const auto* d = reinterpret_cast<const uint8_t*>(daten.constData());
    const qint64 n = daten.size();
    const QString kaputt = QStringLiteral("Die IOCA-Datei ist beschädigt.");
    if (n < 2 || d[0] != BeginSegment) {
        fehler = QStringLiteral("Die Datei ist kein IOCA-Bildsegment.");
        return false;
    }
    int w = 0, h = 0, verfahren = OhneKompression, bits = 1;
    bool inhalt = false, ende = false;
    QByteArray bilddaten;
    for (qint64 i = 0; i < n && !ende;) {
        const uint8_t id = d[i];
        if (id == 0xFE) {
            // Two-byte code with a two-byte length: Image Data (X'FE92') and other extended parameters.
            if (i + 4 > n) {
                fehler = QStringLiteral("Die IOCA-Datei ist unvollständig.");
                return false;
            }
            const int laenge = Be16(d + i + 2);
            if (i + 4 + laenge > n) {
                fehler = QStringLiteral("Die IOCA-Datei ist unvollständig.");
                return false;
            }
            if (d[i + 1] == 0x92) {
                if (!inhalt || !GearSpeicherNehmen(laenge, fehler)) {
                    if (fehler.isEmpty())
                        fehler = kaputt;
                    return false;
                }
                bilddaten.append(reinterpret_cast<const char*>(d + i + 4), laenge);
            }
            i += 4 + laenge;
            continue;
        }
        if (i + 2 > n || i + 2 + d[i + 1] > n) {
            fehler = QStringLiteral("Die IOCA-Datei ist unvollständig.");
            return false;
        }
        const int laenge = d[i + 1];
        const uint8_t* p = d + i + 2;
        switch (id) {
        case BeginInhalt: inhalt = true; break;
        case BildGroesse:
            if (laenge < 9) {
                fehler = kaputt;
                return false;
            }
            w = Be16(p + 5);
            h = Be16(p + 7);
            break;
        case Kodierung:
            if (laenge >= 1)
                verfahren = p[0];
            break;
        case IdeGroesse:
            if (laenge >= 1)
                bits = p[0];
            break;
        case EndeInhalt:
        case EndeSegment: ende = true; break;
        default: break;
        }
        i += 2 + laenge;
    }
    if (w <= 0 || h <= 0 || bilddaten.isEmpty()) {
        fehler = kaputt;
        return false;
    }
    if (bits != 1 || (verfahren != OhneKompression && verfahren != IbmMmr && verfahren != G4Mmr)) {
        fehler = QStringLiteral("Diese IOCA-Variante (Kompression %1, %2 Bit) wird nicht unterstützt.")
                     .arg(verfahren, 2, 16, QLatin1Char('0')).arg(bits);
        return false;
    }
    QImage bild = GearNeuesBild(w, h, QImage::Format_Indexed8, fehler);
    if (bild.isNull())
        return false;
    bild.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const int zeilenBytes = (w + 7) / 8;
    auto zeile = [&](int y, const uint8_t* q) {
        uint8_t* z = bild.scanLine(y);
        for (int x = 0; x < w; ++x)
            z[x] = uint8_t((q[x >> 3] >> (7 - (x & 7))) & 1);
    };
    TFortschrittsBand band(fs, 0, 100, h);
    int zeilen = 0;
    if (verfahren == OhneKompression) {
        zeilen = int(std::min<qint64>(h, bilddaten.size() / zeilenBytes));
        for (int y = 0; y < zeilen; ++y) {
            zeile(y, reinterpret_cast<const uint8_t*>(bilddaten.constData()) + qint64(y) * zeilenBytes);
            band.Zeile(y);
        }
    } else {
        TFaxEnde faxEnde;
        zeilen = TiffFaxZeilen(bilddaten, COMPRESSION_CCITTFAX4, false, false, w, h,
                               [&](int y, const uint8_t* q) {
                                   zeile(y, q);
                                   band.Zeile(y);
                               },
                               faxEnde);
    }
    if (zeilen < h) {
        fehler = QStringLiteral("Die IOCA-Bilddaten sind unvollständig.");
        return false;
    }
    seite.bild = std::move(bild);
    seite.bpp = 1;
    kompression = verfahren == OhneKompression ? QStringLiteral("UNCOMPRESSED") : QStringLiteral("CCITT G4");
    return true;
}
