#pragma once
#include <QByteArray>
#include <QString>
#include "GearSeite.h"

// IOCA bilevel image segments (function set 10, the file form of .ica):
// Begin Segment, Begin Image Content, Image Size, Image Encoding, IDE Size,
// one or more Image Data parameters, End Image Content, End Segment. The
// data may be uncompressed or G4 MMR (IBM MMR is the same coding); a set
// image point is black.
bool IocaDekodieren(const QByteArray& daten, TGearSeite& seite, QString& kompression, QString& fehler,
                    const TFortschritt& fs = {});
