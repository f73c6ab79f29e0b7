#pragma once
#include <QByteArray>
#include <QString>
#include "GearSeite.h"

// Lossless JPEG (the predictive process with Huffman coding, marker SOF3):
// decoded pixels equal the source. Grey pages are written with one
// component, all others as three components R, G, B of 8 bits.
bool LjpegKodieren(const TGearSeite& seite, QByteArray& aus, QString& fehler, const TFortschritt& fs = {});

// True when the JPEG stream's frame is lossless (SOF3).
bool LjpegIstVerlustfrei(const QByteArray& daten);

// Reads 1 or 3 components of 2 to 16 bits (scaled to 8), predictors 1 to 7,
// point transform, restart intervals, interleaved or one scan per
// component. unterstuetzt is false for other sampling factors or component
// counts.
bool LjpegDekodieren(const QByteArray& daten, TGearSeite& seite, QString& fehler, bool& unterstuetzt,
                     const TFortschritt& fs = {});
