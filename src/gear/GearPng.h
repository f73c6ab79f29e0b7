#pragma once
#include <QByteArray>
#include <QString>
#include "GearSeite.h"

// PNG through libpng. Reading keeps palette and grey files at their own bit
// depth (1, 2, 4 -> 4, 8) and cuts 16-bit samples to 8. Transparent parts are
// laid on hintergrund: a palette's entries in place, anything else as 24 bits.
bool PngDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, const TFortschritt& fs = {},
                   QRgb hintergrund = qRgb(255, 255, 255));

// 24 bits as RGB, a grey ramp as grey, other palettes at the page's depth.
bool PngKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs = {});
