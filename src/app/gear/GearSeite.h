#pragma once
#include <QImage>
#include <QString>
#include <functional>
#include <vector>

// One page of the imaging control's picture: BGR888 at 24 bits per pixel,
// Indexed8 with at most 2^bpp colours at 1, 4 and 8.
struct TGearSeite {
    QImage bild;
    int bpp = 0;
    bool Leer() const { return bild.isNull() || bild.width() == 0 || bild.height() == 0; }
};

// What a decoder found in a file.
struct TGearDokument {
    std::vector<TGearSeite> seiten;
    QString typ;          // upper-case format name: "JPEG", "PNG", "GIF", "BMP", "TIFF", ...
    QString kompression;  // "UNCOMPRESSED", "JPEG", "LZW", "RLE", "PACKBITS", "DEFLATE", "CCITT G3", "CCITT G4", ...
};

// Progress 0..100; may be empty.
using TFortschritt = std::function<void(int)>;
