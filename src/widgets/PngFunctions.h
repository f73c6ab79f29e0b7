#pragma once
#include <QImage>
#include <QRect>
#include <memory>
#include <optional>
#include "PngObject.h"

class QPainter;
class TPngImageList;

// The disabled look of a PNG glyph: bit 0 half transparent, bit 1 grey.
enum TPngOption : unsigned { pngBlendOnDisabled = 1, pngGrayscaleOnDisabled = 2 };
using TPngOptions = unsigned;

// Makes the PNG more transparent: alpha v becomes Round(v / 256 * (amount + 1));
// grey and palette images become RGBA with alpha amount itself.
void FadePng(TPNGObject& png, int amount);
// Moves the colours towards their grey value (255: fully grey). Grey images
// stay as they are; palette images change their palette.
void GreyPng(TPNGObject& png, int amount);
// Draws the PNG into the rectangle; with options a scratch copy gets the
// look first (fading before greying), the PNG itself is left unchanged.
void DrawPngWithOptions(const TPNGObject& png, QPainter& maler, const QRect& rechteck, TPngOptions optionen);
// Every supported system has alpha icons.
bool IsWindowsXpOrLater();

// A PNG with alpha from a bitmap. With transparent on, the pixels of
// transparentColour (or, when none is given, of the bottom-left pixel)
// become fully transparent; without it the bitmap's own alpha is kept when it
// has one.
std::unique_ptr<TPNGObject> PngFromGraphic(const QImage& bild, bool transparent = false,
                                           std::optional<QRgb> transparenteFarbe = std::nullopt);
std::unique_ptr<TPNGObject> PngFromGraphic(const TPNGObject& png);
// Alpha = the red byte of the mask pixel at the same place (inverted on
// request).
std::unique_ptr<TPNGObject> PngFromBitmapAndMask(const QImage& bild, const QImage& maske, bool invertieren);
// Transparent where a pixel has the mask colour, opaque elsewhere.
std::unique_ptr<TPNGObject> PngFromMaskColour(const QImage& bild, QRgb maskenFarbe);
// Fills png with a copy of item index of the list; an index without an item
// leaves it unchanged.
void PngFromImageList(TPNGObject& png, const TPngImageList* liste, int index);
