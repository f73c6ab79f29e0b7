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
#include <QTemporaryFile>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "Einstellungen.h"
#include "ExifDaten.h"
#include "Formatoption.h"
#include "Gear.h"
#include "Global.h"
#include "Meldung.h"
#include "OrdnerBaum.h"
#include "SicherErsetzen.h"
#include <cerrno>
#include "Speichern.h"
#include "Zielgroesse.h"
#include "ZelvanoMain.h"
#include "pixelops/Bitmap_Verkleinern.h"
#include "pixelops/Bitmap_QuickSkalieren.h"
#include "pixelops/Bitmap_Schaerfen.h"
#include "pixelops/Bitmap_Skalieren.h"

TfrmKonvertieren* frmKonvertieren = nullptr;
bool KonvertAbbruch = false;
bool AlleUeberschreiben = false;

namespace {

constexpr int ZustandsbildRolle = Qt::UserRole + 1;
constexpr int GewaehltZustandsbild = 11;
constexpr int RahmenSeite = 236;

// The hourglass for as long as a run lasts, whichever way it ends.
struct TSanduhr {
    TSanduhr() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TSanduhr() { QApplication::restoreOverrideCursor(); }
};

bool IstFehlerBild(const TGear& gear)
{
    const QImage bild = gear.Picture();
    const QImage& fehler = FehlerBild();
    return bild.size() == fehler.size() && bild.convertToFormat(fehler.format()) == fehler;
}

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
    const QFileInfo info(ziel);
    if (info.isDir()) {
        fehler = QStringLiteral("„%1“ ist ein Ordner.").arg(ziel);
        return false;
    }
    // The folder stays at hand by its descriptor: when it is moved away
    // meanwhile, the helper file is still removed and a lifted write
    // protection still put back.
    struct TOrdner {
        int fd;
        QByteArray temp;
        ~TOrdner()
        {
            if (!temp.isEmpty())
                ::unlinkat(fd, temp.constData(), 0);
            ::close(fd);
        }
    };
    const int ordnerFd = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (ordnerFd < 0) {
        fehler = SchreibfehlerText(ziel, errno);
        return false;
    }
    QTemporaryFile temp(info.absolutePath() + QStringLiteral("/.zelvano-konvert-XXXXXX"));
    temp.setAutoRemove(false);
    errno = 0;
    if (!temp.open()) {
        const int e = errno != 0 ? errno : EACCES;
        ::close(ordnerFd);
        fehler = SchreibfehlerText(ziel, e);
        return false;
    }
    temp.close();
    const QString tempPfad = temp.fileName();
    const TOrdner ordner{ordnerFd, QFile::encodeName(QFileInfo(tempPfad).fileName())};

    if (BildSchreiben(gear, schluessel, tempPfad, zusatz, fehler) != TSchreibSchritt::Fertig) {
        // The user knows the target, not the hidden helper file.
        fehler.replace(tempPfad, ziel);
        return false;
    }

    QFile geschrieben(tempPfad);
    if (!geschrieben.open(QIODevice::ReadOnly)) {
        fehler = QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(tempPfad);
        return false;
    }
    const QByteArray inhalt = geschrieben.readAll();
    geschrieben.close();
    TZeitenBehalten zeiten;
    if (zusatz.datum.isValid()) {
        TDateiZeiten z;
        if (DateiZeitenLesen(tempPfad, z))
            zeiten = TZeitenBehalten(z);
    }

    // The read-only mark is lifted only for the moment of the replacement.
    const QByteArray name8 = QFile::encodeName(info.fileName());
    struct stat alt {};
    const bool geschuetzt = info.exists() && DateiSchreibgeschuetzt(ziel)
                            && ::fstatat(ordnerFd, name8.constData(), &alt, 0) == 0;
    if (geschuetzt)
        ::fchmodat(ordnerFd, name8.constData(), (alt.st_mode & 07777) | S_IWUSR, 0);
    if (!DateiSicherErsetzen(ziel, inhalt, fehler, zeiten)) {
        if (geschuetzt)
            ::fchmodat(ordnerFd, name8.constData(), alt.st_mode & 07777, 0);
        return false;
    }
    return true;
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
        FormShow();
        m_zeigt = true;
        FormActivate();
    }
}

void TfrmKonvertieren::hideEvent(QHideEvent* ereignis)
{
    m_zeigt = false;
    QDialog::hideEvent(ereignis);
}

