// Lossless JPEG rotation and mirroring on the file itself.
#include "JpgDrehen.h"
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <turbojpeg.h>
#include "DatumZeitSetzen.h"
#include "Global.h"
#include "Meldung.h"
#include "Kopieren.h"
#include "Symbole.h"
#include "gear/GearHilfen.h"
#include "gear/GearJpeg.h"
#include "ZelvanoMain.h"
#include "widgets/PngImageList.h"

TfrmJpgDrehen* frmJpgDrehen = nullptr;
int SegmentKopierModus = JpgKopiereAlle;

namespace {

const QString FehlerText = QStringLiteral("Das Bild konnte nicht gedreht werden.");

// Frees the library's buffers and handle on every way out.
struct TTransformAufraeumen {
    tjhandle handle = nullptr;
    unsigned char* daten = nullptr;
    ~TTransformAufraeumen()
    {
        if (daten)
            tjFree(daten);
        if (handle)
            tjDestroy(handle);
    }
};

bool CodeGueltig(uint8_t code)
{
    return code == JpgSpiegelnHorizontal || code == JpgSpiegelnVertikal || code == JpgDrehen90 ||
           code == JpgDrehen180 || code == JpgDrehen270;
}

// A few bytes can declare a picture of 65535 x 65535: the library would
// allocate its coefficients (source and turned copy) and spend seconds on
// them before finding the data missing. Too little data, or more memory
// than the machine has, is refused first.
bool GenugDatenUndSpeicher(const QByteArray& daten)
{
    const auto* d = reinterpret_cast<const unsigned char*>(daten.constData());
    QString fehler;
    if (!JpegScanDatenReichen(d, daten.size(), fehler))
        return false;
    tjhandle kopf = tjInitDecompress();
    if (!kopf)
        return false;
    int breite = 0, hoehe = 0, abtastung = 0, farbraum = 0;
    const int rc = tjDecompressHeader3(kopf, d, static_cast<unsigned long>(daten.size()), &breite, &hoehe, &abtastung,
                                       &farbraum);
    tjDestroy(kopf);
    if (rc != 0 || breite <= 0 || hoehe <= 0)
        return false;
    // Components per pixel, in halves: chroma sampled down takes less.
    int halbe = 6;
    if (farbraum == TJCS_GRAY)
        halbe = 2;
    else if (farbraum == TJCS_CMYK || farbraum == TJCS_YCCK)
        halbe = 8;
    else if (abtastung == TJSAMP_420 || abtastung == TJSAMP_411)
        halbe = 3;
    else if (abtastung == TJSAMP_422 || abtastung == TJSAMP_440)
        halbe = 4;
    // Two bytes per coefficient, for the source and the transformed copy.
    const qint64 bytes = qint64(breite) * hoehe * halbe / 2 * 2 * 2;
    TGearSpeicherRahmen budget;
    return GearSpeicherNehmen(qint64(daten.size()) + bytes, fehler);
}

}   // namespace

