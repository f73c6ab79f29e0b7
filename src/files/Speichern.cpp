// The save window and the saving of the working bitmap.
#include "Speichern.h"
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include "OrdnerBaum.h"
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cerrno>
#include <exception>
#include <sys/stat.h>
#include "DatumZeitSetzen.h"
#include "Einstellungen.h"
#include "ExifDaten.h"
#include "Formatoption.h"
#include "gear/Gear.h"
#include "Global.h"
#include "JpgKommentar.h"
#include "Meldung.h"
#include "Menuset.h"
#include "gear/SicherErsetzen.h"
#include "ZelvanoMain.h"
#include "widgets/PngImageList.h"

TfrmSpeichern* frmSpeichern = nullptr;

namespace {

constexpr int ZustandsbildRolle = Qt::UserRole + 1;
constexpr int GewaehltZustandsbild = 11;
constexpr int JpegSpeicherId = 21;

// Draws the rows of a type list on their stripe colour, with grid lines.
class TTypZeilenMaler : public QStyledItemDelegate {
public:
    TTypZeilenMaler(std::function<QColor(int)> grund, QObject* parent)
        : QStyledItemDelegate(parent), m_grund(std::move(grund)) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QColor grund = m_grund(index.row());
        if (grund.isValid() && !(option.state & QStyle::State_Selected))
            p->fillRect(option.rect, grund);
        QStyledItemDelegate::paint(p, option, index);
        p->save();
        p->setPen(QColor(208, 208, 208));
        p->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        p->drawLine(option.rect.topRight(), option.rect.bottomRight());
        p->restore();
    }

private:
    std::function<QColor(int)> m_grund;
};

// Busy mode for the length of a write, also when it throws.
struct TArbeitsModus {
    TArbeitsModus() { SetzeArbeitsModus(true); }
    ~TArbeitsModus() { SetzeArbeitsModus(false); }
};

// Linux keeps blanks at the end of a name; the padded two-letter type codes
// ("Foto.g3 ") must not create names no mask of the program finds.
QString OhneEndBlanks(const QString& name)
{
    qsizetype n = name.size();
    while (n > 0 && name.at(n - 1) == QLatin1Char(' '))
        --n;
    return name.left(n);
}

} // namespace

// ======================================================================
// The depth shapes
// ======================================================================

TShape::TShape(QWidget* parent) : QWidget(parent)
{
    setFixedSize(14, 14);
}

void TShape::SetFarben(const QColor& pinsel, const QColor& stift)
{
    m_pinsel = pinsel;
    m_stift = stift;
    update();
}

void TShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(m_stift);
    p.setBrush(m_pinsel);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TypListeMalen(QTreeWidget* liste, std::function<QColor(int)> grund)
{
    liste->setItemDelegate(new TTypZeilenMaler(std::move(grund), liste));
}

QIcon TypMarkierung()
{
    const TPngImageList* liste = MenueBilderListe();
    return liste ? liste->Icon(GewaehltZustandsbild) : QIcon();
}

void TiefenFormenSetzen(TShape* shp24, TShape* shp8, TShape* shp4, TShape* shp1, const QString& schluessel)
{
    const QColor rot = QColor(FarbwertZuRgb(255)), rotRand = QColor(FarbwertZuRgb(128));
    const QColor gruen = QColor(FarbwertZuRgb(65280)), gruenRand = QColor(FarbwertZuRgb(32768));
    TShape* formen[4] = {shp24, shp8, shp4, shp1};
    for (TShape* s : formen)
        s->SetFarben(rot, rotRand);
    const QString flaggen = FormatFarbtiefen(schluessel);
    for (int i = 0; i < 4 && i < flaggen.size(); ++i)
        if (flaggen.at(i) == QLatin1Char('1'))
            formen[i]->SetFarben(gruen, gruenRand);
}

QString TypEndung(const QString& typ)
{
    return QLatin1Char('.') + typ.trimmed().toLower();
}

QString SchreibKommentar()
{
    return BildQuelle == BildQuelleDatei ? AktKommentar : QStringLiteral("Erstellt mit Zelvano ") + ProgrammVersion(2);
}

