#include "PngObject.h"
#include <QFile>
#include <QPainter>
#include <png.h>
#include <algorithm>
#include <csetjmp>
#include <cstring>

namespace {

struct TLeseQuelle {
    const uint8_t* daten;
    size_t groesse;
    size_t position;
};

void LeseDaten(png_structp png, png_bytep ziel, size_t anzahl)
{
    auto* quelle = static_cast<TLeseQuelle*>(png_get_io_ptr(png));
    if (anzahl > quelle->groesse - quelle->position)
        png_error(png, "abgeschnitten");
    std::memcpy(ziel, quelle->daten + quelle->position, anzahl);
    quelle->position += anzahl;
}

void SchreibeDaten(png_structp png, png_bytep daten, size_t anzahl)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(daten), qsizetype(anzahl));
}

void KeinFlush(png_structp) {}

// libpng's warnings about odd but readable files are no concern of the user.
void KeineWarnung(png_structp, png_const_charp) {}

int Grauwert(QRgb farbe)
{
    return (qRed(farbe) * 77 + qGreen(farbe) * 150 + qBlue(farbe) * 29 + 128) >> 8;
}

// Larger files are no icons; the limit keeps a hostile header from asking
// for gigabytes.
constexpr png_uint_32 MaxSeite = 16384;

} // namespace

int TPNGObject::BytesProPixel() const
{
    return (m_farbtyp == COLOR_RGB || m_farbtyp == COLOR_RGBALPHA) ? 3 : 1;
}

void TPNGObject::Leeren()
{
    m_breite = m_hoehe = 0;
    m_farbtyp = COLOR_RGB;
    m_pixel.clear();
    m_alpha.clear();
    m_palette.clear();
    m_paletteAlpha.clear();
    m_hatTrnsFarbe = false;
    m_trnsFarbe = 0;
    m_chunks.clear();
}

bool TPNGObject::LoadFromFile(const QString& pfad)
{
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly)) {
        Leeren();
        return false;
    }
    return LoadFromData(datei.readAll());
}