bool JpgTransformieren(const QString& quelle, const QString& ziel, uint8_t code, uint8_t kopierModus, bool trimmen)
{
    if (!CodeGueltig(code))
        return false;
    QFile ein(quelle);
    if (!ein.open(QIODevice::ReadOnly))
        return false;
    const QByteArray daten = ein.readAll();
    ein.close();
    if (daten.isEmpty())
        return false;
    if (!GenugDatenUndSpeicher(daten))
        return false;

    TTransformAufraeumen a;
    a.handle = tjInitTransform();
    if (!a.handle)
        return false;
    tjtransform t{};
    t.op = code;   // the library's transform codes are the program's
    t.options = 0;
    if (trimmen)
        t.options |= TJXOPT_TRIM;
    if (kopierModus == JpgKopiereKeine)
        t.options |= TJXOPT_COPYNONE;
    unsigned long groesse = 0;
    // A warning (damaged but readable data) fails as well: the library still
    // hands out a picture then, which must never replace the user's file.
    const int rc = tjTransform(a.handle, reinterpret_cast<const unsigned char*>(daten.constData()),
                               static_cast<unsigned long>(daten.size()), 1, &a.daten, &groesse, &t, 0);
    if (rc != 0 || !a.daten || groesse == 0)
        return false;

    QFile aus(ziel);
    if (!aus.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool geschrieben = aus.write(reinterpret_cast<const char*>(a.daten), qint64(groesse)) == qint64(groesse) &&
                             aus.flush();
    aus.close();
    if (!geschrieben || aus.error() != QFileDevice::NoError) {
        QFile::remove(ziel);
        return false;
    }
    return true;
}

bool JpgDateiDrehen(const QString& pfad, uint8_t code, uint8_t kopierModus, bool trimmen)
{
    if (pfad.isEmpty() || !QFileInfo(pfad).isFile())
        return false;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    // One working file per running instance: all instances share the folder.
    const QString zwischen = TempVerzeichnis.isEmpty()
                                 ? QString()
                                 : PfadVerbinden(TempVerzeichnis, TempEigenerName(QStringLiteral("DrehTemp.jpg")));

    bool ergebnis = !zwischen.isEmpty() && JpgTransformieren(pfad, zwischen, code, kopierModus, trimmen);
    if (ergebnis) {
        // The modification time before the change becomes creation, access
        // and modification time again, set only once the new content has
        // completely replaced the file.
        TDateiZeiten alt{};
        const bool zeitGelesen = DateiZeitenLesen(pfad, alt);
        ergebnis = DateiKopieren(zwischen, pfad, false);
        QCoreApplication::processEvents();
        if (ergebnis && zeitGelesen)
            DateiDatumSetzen(pfad, true, true, true, QDateTime::fromSecsSinceEpoch(alt.geschrieben.tv_sec));
    }
    QCoreApplication::processEvents();
    if (!zwischen.isEmpty() && QFile::exists(zwischen))
        QFile::remove(zwischen);
    QCoreApplication::processEvents();
    QApplication::restoreOverrideCursor();
    if (!ergebnis)
        Meldung(FehlerText, TMeldungArt::Information, mbOk);
    return ergebnis;
}

// ---- The window ----------------------------------------------------------

TfrmJpgDrehen::TfrmJpgDrehen(QWidget* parent) : QDialog(parent)
{
    FormCreate();
}

void TfrmJpgDrehen::FormCreate()
{
    setObjectName(QStringLiteral("frmJpgDrehen"));
    setWindowTitle(QStringLiteral("JPG Bilder drehen und spiegeln"));
    setModal(true);
    setFont(QApplication::font("QMenu"));

    // Captionless, so the glyph of the menu icon list stands centred.
    auto knopf = [this](const char* name, TSymbol symbol) {
        auto* k = new TPngBitBtn(this);
        k->setObjectName(QLatin1String(name));
        k->SetPngImage(PngAusListe(MenueBilderListe(), symbol));
        k->setFixedSize(DpiSkalieren(34, 96), DpiSkalieren(30, 96));
        return k;
    };
    auto beschriftung = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        return l;
    };
    PngBitBtnDrehMinus90 = knopf("PngBitBtnDrehMinus90", symDrehenMinus90);
    PngBitBtnDrehPlus90 = knopf("PngBitBtnDrehPlus90", symDrehenPlus90);
    PngBitBtnDreh180 = knopf("PngBitBtnDreh180", symDrehen180);
    PngBitBtnDrehHorizontal = knopf("PngBitBtnDrehHorizontal", symHorizontal);
    PngBitBtnDrehVertikal = knopf("PngBitBtnDrehVertikal", symVertikal);
    lblDrehMinus90 = beschriftung("lblDrehMinus90", QStringLiteral("Um -90 Grad drehen"));
    lblDrehPlus90 = beschriftung("lblDrehPlus90", QStringLiteral("Um +90 Grad drehen"));
    lblDreh180 = beschriftung("lblDreh180", QStringLiteral("Um 180 Grad drehen"));
    lblDrehHorizontal = beschriftung("lblDrehHorizontal", QStringLiteral("Horizontal spiegeln"));
    lblDrehVertikal = beschriftung("lblDrehVertikal", QStringLiteral("Vertikal spiegeln"));

    cbBildinfo = new QCheckBox(QStringLiteral("Bildinformationen (EXIF-Daten) beibehalten."), this);
    cbBildinfo->setObjectName(QStringLiteral("cbBildinfo"));
    cbBildinfo->setChecked(true);
    cbTrimmen = new QCheckBox(QStringLiteral("Bildgröße trimmen."), this);
    cbTrimmen->setObjectName(QStringLiteral("cbTrimmen"));
    cbTrimmen->setChecked(true);

    PngBitBtnInfo = knopf("PngBitBtnInfo", symInfo);
    btnAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));

    shpInfo = new QFrame(this);
    shpInfo->setObjectName(QStringLiteral("shpInfo"));
    shpInfo->setFrameShape(QFrame::StyledPanel);
    lblInfoText = new QLabel(
        QStringLiteral("Bei jedem Öffnen und erneuten Speichern eines JPG-Bildes, entstehen immer gewisse "
                       "Bildverluste. Um diese Verluste zu vermeiden, kann das Bild direkt in der Datei, ohne "
                       "vorherige Dekomprimierung, gedreht oder gespiegelt werden. Voraussetzung hierfür sind "
                       "Bilder mit Kantenlängen die ein vielfaches von acht Bildpunkten betragen. Aktivieren Sie "
                       "die Option \"Bildgröße trimmen\" um das Bild  automatisch auf die richtige Größe zu "
                       "bringen."),
        shpInfo);
    lblInfoText->setObjectName(QStringLiteral("lblInfoText"));
    lblInfoText->setWordWrap(true);
    auto* infoLayout = new QVBoxLayout(shpInfo);
    infoLayout->addWidget(lblInfoText);
    shpInfo->setVisible(false);

    auto* raster = new QGridLayout();
    const QList<QPair<QPushButton*, QLabel*>> zeilen = {{PngBitBtnDrehMinus90, lblDrehMinus90},
                                                       {PngBitBtnDrehPlus90, lblDrehPlus90},
                                                       {PngBitBtnDreh180, lblDreh180},
                                                       {PngBitBtnDrehHorizontal, lblDrehHorizontal},
                                                       {PngBitBtnDrehVertikal, lblDrehVertikal}};
    for (int i = 0; i < zeilen.size(); ++i) {
        raster->addWidget(zeilen[i].first, i, 0);
        raster->addWidget(zeilen[i].second, i, 1);
    }
    raster->addWidget(cbBildinfo, 5, 0, 1, 2);
    raster->addWidget(cbTrimmen, 6, 0, 1, 2);
    auto* unten = new QHBoxLayout();
    unten->addWidget(PngBitBtnInfo);
    unten->addStretch();
    unten->addWidget(btnAbbrechen);
    auto* haupt = new QVBoxLayout(this);
    haupt->addLayout(raster);
    haupt->addLayout(unten);
    haupt->addWidget(shpInfo);

    connect(PngBitBtnDrehMinus90, &QPushButton::clicked, this, &TfrmJpgDrehen::PngBitBtnDrehMinus90Click);
    connect(PngBitBtnDrehPlus90, &QPushButton::clicked, this, &TfrmJpgDrehen::PngBitBtnDrehPlus90Click);
    connect(PngBitBtnDreh180, &QPushButton::clicked, this, &TfrmJpgDrehen::PngBitBtnDreh180Click);
    connect(PngBitBtnDrehHorizontal, &QPushButton::clicked, this, &TfrmJpgDrehen::PngBitBtnDrehHorizontalClick);
    connect(PngBitBtnDrehVertikal, &QPushButton::clicked, this, &TfrmJpgDrehen::PngBitBtnDrehVertikalClick);
    connect(cbBildinfo, &QCheckBox::clicked, this, &TfrmJpgDrehen::cbBildinfoClick);
    connect(PngBitBtnInfo, &QPushButton::clicked, this, &TfrmJpgDrehen::PngBitBtnInfoClick);
    connect(btnAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
}

