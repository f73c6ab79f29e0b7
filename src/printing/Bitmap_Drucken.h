#pragma once
#include <QImage>

class TBitmap;

// Stretches a bitmap onto the canvas of the open print job into the device
// rectangle (links, oben) - (rechts, unten), in printer dots from the corner
// of the printable area. The picture keeps its own pixel format; nothing is
// drawn without an open job or for an empty picture.
void BitmapDrucken(const QImage& bild, int links, int oben, int rechts, int unten);
void BitmapDrucken(const TBitmap& bmp, int links, int oben, int rechts, int unten);
