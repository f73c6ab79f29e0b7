// The batch conversion window.
#include "Konvertieren.h"
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QThread>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>
#include <exception>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "DatumZeitSetzen.h"
#include "Einstellungen.h"
#include "ExifDaten.h"
#include "Formatoption.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Meldung.h"
#include "OrdnerBaum.h"
#include "gear/SicherErsetzen.h"
#include <cerrno>
#include "Speichern.h"
#include "Vorlauf.h"
#include "Zielgroesse.h"
#include "ZelvanoMain.h"
#include "gear/GearHilfen.h"
#include "pixelops/Bitmap_Verkleinern.h"
#include "pixelops/Bitmap_QuickSkalieren.h"
#include "pixelops/Bitmap_Schaerfen.h"
#include "pixelops/Bitmap_Skalieren.h"
#include "widgets/Sanduhr.h"
#include "widgets/Warten.h"

TfrmKonvertieren* frmKonvertieren = nullptr;
bool KonvertAbbruch = false;
bool AlleUeberschreiben = false;

namespace {

constexpr int ZustandsbildRolle = Qt::UserRole + 1;
constexpr int GewaehltZustandsbild = 11;
constexpr int RahmenSeite = 236;

bool IstFehlerBild(const TGear& gear)
{
    const QImage bild = gear.Picture();
    const QImage& fehler = FehlerBild();
    return bild.size() == fehler.size() && bild.convertToFormat(fehler.format()) == fehler;
}

// The path a file is known by, links and ".." resolved, also before it exists.
QString DateiSchluessel(const QString& pfad)
{
    const QFileInfo info(pfad);
    if (info.exists())
        return info.canonicalFilePath();
    const QString ordner = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (ordner.isEmpty() ? info.absolutePath() : ordner) + QLatin1Char('/') + info.fileName();
}

// The files of a run, read and made ahead on worker threads, one per core,
// each with its own control and one share of the memory, no more of them
// than threads past the file in work. A file whose source the target of an
// earlier file still to be written replaces is not read ahead. While the
// window does a file alone, the work stops; it starts again with the next.
class TKonvertVorlauf {
public:
    TKonvertVorlauf(const QStringList& quellen, const QStringList& ziele, const TKonvertVorgaben& vorgaben)
        : m_quellen(quellen), m_ziele(ziele), m_vorgaben(vorgaben),
          m_threads(std::max(1, QThread::idealThreadCount()))
    {
        for (int k = 0; k < quellen.size(); ++k) {
            m_quellSchluessel << DateiSchluessel(quellen.at(k));
            m_zielSchluessel << DateiSchluessel(ziele.at(k));
        }
    }
    TKonvertVorlauf(const TKonvertVorlauf&) = delete;
    TKonvertVorlauf& operator=(const TKonvertVorlauf&) = delete;
    // File i as far as a worker got with it (nothing done when it was not
    // to be read ahead), handling messages while it is waited for.
    TKonvertDatei Holen(int i)
    {
        if (!m_vorlauf)
            Starten(i);
        TKonvertDatei datei;
        MitNachrichtenWarten([&] { return m_vorlauf->Holen(i, datei, 10); });
        return datei;
    }
    void Anhalten() { m_vorlauf.reset(); }

private:
    void Starten(int ab)
    {
        std::vector<char> vorab(size_t(m_quellen.size()), 0);
        QSet<QString> vorherGeschrieben;
        for (int k = ab; k < m_quellen.size(); ++k) {
            vorab[size_t(k)] = !vorherGeschrieben.contains(m_quellSchluessel.at(k));
            vorherGeschrieben.insert(m_zielSchluessel.at(k));
        }
        const int anteile = m_threads + 1;
        m_vorlauf = std::make_unique<TVorlauf<TKonvertDatei>>(
            ab, int(m_quellen.size()),
            [this, vorab = std::move(vorab), anteile](int k) {
                return vorab[size_t(k)] ? KonvertVorbereiten(m_quellen.at(k), m_ziele.at(k), m_vorgaben, anteile)
                                        : TKonvertDatei();
            },
            m_threads, m_threads);
    }

    const QStringList m_quellen;
    const QStringList m_ziele;
    const TKonvertVorgaben m_vorgaben;
    const int m_threads;
    QStringList m_quellSchluessel;
    QStringList m_zielSchluessel;
    std::unique_ptr<TVorlauf<TKonvertDatei>> m_vorlauf;
};

} // namespace

// ======================================================================
// Size, resampling and writing
// ======================================================================

bool KonvertNeueGroesse(int breite, int hoehe, int zielBreite, int zielHoehe, bool nurVerkleinern,
                        int& neueBreite, int& neueHoehe)
{
    if (zielBreite < 1 || zielHoehe < 1 || breite < 1 || hoehe < 1)
        return false;
    if (nurVerkleinern && breite <= zielBreite && hoehe <= zielHoehe)
        return false;
    const double rx = double(breite) / zielBreite;
    const double ry = double(hoehe) / zielHoehe;
    const double r = rx > ry ? rx : ry;
    // A very thin image keeps at least one pixel across.
    const int b = std::max(1, int(std::nearbyint(breite / r)));
    const int h = std::max(1, int(std::nearbyint(hoehe / r)));
    if (b == breite && h == hoehe)
        return false;
    neueBreite = b;
    neueHoehe = h;
    return true;
}

