#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>
#include "GearSeite.h"

// Windows bitmaps, our own reader and writer: 1, 2, 4, 8, 16, 24 and 32 bits,
// bottom-up and top-down, BI_RGB, BI_BITFIELDS, BI_ALPHABITFIELDS, RLE8 and
// RLE4 on reading; BI_RGB at the page's depth and RLE8/RLE4 on writing. Rows
// are copied whole.

// False with a German reason; unterstuetzt is false when the file is a BMP of
// a kind this reader leaves to the general coder (embedded JPEG/PNG). A 16-
// or 32-bit picture with an alpha mask is laid on hintergrund, unless its
// alpha is 0 everywhere (taken as opaque).
bool BmpDekodieren(const QByteArray& daten, TGearSeite& seite, QString& kompression, QString& fehler,
                   bool& unterstuetzt, const TFortschritt& fs = {}, QRgb hintergrund = qRgb(255, 255, 255));

// BI_RGB at the page's bpp; the colour map is padded to 2^bpp entries so the
// depth survives a reload. rle: RLE8 for an 8-bit page, RLE4 for 1 and 4
// bits (a 24-bit page cannot be run-length coded and is refused).
bool BmpKodieren(const TGearSeite& seite, bool rle, QByteArray& aus, QString& fehler,
                 const TFortschritt& fs = {});

// Reads any BMP straight into a BGR888 picture, palettes expanded.
bool BmpLesen24(const QByteArray& daten, QImage& bgr888, QString& fehler);

// The transfer road between the imaging control and the working bitmap:
// a 24-bit page is written straight from its rows to the file (no copy of
// the whole file in memory, no flush to disk: the file lives a moment only);
// other pages go through BmpKodieren.
bool BmpDateiSchreiben(const TGearSeite& seite, const QString& pfad, QString& fehler);
// Reads a BMP file into a BGR888 picture; a 24-bit BI_RGB file is read row by
// row straight into the picture, everything else through BmpLesen24.
bool BmpDateiLesen24(const QString& pfad, QImage& bgr888, QString& fehler);
