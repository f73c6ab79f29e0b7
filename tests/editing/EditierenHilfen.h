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

inline TBitmap Grau(int breite, int hoehe, uint8_t v)
{
    TBitmap b(breite, hoehe);
    b.Fill(v, v, v);
    return b;
}

inline TBitmap Zufall(int breite, int hoehe, unsigned saat)
{
    std::mt19937 z(saat);
    TBitmap b(breite, hoehe);
    for (int y = 0; y < hoehe; ++y)
        for (int k = 0; k < 3 * breite; ++k)
            b.ScanLine(y)[k] = uint8_t(z() & 255);
    return b;
}

inline bool Einfarbig(const TBitmap& b, int v)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int k = 0; k < 3 * b.Width(); ++k)
            if (b.ScanLine(y)[k] != v)
                return false;
    return !b.IsEmpty();
}

inline bool GleicheBytes(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.ScanLine(y), a.ScanLine(y) + 3 * a.Width(), b.ScanLine(y)))
            return false;
    return true;
}
