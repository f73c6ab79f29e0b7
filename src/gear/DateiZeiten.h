#pragma once
#include <QString>
#include <ctime>

// Access and modification time of a file, to the nanosecond.
struct TDateiZeiten {
    timespec zugriff{};
    timespec geschrieben{};
};

// Reads the access and modification times of a file or folder (symbolic
// links followed). False when the path cannot be examined.
bool DateiZeitenLesen(const QString& pfad, TDateiZeiten& zeiten);
