// Unit Global: the instances of the user sharing the temporary folder, each
// with its own names and lock, and what instances no longer alive left there.
#include "Global.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QLockFile>
#include <QMap>
#include <QPair>
#include <cerrno>
#include <climits>
#include <ctime>
#include <memory>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// The folder is shared by all instances of the user. Every name an
// instance creates in it starts with its process id, "<pid>-", and its lock
// is "<pid>.lock": no two living instances can share a name, and the files
// of an instance that is gone can be told by its id.
static QString EigeneProzessnummer()
{
    return QString::number(qint64(QCoreApplication::applicationPid()));
}

QString TempEigenerName(const QString& name)
{
    return EigeneProzessnummer() + QLatin1Char('-') + name;
}

// This instance's claim on the shared folder, held from TempNamenAnlegen
// to TempAufraeumen.
static std::unique_ptr<QLockFile>& EigeneSperre()
{
    static std::unique_ptr<QLockFile> sperre;
    return sperre;
}

static QString EigenerSperrName()
{
    return EigeneProzessnummer() + QStringLiteral(".lock");
}

void TempSperreFreigeben()
{
    if (EigeneSperre()) {
        EigeneSperre()->unlock();
        EigeneSperre().reset();
    }
}

// The process a name in the folder belongs to: "<pid>.lock" or
// "<pid>-...", 0 for any other name. sperre tells a lock from a file.
static qint64 NamensProzess(const QString& name, bool& sperre)
{
    int ziffern = 0;
    while (ziffern < name.size() && name.at(ziffern) >= QLatin1Char('0') && name.at(ziffern) <= QLatin1Char('9'))
        ++ziffern;
    if (ziffern == 0 || ziffern > 10)
        return 0;
    const QStringView rest = QStringView(name).mid(ziffern);
    if (rest != u".lock" && !rest.startsWith(u'-'))
        return 0;
    const qint64 pid = name.left(ziffern).toLongLong();
    if (pid <= 0 || pid > qint64(INT_MAX))
        return 0;
    sperre = rest.endsWith(u".lock");
    return pid;
}

// Whether a lock is held, decided by the lock itself and not by its
// process id, which the system hands out again: QLockFile keeps an flock
// on its file while the instance runs, and the system drops it when the
// process ends, however it ends. A lock nobody holds is taken here (the
// descriptor returned, -1 otherwise), so that no one else can judge it
// meanwhile. A lock without content is still being taken (QLockFile
// writes only once it holds it) and counts as held, unless it stayed empty
// for a minute; so does anything that cannot be checked.
static int VerwaisteSperreNehmen(const QString& pfad)
{
    const int fd = ::open(QFile::encodeName(pfad).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st;
    bool frei = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (frei && st.st_size == 0) {
        const qint64 alter = qint64(::time(nullptr)) - qint64(st.st_mtime);
        frei = alter >= 60;
    }
    if (!frei || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Removes a lock taken by VerwaisteSperreNehmen, unless its name meanwhile
// belongs to a new file (a new instance with the same id).
static void VerwaisteSperreLoeschen(const QString& pfad, int fd)
{
    const QByteArray name = QFile::encodeName(pfad);
    struct stat gehalten, jetzt;
    if (::fstat(fd, &gehalten) == 0 && ::lstat(name.constData(), &jetzt) == 0 && gehalten.st_dev == jetzt.st_dev &&
        gehalten.st_ino == jetzt.st_ino)
        ::unlink(name.constData());
    ::close(fd);
}

static bool ProzessLebt(qint64 pid)
{
    if (pid <= 0 || pid > qint64(INT_MAX))
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// Counts the locks of other living instances and removes everything that
// instances no longer alive left in the folder (undo steps, transfer and
// working files, locks), never a file of a living one. This instance's own
// files are left alone.
static int InstanzenPruefen()
{
    // Without a folder of our own there is nobody to count, and a foreign
    // folder's files are never removed.
    if (TempVerzeichnis.isEmpty())
        return 0;
    const QDir ordner(TempVerzeichnis);
    if (!ordner.exists())
        return 0;

    struct TInstanzNamen {
        QStringList sperren;
        QStringList dateien;
    };
    QMap<qint64, TInstanzNamen> instanzen;
    const QStringList namen = ordner.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : namen) {
        bool sperre = false;
        if (const qint64 pid = NamensProzess(name, sperre))
            (sperre ? instanzen[pid].sperren : instanzen[pid].dateien) << name;
    }

    const qint64 selbst = QCoreApplication::applicationPid();
    const QString eigene = EigenerSperrName();
    int anzahl = 0;
    for (auto it = instanzen.cbegin(); it != instanzen.cend(); ++it) {
        bool lebt = false;
        QList<QPair<QString, int>> genommen;
        for (const QString& sperre : it->sperren) {
            if (sperre == eigene)
                continue;
            const QString pfad = ordner.filePath(sperre);
            const int fd = VerwaisteSperreNehmen(pfad);
            if (fd < 0) {
                lebt = true;
                ++anzahl;
            } else {
                genommen.append({pfad, fd});
            }
        }
        // Files without any lock: an instance that could not take one is
        // kept for as long as its process runs.
        if (it->sperren.isEmpty() && ProzessLebt(it.key()))
            lebt = true;
        if (!lebt && it.key() != selbst)
            for (const QString& datei : it->dateien)
                ::unlink(QFile::encodeName(ordner.filePath(datei)).constData());
        for (const auto& [pfad, fd] : genommen) {
            if (lebt)
                ::close(fd);
            else
                VerwaisteSperreLoeschen(pfad, fd);
        }
    }
    return anzahl;
}

// Every file of this instance in the folder (not its locks): at start the
// leftovers of an earlier process with the same id, at close its own.
static void EigeneDateienLoeschen()
{
    if (TempVerzeichnis.isEmpty())
        return;
    const QDir ordner(TempVerzeichnis);
    const qint64 selbst = QCoreApplication::applicationPid();
    const QStringList namen = ordner.entryList({EigeneProzessnummer() + QStringLiteral("-*")},
                                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : namen) {
        bool sperre = false;
        if (NamensProzess(name, sperre) == selbst && !sperre)
            ::unlink(QFile::encodeName(ordner.filePath(name)).constData());
    }
}

int EigeneFensterZaehlen()
{
    return InstanzenPruefen();
}

void TempInstanzAnmelden()
{
    // A lock file with our own process id, and any file named with it, can
    // only be left over from a dead process that had the same id. QLockFile
    // creates the lock exclusively.
    const QString sperrPfad = TempVerzeichnis + EigenerSperrName();
    QFile::remove(sperrPfad);
    auto sperre = std::make_unique<QLockFile>(sperrPfad);
    // Never stale by age: an instance may run for days.
    sperre->setStaleLockTime(0);
    if (sperre->tryLock(0))
        EigeneSperre() = std::move(sperre);
    EigeneDateienLoeschen();
    // What killed or crashed instances left behind.
    InstanzenPruefen();
}

int TempInstanzAbmelden()
{
    EigeneDateienLoeschen();
    const int andere = InstanzenPruefen();
    TempSperreFreigeben();
    return andere;
}