void TfrmKonvertieren::FormShow()
{
    m_exif = std::make_unique<TExifDaten>();
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
    m_exif.reset();
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
    LadeGearBild(*GearK, pfad);
    const QFileInfo info(pfad);
    bool gelesen = info.isFile() && GearK->ImageWidth() >= 1 && GearK->ImageHeight() >= 1;
    // The control holds the error picture when the file could not be read.
    if (gelesen)
        gelesen = info.suffix().toUpper() == QLatin1String("ICO") ? !IstFehlerBild(*GearK) : GearK->ErrCount() == 0;
    if (gelesen)
        gelesen = GearZuBitmap(*GearK, BildK) && !BildK.IsEmpty();
    if (!gelesen) {
        // Never the previous file's picture under this file's name.
        BildK.Clear();
        Vorschau->hide();
        return false;
    }
    QCoreApplication::processEvents();

    const double verhaeltnis = double(BildK.Width()) / BildK.Height();
    const QRect f = shpRahmen->geometry();
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
    Vorschau->setGeometry(links, oben, b, h);
    if (b < BildK.Width()) {
        TBitmap klein;
        BitmapVerkleinern(BildK, klein, b, h);
        Vorschau->setScaledContents(false);
        Vorschau->setPixmap(QPixmap::fromImage(klein.Bild()));
    } else {
        Vorschau->setScaledContents(true);
        Vorschau->setPixmap(QPixmap::fromImage(BildK.Bild()));
    }
    Vorschau->show();
    return true;
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

    if (!m_exif)
        m_exif = std::make_unique<TExifDaten>();
    m_laeuft = true;
    SteuerungFreigeben(false);
    AlleUeberschreiben = false;
    QStringList unlesbar, fehlgeschlagen;
    bool skalierFehler = false;
    const QStringList liste = BildListe;
    {
        TSanduhr sanduhr;
        for (int i = 0; i < liste.size(); ++i) {
            QCoreApplication::processEvents();
            if (KonvertAbbruch)
                break;
            const QString quelle = liste.at(i);
            const QFileInfo quellInfo(quelle);
            lblBildname->setText(quellInfo.fileName());
            lblBilderzahl->setText(QStringLiteral("Bild %1 von %2 wird konvertiert.").arg(i + 1).arg(liste.size()));
            try {
                if (!LadeKonvertBild(quelle)) {
                    unlesbar << quelle;
                    continue;
                }
                // Only this file's own EXIF data go into its result.
                m_exif->Leeren();
                const QString quellEndung = quellInfo.suffix().toUpper();
                if (quellEndung == QLatin1String("JPG") || quellEndung == QLatin1String("JPEG"))
                    m_exif->Lesen(quelle);
                const QDateTime datum = quellInfo.lastModified();
                QCoreApplication::processEvents();

                const QString ziel = EndungErsetzen(
                    cbOrdnerBeibehalten->isChecked() ? quellInfo.absoluteFilePath()
                                                     : PfadVerbinden(ordner, quellInfo.fileName()),
                    endung);
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

                int neueBreite = 0, neueHoehe = 0;
                if (KonvertNeueGroesse(BildK.Width(), BildK.Height(), ZielBreite, ZielHoehe, NurVerkleinern,
                                       neueBreite, neueHoehe)) {
                    const TfrmZielgroesse* z = frmZielgroesse;
                    bool gemeldet = false;
                    if (!KonvertSkalieren(BildK, neueBreite, neueHoehe, z ? z->FilterIndex() : 5,
                                          z && z->IstQuick(), z ? z->SchaerfeMenge() : 8, &gemeldet)) {
                        QCoreApplication::processEvents();
                        if (!gemeldet)
                            Meldung(QStringLiteral("Fehler beim Skalieren. Das erzeugte Bild ist zu groß."),
                                    TMeldungArt::Warnung, mbOk);
                        skalierFehler = true;
                        break;
                    }
                    GearK->SetPicture(BildK);
                }

                TSchreibZusatz zusatz;
                if (cbEXIFschreibenTempK->isChecked())
                    zusatz.exif = m_exif.get();
                zusatz.kommentar = SchreibKommentar();
                if (cbKonvertierenDatum->isChecked())
                    zusatz.datum = datum;
                QString fehler;
                if (!KonvertDateiSchreiben(*GearK, schluessel, ziel, zusatz, fehler))
                    fehlgeschlagen << quelle + QStringLiteral(": ") + fehler;
                m_exif->Leeren();
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
