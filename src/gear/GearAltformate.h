#pragma once
#include <QByteArray>
#include <QString>
#include "GearSeite.h"

// Readers (and the clipboard writer) for three old bitmap formats, each
// from its published layout.

// Windows clipboard file (.clp, Windows 3.1 and NT layouts): the
// device-independent bitmap (CF_DIB, else CF_DIBV5) it holds.
bool ClpDekodieren(const QByteArray& daten, TGearSeite& seite, QString& kompression, QString& fehler,
                   const TFortschritt& fs = {});
// A Windows 3.1 clipboard file with one CF_DIB entry.
bool ClpKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs = {});
bool ClpSignatur(const QByteArray& daten);

// Microsoft Paint (.msp), version 1 (raw bits) and 2 (run-length rows).
bool MspDekodieren(const QByteArray& daten, TGearSeite& seite, QString& kompression, QString& fehler,
                   const TFortschritt& fs = {});
bool MspSignatur(const QByteArray& daten);

// GEM bit image (.img): 1 to 8 planes, solid, pattern, literal runs and
// repeated rows; XIMG colour maps.
bool GemDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, const TFortschritt& fs = {});
