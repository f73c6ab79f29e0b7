#pragma once
#include <QByteArray>
#include <QString>
#include "GearSeite.h"

// Amiga IFF ILBM: 1 to 8 bit planes with a colour map (also extra
// half-brite and hold-and-modify pictures) and 24 planes of true colour,
// uncompressed or ByteRun1. A mask plane is skipped.
bool IffDekodieren(const QByteArray& daten, TGearSeite& seite, QString& kompression, QString& fehler,
                   const TFortschritt& fs = {});

// Writes 1, 4 or 8 planes with the page's colour map, or 24 planes,
// ByteRun1-packed.
bool IffKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs = {});

// True for a FORM of type ILBM.
bool IffSignatur(const QByteArray& daten);