TSchreibSchritt BildSchreiben(TGear& gear, const QString& schluessel, const QString& pfad,
                              const TSchreibZusatz& zusatz, QString& fehler)
{
    FormatFarbtiefeVorbereiten(gear, schluessel);
    const int speicherId = FormatSpeicherId(schluessel);
    gear.SetSaveFormat(speicherId);
    if (speicherId == JpegSpeicherId)
        JpgOptionenSetzen(gear);
    {
        TArbeitsModus arbeit;
        gear.SaveImage(pfad);
    }
    const QFileInfo geschrieben(pfad);
    if (gear.ErrCount() > 0 || !geschrieben.isFile() || geschrieben.size() <= 0) {
        fehler = gear.ErrCount() > 0 ? gear.LetzterFehler() : QString();
        if (fehler.isEmpty())
            fehler = QStringLiteral("Die Datei %1 wurde nicht geschrieben.").arg(pfad);
        return TSchreibSchritt::Bild;
    }
    if (speicherId == JpegSpeicherId) {
        if (zusatz.exif && zusatz.exif->HatExif()
            && !zusatz.exif->ExifEinfuegen(pfad, gear.ImageWidth(), gear.ImageHeight(), fehler))
            return TSchreibSchritt::Exif;
        if (!JpgKommentarSchreiben(pfad, zusatz.kommentar, fehler))
            return TSchreibSchritt::Kommentar;
    }
    if (zusatz.datum.isValid() && !DateiDatumSetzen(pfad, true, true, true, zusatz.datum)) {
        fehler = QStringLiteral("Das Datum der Datei %1 konnte nicht gesetzt werden.").arg(pfad);
        return TSchreibSchritt::Datum;
    }
    return TSchreibSchritt::Fertig;
}

TSchreibSchritt BildErzeugen(TGear& gear, const QString& schluessel, const QString& name,
                             const TSchreibZusatz& zusatz, QByteArray& inhalt, QString& fehler)
{
    FormatFarbtiefeVorbereiten(gear, schluessel);
    const int speicherId = FormatSpeicherId(schluessel);
    gear.SetSaveFormat(speicherId);
    if (speicherId == JpegSpeicherId)
        JpgOptionenSetzen(gear);
    if (!gear.SaveToBytes(inhalt) || inhalt.isEmpty()) {
        fehler = gear.ErrCount() > 0 ? gear.LetzterFehler() : QString();
        if (fehler.isEmpty())
            fehler = QStringLiteral("Die Datei %1 wurde nicht geschrieben.").arg(name);
        return TSchreibSchritt::Bild;
    }
    if (speicherId == JpegSpeicherId) {
        QByteArray neu;
        if (zusatz.exif && zusatz.exif->HatExif()) {
            if (!zusatz.exif->ExifEinbauen(inhalt, gear.ImageWidth(), gear.ImageHeight(), neu, fehler, name))
                return TSchreibSchritt::Exif;
            inhalt.swap(neu);
        }
        if (!JpgKommentarEinbauen(inhalt, zusatz.kommentar, neu, fehler, name))
            return TSchreibSchritt::Kommentar;
        inhalt.swap(neu);
    }
    return TSchreibSchritt::Fertig;
}

QString SpeichernVerweigertText()
{
    return QStringLiteral("Angezeigt wird nur das Fehlerbild; es wird nicht gespeichert.");
}

QString EndungErsetzen(const QString& name, const QString& endung)
{
    const qsizetype trenner = name.lastIndexOf(QLatin1Char('/'));
    const qsizetype punkt = name.lastIndexOf(QLatin1Char('.'));
    if (punkt > trenner)
        return name.left(punkt) + endung;
    return name + endung;
}

// ======================================================================
// The window
// ======================================================================

TfrmSpeichern::TfrmSpeichern(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSpeichern"));
    if (!frmSpeichern)
        frmSpeichern = this;
    FormCreate();
}

TfrmSpeichern::~TfrmSpeichern()
{
    if (frmSpeichern == this)
        frmSpeichern = nullptr;
}