bool KonvertSkalieren(TBitmap& bmp, int breite, int hoehe, int filter, bool quick, int schaerfe, bool* gemeldet)
{
    if (gemeldet)
        *gemeldet = false;
    try {
        if (quick) {
            BitmapQuickSkalieren(bmp, breite, hoehe);
        } else if (!BitmapSkalieren(bmp, breite, hoehe, 0, uint8_t(filter))) {
            // The resampler has told the user itself.
            if (gemeldet)
                *gemeldet = true;
            return false;
        }
        if (bmp.Width() != breite || bmp.Height() != hoehe)
            return false;
        if (schaerfe > 0)
            BitmapSchaerfen(bmp, float(schaerfe));
        return true;
    } catch (...) {
        return false;
    }
}

bool KonvertDateiSchreiben(TGear& gear, const QString& schluessel, const QString& ziel,
                           const TSchreibZusatz& zusatz, QString& fehler)
{
    QByteArray inhalt;
    return BildErzeugen(gear, schluessel, ziel, zusatz, inhalt, fehler) == TSchreibSchritt::Fertig
           && KonvertZielErsetzen(ziel, inhalt, zusatz.datum, fehler);
}

bool KonvertZielErsetzen(const QString& ziel, const QByteArray& inhalt, const QDateTime& datum, QString& fehler)
{
    const QFileInfo info(ziel);
    if (info.isDir()) {
        fehler = QStringLiteral("„%1“ ist ein Ordner.").arg(ziel);
        return false;
    }
    // The folder stays at hand by its descriptor: when it is moved away
    // meanwhile, a lifted write protection is still put back.
    const int ordnerFd = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (ordnerFd < 0) {
        fehler = SchreibfehlerText(ziel, errno);
        return false;
    }
    struct TOrdner {
        int fd;
        ~TOrdner() { ::close(fd); }
    } const ordner{ordnerFd};

    // All three stamps as DateiDatumSetzen gives them; Linux keeps access
    // and modification time.
    TZeitenBehalten zeiten;
    if (const std::optional<timespec> zeit = DatumZuDateizeit(datum))
        zeiten = TZeitenBehalten(TDateiZeiten{*zeit, *zeit});

    // The read-only mark is lifted only for the moment of the replacement.
    const QByteArray name8 = QFile::encodeName(info.fileName());
    struct stat alt {};
    const bool geschuetzt = info.exists() && DateiSchreibgeschuetzt(ziel)
                            && ::fstatat(ordner.fd, name8.constData(), &alt, 0) == 0;
    if (geschuetzt)
        ::fchmodat(ordner.fd, name8.constData(), (alt.st_mode & 07777) | S_IWUSR, 0);
    if (!DateiSicherErsetzen(ziel, inhalt, fehler, zeiten)) {
        if (geschuetzt)
            ::fchmodat(ordner.fd, name8.constData(), alt.st_mode & 07777, 0);
        return false;
    }
    return true;
}

// ======================================================================
// One file of a run, free of the window
// ======================================================================

TKonvertDatei::TKonvertDatei() = default;
TKonvertDatei::~TKonvertDatei() = default;
TKonvertDatei::TKonvertDatei(TKonvertDatei&&) noexcept = default;
TKonvertDatei& TKonvertDatei::operator=(TKonvertDatei&&) noexcept = default;

