#pragma once
#include <QImage>
#include <cstdint>

// The working bitmap: 24 bits per pixel, bytes blue, green, red, each row
// padded to a multiple of 4 bytes, rows reached through ScanLine counted from
// the top. It is a thin type around a QImage in Format_BGR888, so it converts
// to and from QImage without touching the pixels one by one.
class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int breite, int hoehe);
    // Takes over the picture; anything other than BGR888 is converted once.
    explicit TBitmap(const QImage& bild);

    int Width() const { return m_bild.width(); }
    int Height() const { return m_bild.height(); }
    bool IsEmpty() const { return m_bild.isNull() || m_bild.width() == 0 || m_bild.height() == 0; }

    // Row length in bytes: width * 3 rounded up to a multiple of 4.
    qsizetype Stride() const { return m_bild.bytesPerLine(); }
    static qsizetype StrideFuer(int breite) { return ((qsizetype(breite) * 24 + 31) & ~qsizetype(31)) / 8; }

    uint8_t* ScanLine(int y) { return m_bild.scanLine(y); }
    const uint8_t* ScanLine(int y) const { return m_bild.constScanLine(y); }

    // New size; the pixels are undefined afterwards (zero when the size changed).
    void SetSize(int breite, int hoehe);
    void Fill(uint8_t b, uint8_t g, uint8_t r);
    void Clear() { m_bild = QImage(); }
    void Assign(const TBitmap& quelle) { m_bild = quelle.m_bild; }
    void Assign(const QImage& bild);

    const QImage& Bild() const { return m_bild; }
    QImage& Bild() { return m_bild; }

    bool operator==(const TBitmap& o) const { return m_bild == o.m_bild; }

private:
    QImage m_bild;
};