void TfrmSpeichern::FormCreate()
{
    setWindowTitle(QStringLiteral("Speichern"));
    setProperty("HilfeKontext", 5);
    setFont(QApplication::font("QMenu"));

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

    flbSpeichern = new QListWidget(this);
    flbSpeichern->setObjectName(QStringLiteral("flbSpeichern"));
    flbSpeichern->viewport()->installEventFilter(this);

    lvSaveTyp = new QTreeWidget(this);
    lvSaveTyp->setObjectName(QStringLiteral("lvSaveTyp"));
    lvSaveTyp->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvSaveTyp->setSelectionMode(QAbstractItemView::SingleSelection);
    lvSaveTyp->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TypListeMalen(lvSaveTyp, [this](int zeile) { return lvSaveTypCustomDrawItem(zeile); });
    lvSaveTyp->setMinimumWidth(220);

    ediDateiname = new QLineEdit(this);
    ediDateiname->setObjectName(QStringLiteral("ediDateiname"));
    ediZielverz = new QLineEdit(this);
    ediZielverz->setObjectName(QStringLiteral("ediZielverz"));

    auto* tiefen = new QHBoxLayout;
    auto tiefe = [this, tiefen](const char* name, const QString& text) {
        auto* s = new TShape(this);
        s->setObjectName(QLatin1String(name));
        tiefen->addWidget(s);
        tiefen->addWidget(new QLabel(text, this));
        tiefen->addSpacing(8);
        return s;
    };
    shp24Bit = tiefe("shp24Bit", QStringLiteral("24 Bit"));
    shp8Bit = tiefe("shp8Bit", QStringLiteral("8 Bit"));
    shp4Bit = tiefe("shp4Bit", QStringLiteral("4 Bit"));
    shp1Bit = tiefe("shp1Bit", QStringLiteral("1 Bit"));
    tiefen->addStretch(1);

    cbSpeichernDatum = new QCheckBox(QStringLiteral("Originaldatum und Zeit beibehalten"), this);
    cbSpeichernDatum->setObjectName(QStringLiteral("cbSpeichernDatum"));
    cbEXIFschreibenTemp = new QCheckBox(QStringLiteral("Vorhandene JPEG/EXIF-Daten beibehalten."), this);
    cbEXIFschreibenTemp->setObjectName(QStringLiteral("cbEXIFschreibenTemp"));

    btnSpeichern = new QPushButton(QStringLiteral("&Speichern"), this);
    btnSpeichern->setObjectName(QStringLiteral("btnSpeichern"));
    btnSpeichern->setDefault(true);
    btnAbbrechen = new QPushButton(QStringLiteral("&Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
    btnAbbrechen->setAutoDefault(false);
    btnFormatoptionen = new QPushButton(QStringLiteral("&Formatoptionen"), this);
    btnFormatoptionen->setObjectName(QStringLiteral("btnFormatoptionen"));
    btnFormatoptionen->setAutoDefault(false);

    auto* links = new QVBoxLayout;
    links->addWidget(ShellTreeView1, 3);
    links->addWidget(flbSpeichern, 2);
    auto* rechts = new QVBoxLayout;
    rechts->addWidget(lvSaveTyp, 1);
    rechts->addLayout(tiefen);
    rechts->addWidget(btnFormatoptionen, 0, Qt::AlignLeft);
    auto* oben = new QHBoxLayout;
    oben->addLayout(links, 3);
    oben->addLayout(rechts, 2);
    auto* felder = new QGridLayout;
    felder->addWidget(new QLabel(QStringLiteral("Dateiname:"), this), 0, 0);
    felder->addWidget(ediDateiname, 0, 1);
    felder->addWidget(new QLabel(QStringLiteral("Ordner:"), this), 1, 0);
    felder->addWidget(ediZielverz, 1, 1);
    auto* knoepfe = new QHBoxLayout;
    auto* haken = new QVBoxLayout;
    haken->addWidget(cbSpeichernDatum);
    haken->addWidget(cbEXIFschreibenTemp);
    knoepfe->addLayout(haken);
    knoepfe->addStretch(1);
    knoepfe->addWidget(btnSpeichern);
    knoepfe->addWidget(btnAbbrechen);
    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(oben, 1);
    spalte->addLayout(felder);
    spalte->addLayout(knoepfe);
    resize(760, 540);

    QCoreApplication::processEvents();
    FormatListeFuellen(lvSaveTyp, 0, false, false);
    if (QTreeWidgetItem* erster = lvSaveTyp->topLevelItem(0)) {
        m_typ = erster->text(1).toLower();
        m_gewaehlteZeile = 0;
    }
    for (int i = 0; i < lvSaveTyp->topLevelItemCount(); ++i)
        lvSaveTyp->topLevelItem(i)->setData(0, ZustandsbildRolle, -1);

    // Wired after the list is filled: creating the window changes no shared state.
    connect(lvSaveTyp, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* aktuell, QTreeWidgetItem*) { lvSaveTypSelectItem(aktuell); });
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShellTreeView1Change(); });
    connect(flbSpeichern, &QListWidget::currentItemChanged, this, [this] { flbSpeichernChange(); });
    connect(flbSpeichern, &QListWidget::itemClicked, this, [this] { flbSpeichernChange(); });
    connect(cbSpeichernDatum, &QCheckBox::clicked, this, [this] { cbSpeichernDatumClick(); });
    connect(btnSpeichern, &QPushButton::clicked, this, [this] { btnSpeichernClick(); });
    connect(btnAbbrechen, &QPushButton::clicked, this, [this] { reject(); });
    connect(btnFormatoptionen, &QPushButton::clicked, this, [this] { btnFormatoptionenClick(); });
}