bool TPNGObject::LoadFromData(const QByteArray& daten)
{
    Leeren();
    if (daten.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(daten.constData()), 0, 8) != 0)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, KeineWarnung);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    TLeseQuelle quelle{reinterpret_cast<const uint8_t*>(daten.constData()), size_t(daten.size()), 0};
    // Everything that owns memory lives outside the jump's reach.
    std::vector<uint8_t> roh;
    std::vector<png_bytep> zeilen;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        Leeren();
        return false;
    }
    png_set_read_fn(png, &quelle, LeseDaten);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, nullptr, 0);
    png_read_info(png, info);

    const png_uint_32 breite = png_get_image_width(png, info);
    const png_uint_32 hoehe = png_get_image_height(png, info);
    const int tiefe = png_get_bit_depth(png, info);
    const int typ = png_get_color_type(png, info);
    if (breite == 0 || hoehe == 0 || breite > MaxSeite || hoehe > MaxSeite)
        png_error(png, "Groesse");

    // The single transparent colour, scaled to 8 bits like the samples.
    png_bytep trnsAlpha = nullptr;
    int trnsAnzahl = 0;
    png_color_16p trnsWert = nullptr;
    const bool hatTrns = png_get_tRNS(png, info, &trnsAlpha, &trnsAnzahl, &trnsWert) != 0;
    auto skaliert = [tiefe](int wert) {
        if (tiefe == 16)
            return wert >> 8;
        if (tiefe < 8)
            return wert * 255 / ((1 << tiefe) - 1);
        return wert;
    };
    if (hatTrns && typ == PNG_COLOR_TYPE_GRAY && trnsWert) {
        const int g = std::clamp(skaliert(trnsWert->gray), 0, 255);
        m_hatTrnsFarbe = true;
        m_trnsFarbe = qRgb(g, g, g);
    } else if (hatTrns && typ == PNG_COLOR_TYPE_RGB && trnsWert) {
        m_hatTrnsFarbe = true;
        m_trnsFarbe = qRgb(skaliert(trnsWert->red) & 0xFF, skaliert(trnsWert->green) & 0xFF,
                           skaliert(trnsWert->blue) & 0xFF);
    } else if (hatTrns && typ == PNG_COLOR_TYPE_PALETTE && trnsAlpha) {
        m_paletteAlpha.assign(trnsAlpha, trnsAlpha + std::clamp(trnsAnzahl, 0, 256));
    }
    if (typ == PNG_COLOR_TYPE_PALETTE) {
        png_colorp farben = nullptr;
        int anzahl = 0;
        if (png_get_PLTE(png, info, &farben, &anzahl))
            for (int i = 0; i < anzahl; ++i)
                m_palette.append(qRgb(farben[i].red, farben[i].green, farben[i].blue));
    }

    png_set_strip_16(png);
    if (typ == PNG_COLOR_TYPE_GRAY && tiefe < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    png_set_packing(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const size_t zeilenLaenge = png_get_rowbytes(png, info);
    roh.resize(zeilenLaenge * hoehe);
    zeilen.resize(hoehe);
    for (png_uint_32 y = 0; y < hoehe; ++y)
        zeilen[y] = roh.data() + y * zeilenLaenge;
    png_read_image(png, zeilen.data());
    png_read_end(png, info);

    double gamma = 0;
    if (png_get_gAMA(png, info, &gamma)) {
        png_fixed_point fest = 0;
        png_get_gAMA_fixed(png, info, &fest);
        QByteArray wert(4, 0);
        for (int i = 0; i < 4; ++i)
            wert[i] = char((quint32(fest) >> (24 - 8 * i)) & 0xFF);
        SetChunk("gAMA", wert);
    }
    png_unknown_chunkp unbekannt = nullptr;
    const int unbekannte = png_get_unknown_chunks(png, info, &unbekannt);
    for (int i = 0; i < unbekannte; ++i)
        SetChunk(reinterpret_cast<const char*>(unbekannt[i].name),
                 QByteArray(reinterpret_cast<const char*>(unbekannt[i].data), qsizetype(unbekannt[i].size)));
    png_destroy_read_struct(&png, &info, nullptr);

    m_breite = int(breite);
    m_hoehe = int(hoehe);
    m_farbtyp = typ;
    const int bpp = BytesProPixel();
    const bool mitAlpha = typ == COLOR_GRAYSCALEALPHA || typ == COLOR_RGBALPHA;
    m_pixel.resize(size_t(m_breite) * m_hoehe * bpp);
    if (mitAlpha)
        m_alpha.resize(size_t(m_breite) * m_hoehe);
    for (int y = 0; y < m_hoehe; ++y) {
        const uint8_t* q = zeilen[y];
        uint8_t* p = Scanline(y);
        if (!mitAlpha) {
            std::memcpy(p, q, size_t(m_breite) * bpp);
            continue;
        }
        uint8_t* a = AlphaScanline(y);
        for (int x = 0; x < m_breite; ++x) {
            for (int k = 0; k < bpp; ++k)
                *p++ = *q++;
            *a++ = *q++;
        }
    }
    return true;
}

QByteArray TPNGObject::SaveToData() const
{
    QByteArray ergebnis;
    if (Empty())
        return ergebnis;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, KeineWarnung);
    if (!png)
        return ergebnis;
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> zeile;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return QByteArray();
    }
    png_set_write_fn(png, &ergebnis, SchreibeDaten, KeinFlush);
    png_set_IHDR(png, info, png_uint_32(m_breite), png_uint_32(m_hoehe), 8, m_farbtyp, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> farben;
    if (m_farbtyp == COLOR_PALETTE) {
        for (QRgb f : m_palette)
            farben.push_back(png_color{png_byte(qRed(f)), png_byte(qGreen(f)), png_byte(qBlue(f))});
        if (farben.empty())
            farben.push_back(png_color{0, 0, 0});
        png_set_PLTE(png, info, farben.data(), int(farben.size()));
        if (!m_paletteAlpha.empty())
            png_set_tRNS(png, info, m_paletteAlpha.data(), int(std::min(m_paletteAlpha.size(), farben.size())),
                         nullptr);
    } else if (m_hatTrnsFarbe) {
        png_color_16 wert{};
        wert.gray = png_uint_16(qRed(m_trnsFarbe));
        wert.red = png_uint_16(qRed(m_trnsFarbe));
        wert.green = png_uint_16(qGreen(m_trnsFarbe));
        wert.blue = png_uint_16(qBlue(m_trnsFarbe));
        png_set_tRNS(png, info, nullptr, 0, &wert);
    }
    std::vector<png_unknown_chunk> unbekannt;
    for (const TChunk& c : m_chunks) {
        if (std::strcmp(c.typ, "gAMA") == 0 && c.daten.size() == 4) {
            quint32 fest = 0;
            for (int i = 0; i < 4; ++i)
                fest = (fest << 8) | quint8(c.daten[i]);
            png_set_gAMA_fixed(png, info, png_fixed_point(fest));
            continue;
        }
        png_unknown_chunk u{};
        std::memcpy(u.name, c.typ, 5);
        u.data = reinterpret_cast<png_bytep>(const_cast<char*>(c.daten.constData()));
        u.size = size_t(c.daten.size());
        u.location = PNG_HAVE_PLTE;
        unbekannt.push_back(u);
    }
    if (!unbekannt.empty()) {
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, nullptr, 0);
        png_set_unknown_chunks(png, info, unbekannt.data(), int(unbekannt.size()));
    }
    png_write_info(png, info);
    png_set_bgr(png);
    const int bpp = BytesProPixel();
    const bool mitAlpha = !m_alpha.empty();
    zeile.resize(size_t(m_breite) * (bpp + (mitAlpha ? 1 : 0)));
    for (int y = 0; y < m_hoehe; ++y) {
        const uint8_t* p = Scanline(y);
        const uint8_t* a = AlphaScanline(y);
        uint8_t* z = zeile.data();
        for (int x = 0; x < m_breite; ++x) {
            for (int k = 0; k < bpp; ++k)
                *z++ = *p++;
            if (mitAlpha)
                *z++ = *a++;
        }
        png_write_row(png, zeile.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return ergebnis;
}

void TPNGObject::AssignBitmap(const QImage& bild)
{
    Leeren();
    if (bild.isNull())
        return;
    const QImage quelle = bild.convertToFormat(QImage::Format_RGB32);
    m_breite = quelle.width();
    m_hoehe = quelle.height();
    m_farbtyp = COLOR_RGB;
    m_pixel.resize(size_t(m_breite) * m_hoehe * 3);
    for (int y = 0; y < m_hoehe; ++y) {
        const QRgb* q = reinterpret_cast<const QRgb*>(quelle.constScanLine(y));
        uint8_t* p = Scanline(y);
        for (int x = 0; x < m_breite; ++x) {
            *p++ = uint8_t(qBlue(q[x]));
            *p++ = uint8_t(qGreen(q[x]));
            *p++ = uint8_t(qRed(q[x]));
        }
    }
}

TPngTransparenz TPNGObject::TransparencyMode() const
{
    if (m_farbtyp == COLOR_GRAYSCALEALPHA || m_farbtyp == COLOR_RGBALPHA)
        return TPngTransparenz::Teilweise;
    if (m_farbtyp == COLOR_PALETTE) {
        bool null = false;
        for (uint8_t a : m_paletteAlpha) {
            if (a != 0 && a != 255)
                return TPngTransparenz::Teilweise;
            null = null || a == 0;
        }
        return null ? TPngTransparenz::Einzelfarbe : TPngTransparenz::Keine;
    }
    return m_hatTrnsFarbe ? TPngTransparenz::Einzelfarbe : TPngTransparenz::Keine;
}

QRgb TPNGObject::TransparentColor() const
{
    if (m_farbtyp == COLOR_PALETTE) {
        for (size_t i = 0; i < m_paletteAlpha.size() && int(i) < m_palette.size(); ++i)
            if (m_paletteAlpha[i] == 0)
                return m_palette[int(i)] | 0xFF000000u;
        return 0;
    }
    return m_hatTrnsFarbe ? (m_trnsFarbe | 0xFF000000u) : 0;
}

bool TPNGObject::IstTransparenteFarbe(int x, int y) const
{
    if (m_farbtyp == COLOR_PALETTE) {
        const uint8_t i = Scanline(y)[x];
        return i < m_paletteAlpha.size() && m_paletteAlpha[i] == 0;
    }
    return m_hatTrnsFarbe && (Pixel(x, y) & 0xFFFFFFu) == (m_trnsFarbe & 0xFFFFFFu);
}

void TPNGObject::CreateAlpha()
{
    if (Empty() || !m_alpha.empty())
        return;
    std::vector<uint8_t> alpha(size_t(m_breite) * m_hoehe, 255);
    for (int y = 0; y < m_hoehe; ++y)
        for (int x = 0; x < m_breite; ++x) {
            uint8_t& a = alpha[size_t(y) * m_breite + x];
            if (m_farbtyp == COLOR_PALETTE) {
                const uint8_t i = Scanline(y)[x];
                a = i < m_paletteAlpha.size() ? m_paletteAlpha[i] : 255;
            } else if (IstTransparenteFarbe(x, y)) {
                a = 0;
            }
        }
    if (m_farbtyp == COLOR_PALETTE) {
        std::vector<uint8_t> bgr(size_t(m_breite) * m_hoehe * 3);
        for (int y = 0; y < m_hoehe; ++y)
            for (int x = 0; x < m_breite; ++x) {
                const QRgb f = Pixel(x, y);
                uint8_t* p = &bgr[(size_t(y) * m_breite + x) * 3];
                p[0] = uint8_t(qBlue(f));
                p[1] = uint8_t(qGreen(f));
                p[2] = uint8_t(qRed(f));
            }
        m_pixel.swap(bgr);
        m_palette.clear();
        m_paletteAlpha.clear();
        m_farbtyp = COLOR_RGBALPHA;
    } else {
        m_farbtyp = m_farbtyp == COLOR_GRAYSCALE ? COLOR_GRAYSCALEALPHA : COLOR_RGBALPHA;
    }
    m_hatTrnsFarbe = false;
    m_alpha.swap(alpha);
}

uint8_t* TPNGObject::AlphaScanline(int y)
{
    return const_cast<uint8_t*>(std::as_const(*this).AlphaScanline(y));
}

const uint8_t* TPNGObject::AlphaScanline(int y) const
{
    if (m_alpha.empty() || y < 0 || y >= m_hoehe)
        return nullptr;
    return m_alpha.data() + size_t(y) * m_breite;
}

uint8_t* TPNGObject::Scanline(int y)
{
    return const_cast<uint8_t*>(std::as_const(*this).Scanline(y));
}

const uint8_t* TPNGObject::Scanline(int y) const
{
    if (Empty() || y < 0 || y >= m_hoehe)
        return nullptr;
    return m_pixel.data() + size_t(y) * m_breite * BytesProPixel();
}

QRgb TPNGObject::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_breite || y >= m_hoehe)
        return 0;
    const uint8_t* p = Scanline(y);
    switch (m_farbtyp) {
    case COLOR_RGB:
    case COLOR_RGBALPHA:
        p += size_t(x) * 3;
        return qRgb(p[2], p[1], p[0]);
    case COLOR_PALETTE:
        return p[x] < m_palette.size() ? (m_palette[p[x]] | 0xFF000000u) : qRgb(0, 0, 0);
    default:
        return qRgb(p[x], p[x], p[x]);
    }
}