void KonvertLaden(const QString& quelle, const TKonvertVorgaben& v, TGear& gear, TKonvertDatei& d, bool alleine)
{
    d = TKonvertDatei();
    auto metadaten = std::make_unique<TExifDaten>();
    TLadeAngaben angaben;
    LadeGearBild(gear, quelle, v.hintergrund, metadaten.get(), angaben);
    d.kommentar = angaben.kommentar;
    d.datum = angaben.datum;

    const QFileInfo info(quelle);
    bool gelesen = info.isFile() && gear.ImageWidth() >= 1 && gear.ImageHeight() >= 1;
    // The control holds the error picture when the file could not be read.
    if (gelesen)
        gelesen = info.suffix().toUpper() == QLatin1String("ICO") ? !IstFehlerBild(gear) : gear.ErrCount() == 0;
    // Beside other files a load may have found too little memory that alone
    // would have had enough.
    if (!gelesen && !alleine && GearSpeicherFehler(gear.LetzterFehler()))
        return;
    if (gelesen) {
        gelesen = (alleine ? GearZuBitmap(gear, d.bild) : GearZuBitmapOhneMeldung(gear, d.bild)) && !d.bild.IsEmpty();
        if (!gelesen && !alleine)
            return;
    }
    d.geladen = true;
    d.gelesen = gelesen;
    if (!gelesen) {
        // Never the previous file's picture under this file's name.
        d.bild.Clear();
        return;
    }
    d.gear = &gear;
    const QString endung = info.suffix().toUpper();
    if (endung == QLatin1String("JPG") || endung == QLatin1String("JPEG"))
        d.exif = std::move(metadaten);

    // The preview inside the frame with a 5-pixel border, reduced when it is
    // smaller than the picture, else stretched.
    const double verhaeltnis = double(d.bild.Width()) / d.bild.Height();
    const QRect& f = v.rahmen;
    int b, h, links, oben;
    if (verhaeltnis >= 1) {
        b = f.width() - 10;
        h = int(std::nearbyint((f.height() - 10) / verhaeltnis));
        links = f.left() + 5;
        oben = int(std::nearbyint((f.height() - h - 10) / 2.0)) + f.top() + 5;
    } else {
        b = int(std::nearbyint(verhaeltnis * (f.width() - 10)));
        h = f.height() - 10;
        links = int(std::nearbyint((f.width() - b - 10) / 2.0)) + f.left() + 5;
        oben = f.top() + 5;
    }
    b = std::max(1, b);
    h = std::max(1, h);
    d.vorschauRahmen = QRect(links, oben, b, h);
    d.vorschauGestreckt = b >= d.bild.Width();
    if (d.vorschauGestreckt) {
        d.vorschau = d.bild.Bild();
    } else {
        TBitmap klein;
        BitmapVerkleinern(d.bild, klein, b, h);
        d.vorschau = klein.Bild();
    }
}

void KonvertZielErzeugen(const QString& ziel, const TKonvertVorgaben& v, TKonvertDatei& d, bool alleine)
{
    auto nochmal = [&d] {
        // The picture may be changed half-way: it is loaded again.
        d.gear = nullptr;
        d.inhalt.clear();
        d.fehler.clear();
    };
    TGear& gear = *d.gear;
    int neueBreite = 0, neueHoehe = 0;
    const bool skalieren = KonvertNeueGroesse(d.bild.Width(), d.bild.Height(), v.zielBreite, v.zielHoehe,
                                              v.nurVerkleinern, neueBreite, neueHoehe);
    if (!alleine) {
        // From this file's share: the resampler's intermediate, and about
        // three times the picture written for sharpening, depth and encoding.
        const int b = skalieren ? neueBreite : d.bild.Width(), h = skalieren ? neueHoehe : d.bild.Height();
        const qint64 bedarf = 3 * qint64(b) * 3 * h + (skalieren ? qint64(b) * 3 * d.bild.Height() : 0);
        QString fehler;
        if (!GearSpeicherNehmen(bedarf, fehler))
            return nochmal();
    }
    if (skalieren) {
        bool gemeldet = false;
        if (!KonvertSkalieren(d.bild, neueBreite, neueHoehe, v.filter, v.quick, v.schaerfe, &gemeldet)) {
            if (!alleine)
                return nochmal();
            d.skalierFehler = true;
            d.skalierGemeldet = gemeldet;
            d.erzeugt = true;
            return;
        }
        gear.SetPicture(d.bild);
    }
    TSchreibZusatz zusatz;
    if (v.exif)
        zusatz.exif = d.exif.get();
    zusatz.kommentar = v.kommentarDerQuelle ? d.kommentar : v.kommentar;
    if (BildErzeugen(gear, v.schluessel, ziel, zusatz, d.inhalt, d.fehler) != TSchreibSchritt::Fertig) {
        if (!alleine)
            return nochmal();
        d.inhalt.clear();
    }
    d.erzeugt = true;
}

TKonvertDatei KonvertVorbereiten(const QString& quelle, const QString& ziel, const TKonvertVorgaben& v, int anteile)
{
    TKonvertDatei d;
    TGear gear;
    const TGearSpeicherRahmen anteil(GearVerfuegbarerSpeicher() / std::max(1, anteile));
    KonvertLaden(quelle, v, gear, d, false);
    if (d.gear)
        KonvertZielErzeugen(ziel, v, d, false);
    // The control stays with this thread; what is left undone, the window
    // does again with GearK.
    d.gear = nullptr;
    return d;
}

// ======================================================================
// The window
// ======================================================================

TfrmKonvertieren::TfrmKonvertieren(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmKonvertieren"));
    if (!frmKonvertieren)
        frmKonvertieren = this;
    FormCreate();
}

TfrmKonvertieren::~TfrmKonvertieren()
{
    if (frmKonvertieren == this)
        frmKonvertieren = nullptr;
}

