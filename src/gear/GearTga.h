#pragma once
#include <QByteArray>
#include <QString>
#include "GearSeite.h"

// Truevision TGA, our own reader: colour-mapped, true-colour (15, 16, 24 and
// 32 bits) and grey (8 bits, 16 with alpha), raw and run-length coded. The
// origin bits of the header decide the row and column order, so every file
// comes upright; alpha is dropped, the stored colour stays.

// False with a German reason; unterstuetzt is false for a kind this reader
// leaves to the general coder.
bool TgaDekodieren(const QByteArray& daten, TGearSeite& seite, QString& kompression, QString& fehler,
                   bool& unterstuetzt, const TFortschritt& fs = {});