void TPNGObject::SetPixel(int x, int y, QRgb farbe)
{
    if (x < 0 || y < 0 || x >= m_breite || y >= m_hoehe)
        return;
    uint8_t* p = Scanline(y);
    switch (m_farbtyp) {
    case COLOR_RGB:
    case COLOR_RGBALPHA:
        p += size_t(x) * 3;
        p[0] = uint8_t(qBlue(farbe));
        p[1] = uint8_t(qGreen(farbe));
        p[2] = uint8_t(qRed(farbe));
        break;
    case COLOR_PALETTE: {
        int best = 0;
        int bestAbstand = INT_MAX;
        for (int i = 0; i < m_palette.size(); ++i) {
            const QRgb f = m_palette[i];
            const int dr = qRed(f) - qRed(farbe), dg = qGreen(f) - qGreen(farbe), db = qBlue(f) - qBlue(farbe);
            const int abstand = dr * dr + dg * dg + db * db;
            if (abstand < bestAbstand) {
                bestAbstand = abstand;
                best = i;
            }
        }
        p[x] = uint8_t(best);
        break;
    }
    default:
        p[x] = uint8_t(Grauwert(farbe));
        break;
    }
}

QVector<QRgb> TPNGObject::Palette() const
{
    return m_palette;
}

void TPNGObject::SetPalette(const QVector<QRgb>& palette)
{
    if (m_farbtyp != COLOR_PALETTE)
        return;
    m_palette = palette.mid(0, 256);
    for (QRgb& f : m_palette)
        f |= 0xFF000000u;
}

