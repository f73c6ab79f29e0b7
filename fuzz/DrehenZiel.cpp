// Hands the input to the lossless JPEG transform with each transform code;
// the first byte chooses code, segment copying and trimming.
#include "FuzzHilfen.h"

#include "files/JpgDrehen.h"

#include <QFile>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzStarten();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t laenge)
{
    static const uint8_t codes[] = {JpgSpiegelnHorizontal, JpgSpiegelnVertikal, JpgDrehen90, JpgDrehen180,
                                    JpgDrehen270};
    uint8_t wahl = 0;
    if (laenge > 0) {
        wahl = daten[0];
        ++daten;
        --laenge;
    }
    const QString quelle = FuzzDatei(daten, laenge, QStringLiteral("jpg"));
    const QString ziel = FuzzPfad(QStringLiteral("ziel.jpg"));
    QFile::remove(ziel);
    const bool ok = JpgTransformieren(quelle, ziel, codes[wahl % 5], (wahl & 0x10) ? JpgKopiereAlle : JpgKopiereKeine,
                                      (wahl & 0x20) != 0);
    // A failure leaves no output behind.
    if (!ok && QFile::exists(ziel))
        std::abort();
    return 0;
}
