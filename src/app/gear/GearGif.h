#pragma once
#include <QByteArray>
#include <QString>
#include <vector>
#include "GearSeite.h"

// GIF through giflib. Every frame becomes one page, composed onto the
// logical screen (transparent pixels keep what lies beneath, disposal is
// honoured), so paging shows whole pictures.
bool GifDekodieren(const QByteArray& daten, std::vector<TGearSeite>& seiten, QString& fehler,
                   const TFortschritt& fs = {});

// One palette page; the colour map is padded to 2^bpp entries.
bool GifKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs = {});
