#include "SicherErsetzen.h"
#include "GearTestnaht.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TErsetzenHaken haken;

// 0, or the errno a test wants this step to fail with.
int Eingriff(TErsetzenSchritt schritt)
{
    return haken ? haken(schritt) : 0;
}

// Runs the system call of a step unless a test makes it fail first.
template <class F>
int Schritt(TErsetzenSchritt schritt, F&& aufruf)
{
    if (const int e = Eingriff(schritt)) {
        errno = e;
        return -1;
    }
    return aufruf();
}

// Unbuffered output straight onto the temporary file's descriptor, so every
// failed write is seen at once and its errno survives for the reason.
class TFdAusgabe : public QIODevice {
public:
    explicit TFdAusgabe(int fd) : fd_(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }
    int fehlerNummer = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* daten, qint64 laenge) override
    {
        if (fehlerNummer != 0)
            return -1;
        qint64 geschrieben = 0;
        while (geschrieben < laenge) {
            if (const int e = Eingriff(TErsetzenSchritt::Schreiben)) {
                fehlerNummer = e;
                return -1;
            }
            const ssize_t n = ::write(fd_, daten + geschrieben, static_cast<size_t>(laenge - geschrieben));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                fehlerNummer = errno;
                return -1;
            }
            if (n == 0) {   // no progress: treat like a full disk rather than loop forever
                fehlerNummer = ENOSPC;
                return -1;
            }
            geschrieben += n;
        }
        return geschrieben;
    }

private:
    int fd_;
};

// The reason, as a sentence of its own behind the colon.
QString Grund(const QString& pfad, int e)
{
    const QFileInfo info(pfad);
    switch (e) {
    case ENOSPC: return QStringLiteral("Auf dem Datenträger ist nicht genug Platz.");
    case EDQUOT: return QStringLiteral("Das Speicherkontingent ist erschöpft.");
    case EFBIG: return QStringLiteral("Sie wäre zu groß.");
    case EACCES:
    case EPERM:
        if (info.isFile() && !(info.permissions() & QFileDevice::WriteOwner))
            return QStringLiteral("Sie ist schreibgeschützt.");
        return QStringLiteral("Die Berechtigung zum Schreiben fehlt.");
    case EROFS: return QStringLiteral("Der Datenträger ist schreibgeschützt.");
    case ENOENT:
        // A folder that exists but takes no new files (a system folder such
        // as /proc) answers the same way as a missing one.
        return QFileInfo(info.absolutePath()).isDir()
                   ? QStringLiteral("In diesem Ordner können keine Dateien angelegt werden.")
                   : QStringLiteral("Der Ordner ist nicht vorhanden.");
    case ENOTDIR: return QStringLiteral("Ein Teil des Pfades ist kein Ordner.");
    case ENAMETOOLONG: return QStringLiteral("Der Pfad ist zu lang.");
    case EISDIR: return QStringLiteral("Das Ziel ist ein Ordner.");
    case ETXTBSY:
    case EBUSY: return QStringLiteral("Sie wird gerade benutzt.");
    case EIO: return QStringLiteral("Beim Schreiben ist ein Ein-/Ausgabefehler aufgetreten.");
    default:
        return QStringLiteral("Das System meldet den Fehler %1 (%2).")
            .arg(e)
            .arg(QString::fromLocal8Bit(std::strerror(e)).remove(QLatin1Char('.')));
    }
}

QString Meldetext(const QString& ziel, const QString& grund)
{
    return QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2").arg(ziel, grund);
}

} // namespace

QString SchreibfehlerText(const QString& pfad, int fehlerNummer)
{
    return Meldetext(pfad, Grund(pfad, fehlerNummer));
}

