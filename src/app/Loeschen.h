#pragma once
#include <QString>

// Deletes a file, or a folder with everything in it, for good (not into the
// trash), without a question. False when nothing was deleted. An empty path
// is refused.
bool DateiLoeschen(const QString& pfad);
