#pragma once
#include <QByteArray>
#include <QString>
#include <vector>
#include "GearSeite.h"

// TIFF through libtiff, in memory. Reading decodes the first page (directory)
// and leaves the others to dok.quelle, which decodes each when it is asked
// for; bilevel, grey and palette pages keep their own depth. The orientation
// tag decides the row and column order. A page whose strips cannot hold its
// declared size is refused before anything is allocated.
bool TiffDekodieren(const QByteArray& daten, TGearDokument& dok, QString& fehler, const TFortschritt& fs = {});

// kompression is a libtiff COMPRESSION_* value; g3ZweiD selects 2-D coding
// for COMPRESSION_CCITTFAX3. The fax codings get bilevel data (min-is-white).
bool TiffKodieren(const TGearSeite& seite, int kompression, bool g3ZweiD, QByteArray& aus, QString& fehler,
                  const TFortschritt& fs = {});
