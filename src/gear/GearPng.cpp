#include "GearPng.h"
#include "GearHilfen.h"
#include <png.h>
#include <cstring>
#include <vector>

namespace {

struct TPngLeser {
    const QByteArray* daten = nullptr;
    qsizetype pos = 0;
    QString fehler;
    // The message is the user's whole answer (no memory for the picture),
    // not a detail of a damaged file.
    bool fertigeMeldung = false;
    QImage bild;
    QList<QRgb> tabelle;
    int bpp = 0;
    // Transparent parts are laid on this colour, as an icon's are.
    QRgb hintergrund = qRgb(255, 255, 255);
    bool alpha = false;
    std::vector<png_bytep> zeilen;
};

struct TPngSchreiber {
    QByteArray* aus = nullptr;
    QString fehler;
    std::vector<png_color> palette;
};

void Lesen(png_structp png, png_bytep ziel, size_t laenge)
{
    auto* l = static_cast<TPngLeser*>(png_get_io_ptr(png));
    if (l->pos + qsizetype(laenge) > l->daten->size())
        png_error(png, "Die PNG-Datei ist unvollständig.");
    std::memcpy(ziel, l->daten->constData() + l->pos, laenge);
    l->pos += qsizetype(laenge);
}

void LeseFehler(png_structp png, png_const_charp text)
{
    auto* l = static_cast<TPngLeser*>(png_get_error_ptr(png));
    if (l->fehler.isEmpty())
        l->fehler = QString::fromUtf8(text);
    png_longjmp(png, 1);
}

void SchreibFehler(png_structp png, png_const_charp text)
{
    auto* s = static_cast<TPngSchreiber*>(png_get_error_ptr(png));
    if (s->fehler.isEmpty())
        s->fehler = QString::fromUtf8(text);
    png_longjmp(png, 1);
}

void Warnung(png_structp, png_const_charp) {}

void Schreiben(png_structp png, png_bytep daten, size_t laenge)
{
    auto* s = static_cast<TPngSchreiber*>(png_get_io_ptr(png));
    s->aus->append(reinterpret_cast<const char*>(daten), qsizetype(laenge));
}

void Leeren(png_structp) {}

// Everything that may jump back lives in l, outside this frame, so no
// destructor is skipped by the longjmp.
bool LesenRoh(png_structp png, png_infop info, TPngLeser& l, const TFortschritt& fs)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &l, Lesen);
    png_set_user_limits(png, 1000000, 1000000);
    png_read_info(png, info);
    png_uint_32 w = 0, h = 0;
    int tiefe = 0, farbtyp = 0, verschachtelt = 0;
    png_get_IHDR(png, info, &w, &h, &tiefe, &farbtyp, &verschachtelt, nullptr, nullptr);
    if (tiefe == 16)
        png_set_strip_16(png);
    QImage::Format format = QImage::Format_Indexed8;
    QList<QRgb>& tabelle = l.tabelle;
    switch (farbtyp) {
    case PNG_COLOR_TYPE_PALETTE: {
        if (tiefe < 8)
            png_set_packing(png);
        png_colorp pal = nullptr;
        int n = 0;
        if (png_get_PLTE(png, info, &pal, &n) && pal)
            for (int i = 0; i < n; ++i)
                tabelle.append(qRgb(pal[i].red, pal[i].green, pal[i].blue));
        png_bytep durchsicht = nullptr;
        int m = 0;
        if (png_get_tRNS(png, info, &durchsicht, &m, nullptr) && durchsicht && m > 0) {
            // The entries take the background as their pixels would, so the
            // picture keeps its palette and depth.
            QImage eintraege(int(tabelle.size()), 1, QImage::Format_ARGB32);
            for (int i = 0; i < tabelle.size(); ++i)
                eintraege.setPixel(i, 0, i < m ? qRgba(qRed(tabelle[i]), qGreen(tabelle[i]), qBlue(tabelle[i]), durchsicht[i])
                                               : tabelle[i]);
            const QImage gemischt = eintraege.isNull() ? QImage() : GearAufHintergrund(eintraege, l.hintergrund, l.fehler);
            if (gemischt.isNull() && !tabelle.isEmpty()) {
                l.fertigeMeldung = true;
                return false;
            }
            for (int i = 0; i < tabelle.size(); ++i)
                tabelle[i] = gemischt.pixel(i, 0);
        }
        l.bpp = GearTiefeFuerBits(tiefe);
        break;
    }
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        if (farbtyp == PNG_COLOR_TYPE_GRAY_ALPHA || png_get_valid(png, info, PNG_INFO_tRNS)) {
            // Grey with transparency becomes colour once laid on the background.
            png_set_tRNS_to_alpha(png);
            png_set_gray_to_rgb(png);
            png_set_bgr(png);
            format = QImage::Format_ARGB32;
            l.alpha = true;
            l.bpp = 24;
            break;
        }
        if (tiefe < 8) {
            png_set_packing(png);
            tabelle = GearGrauPalette(1 << tiefe);
        } else {
            tabelle = GearGrauPalette(256);
        }
        l.bpp = GearTiefeFuerBits(tiefe);
        break;
    default:
        png_set_bgr(png);
        format = QImage::Format_BGR888;
        if ((farbtyp & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS)) {
            png_set_tRNS_to_alpha(png);
            format = QImage::Format_ARGB32;   // B, G, R, A in memory, as libpng gives them
            l.alpha = true;
        }
        l.bpp = 24;
        break;
    }
    const int durchgaenge = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    l.bild = GearNeuesBild(w, h, format, l.fehler);
    if (l.bild.isNull()) {
        l.fertigeMeldung = true;
        return false;
    }
    if (png_get_rowbytes(png, info) > size_t(l.bild.bytesPerLine())) {
        l.fehler = QStringLiteral("Die PNG-Datei ist beschädigt.");
        return false;
    }
    if (format == QImage::Format_Indexed8) {
        if (tabelle.isEmpty())
            tabelle = GearGrauPalette(256);
        l.bild.setColorTable(tabelle);
    }
    l.zeilen.resize(h);
    for (png_uint_32 y = 0; y < h; ++y)
        l.zeilen[y] = l.bild.scanLine(int(y));
    if (durchgaenge > 1) {
        png_read_image(png, l.zeilen.data());
    } else {
        TFortschrittsBand band(fs, 0, 100, int(h));
        for (png_uint_32 y = 0; y < h; y += 64) {
            const png_uint_32 n = std::min<png_uint_32>(64, h - y);
            png_read_rows(png, l.zeilen.data() + y, nullptr, n);
            band.Zeile(int(y));
        }
    }
    if (l.alpha) {
        l.zeilen.clear();
        l.bild = GearAufHintergrund(l.bild, l.hintergrund, l.fehler);
        if (l.bild.isNull()) {
            l.fertigeMeldung = true;
            return false;
        }
    }
    return true;
}