void TfrmKonvertieren::FormCreate()
{
    setWindowTitle(QStringLiteral("Konvertieren"));
    setProperty("HilfeKontext", 6);
    setFont(QApplication::font("QMenu"));
    GearK = new TGear(this);
    GearK->setObjectName(QStringLiteral("GearK"));

    auto fett = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        return l;
    };
    lblZieldateityp = fett("lblZieldateityp", QStringLiteral("Zieldateityp"));
    lblZielordner = fett("lblZielordner", QStringLiteral("Zielordner"));
    lblBildname = fett("lblBildname", QStringLiteral("Bildname"));

    lvSaveTyp = new QTreeWidget(this);
    lvSaveTyp->setObjectName(QStringLiteral("lvSaveTyp"));
    lvSaveTyp->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvSaveTyp->setSelectionMode(QAbstractItemView::SingleSelection);
    lvSaveTyp->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TypListeMalen(lvSaveTyp, [this](int zeile) { return lvSaveTypCustomDrawItem(zeile); });
    lvSaveTyp->setMinimumWidth(220);

    auto* tiefen = new QHBoxLayout;
    auto tiefe = [this, tiefen](const char* name, const char* label, const QString& text) {
        auto* s = new TShape(this);
        s->setObjectName(QLatin1String(name));
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(label));
        tiefen->addWidget(s);
        tiefen->addWidget(l);
        tiefen->addSpacing(8);
        return s;
    };
    shp24Bit = tiefe("shp24Bit", "lblBit24", QStringLiteral("24 Bit"));
    shp8Bit = tiefe("shp8Bit", "lblBit8", QStringLiteral("8 Bit"));
    shp4Bit = tiefe("shp4Bit", "lblBit4", QStringLiteral("4 Bit"));
    shp1Bit = tiefe("shp1Bit", "lblBit1", QStringLiteral("1 Bit"));
    tiefen->addStretch(1);

    ShellModell = new QFileSystemModel(this);
    ShellModell->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::Drives);
    ShellModell->setRootPath(QStringLiteral("/"));
    ShellTreeView1 = new QTreeView(this);
    ShellTreeView1->setObjectName(QStringLiteral("ShellTreeView1"));
    ShellTreeView1->setModel(ShellModell);
    for (int spalte = 1; spalte < ShellModell->columnCount(); ++spalte)
        ShellTreeView1->hideColumn(spalte);
    ShellTreeView1->setHeaderHidden(true);
    ShellTreeView1->setRootIndex(ShellModell->index(QStringLiteral("/")));
    ediZielverz = new QLineEdit(this);
    ediZielverz->setObjectName(QStringLiteral("ediZielverz"));

    auto* vorschauFlaeche = new QWidget(this);
    vorschauFlaeche->setFixedSize(RahmenSeite, RahmenSeite);
    shpRahmen = new QFrame(vorschauFlaeche);
    shpRahmen->setObjectName(QStringLiteral("shpRahmen"));
    shpRahmen->setFrameShape(QFrame::Box);
    shpRahmen->setGeometry(0, 0, RahmenSeite, RahmenSeite);
    Vorschau = new QLabel(vorschauFlaeche);
    Vorschau->setObjectName(QStringLiteral("Vorschau"));
    Vorschau->hide();

    lblBilderzahl = new QLabel(QStringLiteral("20 Bilder werden konvertiert"), this);
    lblBilderzahl->setObjectName(QStringLiteral("lblBilderzahl"));
    lblZielgroesse = new QLabel(QStringLiteral("Zielgröße"), this);
    lblZielgroesse->setObjectName(QStringLiteral("lblZielgroesse"));

    cbOrdnerBeibehalten = new QCheckBox(QStringLiteral("Ordnername beibehalten"), this);
    cbOrdnerBeibehalten->setObjectName(QStringLiteral("cbOrdnerBeibehalten"));
    cbKonvertierenDatum = new QCheckBox(QStringLiteral("Originaldatum und Zeit beibehalten"), this);
    cbKonvertierenDatum->setObjectName(QStringLiteral("cbKonvertierenDatum"));
    cbKonvertierenDatum->setChecked(true);
    cbEXIFschreibenTempK = new QCheckBox(QStringLiteral("Vorhandene JPEG/EXIF-Daten beibehalten."), this);
    cbEXIFschreibenTempK->setObjectName(QStringLiteral("cbEXIFschreibenTempK"));

    auto knopf = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    btnZielGroesse = knopf("btnZielGroesse", QStringLiteral("Zielgröße"));
    btnFormatoptionen = knopf("btnFormatoptionen", QStringLiteral("&Formatoptionen"));
    btnAbbrechen = knopf("btnAbbrechen", QStringLiteral("&Abbrechen"));
    btnKonvertieren = knopf("btnKonvertieren", QStringLiteral("&Konvertieren"));
    btnKonvertieren->setDefault(true);

    auto* links = new QVBoxLayout;
    links->addWidget(lblZieldateityp);
    links->addWidget(lvSaveTyp, 1);
    links->addLayout(tiefen);
    links->addWidget(btnFormatoptionen, 0, Qt::AlignLeft);
    auto* mitte = new QVBoxLayout;
    mitte->addWidget(lblZielordner);
    mitte->addWidget(ShellTreeView1, 1);
    mitte->addWidget(ediZielverz);
    mitte->addWidget(cbOrdnerBeibehalten);
    auto* rechts = new QVBoxLayout;
    rechts->addWidget(lblBildname);
    rechts->addWidget(vorschauFlaeche);
    rechts->addWidget(lblBilderzahl);
    rechts->addWidget(lblZielgroesse);
    rechts->addWidget(btnZielGroesse, 0, Qt::AlignLeft);
    rechts->addStretch(1);
    auto* oben = new QHBoxLayout;
    oben->addLayout(links, 2);
    oben->addLayout(mitte, 3);
    oben->addLayout(rechts, 0);
    auto* unten = new QHBoxLayout;
    auto* haken = new QVBoxLayout;
    haken->addWidget(cbKonvertierenDatum);
    haken->addWidget(cbEXIFschreibenTempK);
    unten->addLayout(haken);
    unten->addStretch(1);
    unten->addWidget(btnKonvertieren);
    unten->addWidget(btnAbbrechen);
    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(oben, 1);
    spalte->addLayout(unten);
    resize(900, 560);

    QCoreApplication::processEvents();
    FormatListeFuellen(lvSaveTyp, 0, false, false);
    for (int i = 0; i < lvSaveTyp->topLevelItemCount(); ++i)
        lvSaveTyp->topLevelItem(i)->setData(0, ZustandsbildRolle, -1);
    if (QTreeWidgetItem* erster = lvSaveTyp->topLevelItem(0))
        m_zielTyp = erster->text(1).toLower();

    connect(lvSaveTyp, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* aktuell, QTreeWidgetItem*) { lvSaveTypSelectItem(aktuell); });
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShellTreeView1Change(); });
    connect(cbOrdnerBeibehalten, &QCheckBox::clicked, this, [this] { cbOrdnerBeibehaltenClick(); });
    connect(cbKonvertierenDatum, &QCheckBox::clicked, this, [this] { cbKonvertierenDatumClick(); });
    connect(btnZielGroesse, &QPushButton::clicked, this, [this] { btnZielGroesseClick(); });
    connect(btnFormatoptionen, &QPushButton::clicked, this, [this] { btnFormatoptionenClick(); });
    connect(btnAbbrechen, &QPushButton::clicked, this, [this] { btnAbbrechenClick(); });
    connect(btnKonvertieren, &QPushButton::clicked, this, [this] { btnKonvertierenClick(); });
}

