#include "Bitmap_Kopieren.h"
#include <cstring>
#include "Bildspeicher.h"
#include "Zeilenbaender.h"

bool BitmapKopieren(const TBitmap& quelle, TBitmap& ziel, int threads)
{
    if (quelle.IsEmpty()) {
        ziel.Clear();
        return true;
    }
    if (&quelle == &ziel)
        return true;
    const int breite = quelle.Width(), hoehe = quelle.Height();
    if (quelle.Bild().format() != QImage::Format_BGR888) {
        ziel.Assign(quelle.Bild());
        ziel.ScanLine(0);
        return !ziel.IsEmpty();
    }
    QImage& bild = ziel.Bild();
    if (bild.width() != breite || bild.height() != hoehe || bild.format() != QImage::Format_BGR888
        || !bild.isDetached()) {
        bild = GrossesBild(breite, hoehe, QImage::Format_BGR888);
        if (bild.isNull())
            return false;
    }
    const uint8_t* q = quelle.ScanLine(0);
    uint8_t* z = bild.bits();
    const qsizetype zs = bild.bytesPerLine(), qs = quelle.Stride();
    InZeilenbaendern(hoehe, ThreadZahl(threads, (long long)breite * hoehe, 2000000), [&](int y0, int y1) {
        if (zs == qs) {
            std::memcpy(z + qsizetype(y0) * zs, q + qsizetype(y0) * qs, size_t(y1 - y0) * size_t(zs));
            return;
        }
        for (int y = y0; y < y1; ++y)
            std::memcpy(z + qsizetype(y) * zs, q + qsizetype(y) * qs, size_t(breite) * 3);
    });
    return true;
}
