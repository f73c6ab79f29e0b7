#include "ZelvanoMain.h"
#include "viewing/Vorschau.h"
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "ExifDaten.h"
#include "gear/Gear.h"
#include "gear/GearHilfen.h"
#include "Global.h"
#include "Meldung.h"
#include "Menuset.h"
#include "Modi.h"
#include "ZelvanoMainSperre.h"
#include "gear/GearScan.h"
#include <QToolButton>
#include <algorithm>
#include <cmath>


static void Pumpen()
{
    QCoreApplication::processEvents();
}

TfrmZelvanoMain::TfrmZelvanoMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmZelvanoMain"));
    frmZelvanoMain = this;
    FormCreate();
}

TfrmZelvanoMain::~TfrmZelvanoMain()
{
    // SANE's back-ends must be shut down while their libraries are still
    // loaded, not from an exit handler after static objects are gone.
    GearScanBeenden();
    delete AktExifDaten;
    AktExifDaten = nullptr;
    if (frmZelvanoMain == this)
        frmZelvanoMain = nullptr;
}

void TfrmZelvanoMain::FormCreate()
{
    // 1. The screen's menu font.
    setFont(QApplication::font("QMenu"));

    // Display components first: the action and bar code below refers to them.
    panAnzeige = new QWidget(this);
    panAnzeige->setObjectName(QStringLiteral("panAnzeige"));
    auto* zentral = new QWidget(this);
    auto* spalte = new QVBoxLayout(zentral);
    spalte->setContentsMargins(0, 0, 0, 0);
    spalte->setSpacing(0);
    spalte->addWidget(panAnzeige, 1);
    auto* anzeigeLayout = new QVBoxLayout(panAnzeige);
    anzeigeLayout->setContentsMargins(0, 0, 0, 0);
    AnzeigeBox = new QScrollArea(panAnzeige);
    AnzeigeBox->setObjectName(QStringLiteral("AnzeigeBox"));
    anzeigeLayout->addWidget(AnzeigeBox);
    // A plain child of the viewport: zoom and panning place it themselves.
    AnzeigeBild = new TAnzeigeBild(AnzeigeBox->viewport());
    AnzeigeBild->setObjectName(QStringLiteral("AnzeigeBild"));
    AnzeigeBild->resize(2, 2);

    pnlSchnittinfo = new QWidget(panAnzeige);
    pnlSchnittinfo->setObjectName(QStringLiteral("pnlSchnittinfo"));
    memoSchnittinfo = new QPlainTextEdit(pnlSchnittinfo);
    memoSchnittinfo->setReadOnly(true);
    pnlSchnittinfo->hide();

    panUnten = new QWidget(zentral);
    panUnten->setObjectName(QStringLiteral("panUnten"));
    auto* untenLayout = new QVBoxLayout(panUnten);
    untenLayout->setContentsMargins(2, 2, 2, 2);
    ProgressBar1 = new QProgressBar(panUnten);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    untenLayout->addWidget(ProgressBar1);
    spalte->addWidget(panUnten);
    setCentralWidget(zentral);

    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    static const int entwurfsBreiten[6] = {100, 100, 80, 65, 50, 50};
    for (int i = 0; i < 6; ++i) {
        StatusPanel[i] = new QLabel(StatusBar1);
        StatusPanel[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanel[i]->setFrameShape(QFrame::StyledPanel);
        if (i < 4)
            StatusPanel[i]->setAlignment(Qt::AlignCenter);
        if (i < 5)
            StatusPanel[i]->setFixedWidth(DpiSkalieren(entwurfsBreiten[i], 96));
        StatusBar1->addWidget(StatusPanel[i], i == 5 ? 1 : 0);
    }

    ToolBar1 = new QToolBar(QStringLiteral("ToolBar1"), this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar2 = new QToolBar(QStringLiteral("ToolBar2"), this);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));

    AnzeigeTimer = new QTimer(this);
    AnzeigeTimer->setObjectName(QStringLiteral("AnzeigeTimer"));
    AnzeigeTimer->setSingleShot(true);
    AnzeigeTimer->setInterval(150);

    Gear1 = new TGear(this);
    Gear1->setObjectName(QStringLiteral("Gear1"));

    // The icon lists first: the actions take their icons when created.
    SymbolListenAnlegen();
    AktionenAnlegen();
    AnzeigeVerbinden();

    // 2. Bars scaled to the screen; 3. icon sets by screen density.
    SymboleAnwenden();
    pnlSchnittinfo->resize(DpiSkalieren(200, 96), DpiSkalieren(60, 96));
    memoSchnittinfo->setGeometry(5, 5, pnlSchnittinfo->width() - 10, pnlSchnittinfo->height() - 10);
    Pumpen();

    // 4. Help file beside the program. The HTML Help library check of the
    // original platform has no counterpart here.
    const QString hilfe = PfadVerbinden(QCoreApplication::applicationDirPath(), QStringLiteral("zelvano.chm"));
    if (!QFileInfo::exists(hilfe))
        Meldung(QStringLiteral("Hilfe-Datei nicht gefunden\r") + hilfe);

    // 5. Dropped files.
    setAcceptDrops(true);
    Pumpen();

    // 6. - 8.
    FormatTabelleAufbauen();
    BildListe.clear();
    for (TDruckSchrift* s : {&EinzelDruckSeitenSchrift, &EinzelDruckBildSchrift, &ArchivDruckSeitenSchrift,
                             &ArchivDruckBildSchrift}) {
        s->font = QFont(QStringLiteral("Courier New"), 10);
        s->farbe = 0;
    }
    if (!AktExifDaten)
        AktExifDaten = new TExifDaten();
    BildBearbeitet = false;
    BildQuelle = BildQuelleKeine;
    BildIndex = -1;
    RueckgaengigAnzahl = 0;
    ZielBreite = 0;
    ZielHoehe = 0;
    NurVerkleinern = false;

    // 9. The progress panel takes the status bar's place in busy mode.
    panUnten->setFixedHeight(StatusBar1->sizeHint().height());
    panUnten->hide();

    // 11. Imaging control.
    Gear1->SetExtFile(PfadVerbinden(QCoreApplication::applicationDirPath(), QStringLiteral("iglzw32s.dll")));
    connect(Gear1, &TGear::OnStatusEvent, this, &TfrmZelvanoMain::Gear1StatusEvent);
    Pumpen();

    // 12. Display.
    imgFehler = FehlerBild();

    // 13. Open mask.
    BildMaske = BildMaskeAufbauen();
    Pumpen();

    // 14. Settings.
    EinstellungenLesen();
    Pumpen();

    // 15. Title, also the caption of plain message boxes.
    QApplication::setApplicationDisplayName(QString());
    SetzeAnwendungsTitel(QStringLiteral("Zelvano ") + ProgrammVersion(2));
    setWindowTitle(AnwendungsTitel());
}

