#pragma once
#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <QVector>
#include <cstdint>
#include <vector>

class QPainter;

// Colour types of the PNG header.
constexpr int COLOR_GRAYSCALE = 0;
constexpr int COLOR_RGB = 2;
constexpr int COLOR_PALETTE = 3;
constexpr int COLOR_GRAYSCALEALPHA = 4;
constexpr int COLOR_RGBALPHA = 6;

// How an image is transparent: not at all, by one colour of its tRNS chunk,
// or per pixel (an alpha channel, or a palette with partial tRNS values).
enum class TPngTransparenz { Keine, Einzelfarbe, Teilweise };

// A PNG image that keeps what QImage loses: the header's colour type, the
// palette, the single transparent colour and the ancillary chunks (gAMA and
// unknown ones). Samples are held at 8 bits; colour pixels as blue, green,
// red triples and the alpha channel in a plane of its own, so rows can be
// changed in place. A copy is independent of its source.
class TPNGObject {
public:
    TPNGObject() = default;

    // Reads a PNG; on a corrupt or truncated file returns false and leaves
    // the image empty.
    bool LoadFromFile(const QString& pfad);
    bool LoadFromData(const QByteArray& daten);
    // The image as PNG file bytes (8 bits per sample, its chunks kept).
    QByteArray SaveToData() const;

    // Takes a bitmap as an RGB image (colour type 2) of its size; the
    // bitmap's own alpha is dropped.
    void AssignBitmap(const QImage& bild);

    int Width() const { return m_breite; }
    int Height() const { return m_hoehe; }
    bool Empty() const { return m_breite <= 0 || m_hoehe <= 0; }
    int ColorType() const { return m_farbtyp; }
    TPngTransparenz TransparencyMode() const;
    // The colour of single-colour transparency (alpha of the result 255).
    QRgb TransparentColor() const;

    // Turns colour type 2 into 6 and 0 into 4 (a palette image into 6);
    // every alpha 255, except the pixels of a transparent colour (0).
    void CreateAlpha();
    // One byte per pixel; nullptr for an image without an alpha channel or
    // a row outside it.
    uint8_t* AlphaScanline(int y);
    const uint8_t* AlphaScanline(int y) const;
    // Colour types 2 and 6: blue, green, red per pixel; types 0, 3 and 4:
    // one grey value or palette index per pixel.
    uint8_t* Scanline(int y);
    const uint8_t* Scanline(int y) const;

    // Colour of a pixel (alpha of the result 255); out of range gives 0.
    QRgb Pixel(int x, int y) const;
    // Grey images take the colour's grey value, palette images the nearest
    // palette entry. Out of range does nothing.
    void SetPixel(int x, int y, QRgb farbe);

    QVector<QRgb> Palette() const;
    // Replaces the palette entries (at most 256); for a palette image only.
    void SetPalette(const QVector<QRgb>& palette);

    // Non-premultiplied ARGB32 with the transparency applied.
    QImage ToImage() const;
    // Draws stretched into the rectangle, blending by alpha or the
    // transparent colour.
    void Draw(QPainter& maler, const QRect& rechteck) const;

    bool HasChunk(const char* typ) const;
    void RemoveChunk(const char* typ);
    // Adds or replaces an ancillary chunk written after the palette.
    void SetChunk(const char* typ, const QByteArray& daten);

private:
    struct TChunk {
        char typ[5];
        QByteArray daten;
    };
    int BytesProPixel() const;
    void Leeren();
    bool IstTransparenteFarbe(int x, int y) const;

    int m_breite = 0;
    int m_hoehe = 0;
    int m_farbtyp = COLOR_RGB;
    std::vector<uint8_t> m_pixel;
    std::vector<uint8_t> m_alpha;
    QVector<QRgb> m_palette;
    // tRNS: alpha per palette index, or the one transparent colour of a
    // grey or RGB image.
    std::vector<uint8_t> m_paletteAlpha;
    bool m_hatTrnsFarbe = false;
    QRgb m_trnsFarbe = 0;
    std::vector<TChunk> m_chunks;
};
