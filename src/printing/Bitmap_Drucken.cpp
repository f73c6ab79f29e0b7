#include "Bitmap_Drucken.h"
#include <QPainter>
#include "GlobalDruck.h"
#include "pixelops/Bitmap.h"

void BitmapDrucken(const QImage& bild, int links, int oben, int rechts, int unten)
{
    QPainter* canvas = DruckerCanvas();
    if (!canvas || bild.isNull())
        return;
    // The driver scales: no smoothing of its own, as a plain stretch to the device would.
    canvas->setRenderHint(QPainter::SmoothPixmapTransform, false);
    canvas->drawImage(QRect(links, oben, rechts - links, unten - oben), bild, bild.rect());
}

void BitmapDrucken(const TBitmap& bmp, int links, int oben, int rechts, int unten)
{
    BitmapDrucken(bmp.Bild(), links, oben, rechts, unten);
}