void TfrmZelvanoMain::FormShow(const QStringList& argumente)
{
    if (m_formShowGelaufen)
        return;
    m_formShowGelaufen = true;

    // 1.
    MenuesSetzen();

    // 2. Background colour of the display box.
    QPalette palette = AnzeigeBox->palette();
    palette.setColor(QPalette::Window, QColor(HgFarbeRgb()));
    AnzeigeBox->setPalette(palette);
    AnzeigeBox->setAutoFillBackground(true);
    AnzeigeBox->viewport()->setPalette(palette);
    AnzeigeBox->viewport()->setAutoFillBackground(true);

    // 3. Tool bars.
    LeisteAndocken(ToolBar1, Buttonleiste1, Buttonleiste1Pos);
    Pumpen();
    LeisteAndocken(ToolBar2, Buttonleiste2, Buttonleiste2Pos);
    StatusBar1->setVisible(Statusleiste);

    // 4. Load and save folders.
    if (!StartVerzLaden.isEmpty() && QFileInfo(StartVerzLaden).isDir())
        LadeVerzeichnis = MitTrenner(StartVerzLaden);
    else
        LadeVerzeichnis = MitTrenner(SpezialOrdnerPfad(CSIDL_PERSONAL).isEmpty() ? QDir::homePath()
                                                                                : SpezialOrdnerPfad(CSIDL_PERSONAL));
    if (!StartVerzSpeichern.isEmpty() && QFileInfo(StartVerzSpeichern).isDir())
        SpeicherVerzeichnis = MitTrenner(StartVerzSpeichern);

    // 5. Temporary folder and names.
    TempNamenAnlegen();

    // 6. Window bounds and state.
    setGeometry(FensterAufBildschirm(QRect(VonLinks, VonOben, Breit, Hoch)));
    switch (WinStatus) {
    case 1: setWindowState(Qt::WindowNoState); break;
    case 3: setWindowState(Qt::WindowMinimized); break;
    default: setWindowState(Qt::WindowMaximized); break;
    }
    Pumpen();

    // 7. Start zoom: fit, or 100 %.
    Einpassen = BeiStartEinpassen;
    ZoomFaktor = 1.0;
    MenuesSetzen();

    // 8. Command line, or the open dialog when there is none.
    KommandozeileVerarbeiten(argumente);
}

void TfrmZelvanoMain::resizeEvent(QResizeEvent* ereignis)
{
    QMainWindow::resizeEvent(ereignis);
    FormResize();
}

void TfrmZelvanoMain::FormResize()
{
    if (panUnten && StatusBar1)
        panUnten->setFixedHeight(StatusBar1->sizeHint().height());
    // A drawn line or frame corner belongs to the old layout.
    ZeichenX = -1;
    ZeichenY = -1;
}

bool TfrmZelvanoMain::AchtungBearbeitet()
{
    if (!BildBearbeitet)
        return true;
    const int antwort = Meldung(QStringLiteral("Das Bild in der Anzeige wurde noch nicht gespeichert.\r\r"
                                               "Soll es jetzt gespeichert werden?\r\r"),
                                TMeldungArt::Bestaetigung, mbJa | mbNein | mbAbbrechen);
    if (antwort == mbNein)
        return true;
    // Saving runs as the menu command would, after the common step before
    // every action.
    if (antwort == mbJa) {
        ActionManMainExecute(mDatSpeichernals);
        mDatSpeichernalsExecute();
    }
    return false;
}

