#pragma once
#include <QString>
#include <QStringList>

// Largest number of hits one search hands to the list. Far beyond what a
// user pages through, and small enough that the list stays responsive.
constexpr qsizetype MaxSuchTreffer = 1000000;

struct TSuchBericht {
    // The hit limit was reached: the result holds the hits up to it.
    bool ZuVieleDateien = false;
    // Folders that could not be read (the start folder among them when it
    // cannot be read); the search went on without them.
    QStringList Unlesbar;
};

// Clears ergebnis and fills it with the full path of every file below
// startOrdner whose extension is one of those of erweiterungen (a mask like
// BildMaske: "*.BMP;*.G3;*.JPEG", letter case ignored). A folder's files come
// before those of its sub-folders, depth first. Hidden entries (names
// starting with "."), special files and links to folders are passed over, so
// the walk ends even where links form loops. It goes by path and leaves the
// process's current folder alone.
TSuchBericht DateienSuchen(const QString& startOrdner, const QString& erweiterungen, QStringList& ergebnis,
                           qsizetype maxTreffer = MaxSuchTreffer);

// Lists one folder: the matching files go to ergebnis (up to maxTreffer in
// all), the sub-folders to unterordner, both as full paths and in the order
// the file system returns them. False when the folder cannot be read.
bool OrdnerDurchsuchen(const QString& ordner, const QStringList& endungen, QStringList& ergebnis,
                       QStringList& unterordner, qsizetype maxTreffer);

// The extensions of a mask, upper case with their dot (".JPEG"); entries
// without one are dropped, so a file without extension never matches.
QStringList SuchEndungen(const QString& maske);
