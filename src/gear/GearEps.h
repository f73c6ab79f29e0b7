#pragma once
#include <QByteArray>
#include <QString>
#include "GearSeite.h"

// Encapsulated PostScript, rendered by Ghostscript (gs) in its safe mode
// (-dSAFER: no file access beyond its own resources) at 72 dpi, cropped to
// the bounding box, into a 24-bit page. DOS EPS files with a binary header
// hand over their PostScript part.
bool EpsDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, const TFortschritt& fs = {});
bool EpsSignatur(const QByteArray& daten);