void TfrmZelvanoMain::closeEvent(QCloseEvent* ereignis)
{
    if (m_geschlossen) {
        ereignis->accept();
        return;
    }
    // A load or command in progress finishes first.
    if (GearBeschaeftigt) {
        ereignis->ignore();
        return;
    }
    // FormCloseQuery
    if (!AchtungBearbeitet()) {
        ereignis->ignore();
        return;
    }
    FormClose();
    m_geschlossen = true;
    ereignis->accept();
    // Modeless windows must not keep the program alive.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TfrmZelvanoMain::FormClose()
{
    // 1. - 3. Undo files, transfer files, and the folder when no other
    // instance still uses it.
    TempAufraeumen();
    Pumpen();
    // 4.
    Gear1->DelImage();
    GearScanBeenden();
    Pumpen();
    // 5. A read-only or full settings folder loses this session's settings:
    // the user hears of it, and the program closes all the same.
    if (!EinstellungenSchreiben(FensterStatus(windowState()), geometry(), VorschauFensterGrenzen()))
        Meldung(QStringLiteral("Die Einstellungen konnten nicht gespeichert werden.\r\rDie Datei\r%1\r"
                               "kann nicht geschrieben werden (Ordner schreibgeschützt oder Datenträger voll).")
                    .arg(EinstellungenDatei()),
                TMeldungArt::Warnung);
    // 6.
    if (AktExifDaten)
        AktExifDaten->Leeren();
    Pumpen();
}

void TfrmZelvanoMain::BildAnzeigen()
{
    if (BildListe.isEmpty() || BildIndex < 0 || BildIndex >= BildListe.size())
        return;
    // The load pumps messages: nothing the user does meanwhile may start a
    // second load, a delete or a save on the half-loaded image.
    if (GearBeschaeftigt)
        return;
    TBeschaeftigt beschaeftigt(GearBeschaeftigt);
    TBeschaeftigtSperre sperre(this);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    SetzeArbeitsModus(true);
    RueckgaengigLoeschen();

    const QString pfad = BildListe.at(BildIndex);
    // One read of the metadata serves both the comment and the EXIF data.
    TExifDaten metadaten;
    const bool geladen = LadeGearBild(*Gear1, pfad, &metadaten);
    const QString speicherFehler =
        Gear1->ErrCount() > 0 && GearSpeicherFehler(Gear1->LetzterFehler()) ? Gear1->LetzterFehler() : QString();

    if (Gear1->ImageHeight() <= 0) {
        SetzeArbeitsModus(false);
        QApplication::restoreOverrideCursor();
        return;
    }
    BildFarbtiefe = Gear1->ImageBitsPerPixel();
    BildLadefehler = !geladen;
    BildBeschaedigt = geladen && Gear1->Beschaedigt();

    // A failed transfer shows the error picture: the previous image must
    // never appear under the new file's name.
    if (!GearZuBitmap(*Gear1, OriginalBild)) {
        OriginalBild.Assign(imgFehler);
        Gear1->SetPicture(OriginalBild);
        BildFarbtiefe = Gear1->ImageBitsPerPixel();
        BildLadefehler = true;
        BildBeschaedigt = false;
    }
    SetzeArbeitsModus(false);

    ZoomFaktor = 1.0;
    AnzeigeBild->SetBild(OriginalBild.Bild());
    SetAnzeigeBild();
    QApplication::restoreOverrideCursor();

    BildQuelle = BildQuelleDatei;
    BildBearbeitet = false;
    JpgDrehbar = false;

    AktExifDaten->Leeren();
    const QString endung = QFileInfo(pfad).suffix().toUpper();
    if (endung == QLatin1String("JPG") || endung == QLatin1String("JPEG")) {
        *AktExifDaten = std::move(metadaten);
        JpgDrehbar = QFileInfo::exists(pfad) && !DateiSchreibgeschuetzt(pfad);
    }

    // 9. A new image ends the cut and crop-frame modes.
    const bool schnittWarAn = Ausschneiden, rahmenWarAn = Fotoschnitt || Festschnitt;
    SchnittModiBeenden(schnittWarAn, rahmenWarAn);
    if (schnittWarAn || rahmenWarAn)
        pnlSchnittinfo->hide();

    // 10.
    MenuesSetzen();

    // A picture too large for this machine shows the error picture and says why.
    if (!speicherFehler.isEmpty())
        Meldung(speicherFehler, TMeldungArt::Warnung);
}

void TfrmZelvanoMain::mDatBeendenExecute()
{
    close();
}

void TfrmZelvanoMain::Gear1StatusEvent(int& prozent)
{
    Pumpen();
    ProgressBar1->setValue(qBound(0, prozent, 100));
}