bool SchreibenRoh(png_structp png, png_infop info, const QImage& bild, int bits, int farbtyp,
                  TPngSchreiber& s, const TFortschritt& fs)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &s, Schreiben, Leeren);
    png_set_IHDR(png, info, png_uint_32(bild.width()), png_uint_32(bild.height()), bits, farbtyp,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (farbtyp == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, s.palette.data(), int(s.palette.size()));
    if (bild.dotsPerMeterX() > 0 && bild.dotsPerMeterY() > 0)
        png_set_pHYs(png, info, png_uint_32(bild.dotsPerMeterX()), png_uint_32(bild.dotsPerMeterY()),
                     PNG_RESOLUTION_METER);
    png_write_info(png, info);
    if (farbtyp == PNG_COLOR_TYPE_RGB)
        png_set_bgr(png);
    if (bits < 8)
        png_set_packing(png);
    TFortschrittsBand band(fs, 0, 100, bild.height());
    for (int y = 0; y < bild.height(); ++y) {
        png_write_row(png, const_cast<png_bytep>(bild.constScanLine(y)));
        if ((y & 63) == 0)
            band.Zeile(y);
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool PngDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, const TFortschritt& fs,
                   QRgb hintergrund)
{
    TPngLeser l;
    l.daten = &daten;
    l.hintergrund = hintergrund;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &l, LeseFehler, Warnung);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_read_struct(&png, &info, nullptr);
        fehler = QStringLiteral("Der PNG-Dekoder kann nicht gestartet werden.");
        return false;
    }
    const bool ok = LesenRoh(png, info, l, fs);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        fehler = l.fertigeMeldung || l.fehler.startsWith(QLatin1String("Die ")) || l.fehler.startsWith(QLatin1String("Das ")) ||
                GearSpeicherFehler(l.fehler)
            ? l.fehler
            : QStringLiteral("Die PNG-Datei ist beschädigt (%1).").arg(l.fehler);
        return false;
    }
    if (l.bild.format() == QImage::Format_Indexed8)
        GearIndizesAbsichern(l.bild);
    seite.bild = std::move(l.bild);
    seite.bpp = l.bpp;
    return true;
}

bool PngKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs)
{
    if (seite.Leer()) {
        fehler = QStringLiteral("Es ist kein Bild vorhanden.");
        return false;
    }
    TPngSchreiber s;
    QByteArray puffer;
    s.aus = &puffer;
    QImage bild;
    int bits = 8, farbtyp = PNG_COLOR_TYPE_RGB;
    if (seite.bild.format() == QImage::Format_Indexed8) {
        bild = seite.bild;
        const QList<QRgb> t = bild.colorTable();
        if (GearIstGrauRampe(t)) {
            farbtyp = PNG_COLOR_TYPE_GRAY;
        } else {
            farbtyp = PNG_COLOR_TYPE_PALETTE;
            bits = (seite.bpp == 1 || seite.bpp == 4) ? seite.bpp : 8;
            if (bits < GearTiefeFuerFarben(int(t.size())))
                bits = GearTiefeFuerFarben(int(t.size()));
            for (int i = 0; i < t.size() && i < (1 << bits); ++i)
                s.palette.push_back(png_color{png_byte(qRed(t[i])), png_byte(qGreen(t[i])), png_byte(qBlue(t[i]))});
            if (s.palette.empty())
                s.palette.push_back(png_color{0, 0, 0});
        }
    } else {
        bild = GearAlsBgr888(seite);
    }
    if (bild.isNull()) {
        fehler = QStringLiteral("Nicht genug Speicher für das Bild.");
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &s, SchreibFehler, Warnung);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        fehler = QStringLiteral("Der PNG-Kodierer kann nicht gestartet werden.");
        return false;
    }
    const bool ok = SchreibenRoh(png, info, bild, bits, farbtyp, s, fs);
    png_destroy_write_struct(&png, &info);
    if (!ok) {
        fehler = QStringLiteral("Die PNG-Datei kann nicht erzeugt werden (%1).").arg(s.fehler);
        return false;
    }
    aus = std::move(puffer);
    return true;
}