namespace {

// The file a path finally stands for: a symbolic link is replaced through,
// not overwritten.
QString EchterPfad(const QString& ziel)
{
    QFileInfo info(ziel);
    if (!info.isSymLink())
        return info.absoluteFilePath();
    const QString kanonisch = info.canonicalFilePath();
    return kanonisch.isEmpty() ? info.symLinkTarget() : kanonisch;
}

// A fresh name beside the target; O_EXCL makes sure nothing existing is hit.
int TempDateiAnlegen(const QByteArray& ordner, const QByteArray& name, mode_t modus, QByteArray& tempPfad)
{
    static const char zeichen[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    // Leave room in the name for the prefix and suffix.
    const QByteArray stamm = name.left(200);
    for (int versuch = 0; versuch < 100; ++versuch) {
        QByteArray zufall(8, '0');
        for (char& c : zufall)
            c = zeichen[QRandomGenerator::global()->bounded(int(sizeof(zeichen) - 1))];
        tempPfad = ordner + "/." + stamm + '.' + zufall + ".tmp";
        const int fd = Schritt(TErsetzenSchritt::Anlegen, [&] {
            return ::open(tempPfad.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, modus);
        });
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

void OrdnerSynchronisieren(const QByteArray& ordner)
{
    const int fd = ::open(ordner.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);   // the rename is done; a failure here cannot be undone anyway
        ::close(fd);
    }
}

} // namespace

void SicherErsetzenHakenSetzen(TErsetzenHaken neu)
{
    haken = std::move(neu);
}

bool DateiSicherErsetzen(const QString& ziel, const QByteArray& inhalt, QString& fehler,
                         TZeitenBehalten behalten)
{
    return DateiSicherErsetzen(
        ziel,
        [&inhalt](QIODevice& aus, QString&) { return aus.write(inhalt) == inhalt.size(); },
        fehler, behalten);
}

bool DateiSicherErsetzen(const QString& ziel, const TInhaltSchreiber& schreiber, QString& fehler,
                         TZeitenBehalten behalten)
{
    fehler.clear();
    if (ziel.isEmpty()) {
        fehler = QStringLiteral("Es wurde kein Dateiname angegeben.");
        return false;
    }
    const QString echt = EchterPfad(ziel);
    const QFileInfo echtInfo(echt);
    const QByteArray pfad = QFile::encodeName(echt);
    const QByteArray ordner = QFile::encodeName(echtInfo.absolutePath());
    const QByteArray name = QFile::encodeName(echtInfo.fileName());

    struct stat alt {};
    bool vorhanden = false;
    if (::stat(pfad.constData(), &alt) == 0) {
        vorhanden = true;
        if (S_ISDIR(alt.st_mode)) {
            fehler = SchreibfehlerText(ziel, EISDIR);
            return false;
        }
        if (!S_ISREG(alt.st_mode)) {
            fehler = Meldetext(ziel, QStringLiteral("Das Ziel ist keine gewöhnliche Datei."));
            return false;
        }
        if (!(alt.st_mode & S_IWUSR)) {
            fehler = SchreibfehlerText(ziel, EACCES);
            return false;
        }
    } else if (const int e = errno; e != ENOENT) {
        fehler = SchreibfehlerText(ziel, e);
        return false;
    }

    // The folder stays at hand by its descriptor, so the temporary file can
    // be removed even when the folder is renamed or moved meanwhile.
    const int ordnerFd = ::open(ordner.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);

    // An existing file's content stays private until its own mode is applied;
    // a new file gets the usual mode of new files.
    QByteArray tempPfad;
    const int fd = TempDateiAnlegen(ordner, name, vorhanden ? 0600 : 0666, tempPfad);
    if (fd < 0) {
        fehler = SchreibfehlerText(ziel, errno);
        if (ordnerFd >= 0)
            ::close(ordnerFd);
        return false;
    }

    bool ok = true;
    auto scheitern = [&](const QString& grund) {
        if (ok)
            fehler = Meldetext(ziel, grund);
        ok = false;
    };
    auto misslingen = [&](int e) { scheitern(Grund(ziel, e)); };

    {
        TFdAusgabe aus(fd);
        QString schreibFehler;
        const bool geschrieben = schreiber(aus, schreibFehler);
        if (aus.fehlerNummer != 0)
            misslingen(aus.fehlerNummer);
        else if (!geschrieben) {
            if (schreibFehler.isEmpty())
                scheitern(QStringLiteral("Der Inhalt konnte nicht erzeugt werden."));
            else {
                fehler = schreibFehler;
                ok = false;
            }
        }
    }

    if (ok && vorhanden) {
        if (alt.st_uid != ::geteuid() || alt.st_gid != ::getegid()) {
            // Only root may give the file away; otherwise it becomes ours.
            [[maybe_unused]] const int r = ::fchown(fd, alt.st_uid, alt.st_gid);
        }
        if (Schritt(TErsetzenSchritt::Rechte, [&] { return ::fchmod(fd, alt.st_mode & 07777); }) != 0)
            misslingen(errno);
    }
    if (ok && behalten.art != TZeitenBehalten::Neu && (vorhanden || behalten.art == TZeitenBehalten::Vorgegeben)) {
        const timespec ts[2] = {
            behalten.art == TZeitenBehalten::VomZiel ? alt.st_atim : behalten.zeiten.zugriff,
            behalten.art == TZeitenBehalten::VomZiel ? alt.st_mtim : behalten.zeiten.geschrieben,
        };
        if (Schritt(TErsetzenSchritt::Zeiten, [&] { return ::futimens(fd, ts); }) != 0)
            misslingen(errno);
    }
    if (ok && Schritt(TErsetzenSchritt::Sync, [&] { return ::fsync(fd); }) != 0)
        misslingen(errno);
    if (const int e = Eingriff(TErsetzenSchritt::Schliessen)) {
        ::close(fd);
        misslingen(e);
    } else if (::close(fd) != 0)
        misslingen(errno);
    if (ok && Schritt(TErsetzenSchritt::Umbenennen, [&] { return ::rename(tempPfad.constData(), pfad.constData()); }) != 0)
        misslingen(errno);

    if (!ok) {
        const QByteArray tempName = tempPfad.mid(tempPfad.lastIndexOf('/') + 1);
        if (ordnerFd < 0 || ::unlinkat(ordnerFd, tempName.constData(), 0) != 0)
            ::unlink(tempPfad.constData());
    } else if (ordnerFd >= 0) {
        ::fsync(ordnerFd);   // the rename is done; a failure here cannot be undone anyway
    } else {
        OrdnerSynchronisieren(ordner);
    }
    if (ordnerFd >= 0)
        ::close(ordnerFd);
    return ok;
}