// ---- Rows of the type list ---------------------------------------------

QString TfrmSpeichern::ZeilenSchluessel(const QTreeWidgetItem* eintrag) const
{
    if (!eintrag)
        return {};
    return eintrag->text(1) + QLatin1Char(' ') + eintrag->text(2);
}

QString TfrmSpeichern::GewaehlterSchluessel() const
{
    const QList<QTreeWidgetItem*> auswahl = lvSaveTyp->selectedItems();
    if (!auswahl.isEmpty())
        return ZeilenSchluessel(auswahl.first());
    return ZeilenSchluessel(lvSaveTyp->topLevelItem(m_gewaehlteZeile));
}

int TfrmSpeichern::Zustandsbild(int index) const
{
    const QTreeWidgetItem* eintrag = lvSaveTyp->topLevelItem(index);
    return eintrag ? eintrag->data(0, ZustandsbildRolle).toInt() : -1;
}

QColor TfrmSpeichern::lvSaveTypCustomDrawItem(int index) const
{
    if (index >= 0 && index % 2 == 0)
        return QColor(FarbwertZuRgb(14940671));
    return {};
}

void TfrmSpeichern::lvSaveTypSelectItem(QTreeWidgetItem* eintrag)
{
    if (!eintrag)
        return;   // a cleared selection keeps the row last chosen
    for (int i = 0; i < lvSaveTyp->topLevelItemCount(); ++i) {
        QTreeWidgetItem* zeile = lvSaveTyp->topLevelItem(i);
        zeile->setData(0, ZustandsbildRolle, -1);
        zeile->setIcon(0, QIcon());
    }
    eintrag->setData(0, ZustandsbildRolle, GewaehltZustandsbild);
    eintrag->setIcon(0, TypMarkierung());
    m_gewaehlteZeile = lvSaveTyp->indexOfTopLevelItem(eintrag);
    m_typ = eintrag->text(1).toLower();
    if (!ediDateiname->text().isEmpty())
        ediDateiname->setText(EndungErsetzen(ediDateiname->text(), TypEndung(m_typ)));
    btnFormatoptionen->setEnabled(m_typ == QLatin1String("jpg"));
    ZielTyp = m_typ;

    TiefenFormenSetzen(shp24Bit, shp8Bit, shp4Bit, shp1Bit, ZeilenSchluessel(eintrag));
}

// ---- Folder tree and file list -----------------------------------------

void TfrmSpeichern::BaumAufOrdner(const QString& ordner)
{
    OrdnerBaumZeigen(ShellTreeView1, ShellModell, ordner);
}

