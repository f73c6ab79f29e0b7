// Unit Global: the image-format table, the road of an image into and out of
// the imaging control, the temporary folder and the small shared helpers.
#include "Global.h"
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImageReader>
#include <QLocale>
#include <QLockFile>
#include <QMap>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <climits>
#include <memory>
#include <new>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include "Einstellungen.h"
#include "ExifDaten.h"
#include "gear/Gear.h"
#include "gear/GearHilfen.h"
#include "Loeschen.h"
#include "Meldung.h"
#include "Version.h"
#include "ZelvanoMain.h"
#include "Symbole.h"
#include "widgets/PngImageList.h"
#include "gear/GearBmp.h"
#include "pixelops/Bitmap.h"

// ======================================================================
// Image-format table
// ======================================================================

QString FormatTabelle[FormatZeilenAnzahl];
QString BildMaske;

void FormatTabelleAufbauen()
{
    // Characters 1-23 exactly, then the control's save id where the format
    // can be written.
    static const char* const zeilen[FormatZeilenAnzahl] = {
        "BMP Ungepackt    1111L 2",
        "BRK Brooktrout   0001L 327683",
        "CAL CALS Gepackt 0001L 4",
        "G3  CCITT G3     0001L 196634",
        "G4  CCITT G4     0001L 262170",
        "CLP Win Clipboard1111L 5",
        "CUT Halo-CUT     0100L ",
        "DCX Gepackt      1111LM8",
        "EPS PostScript   0001L ",
        "GIF Gepackt      0111LM14",
        "GX2 Showpartner  0110L ",
        "ICO Windows-Icon 0111L ",
        "IFF Gepackt      1111L 18",
        "IMG GEM Bitmap   0101L ",
        "ICA IOCA         0110L ",
        "JPG JPEG-Bitmap  1100L 21",
        "JPG Progressive  1100  ",
        "KFX Kofax        0001L ",
        "LV  LaserView    0001L ",
        "MAC MacPaint     0001L ",
        "MSP MS Paint     0001L ",
        "PBM ASCII        0001L 28",
        "PBM RAW          0001  65564",
        "PCD Photo CD     1000LM",
        "PCT Pict         1111LM30",
        "PCX Gepackt      1111LM31",
        "PGM Graymap      0100L ",
        "PNG Ping         1111LM33",
        "PNM Ungepackt    1101L ",
        "PPM Ungepackt    1000L ",
        "PSD Photoshop    1100L 36",
        "RAS Sun Raster   1101L 37",
        "RLE Gepackt      0110L 458754",
        "SGI SGI- Bitmap  0011L 38",
        "TGA Targa        1100L 39",
        "TIF LZW gepackt  1111LM524328",
        "TIF Ungepackt    1111  40",
        "TIF JPG gepackt  1111  393256",
        "TIF Huffman      0001  131112",
        "TIF Fax G3       0001  196648",
        "TIF Fax G3 2D    0001  327720",
        "TIF Fax G4       0001  262184",
        "TIF Pack Bits    0001  65576",
        "WMF Windows Meta 1111L ",
        "WPG Gepackt      0111L ",
        "XBM X-Win Bitmap 0001LM43",
        "XPM X-Win Pixmap 1111LM45",
        "XWD X-Win Dump   1111L 47",
    };
    for (int i = 0; i < FormatZeilenAnzahl; ++i) {
        // A row without save id ends with the blank of character 23; the
        // fixed part is always 23 characters long.
        QString zeile = QString::fromLatin1(zeilen[i]);
        if (zeile.size() < 23)
            zeile = zeile.leftJustified(23, QLatin1Char(' '));
        FormatTabelle[i] = zeile;
    }
}

QString FormatSchluessel(const QString& formatZeile)
{
    return formatZeile.left(17);
}

// The row whose trimmed key equals the trimmed argument, or -1. Letter case
// counts. The later of two matching rows would win; the keys are unique.
static int FormatZeileSuchen(const QString& schluessel)
{
    if (FormatTabelle[0].isEmpty())
        FormatTabelleAufbauen();
    const QString gesucht = schluessel.trimmed();
    if (gesucht.isEmpty())
        return -1;
    int gefunden = -1;
    for (int i = 0; i < FormatZeilenAnzahl; ++i)
        if (FormatSchluessel(FormatTabelle[i]).trimmed() == gesucht)
            gefunden = i;
    return gefunden;
}

