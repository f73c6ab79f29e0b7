#pragma once
#include <QByteArray>
#include <optional>
#include <png.h>
#include <vector>

// Writes a PNG of any colour type and bit depth straight through libpng,
// independent of the class under test. daten holds the packed rows as the
// PNG stores them (samples of tiefe bits, 16-bit samples big-endian).
struct TPngBau {
    int typ = PNG_COLOR_TYPE_RGB;
    int tiefe = 8;
    int breite = 1;
    int hoehe = 1;
    std::vector<uint8_t> daten;
    std::vector<png_color> palette;
    std::vector<uint8_t> trnsAlpha;
    std::optional<png_color_16> trnsFarbe;
    std::optional<double> gamma;
    bool interlace = false;
};

inline void PngBauSchreiben(png_structp png, png_bytep daten, size_t n)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(daten), qsizetype(n));
}

inline QByteArray PngSchreiben(const TPngBau& b)
{
    QByteArray aus;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return QByteArray();
    }
    png_set_write_fn(png, &aus, PngBauSchreiben, nullptr);
    png_set_IHDR(png, info, b.breite, b.hoehe, b.tiefe, b.typ,
                 b.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!b.palette.empty())
        png_set_PLTE(png, info, b.palette.data(), int(b.palette.size()));
    if (!b.trnsAlpha.empty())
        png_set_tRNS(png, info, b.trnsAlpha.data(), int(b.trnsAlpha.size()), nullptr);
    if (b.trnsFarbe) {
        png_color_16 farbe = *b.trnsFarbe;
        png_set_tRNS(png, info, nullptr, 0, &farbe);
    }
    if (b.gamma)
        png_set_gAMA(png, info, *b.gamma);
    png_write_info(png, info);
    const size_t zeile = png_get_rowbytes(png, info);
    std::vector<png_bytep> zeilen(b.hoehe);
    std::vector<uint8_t> daten = b.daten;
    daten.resize(zeile * b.hoehe);
    for (int y = 0; y < b.hoehe; ++y)
        zeilen[y] = daten.data() + y * zeile;
    png_write_image(png, zeilen.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return aus;
}

inline png_color_16 Farbe16(int r, int g, int b, int grau = 0)
{
    png_color_16 f{};
    f.red = png_uint_16(r);
    f.green = png_uint_16(g);
    f.blue = png_uint_16(b);
    f.gray = png_uint_16(grau);
    return f;
}