// ---- Type list -----------------------------------------------------------

QString TfrmKonvertieren::ZeilenSchluessel(const QTreeWidgetItem* eintrag) const
{
    return eintrag ? eintrag->text(1) + QLatin1Char(' ') + eintrag->text(2) : QString();
}

QTreeWidgetItem* TfrmKonvertieren::GewaehlteZeile() const
{
    const QList<QTreeWidgetItem*> auswahl = lvSaveTyp->selectedItems();
    return auswahl.isEmpty() ? lvSaveTyp->topLevelItem(m_gewaehlteZeile) : auswahl.first();
}

int TfrmKonvertieren::Zustandsbild(int index) const
{
    const QTreeWidgetItem* eintrag = lvSaveTyp->topLevelItem(index);
    return eintrag ? eintrag->data(0, ZustandsbildRolle).toInt() : -1;
}

QColor TfrmKonvertieren::lvSaveTypCustomDrawItem(int index) const
{
    if (index >= 0 && index % 2 == 0)
        return QColor(FarbwertZuRgb(14940671));
    return {};
}

void TfrmKonvertieren::lvSaveTypSelectItem(QTreeWidgetItem* eintrag)
{
    if (!eintrag)
        return;
    for (int i = 0; i < lvSaveTyp->topLevelItemCount(); ++i) {
        QTreeWidgetItem* zeile = lvSaveTyp->topLevelItem(i);
        zeile->setData(0, ZustandsbildRolle, -1);
        zeile->setIcon(0, QIcon());
    }
    eintrag->setData(0, ZustandsbildRolle, GewaehltZustandsbild);
    eintrag->setIcon(0, TypMarkierung());
    m_gewaehlteZeile = lvSaveTyp->indexOfTopLevelItem(eintrag);
    m_zielTyp = eintrag->text(1).toLower();
    btnFormatoptionen->setEnabled(m_zielTyp == QLatin1String("jpg"));
    ZielTyp = m_zielTyp;
    TiefenFormenSetzen(shp24Bit, shp8Bit, shp4Bit, shp1Bit, ZeilenSchluessel(eintrag));
}

// ---- Folder --------------------------------------------------------------

void TfrmKonvertieren::ShellTreeView1Change()
{
    static bool laeuft = false;
    if (!m_zeigt || laeuft)
        return;
    laeuft = true;
    const QString pfad = OrdnerBaumPfad(ShellTreeView1, ShellModell);
    if (!pfad.isEmpty() && QFileInfo(pfad).isDir()) {
        m_ordner = MitTrenner(pfad);
        ediZielverz->setText(m_ordner);
    } else if (!m_ordner.isEmpty()) {
        OrdnerBaumZeigen(ShellTreeView1, ShellModell, m_ordner);
    }
    laeuft = false;
}

