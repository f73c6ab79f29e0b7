#pragma once
#include <QByteArray>
#include <QString>
#include <vector>
#include "GearSeite.h"

// TIFF through libtiff, in memory. Reading gives every page (directory);
// bilevel, grey and palette pages keep their own depth.
bool TiffDekodieren(const QByteArray& daten, std::vector<TGearSeite>& seiten, QString& kompression,
                    QString& fehler, const TFortschritt& fs = {});

// kompression is a libtiff COMPRESSION_* value; g3ZweiD selects 2-D coding
// for COMPRESSION_CCITTFAX3. The fax codings get bilevel data (min-is-white).
bool TiffKodieren(const TGearSeite& seite, int kompression, bool g3ZweiD, QByteArray& aus, QString& fehler,
                  const TFortschritt& fs = {});
