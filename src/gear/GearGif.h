#pragma once
#include <QByteArray>
#include <QString>
#include <vector>
#include "GearSeite.h"

// GIF, our own reader. Every frame becomes one page, composed onto the
// logical screen (transparent pixels keep what lies beneath, disposal is
// honoured), so paging shows whole pictures; image blocks without a delay
// after them are composed into the frame of the next block. The first page
// is decoded at once, the others by dok.quelle when they are asked for.
bool GifDekodieren(const QByteArray& daten, TGearDokument& dok, QString& fehler, const TFortschritt& fs = {});

// Writing goes through giflib.

// One palette page; the colour map is padded to 2^bpp entries.
bool GifKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs = {});
