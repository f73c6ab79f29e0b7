// Unit Loeschen: final deletion of a file or of a folder with its contents.
#include "Loeschen.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

bool DateiLoeschen(const QString& pfad)
{
    QString ziel = pfad;
    if (ziel.size() > 1 && ziel.endsWith(QLatin1Char('/')))
        ziel.chop(1);
    // An empty path would mean the current folder to QDir; the root is
    // never ours to delete.
    if (ziel.isEmpty() || ziel == QLatin1String("/"))
        return false;

    const QFileInfo info(ziel);
    // A link goes by itself; the folder it points to stays untouched.
    if (info.isSymLink())
        return QFile::remove(ziel);
    if (!info.exists())
        return false;
    if (info.isDir()) {
        if (info.canonicalFilePath() == QLatin1String("/"))
            return false;
        return QDir(ziel).removeRecursively();
    }
    return QFile::remove(ziel);
}
