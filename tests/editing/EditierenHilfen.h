#pragma once
// The main window for the editing dialogs' tests: created once per program,
// shown, so that the display has a size, and given a generated image.
#include <QApplication>
#include <QImage>
#include <QLocale>
#include <random>
#include "AnzeigeBild.h"
#include "Global.h"
#include "TestHilfen.h"
#include "ZelvanoMain.h"
#include "pixelops/PixelHilfen.h"

inline void HauptfensterZeigen()
{
    if (frmZelvanoMain)
        return;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    HauptfensterFuerTestAnlegen();
    frmZelvanoMain->resize(900, 700);
    frmZelvanoMain->show();
    QApplication::processEvents();
}

// Puts a picture into the main window as if loaded from a file.
inline void BildSetzen(const TBitmap& bild, int tiefe = 24)
{
    TfrmZelvanoMain* f = frmZelvanoMain;
    f->OriginalBild = TBitmap(bild.Bild().copy());
    BildQuelle = BildQuelleDatei;
    BildFarbtiefe = tiefe;
    ZoomFaktor = 1.0;
    Einpassen = false;
    f->AnzeigeBild->SetBild(f->OriginalBild.Bild());
    f->SetAnzeigeBild();
}

inline TBitmap Grau(int breite, int hoehe, uint8_t v) { return Einfarbig(breite, hoehe, v); }

inline TBitmap Zufall(int breite, int hoehe, unsigned saat)
{
    std::mt19937 z(saat);
    return ZufallsBitmap(breite, hoehe, z);
}