void TfrmKonvertieren::cbOrdnerBeibehaltenClick()
{
    const bool frei = !cbOrdnerBeibehalten->isChecked();
    ShellTreeView1->setEnabled(frei);
    ediZielverz->setEnabled(frei);
}

void TfrmKonvertieren::cbKonvertierenDatumClick()
{
    KonvertierenDatum = cbKonvertierenDatum->isChecked();
}

// ---- Other windows -------------------------------------------------------

void TfrmKonvertieren::ZielgroesseZeigen()
{
    if (ZielBreite + ZielHoehe != 0)
        lblZielgroesse->setText(QStringLiteral("Zielgröße: %1 x %2").arg(ZielBreite).arg(ZielHoehe));
    else
        lblZielgroesse->setText(QStringLiteral("Zielgröße: Bildgröße beibehalten"));
}

void TfrmKonvertieren::btnZielGroesseClick()
{
    if (!frmZielgroesse)
        frmZielgroesse = new TfrmZielgroesse(this);
    frmZielgroesse->exec();
    ZielgroesseZeigen();
}

void TfrmKonvertieren::btnFormatoptionenClick()
{
    if (!frmFormatOption)
        frmFormatOption = new TfrmFormatOption(this);
    frmFormatOption->exec();
}

// ---- Opening and closing -------------------------------------------------

void TfrmKonvertieren::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    // Once per opening: closing the target-size or format-options window
    // must not bring back the stored format and folder.
    if (!m_zeigt) {
        m_zeigt = true;
        FormActivate();
    }
}

void TfrmKonvertieren::hideEvent(QHideEvent* ereignis)
{
    m_zeigt = false;
    QDialog::hideEvent(ereignis);
}

void TfrmKonvertieren::FormActivate()
{
    m_zeigt = true;
    Vorschau->hide();
    QCoreApplication::processEvents();
    lblBilderzahl->setText(QString::number(BildListe.size()) + QStringLiteral(" Bilder werden konvertiert."));
    cbKonvertierenDatum->setChecked(KonvertierenDatum);

    QTreeWidgetItem* gefunden = nullptr;
    for (int i = 0; i < lvSaveTyp->topLevelItemCount() && !gefunden; ++i)
        if (ZeilenSchluessel(lvSaveTyp->topLevelItem(i)) == KonvertierenTyp)
            gefunden = lvSaveTyp->topLevelItem(i);
    // A stored type no row knows: the row last chosen (at first the first).
    if (!gefunden)
        gefunden = lvSaveTyp->topLevelItem(m_gewaehlteZeile);
    if (gefunden) {
        lvSaveTyp->blockSignals(true);
        lvSaveTyp->setCurrentItem(gefunden);
        gefunden->setSelected(true);
        lvSaveTyp->blockSignals(false);
        lvSaveTyp->scrollToItem(gefunden);
        lvSaveTypSelectItem(gefunden);
    }

    if (!BildListe.isEmpty()) {
        LadeKonvertBild(BildListe.first());
        lblBildname->setText(QFileInfo(BildListe.first()).fileName());
    }
    ZielgroesseZeigen();
    QCoreApplication::processEvents();
    btnFormatoptionen->setEnabled(m_zielTyp == QLatin1String("jpg"));
    cbEXIFschreibenTempK->setChecked(ExifSchreiben);
    ZielTyp = m_zielTyp;

    if (SpeicherVerzeichnis.isEmpty())
        SpeicherVerzeichnis = MitTrenner(LadeVerzeichnis);
    if (SpeicherVerzeichnis.isEmpty() || !QFileInfo(SpeicherVerzeichnis).isDir()) {
        QString eigene = SpezialOrdnerPfad(CSIDL_PERSONAL);
        if (eigene.isEmpty() || !QFileInfo(eigene).isDir())
            eigene = QDir::homePath();
        SpeicherVerzeichnis = MitTrenner(eigene);
    }
    m_ordner = MitTrenner(SpeicherVerzeichnis);
    OrdnerBaumZeigen(ShellTreeView1, ShellModell, m_ordner);
    ediZielverz->setText(m_ordner);
    KonvertAbbruch = false;
    ediZielverz->setFocus();
    ediZielverz->setCursorPosition(ediZielverz->text().size());
}

void TfrmKonvertieren::FormClose()
{
    GearK->DelImage();
    BildK.Clear();
    QCoreApplication::processEvents();
    if (QTreeWidgetItem* zeile = GewaehlteZeile())
        KonvertierenTyp = ZeilenSchluessel(zeile);
}

void TfrmKonvertieren::done(int ergebnis)
{
    // During a run every way of closing is a request to stop.
    if (m_laeuft) {
        KonvertAbbruch = true;
        return;
    }
    FormClose();
    QDialog::done(ergebnis);
}

void TfrmKonvertieren::closeEvent(QCloseEvent* ereignis)
{
    if (m_laeuft) {
        KonvertAbbruch = true;
        ereignis->ignore();
        return;
    }
    QDialog::closeEvent(ereignis);
}

