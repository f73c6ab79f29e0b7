#include "BenchHilfen.h"
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <random>

TBitmap BenchBildErzeugen(int breite, int hoehe, unsigned saat)
{
    TBitmap b(breite, hoehe);
    std::mt19937 zufall(saat);
    for (int y = 0; y < hoehe; ++y) {
        uint8_t* z = b.ScanLine(y);
        for (int x = 0; x < breite; ++x) {
            const unsigned rauschen = zufall();
            z[3 * x] = uint8_t((x * 255 / breite + (rauschen & 15)) & 255);
            z[3 * x + 1] = uint8_t((y * 255 / hoehe + ((rauschen >> 4) & 15)) & 255);
            z[3 * x + 2] = uint8_t(((x + y) * 127 / (breite + hoehe) + ((rauschen >> 8) & 31)) & 255);
        }
    }
    return b;
}

const TBitmap& BenchBild()
{
    static const TBitmap bild = [] {
        if (const char* pfad = std::getenv("ZELVANO_BENCH_BILD")) {
            QImage gelesen(QString::fromLocal8Bit(pfad));
            if (!gelesen.isNull())
                return TBitmap(gelesen);
        }
        return BenchBildErzeugen(6000, 4000);
    }();
    return bild;
}

QString BenchOrdner()
{
    static std::unique_ptr<QTemporaryDir> ordner = std::make_unique<QTemporaryDir>();
    return ordner->path();
}
