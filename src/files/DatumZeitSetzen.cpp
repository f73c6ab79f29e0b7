#include "DatumZeitSetzen.h"

#include <QFile>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

std::optional<timespec> DatumZuDateizeit(const QDateTime& datumZeit)
{
    if (!datumZeit.isValid())
        return std::nullopt;
    const qint64 untenMs =
        QDateTime(QDate(1980, 1, 1), QTime(0, 0, 0), Qt::LocalTime).toMSecsSinceEpoch();
    const qint64 obenMs =
        QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58), Qt::LocalTime).toMSecsSinceEpoch();
    const qint64 ms = std::clamp(datumZeit.toMSecsSinceEpoch(), untenMs, obenMs);
    // Work on the instant and take only the parity from local time, so the
    // repeated hour at the end of summer time cannot shift the result.
    qint64 s = ms / 1000;   // positive within the bounds, so this cuts down
    const int versatz = QDateTime::fromSecsSinceEpoch(s).toLocalTime().offsetFromUtc();
    const qint64 lokal = s + versatz;
    s -= ((lokal % 2) + 2) % 2;
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(s);
    ts.tv_nsec = 0;
    return ts;
}

bool DateiDatumSetzen(const QString& dateiName, bool erstellung, bool letzterZugriff,
                      bool letzterSchreibzugriff, const QDateTime& datumZeit)
{
    const QByteArray pfad = QFile::encodeName(dateiName);
    struct stat st {};
    if (dateiName.isEmpty() || ::stat(pfad.constData(), &st) != 0)
        return false;
    // A write-protected file refuses to be opened for writing, and with it
    // any change of its stamps; folders are not held to their write bit.
    if (!S_ISDIR(st.st_mode) && !(st.st_mode & S_IWUSR))
        return false;
    const std::optional<timespec> zeit = DatumZuDateizeit(datumZeit);
    if (!zeit)
        return false;

    bool ergebnis = false;
    if (erstellung)
        ergebnis = false;   // no settable birth time on Linux
    if (letzterZugriff) {
        const timespec ts[2] = {*zeit, {0, UTIME_OMIT}};
        ergebnis = ::utimensat(AT_FDCWD, pfad.constData(), ts, 0) == 0;
    }
    if (letzterSchreibzugriff) {
        const timespec ts[2] = {{0, UTIME_OMIT}, *zeit};
        ergebnis = ::utimensat(AT_FDCWD, pfad.constData(), ts, 0) == 0;
    }
    return ergebnis;
}
