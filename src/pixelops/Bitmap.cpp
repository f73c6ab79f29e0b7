#include "Bitmap.h"
#include "Bildspeicher.h"
#include <cstring>

TBitmap::TBitmap(int breite, int hoehe)
{
    SetSize(breite, hoehe);
}

TBitmap::TBitmap(const QImage& bild)
{
    Assign(bild);
}

void TBitmap::SetSize(int breite, int hoehe)
{
    if (breite <= 0 || hoehe <= 0) {
        m_bild = QImage();
        return;
    }
    if (m_bild.width() == breite && m_bild.height() == hoehe && m_bild.format() == QImage::Format_BGR888)
        return;
    m_bild = GrossesBild(breite, hoehe, QImage::Format_BGR888);
    if (!m_bild.isNull())
        std::memset(m_bild.bits(), 0, size_t(m_bild.sizeInBytes()));
}

void TBitmap::Fill(uint8_t b, uint8_t g, uint8_t r)
{
    for (int y = 0; y < Height(); ++y) {
        uint8_t* z = ScanLine(y);
        for (int x = 0; x < Width(); ++x) {
            z[3 * x] = b;
            z[3 * x + 1] = g;
            z[3 * x + 2] = r;
        }
    }
}

void TBitmap::Assign(const QImage& bild)
{
    if (bild.isNull()) {
        m_bild = QImage();
        return;
    }
    if (bild.format() == QImage::Format_BGR888) {
        m_bild = bild;
        return;
    }
    // Alpha is dropped: the working bitmap has no transparency.
    if (bild.hasAlphaChannel())
        m_bild = bild.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_BGR888);
    else
        m_bild = bild.convertToFormat(QImage::Format_BGR888);
}