void TfrmSpeichern::DateilisteLesen(const QString& ordner)
{
    flbSpeichern->blockSignals(true);
    flbSpeichern->clear();
    if (!ordner.isEmpty())
        flbSpeichern->addItems(QDir(ordner).entryList(QDir::Files | QDir::Hidden | QDir::System,
                                                      QDir::Name | QDir::IgnoreCase));
    flbSpeichern->blockSignals(false);
}

void TfrmSpeichern::ShellTreeView1Change()
{
    static bool laeuft = false;
    if (!m_zeigt || laeuft)
        return;
    laeuft = true;
    const QString pfad = OrdnerBaumPfad(ShellTreeView1, ShellModell);
    if (!pfad.isEmpty() && QFileInfo(pfad).isDir()) {
        m_dialogOrdner = MitTrenner(pfad);
        DateilisteLesen(m_dialogOrdner);
        ediZielverz->setText(m_dialogOrdner);
    } else {
        BaumAufOrdner(m_dialogOrdner);
    }
    laeuft = false;
}

void TfrmSpeichern::ShellTreeView1Aktualisieren()
{
    // The model follows the file system by itself; the file list does not.
    if (!m_dialogOrdner.isEmpty())
        DateilisteLesen(m_dialogOrdner);
}

void TfrmSpeichern::flbSpeichernChange()
{
    if (QListWidgetItem* eintrag = flbSpeichern->currentItem())
        if (eintrag->isSelected())
            ediDateiname->setText(EndungErsetzen(eintrag->text(), TypEndung(m_typ)));
}

void TfrmSpeichern::ApplicationEvents1ShowHint(const QPoint& position)
{
    QWidget* flaeche = flbSpeichern->viewport();
    QListWidgetItem* eintrag = flbSpeichern->itemAt(position);
    if (!eintrag) {
        QToolTip::hideText();
        return;
    }
    const QString text = eintrag->text();
    // Only names cut off by the list's width get a hint.
    if (QFontMetrics(flbSpeichern->font()).horizontalAdvance(text) < flaeche->width()) {
        QToolTip::hideText();
        return;
    }
    const QRect rechteck = flbSpeichern->visualItemRect(eintrag);
    QToolTip::showText(flaeche->mapToGlobal(QPoint(0, rechteck.top())), text, flaeche, rechteck);
}

bool TfrmSpeichern::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (objekt == flbSpeichern->viewport() && ereignis->type() == QEvent::ToolTip) {
        ApplicationEvents1ShowHint(static_cast<QHelpEvent*>(ereignis)->pos());
        return true;
    }
    return QDialog::eventFilter(objekt, ereignis);
}

// ---- Opening and closing -----------------------------------------------

void TfrmSpeichern::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    // Once per opening: closing the format-options window must not propose
    // the file name anew over what the user typed.
    if (!m_zeigt) {
        m_zeigt = true;
        FormActivate();
    }
}

void TfrmSpeichern::hideEvent(QHideEvent* ereignis)
{
    m_zeigt = false;
    QDialog::hideEvent(ereignis);
}