void TfrmKonvertieren::btnAbbrechenClick()
{
    KonvertAbbruch = true;
    if (!m_laeuft)
        reject();
}

// ---- Loading -------------------------------------------------------------

bool TfrmKonvertieren::LadeKonvertBild(const QString& pfad)
{
    TKonvertDatei datei;
    KonvertLaden(pfad, Vorgaben(QString()), *GearK, datei, true);
    QCoreApplication::processEvents();
    DateiZeigen(datei);
    return datei.gelesen;
}

void TfrmKonvertieren::DateiZeigen(const TKonvertDatei& datei)
{
    AktKommentar = datei.kommentar;
    if (datei.datum.isValid())
        AktDateiDatum = datei.datum;
    BildK = datei.bild;
    if (!datei.gelesen) {
        Vorschau->hide();
        return;
    }
    Vorschau->setGeometry(datei.vorschauRahmen);
    Vorschau->setScaledContents(datei.vorschauGestreckt);
    Vorschau->setPixmap(QPixmap::fromImage(datei.vorschau));
    Vorschau->show();
}

TKonvertVorgaben TfrmKonvertieren::Vorgaben(const QString& schluessel) const
{
    TKonvertVorgaben v;
    v.schluessel = schluessel;
    v.zielBreite = ZielBreite;
    v.zielHoehe = ZielHoehe;
    v.nurVerkleinern = NurVerkleinern;
    const TfrmZielgroesse* z = frmZielgroesse;
    v.filter = z ? z->FilterIndex() : 5;
    v.quick = z && z->IstQuick();
    v.schaerfe = z ? z->SchaerfeMenge() : 8;
    v.exif = cbEXIFschreibenTempK->isChecked();
    v.datum = cbKonvertierenDatum->isChecked();
    v.kommentarDerQuelle = BildQuelle == BildQuelleDatei;
    if (!v.kommentarDerQuelle)
        v.kommentar = SchreibKommentar();
    v.hintergrund = HgFarbeRgb();
    v.rahmen = shpRahmen->geometry();
    return v;
}

// ---- The run -------------------------------------------------------------

void TfrmKonvertieren::SteuerungFreigeben(bool frei)
{
    for (QWidget* w : std::initializer_list<QWidget*>{lvSaveTyp, cbOrdnerBeibehalten, cbKonvertierenDatum,
                                                      cbEXIFschreibenTempK, btnZielGroesse, btnKonvertieren})
        w->setEnabled(frei);
    btnFormatoptionen->setEnabled(frei && m_zielTyp == QLatin1String("jpg"));
    ShellTreeView1->setEnabled(frei && !cbOrdnerBeibehalten->isChecked());
    ediZielverz->setEnabled(frei && !cbOrdnerBeibehalten->isChecked());
}

int TfrmKonvertieren::UeberschreibenFragen(const QString& ziel)
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int antwort = Meldung(QStringLiteral("Eine Datei mit dem Namen ") + ziel + QStringLiteral("\r")
                                    + QStringLiteral("ist bereits vorhanden.") + QStringLiteral("\r\r")
                                    + QStringLiteral("Soll die Datei überschrieben werden?") + QStringLiteral("\r\r"),
                                TMeldungArt::Information, mbJa | mbNein | mbAbbrechen | mbAlle);
    QApplication::restoreOverrideCursor();
    return antwort;
}

