// Reads the input's metadata as the viewer's EXIF summary does and asks for
// the values it shows.
#include "FuzzHilfen.h"

#include "ExifDaten.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzStarten();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t laenge)
{
    // The first byte picks the extension; the reader must go by the bytes.
    static const char* const endungen[] = {"jpg", "png", "tif", "bmp"};
    uint8_t wahl = 0;
    if (laenge > 0) {
        wahl = daten[0];
        ++daten;
        --laenge;
    }
    const QString pfad = FuzzDatei(daten, laenge, QString::fromLatin1(endungen[wahl % 4]));
    TExifDaten exif;
    if (exif.Lesen(pfad)) {
        (void)exif.HatExif();
        (void)exif.Kommentar();
        (void)exif.ExifBlock();
        static const char* const schluessel[] = {"Exif.Image.Make", "Exif.Image.Model", "Exif.Photo.DateTimeOriginal",
                                                 "Exif.Photo.ExposureTime", "Exif.Photo.FNumber",
                                                 "Exif.Image.Orientation", "Exif.Photo.UserComment"};
        for (const char* s : schluessel)
            (void)exif.Wert(QString::fromLatin1(s));
    }
    exif.Leeren();
    return 0;
}
