#include "Bildspeicher.h"
#include <cstdlib>
#include <sys/mman.h>

namespace {

constexpr size_t HugePage = size_t(2) << 20;
// Below this, ordinary allocation is as fast.
constexpr size_t AbGroesse = size_t(8) << 20;

void Freigeben(void* speicher)
{
    std::free(speicher);
}

} // namespace

QImage GrossesBild(int breite, int hoehe, QImage::Format format)
{
    if (breite <= 0 || hoehe <= 0)
        return {};
    const int tiefe = QImage::toPixelFormat(format).bitsPerPixel();
    const qsizetype zeile = ((qsizetype(breite) * tiefe + 31) / 32) * 4;
    const size_t groesse = size_t(zeile) * size_t(hoehe);
    if (groesse < AbGroesse)
        return QImage(breite, hoehe, format);
    const size_t gerundet = (groesse + HugePage - 1) / HugePage * HugePage;
    void* speicher = std::aligned_alloc(HugePage, gerundet);
    if (!speicher)
        return {};
    ::madvise(speicher, gerundet, MADV_HUGEPAGE);
    QImage bild(static_cast<uchar*>(speicher), breite, hoehe, zeile, format, Freigeben, speicher);
    if (bild.isNull())
        std::free(speicher);
    return bild;
}