bool TfrmJpgDrehen::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (ereignis->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(ereignis)->button() == Qt::LeftButton) {
        if (objekt == lblDrehMinus90)
            PngBitBtnDrehMinus90Click();
        else if (objekt == lblDrehPlus90)
            PngBitBtnDrehPlus90Click();
        else if (objekt == lblDreh180)
            PngBitBtnDreh180Click();
        else if (objekt == lblDrehHorizontal)
            PngBitBtnDrehHorizontalClick();
        else if (objekt == lblDrehVertikal)
            PngBitBtnDrehVertikalClick();
        else
            return QDialog::eventFilter(objekt, ereignis);
        return true;
    }
    return QDialog::eventFilter(objekt, ereignis);
}

void TfrmJpgDrehen::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    FormShow();
}

void TfrmJpgDrehen::FormShow()
{
    // The copy mode agrees with what the box shows.
    SegmentKopierModus = cbBildinfo->isChecked() ? JpgKopiereAlle : JpgKopiereKeine;
    shpInfo->setVisible(false);
    // The window keeps the width of its controls; the explanation wraps
    // within it and only the height follows it.
    layout()->activate();
    setFixedWidth(layout()->totalSizeHint().width());
    HoeheAnpassen();
}

void TfrmJpgDrehen::HoeheAnpassen()
{
    QLayout* l = layout();
    l->invalidate();
    l->activate();
    setFixedHeight(l->hasHeightForWidth() ? l->totalHeightForWidth(width()) : l->totalSizeHint().height());
}

