#pragma once
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// Shared set-up of the fuzz targets: a Qt application on the offscreen
// platform, quiet Qt and Magick warnings, and a private folder for the
// files the targets hand to the code under test.
void FuzzStarten();

// Writes the input to a file named datei.<endung> in the private folder and
// returns its path; the same path every call, so nothing piles up.
QString FuzzDatei(const uint8_t* daten, size_t laenge, const QString& endung);

// A second path in the private folder (for outputs).
QString FuzzPfad(const QString& name);