QImage TPNGObject::ToImage() const
{
    if (Empty())
        return QImage();
    QImage bild(m_breite, m_hoehe, QImage::Format_ARGB32);
    for (int y = 0; y < m_hoehe; ++y) {
        QRgb* z = reinterpret_cast<QRgb*>(bild.scanLine(y));
        const uint8_t* a = AlphaScanline(y);
        for (int x = 0; x < m_breite; ++x) {
            const QRgb f = Pixel(x, y);
            int alpha = 255;
            if (a)
                alpha = a[x];
            else if (m_farbtyp == COLOR_PALETTE) {
                const uint8_t i = Scanline(y)[x];
                alpha = i < m_paletteAlpha.size() ? m_paletteAlpha[i] : 255;
            } else if (IstTransparenteFarbe(x, y))
                alpha = 0;
            z[x] = (f & 0xFFFFFFu) | (QRgb(alpha) << 24);
        }
    }
    return bild;
}

void TPNGObject::Draw(QPainter& maler, const QRect& rechteck) const
{
    if (Empty() || rechteck.isEmpty())
        return;
    maler.save();
    maler.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (rechteck.size() != QSize(m_breite, m_hoehe))
        maler.setRenderHint(QPainter::SmoothPixmapTransform);
    maler.drawImage(rechteck, ToImage());
    maler.restore();
}

bool TPNGObject::HasChunk(const char* typ) const
{
    return std::any_of(m_chunks.begin(), m_chunks.end(),
                       [typ](const TChunk& c) { return std::strncmp(c.typ, typ, 4) == 0; });
}

void TPNGObject::RemoveChunk(const char* typ)
{
    std::erase_if(m_chunks, [typ](const TChunk& c) { return std::strncmp(c.typ, typ, 4) == 0; });
}

void TPNGObject::SetChunk(const char* typ, const QByteArray& daten)
{
    if (!typ || std::strlen(typ) != 4)
        return;
    RemoveChunk(typ);
    TChunk c{};
    std::memcpy(c.typ, typ, 4);
    c.typ[4] = 0;
    c.daten = daten;
    m_chunks.push_back(c);
}
