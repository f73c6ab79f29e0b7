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
#include "Zielfragen.h"
#include "TypListe.h"
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

constexpr int RahmenSeite = 236;

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
    // False when the control holds the error picture in place of the file's.
    bool gelesen = LadeGearBild(gear, quelle, v.hintergrund, metadaten.get(), angaben)
                   && gear.ImageWidth() >= 1 && gear.ImageHeight() >= 1;
    d.kommentar = angaben.kommentar;
    d.datum = angaben.datum;

    const QFileInfo info(quelle);
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

TfrmKonvertieren::TfrmKonvertieren(QWidget* parent) : TZielFenster(parent)
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

    TypListeErzeugen();

    QHBoxLayout* tiefen = TiefenFormenAnlegen(this, shp24Bit, shp8Bit, shp4Bit, shp1Bit);

    OrdnerBaumErzeugen();
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
    FormatoptionenErzeugen();
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
    TypListeFuellen();
    connect(cbOrdnerBeibehalten, &QCheckBox::clicked, this, [this] { cbOrdnerBeibehaltenClick(); });
    connect(cbKonvertierenDatum, &QCheckBox::clicked, this, [this] { cbKonvertierenDatumClick(); });
    connect(btnZielGroesse, &QPushButton::clicked, this, [this] { btnZielGroesseClick(); });
    connect(btnAbbrechen, &QPushButton::clicked, this, [this] { btnAbbrechenClick(); });
    connect(btnKonvertieren, &QPushButton::clicked, this, [this] { btnKonvertierenClick(); });
}

// ---- Folder --------------------------------------------------------------

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

// ---- Opening and closing -------------------------------------------------

void TfrmKonvertieren::FormActivate()
{
    m_zeigt = true;
    Vorschau->hide();
    QCoreApplication::processEvents();
    lblBilderzahl->setText(QString::number(BildListe.size()) + QStringLiteral(" Bilder werden konvertiert."));
    cbKonvertierenDatum->setChecked(KonvertierenDatum);

    // A stored type no row knows: the row last chosen (at first the first).
    TypZeigen(KonvertierenTyp);

    if (!BildListe.isEmpty()) {
        LadeKonvertBild(BildListe.first());
        lblBildname->setText(QFileInfo(BildListe.first()).fileName());
    }
    ZielgroesseZeigen();
    QCoreApplication::processEvents();
    btnFormatoptionen->setEnabled(m_typ == QLatin1String("jpg"));
    cbEXIFschreibenTempK->setChecked(ExifSchreiben);
    ZielTyp = m_typ;

    ZielOrdnerZeigen();
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
        KonvertierenTyp = TypZeilenSchluessel(zeile);
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
    btnFormatoptionen->setEnabled(frei && m_typ == QLatin1String("jpg"));
    ShellTreeView1->setEnabled(frei && !cbOrdnerBeibehalten->isChecked());
    ediZielverz->setEnabled(frei && !cbOrdnerBeibehalten->isChecked());
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
    const QString schluessel = TypZeilenSchluessel(zeile);
    const QString endung = TypEndung(zeile->text(1));

    const QString ordner = ZielOrdnerAusEingabe(ediZielverz->text().trimmed(), m_ordner);
    if (ordner.isEmpty() || !ZielOrdnerAnlegen(ordner))
        return;

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
                    // The arrow over the question, not the run's hourglass.
                    QApplication::setOverrideCursor(Qt::ArrowCursor);
                    const int antwort = UeberschreibenFragen(ziel, TMeldungArt::Information,
                                                             mbJa | mbNein | mbAbbrechen | mbAlle);
                    QApplication::restoreOverrideCursor();
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