bool FormatZeileGueltig(const QString& schluessel)
{
    return FormatZeileSuchen(schluessel) >= 0;
}

int FormatSpeicherId(const QString& schluessel)
{
    const int i = FormatZeileSuchen(schluessel);
    if (i < 0)
        return 0;
    bool ok = false;
    const int id = FormatTabelle[i].mid(23, 10).trimmed().toInt(&ok);
    return ok ? id : 0;
}

QString FormatFarbtiefen(const QString& schluessel)
{
    const int i = FormatZeileSuchen(schluessel);
    return i < 0 ? QString() : FormatTabelle[i].mid(17, 4).trimmed();
}

// Flags in the row's order: 24, 8, 4, 1 bits per pixel.
static constexpr int FlagTiefe[4] = {24, 8, 4, 1};

int FormatHoechsteFarbtiefe(const QString& schluessel)
{
    const QString flags = FormatFarbtiefen(schluessel);
    for (int k = 0; k < 4 && k < flags.size(); ++k)
        if (flags.at(k) == QLatin1Char('1'))
            return FlagTiefe[k];
    return 0;
}

int FormatNiedrigsteFarbtiefe(const QString& schluessel)
{
    const QString flags = FormatFarbtiefen(schluessel);
    for (int k = std::min<int>(3, int(flags.size()) - 1); k >= 0; --k)
        if (flags.at(k) == QLatin1Char('1'))
            return FlagTiefe[k];
    return 0;
}

QString BildMaskeAufbauen()
{
    if (FormatTabelle[0].isEmpty())
        FormatTabelleAufbauen();
    QString maske;
    for (const QString& zeile : FormatTabelle)
        if (zeile.size() > 21 && zeile.at(21) == QLatin1Char('L'))
            maske += QStringLiteral("*.") + zeile.left(3).trimmed() + QLatin1Char(';');
    maske += QStringLiteral("*.JPEG");
    BildMaske = maske;
    return maske;
}

void FormatListeFuellen(QTreeWidget* liste, int modus, bool mitBildZeile, bool mitAlleZeile)
{
    if (!liste)
        return;
    if (FormatTabelle[0].isEmpty())
        FormatTabelleAufbauen();

    liste->clear();
    liste->setColumnCount(3);
    liste->setHeaderHidden(true);
    liste->setRootIsDecorated(false);
    // The style's minimum section size would widen the narrow mark column.
    liste->header()->setMinimumSectionSize(0);
    liste->header()->setStretchLastSection(false);
    const int rollbalken = liste->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, liste);
    liste->setColumnWidth(0, DpiSkalieren(24, 96));
    liste->setColumnWidth(1, DpiSkalieren(40, 96));
    liste->setColumnWidth(2, std::max(0, liste->contentsRect().width() - DpiSkalieren(65, 96) - rollbalken));

    auto zeileAnfuegen = [liste](const QString& typ, const QString& beschreibung) {
        auto* eintrag = new QTreeWidgetItem(liste);
        eintrag->setText(0, QString());
        eintrag->setText(1, typ);
        eintrag->setText(2, beschreibung);
        eintrag->setTextAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
        eintrag->setTextAlignment(2, Qt::AlignLeft | Qt::AlignVCenter);
    };

    liste->setUpdatesEnabled(false);
    if (mitBildZeile)
        zeileAnfuegen(QStringLiteral("Alle"), QStringLiteral("Bilddateien"));
    if (mitAlleZeile)
        zeileAnfuegen(QStringLiteral("Alle"), QStringLiteral("Dateien *.*"));
    for (const QString& zeile : FormatTabelle) {
        bool nehmen = false;
        if (modus == 1)
            nehmen = zeile.size() > 21 && zeile.at(21) == QLatin1Char('L');
        else if (modus == 0)
            nehmen = zeile.size() > 23;
        if (nehmen)
            zeileAnfuegen(zeile.mid(0, 3), zeile.mid(4, 13));
    }
    liste->setUpdatesEnabled(true);

    if (QTreeWidgetItem* erster = liste->topLevelItem(0)) {
        liste->setCurrentItem(erster);
        erster->setSelected(true);
    }
}

// ======================================================================
// Loading and transfer
// ======================================================================