void TfrmKonvertieren::btnKonvertierenClick()
{
    if (m_laeuft)
        return;
    QTreeWidgetItem* zeile = GewaehlteZeile();
    if (!zeile) {
        Meldung(QStringLiteral("Bitte wählen Sie einen Zieldateityp."), TMeldungArt::Information, mbOk);
        return;
    }
    const QString schluessel = ZeilenSchluessel(zeile);
    const QString endung = TypEndung(zeile->text(1));

    QString ordnerText = ediZielverz->text().trimmed();
    if (ordnerText.isEmpty())
        ordnerText = m_ordner;
    else if (QDir::isRelativePath(ordnerText) && !m_ordner.isEmpty())
        ordnerText = QDir(m_ordner).absoluteFilePath(ordnerText);
    if (ordnerText.isEmpty())
        return;
    const QString ordner = MitTrenner(QDir::cleanPath(ordnerText));
    if (!QFileInfo(ordner).isDir()) {
        const int antwort = Meldung(QStringLiteral("Der Ordner: ") + ordner + QStringLiteral("\r\r")
                                        + QStringLiteral("ist nicht vorhanden.") + QStringLiteral("\r\r")
                                        + QStringLiteral("Soll er angelegt werden werden?          ")
                                        + QStringLiteral("\r\r"),
                                    TMeldungArt::Bestaetigung, mbJa | mbNein);
        if (antwort != mbJa)
            return;
        QDir().mkpath(ordner);
        QCoreApplication::processEvents();
        if (!QFileInfo(ordner).isDir()) {
            Meldung(QStringLiteral("Der Ordner: ") + ordner + QStringLiteral("\r\r")
                        + QStringLiteral("kann nicht angelegt werden. Mögliche Gründe können sein:     ")
                        + QStringLiteral("\r") + QStringLiteral("Der Zugriff auf das Laufwerk ist nicht möglich")
                        + QStringLiteral("\r") + QStringLiteral("oder der Ordnername ist nicht zulässig.")
                        + QStringLiteral("\r\r"),
                    TMeldungArt::Fehler, mbOk);
            return;
        }
    }

    m_laeuft = true;
    SteuerungFreigeben(false);
    AlleUeberschreiben = false;
    QStringList unlesbar, fehlgeschlagen;
    bool skalierFehler = false;
    const QStringList liste = BildListe;
    const TKonvertVorgaben vorgaben = Vorgaben(schluessel);
    QStringList ziele;
    for (const QString& quelle : liste) {
        const QFileInfo quellInfo(quelle);
        ziele << EndungErsetzen(cbOrdnerBeibehalten->isChecked() ? quellInfo.absoluteFilePath()
                                                                 : PfadVerbinden(ordner, quellInfo.fileName()),
                                endung);
    }
    {
        TSanduhr sanduhr;
        // Made here, on the GUI thread; the workers put it in the place of a
        // picture they cannot read.
        FehlerBild();
        TKonvertVorlauf vorlauf(liste, ziele, vorgaben);
        for (int i = 0; i < liste.size(); ++i) {
            QCoreApplication::processEvents();
            if (KonvertAbbruch)
                break;
            const QString quelle = liste.at(i);
            const QString& ziel = ziele.at(i);
            lblBildname->setText(QFileInfo(quelle).fileName());
            lblBilderzahl->setText(QStringLiteral("Bild %1 von %2 wird konvertiert.").arg(i + 1).arg(liste.size()));
            try {
                TKonvertDatei datei = vorlauf.Holen(i);
                // Not to be read ahead, or short of memory beside the others:
                // loaded here, alone.
                if (!datei.geladen) {
                    vorlauf.Anhalten();
                    KonvertLaden(quelle, vorgaben, *GearK, datei, true);
                }
                DateiZeigen(datei);
                if (!datei.gelesen) {
                    unlesbar << quelle;
                    continue;
                }
                QCoreApplication::processEvents();

                if (QFileInfo::exists(ziel) && !AlleUeberschreiben) {
                    const int antwort = UeberschreibenFragen(ziel);
                    if (antwort == mbNein)
                        continue;
                    if (antwort == mbAlle)
                        AlleUeberschreiben = true;
                    else if (antwort != mbJa) {
                        KonvertAbbruch = true;
                        continue;
                    }
                }

                // Left undone by a worker: made here, alone, from the file
                // loaded anew when the worker had begun to change its picture.
                if (!datei.erzeugt) {
                    vorlauf.Anhalten();
                    if (!datei.gear) {
                        KonvertLaden(quelle, vorgaben, *GearK, datei, true);
                        DateiZeigen(datei);
                        if (!datei.gelesen) {
                            unlesbar << quelle;
                            continue;
                        }
                    }
                    KonvertZielErzeugen(ziel, vorgaben, datei, true);
                }
                if (datei.skalierFehler) {
                    QCoreApplication::processEvents();
                    if (!datei.skalierGemeldet)
                        Meldung(QStringLiteral("Fehler beim Skalieren. Das erzeugte Bild ist zu groß."),
                                TMeldungArt::Warnung, mbOk);
                    skalierFehler = true;
                    break;
                }

                QString fehler = datei.fehler;
                const bool geschrieben =
                    !datei.inhalt.isEmpty()
                    && KonvertZielErsetzen(ziel, datei.inhalt, vorgaben.datum ? datei.datum : QDateTime(), fehler);
                if (!geschrieben)
                    fehlgeschlagen << quelle + QStringLiteral(": ") + fehler;
                QCoreApplication::processEvents();
            } catch (const std::exception& e) {
                fehlgeschlagen << quelle + QStringLiteral(": ") + QString::fromLocal8Bit(e.what());
            } catch (...) {
                fehlgeschlagen << quelle;
            }
        }
    }
    m_laeuft = false;
    SteuerungFreigeben(true);

    if (!unlesbar.isEmpty() || !fehlgeschlagen.isEmpty()) {
        QString text;
        if (!unlesbar.isEmpty())
            text += QStringLiteral("Diese Dateien konnten nicht gelesen werden und wurden übersprungen:")
                    + QStringLiteral("\r") + unlesbar.join(QLatin1Char('\r')) + QStringLiteral("\r\r");
        if (!fehlgeschlagen.isEmpty())
            text += QStringLiteral("Diese Dateien konnten nicht konvertiert werden:") + QStringLiteral("\r")
                    + fehlgeschlagen.join(QLatin1Char('\r')) + QStringLiteral("\r\r");
        Meldung(text, TMeldungArt::Warnung, mbOk);
    }
    if (skalierFehler)
        return;
    SpeicherVerzeichnis = ordner;
    accept();
}
