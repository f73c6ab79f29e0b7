#include "Bitmap_RotierenSpiegeln.h"
#include <algorithm>
#include <cstring>
#include <vector>
#include <sys/mman.h>
#include "Zeilenbaender.h"

namespace {

// Square tiles small enough that the source rows and destination rows of one
// tile stay in the first-level cache while it is transposed.
constexpr int Kachel = 48;

inline void Pixel(uint8_t* ziel, const uint8_t* quelle)
{
    ziel[0] = quelle[0];
    ziel[1] = quelle[1];
    ziel[2] = quelle[2];
}

// Destination rows y0..y1 of a quarter turn. Clockwise, destination row y is
// source column y read from the bottom row up; counter-clockwise it is source
// column W-1-y read from the top down.
void Drehen(const uint8_t* qbits, qsizetype qstride, int qb, int qh, uint8_t* zbits, qsizetype zstride,
            bool rechts, int y0, int y1)
{
    const int zb = qh;
    for (int ty = y0; ty < y1; ty += Kachel) {
        const int tyEnde = std::min(ty + Kachel, y1);
        for (int tx = 0; tx < zb; tx += Kachel) {
            const int txEnde = std::min(tx + Kachel, zb);
            for (int y = ty; y < tyEnde; ++y) {
                uint8_t* z = zbits + qsizetype(y) * zstride + qsizetype(tx) * 3;
                if (rechts) {
                    const uint8_t* q = qbits + qsizetype(qh - 1 - tx) * qstride + qsizetype(y) * 3;
                    for (int x = tx; x < txEnde; ++x, z += 3, q -= qstride)
                        Pixel(z, q);
                } else {
                    const uint8_t* q = qbits + qsizetype(tx) * qstride + qsizetype(qb - 1 - y) * 3;
                    for (int x = tx; x < txEnde; ++x, z += 3, q += qstride)
                        Pixel(z, q);
                }
            }
        }
    }
}

// Copies a row of b pixels into ziel in reverse pixel order.
inline void Umgekehrt(uint8_t* ziel, const uint8_t* quelle, int b)
{
    const uint8_t* q = quelle + qsizetype(b - 1) * 3;
    for (int x = 0; x < b; ++x, ziel += 3, q -= 3)
        Pixel(ziel, q);
}

// Reverses the pixels of one row in place.
inline void UmkehrenAmOrt(uint8_t* z, int b)
{
    uint8_t* l = z;
    uint8_t* r = z + qsizetype(b - 1) * 3;
    for (; l < r; l += 3, r -= 3)
        for (int c = 0; c < 3; ++c)
            std::swap(l[c], r[c]);
}

// Row pairs (y, H-1-y) for y in y0..y1 (all below H/2). Mode 1 also
// reverses the pixel order, mode 4 only swaps the rows, mode 3 never comes
// here.
void ZeilenTauschen(uint8_t* bits, qsizetype stride, int b, int h, bool spiegeln, int y0, int y1)
{
    const size_t bytes = size_t(b) * 3;
    std::vector<uint8_t> puffer(bytes);
    for (int y = y0; y < y1; ++y) {
        uint8_t* oben = bits + qsizetype(y) * stride;
        uint8_t* unten = bits + qsizetype(h - 1 - y) * stride;
        if (spiegeln) {
            Umgekehrt(puffer.data(), oben, b);
            Umgekehrt(oben, unten, b);
        } else {
            std::memcpy(puffer.data(), oben, bytes);
            std::memcpy(oben, unten, bytes);
        }
        std::memcpy(unten, puffer.data(), bytes);
    }
}

void ZeilenSpiegeln(uint8_t* bits, qsizetype stride, int b, int y0, int y1)
{
    for (int y = y0; y < y1; ++y)
        UmkehrenAmOrt(bits + qsizetype(y) * stride, b);
}

// A fresh picture for the turned image, not cleared: every byte of every row
// is written by the turn. Large pictures ask for huge pages, since touching
// tens of megabytes of new memory page by page costs more than the turn.
QImage NeuesBild(int breite, int hoehe)
{
    QImage bild(breite, hoehe, QImage::Format_BGR888);
    if (bild.isNull())
        return bild;
    constexpr uintptr_t gross = uintptr_t(1) << 21;
    const uintptr_t anfang = reinterpret_cast<uintptr_t>(bild.bits());
    const uintptr_t von = (anfang + gross - 1) & ~(gross - 1);
    const uintptr_t bis = (anfang + uintptr_t(bild.sizeInBytes())) & ~(gross - 1);
    if (bis > von)
        madvise(reinterpret_cast<void*>(von), bis - von, MADV_HUGEPAGE);
    return bild;
}

} // namespace

void BitmapRotierenSpiegeln(TBitmap& bmp, uint8_t modus, int threads)
{
    if (modus > rsVertikal || bmp.IsEmpty())
        return;
    if (bmp.Bild().format() != QImage::Format_BGR888)
        bmp.Assign(bmp.Bild());

    const int b = bmp.Width();
    const int h = bmp.Height();
    threads = ThreadZahl(threads, (long long)b * h, 2000000);

    if (modus == rsPlus90 || modus == rsMinus90) {
        QImage neu = NeuesBild(h, b);
        if (neu.isNull())
            return;   // no memory for the turned image: keep the image
        const TBitmap& quelle = bmp;
        const uint8_t* qbits = quelle.ScanLine(0);
        const qsizetype qstride = quelle.Stride();
        uint8_t* zbits = neu.bits();
        const qsizetype zstride = neu.bytesPerLine();
        // Bands of whole tile rows, so no two threads share a tile.
        const int kachelZeilen = (b + Kachel - 1) / Kachel;
        InZeilenbaendern(kachelZeilen, threads, [&](int k0, int k1) {
            const int y0 = k0 * Kachel, y1 = std::min(k1 * Kachel, b);
            Drehen(qbits, qstride, b, h, zbits, zstride, modus == rsPlus90, y0, y1);
            // The row padding of the new picture is cleared, so files written
            // from it do not carry stray bytes.
            const qsizetype bytes = qsizetype(h) * 3;
            if (zstride > bytes)
                for (int y = y0; y < y1; ++y)
                    std::memset(zbits + qsizetype(y) * zstride + bytes, 0, size_t(zstride - bytes));
        });
        bmp.Assign(neu);
        return;
    }

    uint8_t* bits = bmp.ScanLine(0);   // detaches a shared picture once, here
    const qsizetype stride = bmp.Stride();
    if (modus == rsHorizontal) {
        InZeilenbaendern(h, threads, [=](int y0, int y1) { ZeilenSpiegeln(bits, stride, b, y0, y1); });
        return;
    }
    const bool spiegeln = modus == rs180;
    InZeilenbaendern(h / 2, threads, [=](int y0, int y1) { ZeilenTauschen(bits, stride, b, h, spiegeln, y0, y1); });
    // The middle row of an odd height has no partner; a half turn reverses it.
    if (spiegeln && h % 2 == 1)
        UmkehrenAmOrt(bits + qsizetype(h / 2) * stride, b);
}
