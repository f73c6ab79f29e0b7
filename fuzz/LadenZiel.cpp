// Loads the input as the viewer does (LadeGearBild through TGear, metadata
// included) and then pages through a multi-page file, whose further pages
// are decoded on demand. FUZZ_ENDUNG names the family's extension.
#include "FuzzHilfen.h"

#include "gear/Gear.h"
#include "Global.h"
#include "gear/GearHilfen.h"
#include "gear/GearTestnaht.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzStarten();
    // A fixed budget of 4 MB (1.4 million true-colour pixels): a declared
    // size is refused the same way on every machine, and no run spends its
    // time faulting in and clearing the pages of large pictures (every block
    // beyond 128 KB is a fresh mapping under the address sanitizer).
    GearSpeicherGrenzeSetzen(qint64(4) << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t laenge)
{
    static TGear gear;
    const QString pfad = FuzzDatei(daten, laenge, QStringLiteral(FUZZ_ENDUNG));
    LadeGearBild(gear, pfad);
    // Either a picture or the error picture, never nothing.
    if (gear.ImageWidth() <= 0 || gear.ImageHeight() <= 0 || gear.Picture().isNull())
        std::abort();
    const int seiten = std::min(gear.PageCount(), 4);
    for (int s = 2; s <= seiten; ++s)
        gear.SetPage(s);
    return 0;
}
