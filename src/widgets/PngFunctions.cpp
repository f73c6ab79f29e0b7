#include "PngFunctions.h"
#include <QPainter>
#include "PngImageList.h"
#include "pixelops/Runden.h"

namespace {

// Grey and palette images carry no alpha of their own: they become RGBA with
// the given alpha, and 0 on their transparent colour.
void FadePngToRgba(TPNGObject& png, int amount)
{
    const bool einzelfarbe = png.TransparencyMode() == TPngTransparenz::Einzelfarbe;
    TPNGObject neu;
    neu.AssignBitmap(QImage(png.Width(), png.Height(), QImage::Format_RGB32));
    neu.CreateAlpha();
    const QRgb transparenteFarbe = png.TransparentColor() & 0xFFFFFFu;
    for (int y = 0; y < png.Height(); ++y) {
        uint8_t* alpha = neu.AlphaScanline(y);
        for (int x = 0; x < png.Width(); ++x) {
            const QRgb farbe = png.Pixel(x, y);
            neu.SetPixel(x, y, farbe);
            alpha[x] = einzelfarbe && (farbe & 0xFFFFFFu) == transparenteFarbe ? 0 : uint8_t(amount);
        }
    }
    png = neu;
}

void GreyColourTriple(uint8_t& r, uint8_t& g, uint8_t& b, int amount)
{
    const int grau = Runden(0.3L * r + 0.59L * g + 0.11L * b);
    auto kanal = [grau, amount](uint8_t c) {
        return uint8_t(Runden(c / 256.0L * (255 - amount)) + Runden(grau / 256.0L * (amount + 1)));
    };
    r = kanal(r);
    g = kanal(g);
    b = kanal(b);
}

} // namespace

void FadePng(TPNGObject& png, int amount)
{
    if (png.Empty())
        return;
    amount = std::clamp(amount, 0, 255);
    switch (png.ColorType()) {
    case COLOR_GRAYSCALE:
    case COLOR_PALETTE:
        FadePngToRgba(png, amount);
        return;
    case COLOR_RGB:
        png.CreateAlpha();
        break;
    default:
        break;
    }
    for (int y = 0; y < png.Height(); ++y) {
        uint8_t* alpha = png.AlphaScanline(y);
        for (int x = 0; x < png.Width(); ++x)
            alpha[x] = uint8_t(Runden(alpha[x] / 256.0L * (amount + 1)));
    }
}

void GreyPng(TPNGObject& png, int amount)
{
    if (png.Empty())
        return;
    amount = std::clamp(amount, 0, 255);
    switch (png.ColorType()) {
    case COLOR_PALETTE: {
        QVector<QRgb> palette = png.Palette();
        for (QRgb& f : palette) {
            uint8_t r = uint8_t(qRed(f)), g = uint8_t(qGreen(f)), b = uint8_t(qBlue(f));
            GreyColourTriple(r, g, b, amount);
            f = qRgb(r, g, b);
        }
        png.SetPalette(palette);
        break;
    }
    case COLOR_RGB:
    case COLOR_RGBALPHA:
        for (int y = 0; y < png.Height(); ++y) {
            uint8_t* p = png.Scanline(y);
            for (int x = 0; x < png.Width(); ++x, p += 3)
                GreyColourTriple(p[2], p[1], p[0], amount);
        }
        break;
    default:
        break;
    }
}

void DrawPngWithOptions(const TPNGObject& png, QPainter& maler, const QRect& rechteck, TPngOptions optionen)
{
    if (optionen == 0) {
        png.Draw(maler, rechteck);
        return;
    }
    TPNGObject kopie = png;
    if (optionen & pngBlendOnDisabled)
        FadePng(kopie, 127);
    if (optionen & pngGrayscaleOnDisabled)
        GreyPng(kopie, 255);
    kopie.Draw(maler, rechteck);
}

bool IsWindowsXpOrLater()
{
    return true;
}

std::unique_ptr<TPNGObject> PngFromGraphic(const TPNGObject& png)
{
    return std::make_unique<TPNGObject>(png);
}

std::unique_ptr<TPNGObject> PngFromGraphic(const QImage& bild, bool transparent, std::optional<QRgb> transparenteFarbe)
{
    auto png = std::make_unique<TPNGObject>();
    if (bild.isNull())
        return png;
    const QImage quelle = bild.convertToFormat(QImage::Format_ARGB32);
    png->AssignBitmap(quelle);
    if (transparent) {
        const QRgb farbe = (transparenteFarbe ? *transparenteFarbe : quelle.pixel(0, quelle.height() - 1)) & 0xFFFFFFu;
        bool gefunden = false;
        std::vector<uint8_t> alpha(size_t(quelle.width()) * quelle.height(), 255);
        for (int y = 0; y < quelle.height(); ++y)
            for (int x = 0; x < quelle.width(); ++x)
                if ((quelle.pixel(x, y) & 0xFFFFFFu) == farbe) {
                    alpha[size_t(y) * quelle.width() + x] = 0;
                    gefunden = true;
                }
        if (gefunden) {
            png->CreateAlpha();
            for (int y = 0; y < quelle.height(); ++y)
                std::copy_n(&alpha[size_t(y) * quelle.width()], quelle.width(), png->AlphaScanline(y));
        }
    } else if (bild.hasAlphaChannel()) {
        png->CreateAlpha();
        for (int y = 0; y < quelle.height(); ++y) {
            const QRgb* z = reinterpret_cast<const QRgb*>(quelle.constScanLine(y));
            uint8_t* a = png->AlphaScanline(y);
            for (int x = 0; x < quelle.width(); ++x)
                a[x] = uint8_t(qAlpha(z[x]));
        }
    }
    return png;
}

std::unique_ptr<TPNGObject> PngFromBitmapAndMask(const QImage& bild, const QImage& maske, bool invertieren)
{
    auto png = std::make_unique<TPNGObject>();
    png->AssignBitmap(bild);
    if (png->Empty())
        return png;
    png->CreateAlpha();
    const QImage m = maske.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < png->Height(); ++y) {
        uint8_t* a = png->AlphaScanline(y);
        for (int x = 0; x < png->Width(); ++x) {
            // A mask smaller than the image leaves the rest opaque.
            if (x >= m.width() || y >= m.height())
                continue;
            const uint8_t rot = uint8_t(qRed(m.pixel(x, y)));
            a[x] = invertieren ? uint8_t(~rot) : rot;
        }
    }
    return png;
}

std::unique_ptr<TPNGObject> PngFromMaskColour(const QImage& bild, QRgb maskenFarbe)
{
    auto png = std::make_unique<TPNGObject>();
    png->AssignBitmap(bild);
    if (png->Empty())
        return png;
    png->CreateAlpha();
    for (int y = 0; y < png->Height(); ++y) {
        uint8_t* a = png->AlphaScanline(y);
        for (int x = 0; x < png->Width(); ++x)
            a[x] = (png->Pixel(x, y) & 0xFFFFFFu) == (maskenFarbe & 0xFFFFFFu) ? 0 : 255;
    }
    return png;
}

void PngFromImageList(TPNGObject& png, const TPngImageList* liste, int index)
{
    if (!liste)
        return;
    const TPngImageCollectionItem* eintrag = liste->PngImages().GetItem(index);
    if (eintrag && eintrag->PngImage())
        png = *eintrag->PngImage();
}
