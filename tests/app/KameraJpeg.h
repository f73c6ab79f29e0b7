#pragma once
// A JPEG as a camera writes it, for the tests of damaged files: a photo-like
// picture in 4:2:0 with a JFIF header and EXIF data.
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <exiv2/exiv2.hpp>
#include "TestHilfen.h"

// Smooth shading with fine texture, so every band of rows costs about as
// many bytes of scan data as any other.
inline QImage KameraMotiv(int breite, int hoehe)
{
    QImage bild(breite, hoehe, QImage::Format_RGB32);
    uint32_t zufall = 12345;
    for (int y = 0; y < hoehe; ++y) {
        auto* z = reinterpret_cast<QRgb*>(bild.scanLine(y));
        for (int x = 0; x < breite; ++x) {
            zufall = zufall * 1103515245u + 12345u;
            const int rauschen = int((zufall >> 16) % 41) - 20;
            z[x] = qRgb(std::clamp(x * 255 / breite + rauschen, 0, 255), std::clamp(y * 255 / hoehe + rauschen, 0, 255),
                        std::clamp(128 + ((x / 7 + y / 5) % 3) * 40 + rauschen, 0, 255));
        }
    }
    return bild;
}

// Written through a file because the EXIF library edits files.
inline QByteArray KameraJpeg(const QString& ordner, int breite, int hoehe)
{
    QByteArray jpeg;
    QBuffer puffer(&jpeg);
    puffer.open(QIODevice::WriteOnly);
    KameraMotiv(breite, hoehe).save(&puffer, "JPG", 80);
    const QString pfad = ordner + QStringLiteral("/.kamera.jpg");
    DateiSchreiben(pfad, jpeg);
    auto datei = Exiv2::ImageFactory::open(QFile::encodeName(pfad).toStdString());
    datei->readMetadata();
    Exiv2::ExifData exif;
    exif["Exif.Image.Make"] = "QZT";
    exif["Exif.Image.Model"] = "Wanderkamera 3";
    exif["Exif.Photo.DateTimeOriginal"] = "2024:05:17 10:31:07";
    datei->setExifData(exif);
    datei->writeMetadata();
    const QByteArray mitExif = DateiBytes(pfad);
    QFile::remove(pfad);
    return mitExif;
}

// Where a marker's segment starts (its 0xFF) in front of the scan; -1 when
// there is none.
inline qsizetype JpegSegment(const QByteArray& b, uchar marker)
{
    qsizetype pos = 2;
    while (pos + 4 <= b.size() && uchar(b[pos]) == 0xFF) {
        const uchar m = uchar(b[pos + 1]);
        if (m == marker)
            return pos;
        if (m == 0xDA)
            break;
        pos += 2 + ((uchar(b[pos + 2]) << 8) | uchar(b[pos + 3]));
    }
    return -1;
}

// The first byte of the entropy-coded data.
inline qsizetype JpegScanAnfang(const QByteArray& b)
{
    const qsizetype sos = JpegSegment(b, 0xDA);
    return sos < 0 ? -1 : sos + 2 + ((uchar(b[sos + 2]) << 8) | uchar(b[sos + 3]));
}
