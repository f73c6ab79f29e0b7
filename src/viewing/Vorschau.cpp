// The thumbnail browser: a folder tree and the folder's images as thumbnails.
#include "Vorschau.h"
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <memory>
#include <numeric>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "files/OrdnerBaum.h"
#include "Global.h"
#include "VorschauLaden.h"
#include "Symbole.h"
#include "ZelvanoMain.h"
#include "widgets/PngImageList.h"
#include "widgets/Warten.h"
#include "pixelops/Bitmap.h"

TfrmVorschau* frmVorschau = nullptr;
QString VorschauOrdner;
int VorschauAnzahl = 0;
bool VorschauLaedt = false;
bool VorschauStopp = false;
bool VorschauOrdnerGeaendert = false;

namespace {

// Dark slate fill with a sky-blue line around each thumbnail.
class TVorschauRahmen : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(QColor(FarbwertZuRgb(0xF0CAA6)));
        p.setBrush(QColor(FarbwertZuRgb(0x544E43)));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

QString MitDokumentenRueckfall(QString ordner)
{
    ordner = MitTrenner(ordner);
    if (ordner.isEmpty() || !QFileInfo(ordner).isDir())
        ordner = MitTrenner(SpezialOrdnerPfad(CSIDL_PERSONAL));
    return ordner;
}

}   // namespace

std::optional<QRect> VorschauFensterGrenzen()
{
    if (!frmVorschau)
        return std::nullopt;
    if (VorschauLaedt)
        VorschauStopp = true;
    return frmVorschau->isMaximized() || frmVorschau->isMinimized() ? frmVorschau->normalGeometry()
                                                                    : frmVorschau->geometry();
}

TfrmVorschau::TfrmVorschau(QWidget* parent) : QDialog(parent, Qt::Window)
{
    FormCreate();
}

TfrmVorschau::~TfrmVorschau()
{
    if (frmVorschau == this)
        frmVorschau = nullptr;
}