const QImage& FehlerBild()
{
    static const QImage bild = [] {
        QImage zeichnung(128, 128, QImage::Format_RGB32);
        zeichnung.fill(Qt::white);
        QPainter p(&zeichnung);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(200, 0, 0), 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(24, 16, 104, 96);
        p.drawLine(104, 16, 24, 96);
        p.setPen(QPen(QColor(120, 120, 120), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(1, 1, 125, 125);
        // Text needs the font database, which only a GUI application has.
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QFont schrift = p.font();
            schrift.setPixelSize(18);
            schrift.setBold(true);
            p.setFont(schrift);
            p.setPen(QColor(200, 0, 0));
            p.drawText(QRect(0, 100, 128, 24), Qt::AlignCenter, QStringLiteral("Fehler"));
        }
        p.end();
        return zeichnung.convertToFormat(QImage::Format_BGR888);
    }();
    return bild;
}

// An icon drawn on the background colour, so its transparent pixels show
// that colour; a null image when the file is no readable icon.
static QImage IconAufHintergrund(const QString& pfad, QRgb hintergrund)
{
    QImageReader leser(pfad, "ico");
    leser.setDecideFormatFromContent(false);
    const QImage icon = leser.read();
    if (icon.isNull() || icon.width() <= 0 || icon.height() <= 0)
        return {};
    QString fehler;
    return GearAufHintergrund(icon, hintergrund, fehler);
}

bool BildLadefehler = false;
bool BildBeschaedigt = false;

bool NichtGeladenMelden(const QString& folge)
{
    if (!BildLadefehler || BildQuelle != BildQuelleDatei)
        return false;
    const QString datei = BildIndex >= 0 && BildIndex < BildListe.size() ? BildListe.at(BildIndex) : QString();
    Meldung(QStringLiteral("Das Bild ") + datei + QStringLiteral(" konnte nicht geladen werden.") + QStringLiteral("\r\r")
                + folge,
            TMeldungArt::Warnung, mbOk);
    return true;
}

bool LadeGearBild(TGear& gear, const QString& pfad, TExifDaten* metadaten)
{
    AktKommentar.clear();
    TLadeAngaben angaben;
    const bool geladen = LadeGearBild(gear, pfad, HgFarbeRgb(), metadaten, angaben);
    AktKommentar = angaben.kommentar;
    if (angaben.datum.isValid())
        AktDateiDatum = angaben.datum;
    return geladen;
}

bool LadeGearBild(TGear& gear, const QString& pfad, QRgb hintergrund, TExifDaten* metadaten, TLadeAngaben& angaben)
{
    gear.DelImage();
    gear.SetTransparent(0);
    gear.SetPage(1);
    gear.SetAspectRatio(1);
    gear.SetHintergrund(hintergrund);   // a bitmap's transparent parts, as an icon's
    angaben = TLadeAngaben();
    if (metadaten)
        metadaten->Leeren();

    const QFileInfo info(pfad);
    if (pfad.isEmpty() || !info.isFile()) {
        gear.SetPicture(FehlerBild());
        return false;
    }

    bool geladen;
    if (info.suffix().toUpper() == QLatin1String("ICO")) {
        QImage bitmap;
        try {
            bitmap = IconAufHintergrund(pfad, hintergrund);
        } catch (...) {
            bitmap = QImage();
        }
        geladen = !bitmap.isNull();
        gear.SetPicture(geladen ? bitmap : FehlerBild());
    } else {
        gear.LoadImage(pfad);
        geladen = gear.ErrCount() == 0;
        if (!geladen)
            gear.SetPicture(FehlerBild());
    }

    angaben.datum = info.lastModified();

    // The metadata reader reads only the file's metadata segments; a caller
    // that needs more than the comment gets them here, so the file is not
    // opened for them a second time.
    TExifDaten eigener;
    TExifDaten& leser = metadaten ? *metadaten : eigener;
    if (leser.Lesen(pfad) && leser.KommentarGefunden())
        angaben.kommentar = leser.Kommentar();
    return geladen;
}

// A palette picture at 24 bits through its colour table, as a 24-bit read of
// the BMP file written at its own depth gives it: the table's alpha plays no
// part, and an index beyond the table reads as black.
static QImage PaletteAls24Bit(const QImage& bild)
{
    uint8_t tabelle[256][3] = {};
    const QList<QRgb> farben = bild.colorTable();
    for (int i = 0; i < farben.size() && i < 256; ++i) {
        tabelle[i][0] = uint8_t(qBlue(farben[i]));
        tabelle[i][1] = uint8_t(qGreen(farben[i]));
        tabelle[i][2] = uint8_t(qRed(farben[i]));
    }
    QImage aus(bild.size(), QImage::Format_BGR888);
    if (aus.isNull())
        return {};
    const int breite = bild.width();
    for (int y = 0; y < bild.height(); ++y) {
        const uint8_t* q = bild.constScanLine(y);
        uint8_t* z = aus.scanLine(y);
        for (int x = 0; x < breite; ++x, z += 3)
            std::memcpy(z, tabelle[q[x]], 3);
    }
    return aus;
}

// Read by worker threads too.
static std::atomic<bool> g_transferStoerung{false};

void TransferStoerungSetzen(bool an)
{
    g_transferStoerung = an;
}

bool GearZuBitmap(TGear& gear, TBitmap& bmp)
{
    if (GearZuBitmapOhneMeldung(gear, bmp))
        return true;
    Meldung(QStringLiteral("Fehler beim Bitmaptransfer"), TMeldungArt::Warnung, mbOk);
    return false;
}

bool GearZuBitmapOhneMeldung(TGear& gear, TBitmap& bmp)
{
    // The picture is handed over in memory. A 24-bit picture is shared with
    // the control rather than copied; whichever side changes first gets its
    // own rows then.
    try {
        if (g_transferStoerung)
            throw std::bad_alloc();
        const QImage bild = gear.Picture();
        if (bild.isNull() || bild.width() <= 0 || bild.height() <= 0)
            return false;
        QImage bgr;
        if (bild.format() == QImage::Format_BGR888)
            bgr = bild;
        else if (bild.format() == QImage::Format_Indexed8)
            bgr = PaletteAls24Bit(bild);
        else
            bgr = bild.convertToFormat(QImage::Format_BGR888);
        if (bgr.isNull())
            return false;
        bmp.Assign(bgr);
        return true;
    } catch (...) {
        return false;
    }
}

// Reduces the control's picture to 1, 4 or 8 bits; any other depth is left.
static void FarbtiefeReduzieren(TGear& gear, int tiefe)
{
    switch (tiefe) {
    case 1:
        gear.DiffusionMono();
        break;
    case 4:
        gear.SetOctreeBits(4);
        gear.SetOctreeColors(16);
        gear.Octree(1);
        break;
    case 8:
        gear.SetOctreeBits(8);
        gear.SetOctreeColors(256);
        gear.Octree(1);
        break;
    default:
        break;
    }
}

void FarbtiefeVorbereiten(TGear& gear, int tiefe)
{
    const int aktuell = gear.ImageBitsPerPixel();
    if (aktuell <= 0)
        return;   // no picture, nothing to fit
    if (tiefe < aktuell)
        FarbtiefeReduzieren(gear, tiefe);
    else if (aktuell < tiefe)
        gear.PromoteColor(tiefe);
}

void FormatFarbtiefeVorbereiten(TGear& gear, const QString& schluessel)
{
    const int hoechste = FormatHoechsteFarbtiefe(schluessel);
    const int niedrigste = FormatNiedrigsteFarbtiefe(schluessel);
    if (hoechste <= 0 || niedrigste <= 0)
        return;   // not a row of the table
    const int aktuell = gear.ImageBitsPerPixel();
    if (aktuell <= 0)
        return;
    if (hoechste < aktuell)
        FarbtiefeReduzieren(gear, hoechste);
    else if (aktuell < niedrigste)
        gear.PromoteColor(niedrigste);
}

// ======================================================================
// Temporary folder
// ======================================================================

QString TempVerzeichnis;
QString RueckgaengigPrefix;
QString TempBitmapDatei;
QString TempOptiDatei;
int RueckgaengigAnzahl = 0;
bool RueckgaengigVerworfen = false;

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

static void SperreFreigeben()
{
    if (EigeneSperre()) {
        EigeneSperre()->unlock();
        EigeneSperre().reset();
    }
}

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

bool TempNamenAnlegen()
{
    SperreFreigeben();
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
    return true;
}

int EigeneFensterZaehlen()
{
    return InstanzenPruefen();
}

void TempAufraeumen()
{
    if (!RueckgaengigPrefix.isEmpty())
        for (int k = 1; k <= RueckgaengigAnzahl; ++k)
            QFile::remove(RueckgaengigPrefix + QString::number(k));
    RueckgaengigAnzahl = 0;
    if (!TempBitmapDatei.isEmpty())
        QFile::remove(TempBitmapDatei);
    if (!TempOptiDatei.isEmpty())
        QFile::remove(TempOptiDatei);
    // Whatever else carries our id (a working file a failed step left).
    EigeneDateienLoeschen();

    const int andere = InstanzenPruefen();
    SperreFreigeben();
    // Only an empty folder goes: whatever is left belongs to someone else.
    if (andere == 0 && !TempVerzeichnis.isEmpty() && QFileInfo(TempVerzeichnis).isDir())
        QDir().rmdir(TempVerzeichnis);
}

// ======================================================================
// Shared helpers
// ======================================================================

QString SpezialOrdnerPfad(int csidl)
{
    if (csidl != CSIDL_PERSONAL)
        return {};
    const QString pfad = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return pfad.isEmpty() ? QString() : MitTrenner(pfad);
}

QString TempPfad()
{
    return MitTrenner(QDir::tempPath());
}

bool DateinameGueltig(const QString& text)
{
    static const QString verboten = QStringLiteral("\"*/:<>?\\|");
    for (const QChar c : text)
        if (verboten.contains(c))
            return false;
    return true;
}

qint64 DateiGroesse(const QString& pfad)
{
    if (pfad.isEmpty())
        return -1;
    const QFileInfo info(pfad);
    if (!info.exists())
        return -1;
    return info.isDir() ? 0 : info.size();
}

// A value with at most `stellen` decimals, trailing zero decimals dropped,
// separators of the user's locale ("#,##.#").
static QString ZahlOhneNullen(double wert, int stellen)
{
    const QLocale ort;
    QString text = ort.toString(wert, 'f', stellen);
    const QString komma = ort.decimalPoint();
    const int k = int(text.lastIndexOf(komma));
    if (k >= 0) {
        const QString null = ort.zeroDigit();
        while (text.endsWith(null) && text.size() > k + komma.size())
            text.chop(null.size());
        if (text.endsWith(komma))
            text.chop(komma.size());
    }
    return text;
}

QString GroesseAlsText(qint64 n)
{
    if (n <= 0)
        return QStringLiteral("0 Byte");
    if (n <= 1023)
        return QString::number(n) + QStringLiteral(" Byte");
    if (n <= 1048575)
        return ZahlOhneNullen(double(n) / 1024.0, 1) + QStringLiteral(" KB");
    return ZahlOhneNullen(double(n) / 1048576.0, 2) + QStringLiteral(" MB");
}

QString MitTrenner(const QString& ordner)
{
    // An empty folder stays empty: it must not turn into the root folder.
    if (ordner.isEmpty() || ordner.endsWith(QLatin1Char('/')))
        return ordner;
    return ordner + QLatin1Char('/');
}

QString PfadVerbinden(const QString& ordner, const QString& name)
{
    return MitTrenner(ordner) + name;
}

void Tausche(int& a, int& b)
{
    std::swap(a, b);
}

void WarteMs(uint32_t ms)
{
    QElapsedTimer uhr;
    uhr.start();
    if (!QCoreApplication::instance() || !QAbstractEventDispatcher::instance()) {
        QThread::msleep(ms);
        return;
    }
    // The timer wakes the blocking event wait at the deadline, so the wait
    // handles input without spinning the processor.
    QTimer wecker;
    wecker.setSingleShot(true);
    wecker.setTimerType(Qt::PreciseTimer);
    while (quint64(uhr.elapsed()) <= quint64(ms)) {
        if (!wecker.isActive()) {
            const quint64 rest = quint64(ms) - quint64(uhr.elapsed()) + 1;
            wecker.start(int(std::min<quint64>(rest, quint64(INT_MAX))));
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        // A wait inside the handling of a posted event (the slide show
        // started as its window activates, under a modal loop opened by a
        // click) does not get the posted events from the loop above, among
        // them every repaint: they are handed out here.
        QCoreApplication::sendPostedEvents();
    }
}

void SetzeArbeitsModus(bool an)
{
    if (!Statusleiste || !frmZelvanoMain)
        return;
    TfrmZelvanoMain* f = frmZelvanoMain;
    // The display keeps its size while the bars change places.
    f->AnzeigeAusrichten(false);
    if (an) {
        if (f->ProgressBar1) {
            f->ProgressBar1->setRange(0, 100);
            f->ProgressBar1->setValue(0);
        }
        if (f->StatusBar1)
            f->StatusBar1->hide();
        if (f->panUnten)
            f->panUnten->show();
        if (f->Gear1)
            f->Gear1->SetStatusEvent(true);
    } else {
        if (f->ProgressBar1)
            f->ProgressBar1->setValue(0);
        if (f->panUnten)
            f->panUnten->hide();
        if (f->StatusBar1)
            f->StatusBar1->show();
        if (f->Gear1)
            f->Gear1->SetStatusEvent(false);
    }
    f->AnzeigeAusrichten(true);
}

QString ProgrammVersion(int teile)
{
    const int stuecke[4] = {ZELVANO_VERSION_MAJOR + 0, ZELVANO_VERSION_MINOR + 0, ZELVANO_VERSION_PATCH + 0,
                            ZELVANO_VERSION_TWEAK + 0};
    const int n = std::clamp(teile, 1, 4);
    QStringList text;
    for (int i = 0; i < n; ++i)
        text << QString::number(stuecke[i]);
    return text.join(QLatin1Char('.'));
}

// Logical dots per inch of the primary screen; 96 without one.
static int BildschirmDpi()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 96;
    const QScreen* schirm = QGuiApplication::primaryScreen();
    if (!schirm)
        return 96;
    const int dpi = qRound(schirm->logicalDotsPerInch());
    return dpi > 0 ? dpi : 96;
}

int DpiSkalieren(int wert, int teiler)
{
    return DpiSkalieren(wert, teiler, BildschirmDpi());
}

int DpiSkalieren(int wert, int teiler, int dpi)
{
    // value * dpi / divisor, a half rounded away from zero; -1 for a zero
    // divisor or a result out of range.
    if (teiler == 0)
        return -1;
    qint64 zaehler = qint64(wert) * qint64(dpi);
    qint64 nenner = teiler;
    const bool negativ = (zaehler < 0) != (nenner < 0);
    zaehler = zaehler < 0 ? -zaehler : zaehler;
    nenner = nenner < 0 ? -nenner : nenner;
    qint64 ergebnis = (2 * zaehler + nenner) / (2 * nenner);
    if (negativ)
        ergebnis = -ergebnis;
    if (ergebnis > INT_MAX || ergebnis < INT_MIN)
        return -1;
    return int(ergebnis);
}

int BilderListenGroesse(int dpi)
{
    if (dpi < 120)
        return 20;
    if (dpi < 144)
        return 25;
    if (dpi < 168)
        return 30;
    if (dpi < 192)
        return 35;
    return 40;
}

// Qt already scales logical sizes to device pixels; the icon set follows the
// density the screen really has.
static int WirksameDpi()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 96;
    const QScreen* schirm = QGuiApplication::primaryScreen();
    if (!schirm)
        return 96;
    const int dpi = qRound(schirm->logicalDotsPerInch() * schirm->devicePixelRatio());
    return dpi > 0 ? dpi : 96;
}

