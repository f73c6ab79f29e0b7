#pragma once
#include <QByteArray>
#include <QString>
#include "GearSeite.h"

// The general coder on ImageMagick for every format we do not code
// ourselves. It is only handed bytes, never a file name.

// hinweis is the coder to try when the bytes' signature does not name one
// (e.g. "PICT", "TGA"); the signature wins where ImageMagick knows it. Only
// raster coders of an allow list are used.
bool MagickDekodieren(const QByteArray& daten, const QString& hinweis, TGearDokument& dok, QString& fehler,
                      const TFortschritt& fs = {});

// Writes one page with an ImageMagick coder ("PCX", "SUN", ...). For "PBM",
// ascii selects the plain "P1" form.
bool MagickKodieren(const TGearSeite& seite, const QString& coder, bool ascii, QByteArray& aus, QString& fehler,
                    const TFortschritt& fs = {});

// The coder the signature names, or an empty text.
QString MagickSignatur(const QByteArray& daten);
