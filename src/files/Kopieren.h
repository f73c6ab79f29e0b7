#pragma once
#include <QString>

// Copies one file over (or to) ziel through the safe-replace helper: ziel
// holds either its old content or the complete copy. With mitFortschritt a
// progress window "Kopieren..." shows the bytes copied. True when the copy
// is complete; false leaves ziel as it was.
bool DateiKopieren(const QString& quelle, const QString& ziel, bool mitFortschritt);