int BilderListenGroesse()
{
    return BilderListenGroesse(WirksameDpi());
}

// Before the main window exists (a dialog on its own), a list of the same
// icons that lives as long as the application.
static TPngImageList* ErsatzBilderListe()
{
    static QPointer<TPngImageList> liste;
    if (!liste && QCoreApplication::instance())
        liste = SymbolListeLaden(BilderListenGroesse(), QCoreApplication::instance());
    return liste;
}

TPngImageList* MenueBilderListe()
{
    return frmZelvanoMain ? frmZelvanoMain->MenueListe(BilderListenGroesse()) : ErsatzBilderListe();
}

TPngImageList* ButtonBilderListe()
{
    return frmZelvanoMain ? frmZelvanoMain->ButtonListe(BilderListenGroesse()) : ErsatzBilderListe();
}

bool DateiSchreibgeschuetzt(const QString& pfad)
{
    if (pfad.isEmpty())
        return true;
    return !(QFile::permissions(pfad) & QFileDevice::WriteOwner);
}

// ======================================================================
// Undo store
// ======================================================================

// Set after the first failed push of the current image, so that a full or
// vanished temporary folder warns once instead of at every edit.
static bool g_rueckgaengigGewarnt = false;

namespace {

// The control writes the program's own files without a temporary copy while
// this lives.
class TSicherSchreibenAus {
public:
    explicit TSicherSchreibenAus(TGear& gear) : m_gear(gear), m_vorher(gear.SicherSchreiben())
    {
        gear.SetSicherSchreiben(false);
    }
    ~TSicherSchreibenAus() { m_gear.SetSicherSchreiben(m_vorher); }
    TSicherSchreibenAus(const TSicherSchreibenAus&) = delete;
    TSicherSchreibenAus& operator=(const TSicherSchreibenAus&) = delete;

private:
    TGear& m_gear;
    bool m_vorher;
};

// The hourglass while it lives; nothing without a GUI application.
class TWarteCursor {
public:
    TWarteCursor() : m_aktiv(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_aktiv)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TWarteCursor()
    {
        if (m_aktiv)
            QGuiApplication::restoreOverrideCursor();
    }
    TWarteCursor(const TWarteCursor&) = delete;
    TWarteCursor& operator=(const TWarteCursor&) = delete;

private:
    bool m_aktiv;
};

}  // namespace

