#include "DateiZeiten.h"

#include <QFile>
#include <sys/stat.h>

bool DateiZeitenLesen(const QString& pfad, TDateiZeiten& zeiten)
{
    struct stat st {};
    if (pfad.isEmpty() || ::stat(QFile::encodeName(pfad).constData(), &st) != 0)
        return false;
    zeiten.zugriff = st.st_atim;
    zeiten.geschrieben = st.st_mtim;
    return true;
}