int TfrmJpgDrehen::EingeklappteHoehe() const
{
    return shpInfo->isVisible() ? height() - shpInfo->height() - layout()->spacing() : height();
}

void TfrmJpgDrehen::PngBitBtnInfoClick()
{
    shpInfo->setVisible(!shpInfo->isVisible());
    HoeheAnpassen();
}

void TfrmJpgDrehen::cbBildinfoClick()
{
    SegmentKopierModus = cbBildinfo->isChecked() ? JpgKopiereAlle : JpgKopiereKeine;
}

void TfrmJpgDrehen::Transformieren(uint8_t code)
{
    if (!JpgDrehbar || BildBearbeitet || BildIndex < 0 || BildIndex >= BildListe.size())
        return;
    if (NichtGeladenMelden(JpgDrehenVerweigertText()))
        return;
    if (!JpgDateiDrehen(BildListe.at(BildIndex), code, uint8_t(SegmentKopierModus), cbTrimmen->isChecked()))
        return;
    if (frmZelvanoMain)
        frmZelvanoMain->BildAnzeigen();
    accept();
}

QString JpgDrehenVerweigertText()
{
    return QStringLiteral("Die Datei wird nicht gedreht.");
}

void TfrmJpgDrehen::PngBitBtnDrehMinus90Click() { Transformieren(JpgDrehen270); }
void TfrmJpgDrehen::PngBitBtnDrehPlus90Click() { Transformieren(JpgDrehen90); }
void TfrmJpgDrehen::PngBitBtnDreh180Click() { Transformieren(JpgDrehen180); }
void TfrmJpgDrehen::PngBitBtnDrehHorizontalClick() { Transformieren(JpgSpiegelnHorizontal); }
void TfrmJpgDrehen::PngBitBtnDrehVertikalClick() { Transformieren(JpgSpiegelnVertikal); }