void TfrmVorschau::FormCreate()
{
    setObjectName(QStringLiteral("frmVorschau"));
    setWindowTitle(QStringLiteral("Vorschau"));
    setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    setFont(QApplication::font("QMenu"));

    pnlLinks = new QWidget(this);
    pnlLinks->setObjectName(QStringLiteral("pnlLinks"));
    pnlLinks->setFixedWidth(280);
    stvVorschau = new QTreeView(pnlLinks);
    stvVorschau->setObjectName(QStringLiteral("stvVorschau"));
    stvVorschau->setHeaderHidden(true);
    stvVorschau->setRootIsDecorated(true);
    stvVorschau->setSelectionMode(QAbstractItemView::SingleSelection);
    stvVorschau->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pnlSchalter = new QWidget(pnlLinks);
    pnlSchalter->setObjectName(QStringLiteral("pnlSchalter"));
    pnlSchalter->setFixedHeight(71);

    bbtnStopSchliessen = new TPngBitBtn(QStringLiteral("Schließen"), pnlSchalter);
    bbtnStopSchliessen->setObjectName(QStringLiteral("bbtnStopSchliessen"));
    bbtnStopSchliessen->SetPngImage(PngAusListe(ButtonBilderListe(), symSchliessen));
    bbtnStopSchliessen->setAutoDefault(false);
    bbtnAktualisieren = new TPngBitBtn(QStringLiteral("Aktualisieren"), pnlSchalter);
    bbtnAktualisieren->setObjectName(QStringLiteral("bbtnAktualisieren"));
    bbtnAktualisieren->setAutoDefault(false);
    bbtnAktualisieren->SetPngImage(PngAusListe(ButtonBilderListe(), symVorschau));
    Shape1 = new QFrame(pnlSchalter);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setAutoFillBackground(true);
    lblBildAnzahl = new QLabel(QStringLiteral("0"), Shape1);
    lblBildAnzahl->setObjectName(QStringLiteral("lblBildAnzahl"));
    lblBildAnzahl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblBilddateien = new QLabel(Shape1);
    lblBilddateien->setObjectName(QStringLiteral("lblBilddateien"));

    auto* knoepfe = new QHBoxLayout();
    knoepfe->addWidget(bbtnStopSchliessen);
    knoepfe->addWidget(bbtnAktualisieren);
    auto* zaehler = new QHBoxLayout(Shape1);
    zaehler->setContentsMargins(4, 2, 4, 2);
    zaehler->addWidget(lblBildAnzahl, 1);
    zaehler->addWidget(lblBilddateien, 1);
    auto* schalter = new QVBoxLayout(pnlSchalter);
    schalter->setContentsMargins(4, 4, 4, 0);
    schalter->addLayout(knoepfe);
    schalter->addWidget(Shape1);
    auto* links = new QVBoxLayout(pnlLinks);
    links->setContentsMargins(0, 0, 0, 0);
    links->addWidget(stvVorschau, 1);
    links->addWidget(pnlSchalter);

    SBoxVorschau = new QScrollArea(this);
    SBoxVorschau->setObjectName(QStringLiteral("SBoxVorschau"));
    SBoxVorschau->setFrameShape(QFrame::NoFrame);
    SBoxVorschau->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SBoxVorschau->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SBoxVorschau->setWidgetResizable(false);
    QPalette schwarz = SBoxVorschau->palette();
    schwarz.setColor(QPalette::Window, Qt::black);
    SBoxVorschau->setPalette(schwarz);
    SBoxVorschau->setBackgroundRole(QPalette::Window);
    SBoxInhalt = new QWidget();
    SBoxInhalt->setObjectName(QStringLiteral("SBoxInhalt"));
    SBoxInhalt->setAutoFillBackground(true);
    SBoxInhalt->setPalette(schwarz);
    SBoxVorschau->setWidget(SBoxInhalt);
    SBoxVorschau->viewport()->installEventFilter(this);

    auto* haupt = new QHBoxLayout(this);
    haupt->setContentsMargins(0, 0, 0, 0);
    haupt->setSpacing(0);
    haupt->addWidget(pnlLinks);
    haupt->addWidget(SBoxVorschau, 1);

    VorschauGear = new TGear(this);
    VorschauAnzahl = 0;
    VorschauLaedt = VorschauStopp = VorschauOrdnerGeaendert = false;

    // Bounds from the settings, kept within the work area and on a screen.
    const QRect arbeit = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                          : QRect(0, 0, 1920, 1080);
    setGeometry(FensterAufBildschirm(QRect(std::max(0, VorschauVonLinks), std::max(0, VorschauVonOben),
                                           std::min(arbeit.width(), std::max(100, VorschauBreit)),
                                           std::min(arbeit.height(), std::max(100, VorschauHoch)))));
    KnopfLeerlauf();

    m_aenderungsTimer = new QTimer(this);
    m_aenderungsTimer->setSingleShot(true);
    m_aenderungsTimer->setInterval(400);
    connect(m_aenderungsTimer, &QTimer::timeout, this, &TfrmVorschau::OrdnerGeaendertPruefen);
    connect(bbtnStopSchliessen, &QPushButton::clicked, this, &TfrmVorschau::bbtnStopSchliessenClick);
    connect(bbtnAktualisieren, &QPushButton::clicked, this, &TfrmVorschau::bbtnAktualisierenClick);
}

// The tree's model is filled when the window is first needed, not at start.
void TfrmVorschau::BaumVorbereiten()
{
    if (m_modell)
        return;
    m_modell = new QFileSystemModel(this);
    m_modell->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::Drives);
    m_modell->setRootPath(QStringLiteral("/"));
    stvVorschau->setModel(m_modell);
    for (int spalte = 1; spalte < m_modell->columnCount(); ++spalte)
        stvVorschau->hideColumn(spalte);
    connect(stvVorschau->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfrmVorschau::stvVorschauChange);
    connect(stvVorschau, &QTreeView::clicked, this, &TfrmVorschau::stvVorschauClick);
    // The folders load in the background: keep the chosen one in view once
    // its parent's entries have arrived.
    connect(m_modell, &QFileSystemModel::directoryLoaded, this, [this] {
        if (stvVorschau->currentIndex().isValid())
            stvVorschau->scrollTo(stvVorschau->currentIndex());
    });
}

