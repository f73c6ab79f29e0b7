#include "GearCodec.h"
#include "GearEps.h"
#include "GearAltformate.h"
#include "GearBmp.h"
#include "GearFarbtiefe.h"
#include "GearFax.h"
#include "GearGif.h"
#include "GearHilfen.h"
#include "GearIff.h"
#include "GearIoca.h"
#include "GearJpeg.h"
#include "GearMagick.h"
#include "GearPng.h"
#include "GearTga.h"
#include "GearTiff.h"
#include "GearXpm.h"
#include <tiffio.h>
#include <QHash>
#include <cstring>
#include <unordered_map>

namespace {

enum class TSignatur { Unbekannt, Bmp, Jpeg, Png, Gif, Tiff };

TSignatur SignaturVon(const QByteArray& d)
{
    const auto* b = reinterpret_cast<const uint8_t*>(d.constData());
    const qsizetype n = d.size();
    if (n >= 2 && b[0] == 'B' && b[1] == 'M')
        return TSignatur::Bmp;
    if (n >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return TSignatur::Jpeg;
    if (n >= 8 && std::memcmp(b, "\x89PNG\r\n\x1a\n", 8) == 0)
        return TSignatur::Png;
    if (n >= 6 && (std::memcmp(b, "GIF87a", 6) == 0 || std::memcmp(b, "GIF89a", 6) == 0))
        return TSignatur::Gif;
    if (n >= 4 && ((b[0] == 'I' && b[1] == 'I' && (b[2] == 42 || b[2] == 43) && b[3] == 0)
                   || (b[0] == 'M' && b[1] == 'M' && b[2] == 0 && (b[3] == 42 || b[3] == 43))))
        return TSignatur::Tiff;
    return TSignatur::Unbekannt;
}

// The coder an extension stands for, when the bytes do not say.
QString MagickHinweis(const QString& endung)
{
    static const QHash<QString, QString> karte = {
        {"BMP", "BMP"}, {"RLE", "BMP"}, {"DIB", "BMP"}, {"CAL", "CALS"}, {"CALS", "CALS"}, {"G3", "G3"},
        {"G4", "G4"}, {"CUT", "CUT"}, {"DCX", "DCX"}, {"EPS", "EPS"}, {"GIF", "GIF"}, {"ICO", "ICO"},
        {"JPG", "JPEG"}, {"JPEG", "JPEG"}, {"JPE", "JPEG"}, {"MAC", "MAC"}, {"PBM", "PBM"}, {"PGM", "PGM"},
        {"PPM", "PPM"}, {"PNM", "PNM"}, {"PCD", "PCD"}, {"PCT", "PICT"}, {"PICT", "PICT"}, {"PCX", "PCX"},
        {"PNG", "PNG"}, {"PSD", "PSD"}, {"RAS", "SUN"}, {"SUN", "SUN"}, {"SGI", "SGI"}, {"TGA", "TGA"},
        {"TIF", "TIFF"}, {"TIFF", "TIFF"}, {"WMF", "WMF"}, {"WPG", "WPG"}, {"XBM", "XBM"}, {"XPM", "XPM"},
        {"XWD", "XWD"}, {"WEBP", "WEBP"},
    };
    return karte.value(endung.toUpper());
}

// Bytes of a Brooktrout fax file's header in front of its G3 data.
constexpr int BrooktroutKopf = 128;

// Formats offered for reading that no coder here understands.
bool OhneLeser(const QString& endung)
{
    static const QStringList liste = {"GX2", "ICA", "KFX", "LV"};
    return liste.contains(endung.toUpper());
}

QString UnschreibbaresFormat(int speicherId)
{
    switch (speicherId) {
    case 327683: return QStringLiteral("BRK (Brooktrout)");
    default: return QStringLiteral("mit der Kennung %1").arg(speicherId);
    }
}

// Palette-only coders get a palette page: the exact colours when there are
// at most 256, else an octree palette.
bool MitPalette(const TGearSeite& seite, TGearSeite& ziel, QString& fehler)
{
    if (seite.bild.format() == QImage::Format_Indexed8) {
        ziel = seite;
        return true;
    }
    const QImage bgr = GearAlsBgr888(seite);
    QImage q(bgr.width(), bgr.height(), QImage::Format_Indexed8);
    if (bgr.isNull() || q.isNull()) {
        fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
        return false;
    }
    std::unordered_map<uint32_t, uint8_t> index;
    QList<QRgb> tabelle;
    bool passt = true;
    for (int y = 0; y < bgr.height() && passt; ++y) {
        const uint8_t* s = bgr.constScanLine(y);
        uint8_t* z = q.scanLine(y);
        uint32_t letzte = 0xFFFFFFFFu;
        uint8_t letzterIndex = 0;
        for (int x = 0; x < bgr.width(); ++x, s += 3) {
            const uint32_t c = uint32_t(s[0]) | (uint32_t(s[1]) << 8) | (uint32_t(s[2]) << 16);
            if (c != letzte) {
                auto it = index.find(c);
                if (it == index.end()) {
                    if (tabelle.size() == 256) {
                        passt = false;
                        break;
                    }
                    it = index.emplace(c, uint8_t(tabelle.size())).first;
                    tabelle.append(qRgb(s[2], s[1], s[0]));
                }
                letzte = c;
                letzterIndex = it->second;
            }
            z[x] = letzterIndex;
        }
    }
    if (passt) {
        q.setColorTable(tabelle);
        ziel.bild = q;
        ziel.bpp = GearTiefeFuerFarben(int(tabelle.size()));
        return true;
    }
    ziel = seite;
    GearOctree(ziel, 8, 256);
    if (ziel.bild.format() != QImage::Format_Indexed8) {
        fehler = QStringLiteral("Die Farben können nicht auf eine Palette gebracht werden.");
        return false;
    }
    return true;
}

int Wert(const std::map<int, int>& werte, int modus, int vorgabe)
{
    const auto it = werte.find(modus);
    return it == werte.end() ? vorgabe : it->second;
}

} // namespace

bool GearDekodieren(const QByteArray& daten, const QString& endung, TGearDokument& dok, QString& fehler,
                    const TFortschritt& fortschritt, QRgb hintergrund)
{
    dok = TGearDokument();
    if (daten.isEmpty()) {
        fehler = QStringLiteral("Die Datei ist leer.");
        return false;
    }
    bool unterstuetzt = true;
    QString hinweis;
    switch (SignaturVon(daten)) {
    case TSignatur::Bmp: {
        TGearSeite s;
        if (BmpDekodieren(daten, s, dok.kompression, fehler, unterstuetzt, fortschritt, hintergrund)) {
            dok.seiten.push_back(std::move(s));
            dok.typ = QStringLiteral("BMP");
            return true;
        }
        hinweis = QStringLiteral("BMP");
        break;
    }
    case TSignatur::Jpeg: {
        TGearSeite s;
        if (JpegDekodieren(daten, s, fehler, unterstuetzt, fortschritt)) {
            dok.seiten.push_back(std::move(s));
            dok.typ = QStringLiteral("JPEG");
            dok.kompression = QStringLiteral("JPEG");
            return true;
        }
        hinweis = QStringLiteral("JPEG");
        break;
    }
    case TSignatur::Png: {
        TGearSeite s;
        if (!PngDekodieren(daten, s, fehler, fortschritt, hintergrund))
            return false;
        dok.seiten.push_back(std::move(s));
        dok.typ = QStringLiteral("PNG");
        dok.kompression = QStringLiteral("DEFLATE");
        return true;
    }
    case TSignatur::Gif:
        if (!GifDekodieren(daten, dok, fehler, fortschritt))
            return false;
        dok.typ = QStringLiteral("GIF");
        dok.kompression = QStringLiteral("LZW");
        return true;
    case TSignatur::Tiff:
        if (!TiffDekodieren(daten, dok, fehler, fortschritt))
            return false;
        dok.typ = QStringLiteral("TIFF");
        return true;
    case TSignatur::Unbekannt:
        hinweis = MagickHinweis(endung);
        if (EpsSignatur(daten)) {
            TGearSeite s;
            if (!EpsDekodieren(daten, s, fehler, fortschritt))
                return false;
            dok.seiten.push_back(std::move(s));
            dok.typ = QStringLiteral("EPS");
            dok.kompression = QStringLiteral("UNCOMPRESSED");
            return true;
        }
        if (IffSignatur(daten) || MspSignatur(daten)
            || (ClpSignatur(daten) && (endung.toUpper() == QLatin1String("CLP") || MagickSignatur(daten).isEmpty()))
            || (endung.toUpper() == QLatin1String("IMG") && MagickSignatur(daten).isEmpty())) {
            TGearSeite s;
            bool ok;
            if (IffSignatur(daten)) {
                ok = IffDekodieren(daten, s, dok.kompression, fehler, fortschritt);
                dok.typ = QStringLiteral("IFF");
            } else if (MspSignatur(daten)) {
                ok = MspDekodieren(daten, s, dok.kompression, fehler, fortschritt);
                dok.typ = QStringLiteral("MSP");
            } else if (ClpSignatur(daten)) {
                ok = ClpDekodieren(daten, s, dok.kompression, fehler, fortschritt);
                dok.typ = QStringLiteral("CLP");
            } else {
                ok = GemDekodieren(daten, s, fehler, fortschritt);
                dok.typ = QStringLiteral("IMG");
                dok.kompression = QStringLiteral("RLE");
            }
            if (!ok)
                return false;
            dok.seiten.push_back(std::move(s));
            return true;
        }
        if (daten.startsWith("/* XPM */")) {
            TGearSeite s;
            if (XpmDekodieren(daten, s, fehler, unterstuetzt, fortschritt)) {
                dok.seiten.push_back(std::move(s));
                dok.typ = QStringLiteral("XPM");
                dok.kompression = QStringLiteral("UNCOMPRESSED");
                return true;
            }
            if (unterstuetzt)
                return false;
            hinweis = QStringLiteral("XPM");
        }
        if (endung.toUpper() == QLatin1String("ICA") && uint8_t(daten[0]) == 0x70) {
            TGearSeite s;
            if (!IocaDekodieren(daten, s, dok.kompression, fehler, fortschritt))
                return false;
            dok.seiten.push_back(std::move(s));
            dok.typ = QStringLiteral("IOCA");
            return true;
        }
        if (endung.toUpper() == QLatin1String("BRK") && daten.size() > BrooktroutKopf) {
            // The header's fields are not published; the G3 rows after it
            // tell their own width.
            TGearSeite s;
            if (!FaxRohDekodieren(daten.mid(BrooktroutKopf), false, s, dok.kompression, fehler, fortschritt))
                return false;
            dok.seiten.push_back(std::move(s));
            dok.typ = QStringLiteral("BRK");
            return true;
        }
        if (hinweis == QLatin1String("G3") || hinweis == QLatin1String("G4")) {
            TGearSeite s;
            if (!FaxRohDekodieren(daten, hinweis == QLatin1String("G4"), s, dok.kompression, fehler, fortschritt))
                return false;
            dok.seiten.push_back(std::move(s));
            dok.typ = QStringLiteral("FAX");
            return true;
        }
        if (hinweis == QLatin1String("TGA")) {
            // TGA has no signature; its own reader knows the origin corners.
            TGearSeite s;
            if (TgaDekodieren(daten, s, dok.kompression, fehler, unterstuetzt, fortschritt)) {
                dok.seiten.push_back(std::move(s));
                dok.typ = QStringLiteral("TGA");
                return true;
            }
            if (unterstuetzt)
                return false;
        }
        if (hinweis.isEmpty() && MagickSignatur(daten).isEmpty()) {
            fehler = OhneLeser(endung) ? QStringLiteral("Das Format %1 kann nicht gelesen werden.").arg(endung.toUpper())
                                       : QStringLiteral("Das Dateiformat ist unbekannt.");
            return false;
        }
        return MagickDekodieren(daten, hinweis, dok, fehler, fortschritt);
    }
    // Our own reader declined a variant; the general coder may know it.
    if (unterstuetzt)
        return false;
    return MagickDekodieren(daten, hinweis, dok, fehler, fortschritt);
}

bool GearKannSchreiben(int speicherId)
{
    switch (speicherId) {
    case 2: case 458754: case 4: case 5: case 18: case 196634: case 262170: case 8: case 14: case 21: case 28: case 65564:
    case 30: case 31: case 33: case 36: case 37: case 38: case 39: case 524328: case 40: case 393256:
    case 131112: case 196648: case 327720: case 262184: case 65576: case 43: case 45: case 47:
        return true;
    default:
        return false;
    }
}

bool GearKodieren(const TGearSeite& seite, int speicherId, const std::map<int, int>& controlWerte, QByteArray& aus,
                  QString& fehler, const TFortschritt& fortschritt)
{
    aus.clear();
    if (seite.Leer()) {
        fehler = QStringLiteral("Es ist kein Bild vorhanden.");
        return false;
    }
    if (!GearKannSchreiben(speicherId)) {
        fehler = QStringLiteral("Das Format %1 kann nicht geschrieben werden.").arg(UnschreibbaresFormat(speicherId));
        return false;
    }
    const TFortschritt& fs = fortschritt;
    switch (speicherId) {
    case 2:
        return BmpKodieren(seite, false, aus, fehler, fs);
    case 458754: {
        TGearSeite p;
        return MitPalette(seite, p, fehler) && BmpKodieren(p, true, aus, fehler, fs);
    }
    case 14: {
        TGearSeite p;
        return MitPalette(seite, p, fehler) && GifKodieren(p, aus, fehler, fs);
    }
    case 21:
        return JpegKodieren(seite, Wert(controlWerte, 1813, 0), Wert(controlWerte, 277, 75),
                            JpegAufloesungDpi(Wert(controlWerte, 533, 0)), aus, fehler, fs);
    case 33:
        return PngKodieren(seite, aus, fehler, fs);
    case 4: return MagickKodieren(seite, QStringLiteral("CALS"), false, aus, fehler, fs);
    case 5: return ClpKodieren(seite, aus, fehler, fs);
    case 18: return IffKodieren(seite, aus, fehler, fs);
    case 196634: return FaxRohKodieren(seite, false, aus, fehler);
    case 262170: return FaxRohKodieren(seite, true, aus, fehler);
    case 8: return MagickKodieren(seite, QStringLiteral("DCX"), false, aus, fehler, fs);
    case 28: return MagickKodieren(seite, QStringLiteral("PBM"), true, aus, fehler, fs);
    case 65564: return MagickKodieren(seite, QStringLiteral("PBM"), false, aus, fehler, fs);
    case 30: return MagickKodieren(seite, QStringLiteral("PICT"), false, aus, fehler, fs);
    case 31: return MagickKodieren(seite, QStringLiteral("PCX"), false, aus, fehler, fs);
    case 36: return MagickKodieren(seite, QStringLiteral("PSD"), false, aus, fehler, fs);
    case 37: return MagickKodieren(seite, QStringLiteral("SUN"), false, aus, fehler, fs);
    case 38: return MagickKodieren(seite, QStringLiteral("SGI"), false, aus, fehler, fs);
    case 39: return MagickKodieren(seite, QStringLiteral("TGA"), false, aus, fehler, fs);
    case 43: return MagickKodieren(seite, QStringLiteral("XBM"), false, aus, fehler, fs);
    case 45: return XpmKodieren(seite, aus, fehler, fs);
    case 47: return MagickKodieren(seite, QStringLiteral("XWD"), false, aus, fehler, fs);
    case 524328: return TiffKodieren(seite, COMPRESSION_LZW, false, aus, fehler, fs);
    case 40: return TiffKodieren(seite, COMPRESSION_NONE, false, aus, fehler, fs);
    case 393256: return TiffKodieren(seite, COMPRESSION_JPEG, false, aus, fehler, fs);
    case 131112: return TiffKodieren(seite, COMPRESSION_CCITTRLE, false, aus, fehler, fs);
    case 196648: return TiffKodieren(seite, COMPRESSION_CCITTFAX3, false, aus, fehler, fs);
    case 327720: return TiffKodieren(seite, COMPRESSION_CCITTFAX3, true, aus, fehler, fs);
    case 262184: return TiffKodieren(seite, COMPRESSION_CCITTFAX4, false, aus, fehler, fs);
    case 65576: return TiffKodieren(seite, COMPRESSION_PACKBITS, false, aus, fehler, fs);
    default:
        fehler = QStringLiteral("Das Format %1 kann nicht geschrieben werden.").arg(UnschreibbaresFormat(speicherId));
        return false;
    }
}