void TfrmSpeichern::FormActivate()
{
    m_zeigt = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();

    if (SpeicherVerzeichnis.isEmpty())
        SpeicherVerzeichnis = MitTrenner(LadeVerzeichnis);
    if (SpeicherVerzeichnis.isEmpty() || !QFileInfo(SpeicherVerzeichnis).isDir()) {
        QString eigene = SpezialOrdnerPfad(CSIDL_PERSONAL);
        if (eigene.isEmpty() || !QFileInfo(eigene).isDir())
            eigene = MitTrenner(QDir::homePath());
        SpeicherVerzeichnis = MitTrenner(eigene);
    }

    m_dialogOrdner = MitTrenner(SpeicherVerzeichnis);
    BaumAufOrdner(SpeicherVerzeichnis);
    DateilisteLesen(m_dialogOrdner);
    ediZielverz->setText(MitTrenner(SpeicherVerzeichnis));

    QTreeWidgetItem* gefunden = nullptr;
    for (int i = 0; i < lvSaveTyp->topLevelItemCount(); ++i) {
        QTreeWidgetItem* zeile = lvSaveTyp->topLevelItem(i);
        if (ZeilenSchluessel(zeile) == SpeichernTyp)
            gefunden = zeile;
    }
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

    btnFormatoptionen->setEnabled(m_typ == QLatin1String("jpg"));
    cbEXIFschreibenTemp->setChecked(ExifSchreiben);
    ZielTyp = m_typ;

    cbSpeichernDatum->setChecked(SpeichernDatum);
    cbSpeichernDatum->setEnabled(false);
    switch (BildQuelle) {
    case BildQuelleDatei:
        if (BildIndex >= 0 && BildIndex < BildListe.size())
            ediDateiname->setText(QFileInfo(BildListe.at(BildIndex)).fileName());
        cbSpeichernDatum->setEnabled(true);
        break;
    case BildQuelleZwischenablage:
        ediDateiname->setText(QStringLiteral("Ablage"));
        break;
    case BildQuelleScanner:
        ediDateiname->setText(QStringLiteral("Scan"));
        break;
    default:
        break;
    }

    if (!ediDateiname->text().isEmpty())
        ediDateiname->setText(EndungErsetzen(ediDateiname->text(), TypEndung(m_typ)));
    ediDateiname->setFocus();
    btnSpeichern->setEnabled(true);
    QApplication::restoreOverrideCursor();
}

void TfrmSpeichern::cbSpeichernDatumClick()
{
    SpeichernDatum = cbSpeichernDatum->isChecked();
}

void TfrmSpeichern::FormClose()
{
    const QString schluessel = GewaehlterSchluessel();
    if (!schluessel.isEmpty())
        SpeichernTyp = schluessel;
}

void TfrmSpeichern::done(int ergebnis)
{
    FormClose();
    QDialog::done(ergebnis);
}

void TfrmSpeichern::btnFormatoptionenClick()
{
    if (!frmFormatOption)
        frmFormatOption = new TfrmFormatOption(this);
    frmFormatOption->exec();
}

// ---- Saving ------------------------------------------------------------

void TfrmSpeichern::btnSpeichernClick()
{
    // The error picture never replaces a file, nor carries the EXIF data of
    // the file it stands for into one.
    if (NichtGeladenMelden(SpeichernVerweigertText()))
        return;
    try {
        const QString schluessel = GewaehlterSchluessel();
        if (schluessel.isEmpty() || ediDateiname->text().isEmpty())
            return;

        // The folder: a relative text counts from the folder shown.
        QString ordnerText = ediZielverz->text();
        if (ordnerText.isEmpty())
            ordnerText = m_dialogOrdner;
        else if (QDir::isRelativePath(ordnerText) && !m_dialogOrdner.isEmpty())
            ordnerText = QDir(m_dialogOrdner).absoluteFilePath(ordnerText);
        const QString ordner = MitTrenner(QDir::cleanPath(ordnerText));
        if (ordner.isEmpty())
            return;
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

        ediDateiname->setText(EndungErsetzen(ediDateiname->text(), TypEndung(m_typ)));
        const QString name = ediDateiname->text();
        if (!DateinameGueltig(name)) {
            Meldung(QStringLiteral("Ein Dateiname darf keines der folgenden Zeichen enthalten:") + QStringLiteral("\r\r")
                        + QStringLiteral("\\   /   :   *   ?   \"   <   >   |"),
                    TMeldungArt::Fehler, mbOk);
            return;
        }

        const QString pfad = PfadVerbinden(ordner, OhneEndBlanks(name));
        const QFileInfo ziel(pfad);
        if (ziel.isDir()) {
            Meldung(QStringLiteral("Das Bild konnte nicht gespeichert werden.") + QStringLiteral("\r\r")
                        + QStringLiteral("„%1“ ist ein Ordner.").arg(pfad),
                    TMeldungArt::Fehler, mbOk);
            return;
        }
        // The old file stays until the new one is complete: it is replaced,
        // never deleted first.
        bool schutzAufgehoben = false;
        mode_t alteRechte = 0;
        if (ziel.exists()) {
            const int antwort = Meldung(QStringLiteral("Eine Datei mit dem Namen ") + pfad + QStringLiteral("\r")
                                            + QStringLiteral("ist bereits vorhanden.") + QStringLiteral("\r\r")
                                            + QStringLiteral("Soll die Datei überschrieben werden?")
                                            + QStringLiteral("\r\r"),
                                        TMeldungArt::Bestaetigung, mbJa | mbNein);
            if (antwort != mbJa)
                return;
            if (DateiSchreibgeschuetzt(pfad)) {
                struct stat info {};
                const QByteArray name8 = QFile::encodeName(pfad);
                if (::stat(name8.constData(), &info) == 0)
                    alteRechte = info.st_mode & 07777;
                const bool gehoben = ::chmod(name8.constData(), alteRechte | S_IWUSR) == 0;
                const int e = gehoben ? EACCES : errno;
                if (!gehoben || DateiSchreibgeschuetzt(pfad)) {
                    Meldung(SchreibfehlerText(pfad, e), TMeldungArt::Information, mbOk);
                    return;
                }
                schutzAufgehoben = true;
            }
        }

        if (!Schreiben(schluessel, ordner, pfad)) {
            // A failed write leaves the old file as it was, protection included.
            if (schutzAufgehoben)
                ::chmod(QFile::encodeName(pfad).constData(), alteRechte);
            btnSpeichern->setEnabled(true);
        }
    } catch (const std::exception& e) {
        btnSpeichern->setEnabled(true);
        Meldung(QStringLiteral("Das Bild konnte nicht gespeichert werden.") + QStringLiteral("\r\r")
                    + QString::fromLocal8Bit(e.what()),
                TMeldungArt::Fehler, mbOk);
    } catch (...) {
        btnSpeichern->setEnabled(true);
        Meldung(QStringLiteral("Das Bild konnte nicht gespeichert werden."), TMeldungArt::Fehler, mbOk);
    }
}

