#include "Bitmap_Schneiden.h"
#include <algorithm>
#include <cstring>

void BitmapSchneiden(TBitmap& bmp, int links, int oben, int rechts, int unten)
{
    if (bmp.IsEmpty())
        return;
    links = std::max(links, 0);
    oben = std::max(oben, 0);
    rechts = std::min(rechts, bmp.Width());
    unten = std::min(unten, bmp.Height());
    if (rechts <= links || unten <= oben)
        return;
    if (bmp.Bild().format() != QImage::Format_BGR888)
        bmp.Assign(bmp.Bild());

    TBitmap neu(rechts - links, unten - oben);
    if (neu.IsEmpty())
        return;   // no memory for the result: keep the image
    const size_t bytes = size_t(rechts - links) * 3;
    const TBitmap& quelle = bmp;
    for (int y = oben; y < unten; ++y)
        std::memcpy(neu.ScanLine(y - oben), quelle.ScanLine(y) + size_t(links) * 3, bytes);
    bmp = std::move(neu);
}
