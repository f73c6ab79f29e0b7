#pragma once
#include <QByteArray>
#include <QString>
#include "GearSeite.h"

// X11 pixmap (XPM3) writer: every colour of the page gets its own entry,
// with as many characters per pixel as the number of colours needs.
bool XpmKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs = {});

// Reads XPM files whose colours are all given as "#" hex values (any number
// of them, also more than ImageMagick takes). unterstuetzt is false for
// named or transparent colours and more than four characters per pixel,
// which the general coder reads.
bool XpmDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, bool& unterstuetzt,
                   const TFortschritt& fs = {});