QString TfrmVorschau::BaumPfad() const
{
    const QString pfad = OrdnerBaumPfad(stvVorschau, m_modell);
    return pfad.isEmpty() ? QString() : MitTrenner(pfad);
}

void TfrmVorschau::BaumPfadSetzen(const QString& pfad)
{
    BaumVorbereiten();
    QString ohne = QDir::cleanPath(pfad);
    const QModelIndex index = m_modell->index(ohne);
    if (!index.isValid())
        return;
    m_pfadWirdGesetzt = true;
    stvVorschau->setCurrentIndex(index);
    stvVorschau->expand(index);
    stvVorschau->scrollTo(index);
    m_pfadWirdGesetzt = false;
}

int TfrmVorschau::Schriftpixel() const
{
    // A cell height of 10 points on this screen.
    return std::max(8, int(10.0 * logicalDpiY() / 72.0));
}

QFont TfrmVorschau::NamenSchrift() const
{
    QFont schrift = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    schrift.setPixelSize(Schriftpixel());
    return schrift;
}

void TfrmVorschau::KnopfLeerlauf()
{
    bbtnStopSchliessen->setDefault(false);
    bbtnStopSchliessen->setText(QStringLiteral("Schließen"));
    bbtnStopSchliessen->SetPngImage(PngAusListe(ButtonBilderListe(), symSchliessen));
    bbtnAktualisieren->setEnabled(true);
}

void TfrmVorschau::BauBeginnen()
{
    VorschauLaedt = true;
    VorschauStopp = false;
    bbtnStopSchliessen->setDefault(true);
    bbtnStopSchliessen->setText(QStringLiteral("Stop"));
    bbtnStopSchliessen->SetPngImage(PngAusListe(ButtonBilderListe(), symStop));
    bbtnAktualisieren->setEnabled(false);
    stvVorschau->setEnabled(false);
}

void TfrmVorschau::BauBeenden()
{
    VorschauLaedt = false;
    VorschauStopp = false;
    KnopfLeerlauf();
    stvVorschau->setEnabled(true);
}

int TfrmVorschau::Spalten() const
{
    return VorschauSpalten(SBoxVorschau->width(), style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                           VorschauGroesse);
}

void TfrmVorschau::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    BaumVorbereiten();
    // After the window is on screen, so the first row can appear at once.
    QTimer::singleShot(0, this, &TfrmVorschau::FormActivate);
}

