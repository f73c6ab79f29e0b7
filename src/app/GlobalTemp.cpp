// Unit Global: the temporary folder, private to the user, and the names of
// the program's files in it. How the instances sharing it keep apart is in
// GlobalInstanzen.cpp.
#include "Global.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "Meldung.h"

QString TempVerzeichnis;
QString RueckgaengigPrefix;
QString TempBitmapDatei;
QString TempOptiDatei;

int Zeitnummer()
{
    return int(qint64(QTime::currentTime().msecsSinceStartOfDay()) * 10 / 864);
}

QString TempOrdnerPfad()
{
    return TempPfad() + QStringLiteral("Zelvano-") + QString::number(qulonglong(::getuid())) + QLatin1Char('/');
}

// The path without trailing separators: lstat of "link/" would follow the link.
static QByteArray OhneTrenner(const QString& ordner)
{
    QByteArray name = QFile::encodeName(ordner);
    while (name.size() > 1 && name.endsWith('/'))
        name.chop(1);
    return name;
}

QString TempOrdnerPruefen(const QString& ordner, uint eigner)
{
    struct stat st;
    if (ordner.isEmpty() || ::lstat(OhneTrenner(ordner).constData(), &st) != 0)
        return QStringLiteral("Er ist nicht vorhanden.");
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("An seiner Stelle steht ein symbolischer Verweis.");
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("An seiner Stelle steht eine Datei.");
    if (st.st_uid != uid_t(eigner))
        return QStringLiteral("Er gehört einem anderen Benutzer.");
    if (st.st_mode & 077)
        return QStringLiteral("Andere Benutzer haben Zugriff auf ihn.");
    return {};
}

bool TempDateiAnlegen(const QString& pfad)
{
    if (pfad.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(pfad);
    // unlink removes a link itself, never what it points to.
    if (::unlink(name.constData()) != 0 && errno != ENOENT)
        return false;
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool TempNamenAnlegen()
{
    TempSperreFreigeben();
    TempVerzeichnis.clear();
    RueckgaengigPrefix.clear();
    TempBitmapDatei.clear();
    TempOptiDatei.clear();

    // The folder is the user's own, like the temporary folder inside a user
    // profile: undo steps hold the user's pictures, and nobody else may
    // plant files or links in it.
    const QString ordner = TempOrdnerPfad();
    QDir().mkpath(TempPfad());
    QString grund;
    if (::mkdir(OhneTrenner(ordner).constData(), 0700) == 0)
        ::chmod(OhneTrenner(ordner).constData(), 0700);   // whatever the umask took away
    else if (errno != EEXIST)
        grund = QStringLiteral("Er kann nicht angelegt werden (%1).").arg(QString::fromLocal8Bit(std::strerror(errno)));
    if (grund.isEmpty())
        grund = TempOrdnerPruefen(ordner, uint(::getuid()));
    if (!grund.isEmpty()) {
        Meldung(QStringLiteral("Der Ordner für temporäre Dateien „%1“ kann nicht sicher verwendet werden. %2\r\r"
                               "Bilder werden trotzdem angezeigt, aber Rückgängig ist in dieser Sitzung nicht "
                               "möglich. Wird der Ordner entfernt, legt das Programm ihn beim nächsten Start "
                               "neu an.")
                    .arg(ordner, grund),
                TMeldungArt::Warnung, mbOk);
        return false;
    }

    TempVerzeichnis = ordner;
    RueckgaengigPrefix = TempVerzeichnis + TempEigenerName(QString::number(Zeitnummer()) + QStringLiteral("Back"));
    TempBitmapDatei = TempVerzeichnis + TempEigenerName(QString::number(Zeitnummer()) + QStringLiteral("Temp.bmp"));
    TempOptiDatei = TempVerzeichnis + TempEigenerName(QString::number(Zeitnummer()) + QStringLiteral("Opti"));

    TempInstanzAnmelden();
    return true;
}

void TempAufraeumen()
{
    if (!RueckgaengigPrefix.isEmpty())
        for (int k = 1; k <= RueckgaengigAnzahl; ++k)
            QFile::remove(RueckgaengigDatei(k));
    RueckgaengigAnzahl = 0;
    if (!TempBitmapDatei.isEmpty())
        QFile::remove(TempBitmapDatei);
    if (!TempOptiDatei.isEmpty())
        QFile::remove(TempOptiDatei);
    // Whatever else carries our id (a working file a failed step left).
    const int andere = TempInstanzAbmelden();
    // Only an empty folder goes: whatever is left belongs to someone else.
    if (andere == 0 && !TempVerzeichnis.isEmpty() && QFileInfo(TempVerzeichnis).isDir())
        QDir().rmdir(TempVerzeichnis);
}