static QString RueckgaengigDatei(int k)
{
    return RueckgaengigPrefix + QString::number(k);
}

bool RueckgaengigSpeichern()
{
    if (MaxRueck <= 0)
        return true;
    TfrmZelvanoMain* f = frmZelvanoMain;
    if (!f || !f->Gear1 || RueckgaengigPrefix.isEmpty())
        return false;
    TGear& gear = *f->Gear1;

    // The new step is written under the next free number first; only once
    // it is known to be on disk are the oldest dropped and the rest moved
    // down. A failed write thus leaves the store exactly as it was and the
    // count never names a missing file.
    const int neu = RueckgaengigAnzahl + 1;
    const QString neuDatei = RueckgaengigDatei(neu);
    bool ok = false;
    {
        // Setting and cursor go back on every way out, exceptions included.
        TSicherSchreibenAus ohneKopie(gear);
        TWarteCursor warten;
        try {
            // The name is taken exclusively first, so the control writes
            // into a fresh file of ours and never through a planted link.
            if (TempDateiAnlegen(neuDatei)) {
                gear.SetPicture(f->OriginalBild);
                FarbtiefeVorbereiten(gear, BildFarbtiefe);
                gear.SetSaveFormat(2);
                gear.SaveImage(neuDatei);
                ok = gear.ErrCount() <= 0 && QFileInfo(neuDatei).isFile() && QFileInfo(neuDatei).size() > 0;
            }
        } catch (...) {
            ok = false;
        }
    }
    if (!ok) {
        QFile::remove(neuDatei);
        if (!g_rueckgaengigGewarnt) {
            g_rueckgaengigGewarnt = true;
            Meldung(QStringLiteral("Der Rückgängig-Schritt konnte nicht gespeichert werden."), TMeldungArt::Warnung,
                    mbOk);
        }
        return false;
    }

    if (RueckgaengigAnzahl < MaxRueck) {
        RueckgaengigAnzahl = neu;
        return true;
    }
    // Full (or MaxRueck lowered meanwhile): drop the oldest d + 1 and move
    // the newest MaxRueck down to 1 .. MaxRueck.
    const int d = RueckgaengigAnzahl - MaxRueck;
    for (int k = 1; k <= d + 1; ++k)
        QFile::remove(RueckgaengigDatei(k));
    for (int j = 1; j <= MaxRueck; ++j) {
        const QString ziel = RueckgaengigDatei(j);
        QFile::remove(ziel);   // rename never overwrites
        QFile::rename(RueckgaengigDatei(d + 1 + j), ziel);
    }
    RueckgaengigAnzahl = MaxRueck;
    RueckgaengigVerworfen = true;
    return true;
}

void RueckgaengigSchrittVerwerfen(bool geschrieben)
{
    // With a full store the count did not grow, but the newest step is still
    // the one just written.
    if (!geschrieben || MaxRueck <= 0 || RueckgaengigAnzahl <= 0 || RueckgaengigPrefix.isEmpty())
        return;
    const QString datei = RueckgaengigDatei(RueckgaengigAnzahl);
    if (QFileInfo::exists(datei))
        DateiLoeschen(datei);
    --RueckgaengigAnzahl;
}

void RueckgaengigLoeschen()
{
    if (!RueckgaengigPrefix.isEmpty())
        for (int k = 1; k <= RueckgaengigAnzahl; ++k)
            if (QFileInfo::exists(RueckgaengigDatei(k)))
                DateiLoeschen(RueckgaengigDatei(k));
    RueckgaengigAnzahl = 0;
    RueckgaengigVerworfen = false;
    g_rueckgaengigGewarnt = false;
}