void TfrmVorschau::changeEvent(QEvent* ereignis)
{
    QDialog::changeEvent(ereignis);
    if (ereignis->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TfrmVorschau::FormActivate()
{
    // A build pumps messages: a message box closing inside it activates the
    // window again, which must not start a second build.
    if (!isVisible() || VorschauLaedt)
        return;
    LadeVerzeichnis = MitDokumentenRueckfall(LadeVerzeichnis);
    VorschauOrdner = LadeVerzeichnis;
    BaumPfadSetzen(VorschauOrdner);
    if (SBoxInhalt->children().isEmpty())
        BilderAnzeigen();
}

void TfrmVorschau::stvVorschauChange()
{
    if (m_pfadWirdGesetzt)
        return;
    const QString pfad = BaumPfad();
    if (pfad.isEmpty() || !QFileInfo(pfad).isDir())
        BaumPfadSetzen(VorschauOrdner);
    VorschauOrdnerGeaendert = true;
}

void TfrmVorschau::stvVorschauClick()
{
    if (VorschauOrdnerGeaendert && !VorschauStopp && !VorschauLaedt)
        BilderAnzeigen();
}

QStringList TfrmVorschau::OrdnerListen(const QString& ordner) const
{
    QStringList muster;
    for (const QString& m : BildMaske.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString t = m.trimmed();
        if (!t.isEmpty())
            muster << t;
    }
    QDir verzeichnis(ordner);
    verzeichnis.setNameFilters(muster);
    // The order of the open window's file list.
    return verzeichnis.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
}

QStringList TfrmVorschau::OrdnerStand(const QString& ordner, const QStringList& namen) const
{
    QStringList stand;
    stand.reserve(namen.size());
    for (const QString& name : namen) {
        const QFileInfo info(ordner + name);
        stand << name + QLatin1Char('\n') + QString::number(info.lastModified().toMSecsSinceEpoch()) +
                     QLatin1Char('\n') + QString::number(info.size());
    }
    return stand;
}

void TfrmVorschau::ZellenLeeren()
{
    for (QObject* kind : SBoxInhalt->children())
        if (kind->isWidgetType())
            delete kind;
    VorschauBilder.clear();
    VorschauRahmen.clear();
    VorschauNamen.clear();
}

void TfrmVorschau::LadeVorschauBild(QImage& bild, const QString& dateiName)
{
    const int s = VorschauGroesse;
    bild = QImage();
    const TVorschauWeg weg = VorschauWeg(dateiName);
    if (weg == TVorschauWeg::Keiner)
        return;
    if (weg == TVorschauWeg::Direkt)
        bild = VorschauBildDekodieren(dateiName, s);
    // What the direct decoders cannot read (a lossless JPEG, say) may still
    // be read by the imaging control.
    if (bild.isNull()) {
        // The main image's date and comment belong to the main image.
        const QDateTime datum = AktDateiDatum;
        const QString kommentar = AktKommentar;
        LadeGearBild(*VorschauGear, dateiName);
        AktDateiDatum = datum;
        AktKommentar = kommentar;
        TBitmap bmp;
        if (GearZuBitmap(*VorschauGear, bmp))
            bild = bmp.Bild();
        VorschauGear->DelImage();
    }
    if (bild.isNull() || bild.width() <= 0 || bild.height() <= 0)
        bild = FehlerBild().convertToFormat(QImage::Format_BGR888);
}

void TfrmVorschau::ZelleAnlegen(int k, int spalten, const QImage& bild, QSize groesse)
{
    const int s = VorschauGroesse;
    const QPoint zelle = VorschauZelle(k, spalten, s);
    const int x = zelle.x(), y = zelle.y();

    auto* name = new QLabel(flbVorschau.at(k), SBoxInhalt);
    const QFont schrift = NamenSchrift();
    name->setFont(schrift);
    QPalette creme = name->palette();
    creme.setColor(QPalette::WindowText, QColor(FarbwertZuRgb(0xF0FBFF)));
    name->setPalette(creme);
    name->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    name->setGeometry(x - 4, y + s + 5, s + 8, QFontMetrics(schrift).height() + 2);

    auto* rahmen = new TVorschauRahmen(SBoxInhalt);
    rahmen->setGeometry(x - 4, y - 4, s + 8, s + 8);

    auto* bildLabel = new QLabel(SBoxInhalt);
    bildLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    bildLabel->setGeometry(x + (s - groesse.width()) / 2, y + (s - groesse.height()) / 2, groesse.width(),
                           groesse.height());
    bildLabel->setPixmap(QPixmap::fromImage(bild));
    bildLabel->setCursor(Qt::PointingHandCursor);
    bildLabel->installEventFilter(this);

    VorschauNamen[k] = name;
    VorschauRahmen[k] = rahmen;
    VorschauBilder[k] = bildLabel;
    name->show();
    rahmen->show();
    bildLabel->show();
    const int unten = name->geometry().bottom() + 10;
    if (SBoxInhalt->height() < unten || SBoxInhalt->width() != SBoxVorschau->viewport()->width())
        SBoxInhalt->resize(SBoxVorschau->viewport()->width(), std::max(unten, SBoxInhalt->height()));
}

void TfrmVorschau::BilderAnzeigen()
{
    if (!isVisible() || VorschauLaedt)
        return;
    // 1.
    ZellenLeeren();
    SBoxInhalt->resize(SBoxVorschau->viewport()->width(), 0);
    VorschauOrdnerGeaendert = false;
    // 2.
    const QString baum = BaumPfad();
    if (!baum.isEmpty())
        VorschauOrdner = baum;
    LadeVerzeichnis = VorschauOrdner;
    // 3.
    flbVorschau = OrdnerListen(VorschauOrdner);
    VorschauAnzahl = int(flbVorschau.size());
    m_stand = OrdnerStand(VorschauOrdner, flbVorschau);
    VorschauBilder.fill(nullptr, VorschauAnzahl);
    VorschauRahmen.fill(nullptr, VorschauAnzahl);
    VorschauNamen.fill(nullptr, VorschauAnzahl);
    OrdnerBeobachten();
    // 4.
    const int spalten = Spalten();
    // 5.
    BauBeginnen();
    lblBildAnzahl->setText(QStringLiteral("0"));
    lblBilddateien->setText(QStringLiteral("von ") + QString::number(VorschauAnzahl) + QStringLiteral(" geladen"));
    // 6.
    QVector<int> alle(VorschauAnzahl);
    std::iota(alle.begin(), alle.end(), 0);
    ZellenBauen(alle, spalten, 0);
    // 7.
    BauBeenden();
    stvVorschau->setFocus();
}

void TfrmVorschau::ZellenBauen(const QVector<int>& indizes, int spalten, int schonGebaut)
{
    // Worker threads decode ahead; the cells are filled here in list order,
    // pumping messages while waiting so the window stays usable.
    const int s = VorschauGroesse;
    QStringList pfade;
    pfade.reserve(indizes.size());
    for (const int k : indizes)
        pfade << VorschauOrdner + flbVorschau.at(k);
    const QString ordner = VorschauOrdner;
    const QStringList liste = flbVorschau;
    auto vorlader = std::make_unique<TVorschauVorlader>(pfade, s);
    for (int i = 0; i < indizes.size() && !VorschauStopp; ++i) {
        TVorschauErgebnis e;
        bool da = false;
        MitNachrichtenWarten([&] { return VorschauStopp || (da = vorlader->Holen(i, e, 10)); });
        if (!da)
            break;
        if (e.gear || e.fehler || e.bild.isNull()) {
            LadeVorschauBild(VorschauBild, pfade.at(i));
            e.groesse = VorschauGroesseFuer(VorschauBild.width(), VorschauBild.height(), s);
            e.bild = VorschauVerkleinern(VorschauBild, s, 0);
            e.fehler = e.bild.isNull();
        }
        if (e.fehler || e.bild.isNull()) {
            e.bild = FehlerBild().convertToFormat(QImage::Format_BGR888);
            e.groesse = VorschauGroesseFuer(e.bild.width(), e.bild.height(), s);
            e.bild = VorschauVerkleinern(e.bild, s, 1);
        }
        // A nested event (tree refresh, close) may have changed the folder.
        if (ordner != VorschauOrdner || flbVorschau != liste)
            break;
        ZelleAnlegen(indizes.at(i), spalten, e.bild, e.groesse);
        QCoreApplication::processEvents();
        lblBildAnzahl->setText(QString::number(schonGebaut + i + 1));
    }
}

void TfrmVorschau::imgClick(QObject* sender)
{
    const int i = int(VorschauBilder.indexOf(static_cast<QLabel*>(sender)));
    if (i >= 0 && i < flbVorschau.size() && QFileInfo(VorschauOrdner + flbVorschau.at(i)).isFile()) {
        // An edited main image is not replaced without asking.
        if (frmZelvanoMain && !frmZelvanoMain->AchtungBearbeitet())
            return;
        BildListe.clear();
        for (const QString& name : flbVorschau)
            BildListe << VorschauOrdner + name;
        LadeVerzeichnis = MitTrenner(VorschauOrdner);
        BildIndex = i;
        if (frmZelvanoMain) {
            frmZelvanoMain->BildAnzeigen();
            if (BildQuelle > BildQuelleKeine && frmZelvanoMain->AnzeigeBild)
                frmZelvanoMain->AnzeigeBild->setVisible(true);
            if (VorschauVollbild && frmZelvanoMain->mAnsVollbild)
                frmZelvanoMain->mAnsVollbild->trigger();
        }
    }
    if (VorschauFensterAus)
        close();
}

void TfrmVorschau::resizeEvent(QResizeEvent* ereignis)
{
    QDialog::resizeEvent(ereignis);
    FormResize();
}

void TfrmVorschau::FormResize()
{
    ZellenAnordnen();
}

void TfrmVorschau::ZellenAnordnen(int auchBis)
{
    const int s = VorschauGroesse;
    const int spalten = Spalten();
    int unten = 0;
    for (int i = 0; i < VorschauBilder.size(); ++i) {
        QLabel* bild = VorschauBilder[i];
        if (!bild || !VorschauRahmen[i] || !VorschauNamen[i])
            continue;
        const QPoint zelle = VorschauZelle(i, spalten, s);
        const int x = zelle.x(), y = zelle.y();
        VorschauNamen[i]->move(x - 4, y + s + 5);
        VorschauRahmen[i]->move(x - 4, y - 4);
        bild->move(x + (s - bild->width()) / 2, y + (s - bild->height()) / 2);
        unten = std::max(unten, VorschauNamen[i]->geometry().bottom() + 10);
    }
    // Room for the cells still to come, so the view need not move meanwhile.
    if (auchBis >= 0) {
        const QRect name(0, VorschauZelle(auchBis, spalten, s).y() + s + 5, 1,
                         QFontMetrics(NamenSchrift()).height() + 2);
        unten = std::max(unten, name.bottom() + 10);
    }
    SBoxInhalt->resize(SBoxVorschau->viewport()->width(), unten);
}

bool TfrmVorschau::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (ereignis->type() == QEvent::Wheel && objekt == SBoxVorschau->viewport()) {
        const int delta = static_cast<QWheelEvent*>(ereignis)->angleDelta().y();
        QScrollBar* balken = SBoxVorschau->verticalScrollBar();
        const int schritt = VorschauGroesse + 20;
        if (delta > 0)
            balken->setValue(balken->value() - schritt);
        else if (delta < 0)
            balken->setValue(balken->value() + schritt);
        return true;
    }
    if (ereignis->type() == QEvent::MouseButtonRelease && objekt->parent() == SBoxInhalt &&
        static_cast<QMouseEvent*>(ereignis)->button() == Qt::LeftButton) {
        imgClick(objekt);
        return true;
    }
    return QDialog::eventFilter(objekt, ereignis);
}

void TfrmVorschau::bbtnStopSchliessenClick()
{
    if (VorschauLaedt) {
        VorschauStopp = true;
        KnopfLeerlauf();
        return;
    }
    close();
}

void TfrmVorschau::bbtnAktualisierenClick()
{
    if (VorschauLaedt)
        return;
    if (m_modell) {
        // Re-read the tree below its root.
        const QString wurzel = m_modell->rootPath();
        m_modell->setRootPath(QString());
        m_modell->setRootPath(wurzel);
    }
    LadeVerzeichnis = MitDokumentenRueckfall(LadeVerzeichnis);
    VorschauOrdner = LadeVerzeichnis;
    BaumPfadSetzen(VorschauOrdner);
    BilderAnzeigen();
}

void TfrmVorschau::closeEvent(QCloseEvent* ereignis)
{
    // FormCloseQuery: a close request during a build only stops it.
    if (VorschauLaedt) {
        VorschauStopp = true;
        KnopfLeerlauf();
        ereignis->ignore();
        return;
    }
    ereignis->accept();
}

void TfrmVorschau::reject()
{
    // Escape acts as the cancel button, which "Schließen" is only while idle.
    if (!VorschauLaedt)
        close();
}

// ---- Change notification ---------------------------------------------------

void TfrmVorschau::OrdnerBeobachten()
{
    if (!m_waechter) {
        m_waechter = new QFileSystemWatcher(this);
        connect(m_waechter, &QFileSystemWatcher::directoryChanged, this, [this] { m_aenderungsTimer->start(); });
    }
    const QStringList alt = m_waechter->directories();
    if (!alt.isEmpty())
        m_waechter->removePaths(alt);
    if (QFileInfo(VorschauOrdner).isDir())
        m_waechter->addPath(VorschauOrdner);
}

void TfrmVorschau::OrdnerGeaendertPruefen()
{
    if (!isVisible())
        return;
    // A change seen during a build is looked at once the build is done.
    if (VorschauLaedt) {
        m_aenderungsTimer->start();
        return;
    }
    // The folder itself may have gone: then the shown thumbnails stay.
    if (!QFileInfo(VorschauOrdner).isDir())
        return;
    const QStringList namen = OrdnerListen(VorschauOrdner);
    const QStringList stand = OrdnerStand(VorschauOrdner, namen);
    if (stand != m_stand)
        EintraegeErneuern(namen, stand);
}

void TfrmVorschau::EintraegeErneuern(const QStringList& namen, const QStringList& stand)
{
    const QVector<int> behalten = VorschauBehalten(m_stand, stand);
    const int n = int(namen.size());
    QVector<QLabel*> bilder(n, nullptr);
    QVector<QFrame*> rahmen(n, nullptr);
    QVector<QLabel*> beschriftungen(n, nullptr);
    QVector<bool> bleibt(VorschauBilder.size(), false);
    QVector<int> bauen;
    int gebaut = 0;
    for (int k = 0; k < n; ++k) {
        const int alt = behalten.at(k);
        if (alt < 0 || alt >= VorschauBilder.size()) {
            bauen << k;
            continue;
        }
        // An unchanged file keeps its cell, also one a stopped build left empty.
        bilder[k] = VorschauBilder[alt];
        rahmen[k] = VorschauRahmen[alt];
        beschriftungen[k] = VorschauNamen[alt];
        bleibt[alt] = true;
        if (bilder[k])
            ++gebaut;
    }
    // Cells of changed and vanished files go; later, since a click on one of
    // them may be under way.
    for (int i = 0; i < VorschauBilder.size(); ++i) {
        if (bleibt[i])
            continue;
        for (QWidget* w : std::initializer_list<QWidget*>{VorschauBilder[i], VorschauRahmen[i], VorschauNamen[i]}) {
            if (w) {
                w->hide();
                w->deleteLater();
            }
        }
    }
    VorschauBilder = bilder;
    VorschauRahmen = rahmen;
    VorschauNamen = beschriftungen;
    flbVorschau = namen;
    VorschauAnzahl = n;
    m_stand = stand;
    lblBildAnzahl->setText(QString::number(gebaut));
    lblBilddateien->setText(QStringLiteral("von ") + QString::number(VorschauAnzahl) + QStringLiteral(" geladen"));
    ZellenAnordnen(bauen.isEmpty() ? -1 : bauen.last());
    if (bauen.isEmpty())
        return;
    // The tree is locked meanwhile, as in a build; the focus comes back.
    const QPointer<QWidget> fokus = QApplication::focusWidget();
    BauBeginnen();
    ZellenBauen(bauen, Spalten(), gebaut);
    BauBeenden();
    if (fokus)
        fokus->setFocus();
}
