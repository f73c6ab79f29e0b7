// Hands the input to our raw CCITT row reader at a width of the input's own
// choosing, so every width up to 32768 is reached at full pace (the loaders
// try only a few of them per input, or all of them slowly). The first three
// bytes choose coding, bit order and width. Where the reader calls its
// answer certain, libtiff must read the same rows and stop the same way,
// since the raw fax loader takes that answer in libtiff's place.
#include "FuzzHilfen.h"

#include "gear/GearFaxZeilen.h"
#include "gear/GearTiff.h"

#include <tiffio.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzStarten();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t laenge)
{
    if (laenge < 3)
        return 0;
    static const TFaxKodierung arten[] = {TFaxKodierung::G3EinD, TFaxKodierung::G3ZweiD, TFaxKodierung::G4};
    const int art = daten[0] % 3;
    const bool lsb = (daten[0] & 4) != 0;
    const int breite = 1 + (((daten[1] << 8) | daten[2]) & 0x7fff);
    const QByteArray roh(reinterpret_cast<const char*>(daten + 3), qsizetype(laenge - 3));
    // The loader's bound: one bit per row at the least, 2^29 pixels at most.
    const int maxZeilen = int(std::clamp<qint64>(std::min<qint64>(qint64(roh.size()) * 8 + 1, (qint64(1) << 29) / breite),
                                                 1, 1 << 30));

    int gezaehlt = 0;
    const TFaxLauf l = FaxZeilenLesen(roh, arten[art], lsb, breite, maxZeilen, [&gezaehlt](int y, const uint8_t*) {
        if (y != gezaehlt++)
            std::abort();
    });
    if (l.zeilen != gezaehlt || l.zeilen > maxZeilen)
        std::abort();
    if (!l.sicher)
        return 0;

    TFaxEnde ende;
    const int zeilen = TiffFaxZeilen(roh, art == 2 ? COMPRESSION_CCITTFAX4 : COMPRESSION_CCITTFAX3, art == 1, lsb, breite,
                                     maxZeilen, {}, ende);
    const bool sauber = zeilen > 0 && (ende.endeMarke || ende.datenEnde);
    if (zeilen != l.zeilen || sauber != (l.zeilen > 0 && l.ende)
        || (zeilen == 0 && ende.gemeldeteBreite != l.gemeldeteBreite)) {
        std::fprintf(stderr, "Breite %d Art %d lsb %d: unsere %d Zeilen, Ende %d, Breite %d; libtiff %d, %d/%d, %d\n",
                     breite, art, int(lsb), l.zeilen, int(l.ende), l.gemeldeteBreite, zeilen, int(ende.endeMarke),
                     int(ende.datenEnde), ende.gemeldeteBreite);
        std::abort();
    }
    return 0;
}