bool TfrmSpeichern::Schreiben(const QString& schluessel, const QString& ordner, const QString& pfad)
{
    TfrmZelvanoMain* haupt = frmZelvanoMain;
    if (!haupt || !haupt->Gear1 || haupt->OriginalBild.IsEmpty()) {
        Meldung(QStringLiteral("Das Bild konnte nicht gespeichert werden.") + QStringLiteral("\r\r")
                    + QStringLiteral("Es ist kein Bild vorhanden."),
                TMeldungArt::Fehler, mbOk);
        return false;
    }
    TGear& gear = *haupt->Gear1;

    QCoreApplication::processEvents();
    gear.SetPicture(haupt->OriginalBild);
    FarbtiefeVorbereiten(gear, BildFarbtiefe);

    TSchreibZusatz zusatz;
    if (BildQuelle == BildQuelleDatei && cbEXIFschreibenTemp->isChecked())
        zusatz.exif = AktExifDaten;
    zusatz.kommentar = SchreibKommentar();
    if (BildQuelle == BildQuelleDatei && cbSpeichernDatum->isChecked())
        zusatz.datum = AktDateiDatum;

    btnSpeichern->setEnabled(false);
    QString fehler;
    const TSchreibSchritt schritt = BildSchreiben(gear, schluessel, pfad, zusatz, fehler);
    if (schritt == TSchreibSchritt::Bild) {
        Meldung(QStringLiteral("Das Bild konnte nicht gespeichert werden.") + QStringLiteral("\r\r") + fehler,
                TMeldungArt::Fehler, mbOk);
        return false;
    }

    BildBearbeitet = false;
    MenuesSetzen();
    SpeicherVerzeichnis = MitTrenner(ordner);

    if (schritt == TSchreibSchritt::Exif || schritt == TSchreibSchritt::Kommentar) {
        Meldung(schritt == TSchreibSchritt::Exif
                    ? QStringLiteral("Die EXIF-Daten konnten nicht geschrieben werden.") + QStringLiteral("\r\r") + fehler
                    : fehler,
                TMeldungArt::Fehler, mbOk);
        btnSpeichern->setEnabled(true);
        return true;
    }
    accept();
    return true;
}
