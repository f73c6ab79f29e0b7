#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include "GearSeite.h"

// JPEG through libjpeg-turbo: decoded straight into the rows of the page,
// encoded through TurboJPEG.

// False with a German reason. unterstuetzt is false for JPEG files the
// library cannot decode here (CMYK), which the general coder may try. Damage
// the library only warns about gives the picture, marked damaged; when the
// data end early, the rows never reached form the page's gap.
bool JpegDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, bool& unterstuetzt,
                    const TFortschritt& fs = {});

// Whether a JPEG's entropy-coded data can fill the size its frame header
// declares (Huffman coding spends at least a bit on every block); false with
// a German reason. Lets a reader refuse a few bytes that claim a huge picture
// before the library allocates for it.
bool JpegScanDatenReichen(const uint8_t* d, qint64 n, QString& fehler);

// typ 0 baseline, 1 lossless (our own predictive coder), 2 progressive; qualitaet 1..100. A grey page is written as a
// one-component JPEG, a palette page expanded to colour. dpi > 0 goes into the JFIF header of baseline and
// progressive files as their resolution; 0 leaves it unstated (aspect ratio 1:1).
bool JpegKodieren(const TGearSeite& seite, int typ, int qualitaet, int dpi, QByteArray& aus, QString& fehler,
                  const TFortschritt& fs = {});

// The resolution in dots per inch that the JPEG option "Auflösung" (0..10; its scale reads 11 - value) stands
// for: 0 and anything outside the range state none, 1..10 run from 600 down to 72.
int JpegAufloesungDpi(int wert);
