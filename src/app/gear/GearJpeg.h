#pragma once
#include <QByteArray>
#include <QString>
#include "GearSeite.h"

// JPEG through TurboJPEG: decoded straight into the rows of the page.

// False with a German reason. unterstuetzt is false for JPEG files TurboJPEG
// cannot decode here (CMYK, unusual sampling), which the general coder may try.
bool JpegDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, bool& unterstuetzt,
                    const TFortschritt& fs = {});

// typ 0 baseline, 1 lossless (our own predictive coder), 2 progressive; qualitaet 1..100. A grey page is written as a
// one-component JPEG, a palette page expanded to colour.
bool JpegKodieren(const TGearSeite& seite, int typ, int qualitaet, QByteArray& aus, QString& fehler,
                  const TFortschritt& fs = {});
