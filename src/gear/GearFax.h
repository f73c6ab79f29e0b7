#pragma once
#include <QByteArray>
#include <QString>
#include "GearSeite.h"

// Raw CCITT fax files (.g3, .g4): the coded rows alone, without a header.
// They store no picture size, so the reader finds it from the data: a G3
// row ends with its end-of-line code and tells its own length; a G4 page is
// tried at 1728 pixels (the fax standard's width), then at other common
// widths, then at every width, until the rows decode cleanly up to the end
// mark. Without such a width the clean rows at 1728 are shown.

// g4 selects Group 4 (T.6) data, else Group 3 one-dimensional (T.4).
bool FaxRohKodieren(const TGearSeite& seite, bool g4, QByteArray& aus, QString& fehler);

// g4 is the extension's hint; when the data does not decode that way the
// other coding is tried. kompression becomes "CCITT G3" or "CCITT G4".
bool FaxRohDekodieren(const QByteArray& daten, bool g4, TGearSeite& seite, QString& kompression, QString& fehler,
                      const TFortschritt& fs = {});
