#pragma once
#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// One page of the imaging control's picture: BGR888 at 24 bits per pixel,
// Indexed8 with at most 2^bpp colours at 1, 4 and 8.
struct TGearSeite {
    QImage bild;
    int bpp = 0;
    // The decoder met damage and kept what it could read. luecke is the part
    // it never reached (the rows after the damage), which the control fills
    // with its background colour; empty once filled, or when nothing is missing.
    bool beschaedigt = false;
    QRect luecke {};
    bool Leer() const { return bild.isNull() || bild.width() == 0 || bild.height() == 0; }
};

// Progress 0..100; may be empty.
using TFortschritt = std::function<void(int)>;

// The pages of a multi-page file, decoded when they are asked for: the
// source keeps the file's bytes and what the next page needs, never all
// pages at once.
class TGearSeitenQuelle {
public:
    virtual ~TGearSeitenQuelle() = default;
    virtual int Anzahl() const = 0;
    // Page index (0-based); false with a German reason.
    virtual bool Lesen(int index, TGearSeite& seite, QString& fehler, const TFortschritt& fs) = 0;
};

// What a decoder found in a file. With a page source, seiten holds only the
// first page, already decoded.
struct TGearDokument {
    std::vector<TGearSeite> seiten;
    std::shared_ptr<TGearSeitenQuelle> quelle;
    QString typ;          // upper-case format name: "JPEG", "PNG", "GIF", "BMP", "TIFF", ...
    QString kompression;  // "UNCOMPRESSED", "JPEG", "LZW", "RLE", "PACKBITS", "DEFLATE", "CCITT G3", "CCITT G4", ...
};
