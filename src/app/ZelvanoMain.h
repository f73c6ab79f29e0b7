#pragma once
#include <QMainWindow>
#include <QDateTime>
#include <QStringList>
#include <QTimer>
#include <functional>
#include "pixelops/Bitmap.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QScrollArea;
class QStatusBar;
class QToolBar;
class QToolButton;
class QPlainTextEdit;
class TGear;
class TAnzeigeBild;
class TExifDaten;
class TPngImageList;

// ---- Shared state of the whole program -----------------------------------
constexpr int BildQuelleKeine = 0;
constexpr int BildQuelleDatei = 1;
constexpr int BildQuelleZwischenablage = 2;
constexpr int BildQuelleScanner = 3;

extern QStringList BildListe;
extern int BildIndex;
extern int BildQuelle;
extern bool BildBearbeitet;
extern int BildFarbtiefe;
extern double ZoomFaktor;
extern bool Einpassen;
extern QString LadeVerzeichnis;
extern QString SpeicherVerzeichnis;
extern int OeffnenErgebnis;
extern bool JpgDrehbar;
extern QString AktKommentar;
extern QDateTime AktDateiDatum;
extern TExifDaten* AktExifDaten;
extern QString ZielTyp;
extern int ZielBreite, ZielHoehe;
extern bool NurVerkleinern;
// Full-screen view: the user chose to quit there; the view starts its show.
extern bool ProgrammBeenden;
extern bool AutoShowStarten;

class TfrmZelvanoMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmZelvanoMain(QWidget* parent = nullptr);
    ~TfrmZelvanoMain() override;

    // Runs the show-time start-up once (layout, folders, temporary names,
    // command line); called by the program's main block after show().
    void FormShow(const QStringList& argumente);
    bool AchtungBearbeitet();
    void BildAnzeigen();
    void SetAnzeigeBild();
    // Busy mode puts the progress panel in the status bar's place: the
    // display is taken out of the layout (false) while the bars change
    // places and put back (true) at once at its final size, so it never
    // takes a size in between.
    void AnzeigeAusrichten(bool an);

    // Components
    TBitmap OriginalBild;
    TAnzeigeBild* AnzeigeBild = nullptr;
    QScrollArea* AnzeigeBox = nullptr;
    QWidget* panAnzeige = nullptr;
    QImage imgFehler;
    TGear* Gear1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel[6] = {};
    QWidget* panUnten = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QWidget* pnlSchnittinfo = nullptr;
    QPlainTextEdit* memoSchnittinfo = nullptr;
    QTimer* AnzeigeTimer = nullptr;
    QMenu* PopupMain = nullptr;
    QMenu* PopupZoom = nullptr;

    // Menus and actions
    QMenu* menDatei = nullptr;
    QMenu* menBearbeiten = nullptr;
    QMenu* menAnsicht = nullptr;
    QMenu* menFarbe = nullptr;
    QMenu* menFilter = nullptr;
    QMenu* menHilfe = nullptr;
    QAction* mDatSpeichernals = nullptr;
    QAction* mDatBeenden = nullptr;

    // ---- Actions, menus, navigation, command line, drops (block A) ----
    // Actions of the main menu (the nine zoom actions are in block Z).
    QAction* mDatOeffnen = nullptr;
    QAction* mDatVorschau = nullptr;
    QAction* mDatSuchen = nullptr;
    QAction* mDatKonvertieren = nullptr;
    QAction* mDatDrucken = nullptr;
    QAction* mDatArchivdruck = nullptr;
    QAction* mDatInfo = nullptr;
    QAction* mDatScannerauswaehlen = nullptr;
    QAction* mDatScannen = nullptr;
    QAction* mDatEinstellungen = nullptr;
    QAction* mBeaRueckgaengig = nullptr;
    QAction* mBeaKopieren = nullptr;
    QAction* mBeaEinfuegen = nullptr;
    QAction* mBeaLoeschen = nullptr;
    QAction* mBeaBildattribute = nullptr;
    QAction* mBeaAusschneiden = nullptr;
    QAction* mBeaFotoschnitt = nullptr;
    QAction* mBeaSkalieren = nullptr;
    QAction* mBeaDrehen = nullptr;
    QAction* mBeaHorizontal = nullptr;
    QAction* mBeaVertikal = nullptr;
    QAction* mBeaPlus90Grad = nullptr;
    QAction* mBeaMinus90Grad = nullptr;
    QAction* mBea180Grad = nullptr;
    QAction* mBeaJpgDrehen = nullptr;
    QAction* mAnsGehezu = nullptr;
    QAction* mAnsVollbild = nullptr;
    QAction* mAnsAutoShow = nullptr;
    QAction* mAnsBildWeiter = nullptr;
    QAction* mAnsBildZurueck = nullptr;
    QAction* mAnsSeiteVor = nullptr;
    QAction* mAnsSeiteZurueck = nullptr;
    QAction* mAnsAnimieren = nullptr;
    QAction* mFarKorrektur = nullptr;
    QAction* mFarToenen = nullptr;
    QAction* mFarEinfaerben = nullptr;
    QAction* mFarKolorieren = nullptr;
    QAction* mFarGraustufen = nullptr;
    QAction* mFar1Schwellwert = nullptr;
    QAction* mFarInvertieren = nullptr;
    QAction* mFar1FehlerVerteilungsDithering = nullptr;
    QAction* mFar1HalbtonMonoDithering = nullptr;
    QAction* mFar1BayerMonoDithering = nullptr;
    QAction* mFar4Octree = nullptr;
    QAction* mFar4FehlerVerteilungsDithering = nullptr;
    QAction* mFar4BayerFarbDithering = nullptr;
    QAction* mFar8Oct = nullptr;
    QAction* mFar8FehlerVerteilungsDithering = nullptr;
    QAction* mFar8PalettenOptimierung = nullptr;
    QAction* mFarFarbexpansion4 = nullptr;
    QAction* mFarFarbexpansion8 = nullptr;
    QAction* mFarFarbexpansion24 = nullptr;
    QAction* mFilterIsoPrewitt = nullptr;
    QAction* mFilterIsoRoberts = nullptr;
    QAction* mFilterIsoSobel = nullptr;
    QAction* mFilterIsoLaplacian = nullptr;
    QAction* mFilterIsoHorizontal = nullptr;
    QAction* mFilterIsoVertikal = nullptr;
    QAction* mFilterIsoPositivSchraeg = nullptr;
    QAction* mFilterIsoNegativSchraeg = nullptr;
    QAction* mFilterPraegen = nullptr;
    QAction* mFilterZerstreuen = nullptr;
    QAction* mFilterVerwischen = nullptr;
    QAction* mFilterRelief = nullptr;
    QAction* mFilterPoster = nullptr;
    QAction* mFilterTwist = nullptr;
    QAction* mFilterStrukturglas = nullptr;
    QAction* mFilterSchleier = nullptr;
    QAction* mHilfeInhalt = nullptr;
    QAction* mHilfeInfo = nullptr;
    // The pop-up entry "Farbbearbeitung..." that runs mFarKorrektur.
    QAction* popFarbbearbeitung = nullptr;
    QMenu* menZoom = nullptr;
    QMenu* FarbreduktionAuf1Bit = nullptr;
    QMenu* FarbreduktionAuf4Bit = nullptr;
    QMenu* FarbreduktionAuf8Bit = nullptr;
    QMenu* menIsolationsmethoden = nullptr;
    QToolButton* tbFarbe = nullptr;
    QToolButton* tbtZoom = nullptr;
    QToolButton* tbtVollbild = nullptr;
    QToolButton* tbtAusschneiden = nullptr;
    QToolButton* tbtFotoschnitt = nullptr;
    // Every action created by AktionenAnlegen, in menu order.
    QList<QAction*> Aktionen;

    // Command line of FormShow step 8: fills BildListe and shows an image;
    // without arguments it runs the open command when OeffnenFensterLaden.
    void KommandozeileVerarbeiten(const QStringList& argumente);
    // Files dropped on the window: they replace the list, without a question.
    void DateienEmpfangen(const QStringList& pfade);
    // (end of block A)

    // ---- Open command (block O) ----
    // Wires mDatOeffnen.
    void OeffnenVerbinden();
    // Asks about an unsaved edit, shows the open window and acts on
    // OeffnenErgebnis: 1 shows the list from its first file, 100 pastes,
    // 200 shows the thumbnail browser.
    void mDatOeffnenExecute();
    // (end of block O)

    // ---- Thumbnail browser and lossless JPEG rotation (block V) ----
    // Wires mDatVorschau and mBeaJpgDrehen.
    void VorschauVerbinden();
    // Shows the thumbnail window without waiting (created on first use).
    void VorschauZeigen();
    // Asks about an unsaved edit, then shows the thumbnail window.
    void mDatVorschauExecute();
    // Opens the lossless rotation window modally with the display hidden.
    void mBeaJpgDrehenExecute();
    // (end of block V)

    // ---- Edit, clipboard, scanner and undo commands (block B) ----
    // One undoable edit of the working bitmap: pushes the undo step, runs
    // aenderung on OriginalBild, redisplays (hidden while verborgen), marks
    // the image edited and updates the menus.
    void BearbeitungAbschliessen(const std::function<void(TBitmap&)>& aenderung, bool verborgen = true);
    // Shows the picture just put into OriginalBild from the clipboard or the
    // scanner (quelle) at 100 % as the new image, outside any list.
    void NeuesBildZeigen(int quelle);
    // Wires the actions of this block; AktionenAnlegen calls it.
    void BearbeitenVerbinden();
    void mBeaRueckgaengigExecute();
    void mBeaKopierenExecute();
    void mBeaEinfuegenExecute();
    void mBeaLoeschenExecute();
    void mBeaHorizontalExecute();
    void mBeaVertikalExecute();
    void mBeaPlus90GradExecute();
    void mBeaMinus90GradExecute();
    void mBea180GradExecute();
    void mDatScannerauswaehlenExecute();
    void mDatScannenExecute();
    // (end of block B)

    // ---- Attributes and resize commands (block E) ----
    // Wires mBeaBildattribute and mBeaSkalieren; AktionenAnlegen calls it.
    void EditierenVerbinden();
    // Opens the attributes window at a zoom of at most 100 %, then shows the
    // working bitmap again, whichever way it closed.
    void mBeaBildattributeExecute();
    // Opens the resize window with the display hidden; redisplays at 100 %
    // when the image is edited afterwards.
    void mBeaSkalierenExecute();
    // (end of block E)

    // ---- Dispatch (block D) ----
    // Hooks the paste action to the clipboard; AktionenAnlegen calls it.
    void ActionManMainVerbinden();
    // Runs before every action triggered through the menus, bars, shortcuts
    // or trigger(): ends the modes the action does not start itself.
    void ActionManMainExecute(QAction* aktion);
    // Keeps the paste action's enabled state in step with the clipboard.
    void ActionManMainUpdate();
    // (end of block D)

    // ---- Keyboard (block T) ----
    // Key presses on the window; taste (a Qt::Key) is always swallowed.
    void FormKeyDown(int& taste, Qt::KeyboardModifiers umschalt);
    // Navigation keys, acting on release; taste (a Qt::Key) becomes 0 when
    // a key was acted on.
    void FormKeyUp(int& taste, Qt::KeyboardModifiers umschalt);
    // (end of block T)

    // ---- Help (block H) ----
    // Wires mHilfeInhalt; AktionenAnlegen calls it.
    void HilfeVerbinden();
    void mHilfeInhaltExecute();
    // Hands the help file to the desktop's viewer for its type; without one,
    // the contents page of the help pages beside it (hilfe/inhalt.html) to
    // the browser; says so when neither opens.
    bool HilfeDateiOeffnen(const QString& hilfe);
    // (end of block H)

    // ---- Imaging-control commands (block C) ----
    // True while an image loads, a page changes or a command computed by
    // Gear1 runs; the progress event pumps messages, and meanwhile no other
    // command may start.
    bool GearBeschaeftigt = false;
    // Wires the colour and filter actions.
    void FarbeVerbinden();
    // Runs edge map n (1..8) through Gear1.
    void SetzeIsoFilter(int n);
    void mFar1FehlerVerteilungsDitheringExecute();
    void mFar1HalbtonMonoDitheringExecute();
    void mFar1BayerMonoDitheringExecute();
    void mFar4OctreeExecute();
    void mFar4FehlerVerteilungsDitheringExecute();
    void mFar4BayerFarbDitheringExecute();
    void mFar8OctExecute();
    void mFar8FehlerVerteilungsDitheringExecute();
    void mFar8PalettenOptimierungExecute();
    void mFarFarbexpansion24Execute();
    void mFarInvertierenExecute();
    void mFilterIsoPrewittExecute();
    void mFilterIsoRobertsExecute();
    void mFilterIsoSobelExecute();
    void mFilterIsoLaplacianExecute();
    void mFilterIsoHorizontalExecute();
    void mFilterIsoVertikalExecute();
    void mFilterIsoPositivSchraegExecute();
    void mFilterIsoNegativSchraegExecute();
    void mFilterPraegenExecute();
    void mFilterZerstreuenExecute();
    void mFilterVerwischenExecute();
    void mFilterReliefExecute();
    void mFilterPosterExecute();
    void mFilterTwistExecute();
    void mFilterStrukturglasExecute();
    void mFilterSchleierExecute();
    // The one sequence of every command computed by Gear1; operation writes
    // the control's members (wert is handed on). False when nothing changed.
    bool GearBefehl(void (*operation)(TGear&, int), int wert = 0);
    // (end of block C)

    // ---- Colour-dialog commands (block F) ----
    // Wires the six colour-dialog actions; FarbeVerbinden calls it.
    void FarbdialogVerbinden();
    // Opens the colour dialog on page seite (0..5) and redisplays afterwards.
    void FarbdialogZeigen(int seite);
    void mFarKorrekturExecute();
    void mFarToenenExecute();
    void mFarEinfaerbenExecute();
    void mFarKolorierenExecute();
    void mFarGraustufenExecute();
    void mFar1SchwellwertExecute();
    // (end of block F)

    // ---- Saving (block S) ----
    // mDatSpeichernalsExecute (among the public slots) opens the save window
    // modally with the display hidden.
    // (end of block S)

    // ---- Batch conversion (block K) ----
    // Wires mDatKonvertieren: asks about an unsaved edit, frees Gear1's
    // picture, runs the conversion window and reloads the list entry.
    void KonvertierenVerbinden();
    void mDatKonvertierenExecute();
    // (end of block K)

    // ---- Full screen, slide show and printing (block V) ----
    // BildIndex when the full-screen view opened.
    int VollbildStartIndex = -1;
    // Wires mAnsVollbild, mAnsAutoShow and mDatDrucken.
    void VollbildVerbinden();
    void mAnsVollbildExecute();
    void mAnsAutoShowExecute();
    void mDatDruckenExecute();
    // (end of block V)

    // ---- Icon lists (block I) ----
    // Menu and tool-bar icons at 20, 25, 30, 35 and 40 pixels, 42 each in
    // the order of TSymbol (Symbole.h); MenueBilderListe and
    // ButtonBilderListe (Global.h) pick the pair for the screen.
    TPngImageList* ImagesMenu20x20 = nullptr;
    TPngImageList* ImagesMenu25x25 = nullptr;
    TPngImageList* ImagesMenu30x30 = nullptr;
    TPngImageList* ImagesMenu35x35 = nullptr;
    TPngImageList* ImagesMenu40x40 = nullptr;
    TPngImageList* ImagesButton20x20 = nullptr;
    TPngImageList* ImagesButton25x25 = nullptr;
    TPngImageList* ImagesButton30x30 = nullptr;
    TPngImageList* ImagesButton35x35 = nullptr;
    TPngImageList* ImagesButton40x40 = nullptr;
    // The list of the given icon size (20 ... 40); nullptr for another size.
    TPngImageList* MenueListe(int groesse) const;
    TPngImageList* ButtonListe(int groesse) const;
    // (end of block I)

    // ---- Image information and contact sheets (block N) ----
    // Wires mDatInfo and mDatArchivdruck.
    void InfoVerbinden();
    void mDatInfoExecute();
    void mDatArchivdruckExecute();
    // (end of block N)
    // ---- Search, go-to, animation, settings, program info (block W) ----
    // Wires the commands of this block; AktionenAnlegen calls it.
    void FensterVerbinden();
    void mDatSuchenExecute();
    void mAnsGehezuExecute();
    void mAnsAnimierenExecute();
    void mDatEinstellungenExecute();
    void mHilfeInfoExecute();
    // Background colour, tool bars, status bar and start folders as the
    // settings say; the settings command runs it after "Ok".
    void EinstellungenAnwenden();
    // Docks a tool bar on the side the settings give (1 left, 2 top,
    // 3 right) and shows or hides it; start-up and the settings use it.
    void LeisteAndocken(QToolBar* leiste, bool sichtbar, int position);
    // (end of block W)

    // ---- Display and zoom (block Z) ----
    // Set while SetAnzeigeBild runs: nested calls, the image-stepping
    // commands and panning do nothing meanwhile.
    bool AnzeigeBeschaeftigt = false;
    // Where the current pan began, in AnzeigeBild coordinates.
    int MausStartX = 0, MausStartY = 0;
    QAction* mAnsZoomEinpassen = nullptr;
    QAction* mAnsZoom10 = nullptr;
    QAction* mAnsZoom25 = nullptr;
    QAction* mAnsZoom50 = nullptr;
    QAction* mAnsZoom100 = nullptr;
    QAction* mAnsZoom150 = nullptr;
    QAction* mAnsZoom200 = nullptr;
    QAction* mAnsZoom400 = nullptr;
    QAction* mAnsZoom1000 = nullptr;
    // Creates the nine zoom actions with their captions and handlers;
    // AktionenAnlegen calls it.
    void ZoomAktionenAnlegen();
    // Wires the display: timer, box, picture, mouse and resize; FormCreate
    // calls it once after creating AnzeigeBox, AnzeigeBild and AnzeigeTimer.
    void AnzeigeVerbinden();
    void CursorSetzen();
    // Runs dialog (a modal window and what follows it) with the display
    // hidden, and shows the display again only when an image is there.
    void MitVerborgenerAnzeige(const std::function<void()>& dialog);
    // Device pixels per logical pixel of the display (1 on unscaled screens).
    qreal GeraetePixelVerhaeltnis() const;
    // The main window's wheel handler; mausPos in global coordinates.
    void FormMouseWheel(QObject* sender, Qt::KeyboardModifiers umschalt, int wheelDelta, const QPoint& mausPos,
                        bool& handled);
    // The program's own cursors: 1 = "DREIECK" (set square), 2 = "HAND".
    static QCursor EigenerCursor(int nummer);
    // (end of block Z)

    // ---- Interaction modes on the image, crop and rotate commands (block M) ----
    // Wires mBeaAusschneiden, mBeaFotoschnitt, mBeaDrehen and the mouse
    // release of the display.
    void ModiVerbinden();
    void mBeaAusschneidenExecute();
    void mBeaFotoschnittExecute();
    void mBeaDrehenExecute();
    // The mode halves of the display's mouse handlers (X, Y as the display
    // widget reports them); ModusMausGedrueckt is true when a mode took the press.
    bool ModusMausGedrueckt(Qt::MouseButton knopf, int X, int Y);
    void ModusMausBewegt(Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt, int X, int Y);
    void AnzeigeBildMouseUp(Qt::MouseButton knopf, Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt, int X,
                            int Y);
    // Arrows and Enter while the cut mode or a crop frame is on.
    void ModusTaste(int taste);
    // The ratio frame's half of the wheel.
    void RahmenRad(Qt::KeyboardModifiers umschalt, int wheelDelta, bool& handled);
    // Crops OriginalBild to the frame (left click or Enter in a frame mode).
    void RahmenSchneiden();
    // Ends the cut mode (schnitt) and the crop-frame modes (rahmen): the flags
    // off, the command unchecked, its tool button raised. The cut
    // information panel is the caller's.
    void SchnittModiBeenden(bool schnitt, bool rahmen);
    // Removes the crosshair or frame of the mode that is on from the display,
    // before another command ends the mode.
    void ModusFigurLoeschen();
    // Fit mode before the crop-mode dialog switched to fit; the crop restores it.
    bool EinpassenVorFotoschnitt = true;
    // (end of block M)

public slots:
    void mDatSpeichernalsExecute();
    void mDatBeendenExecute();
    void Gear1StatusEvent(int& prozent);
    // ---- slots of block A ----
    void mAnsBildWeiterExecute();
    void mAnsBildZurueckExecute();
    void mAnsSeiteVorExecute();
    void mAnsSeiteZurueckExecute();
    // ---- slots of block Z ----
    void AnzeigeTimerTimer();
    void panAnzeigeResize();
    void AnzeigeBildDblClick();
    void AnzeigeBildMouseDown(Qt::MouseButton knopf, Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt,
                              int X, int Y);
    void AnzeigeBildMouseMove(Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt, int X, int Y);
    void mAnsZoomEinpassenExecute();
    void mAnsZoom10Execute();
    void mAnsZoom25Execute();
    void mAnsZoom50Execute();
    void mAnsZoom100Execute();
    void mAnsZoom150Execute();
    void mAnsZoom200Execute();
    void mAnsZoom400Execute();
    void mAnsZoom1000Execute();

protected:
    void closeEvent(QCloseEvent* ereignis) override;
    void resizeEvent(QResizeEvent* ereignis) override;
    // ---- event overrides of block A (keys, drops) ----
    void dragEnterEvent(QDragEnterEvent* ereignis) override;
    void dropEvent(QDropEvent* ereignis) override;
    // ---- event overrides of block Z (wheel, mouse) ----
    void wheelEvent(QWheelEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;
    // None: the toolkit's pop-up on the menu and tool bars.
    QMenu* createPopupMenu() override;

private:
    void FormCreate();
    void FormResize();
    void FormClose();
    void AktionenAnlegen();
    // ---- private members of block A ----
    QAction* AktionAnlegen(const char* name, const QString& text, const QKeySequence& taste,
                           const QIcon& symbol);
    // symbol: the icon's position in the icon lists (TSymbol), -1 for none.
    QAction* AktionAnlegen(const char* name, const QString& text, const QKeySequence& taste, int symbol);
    void AktionVerbinden(QAction* aktion, void (TfrmZelvanoMain::*handler)());
    void SeiteWechseln(int schritt);
    // After the command line or a drop: a shown file whose type the open
    // mask does not offer and whose content could not be read is reported.
    void FremdeDateiMelden();
    // ---- private members of block T ----
    // Installs the filter that shows the window every key first.
    void TastenVorschauAnlegen();
    QObject* m_tastenVorschau = nullptr;
    // ---- private members of block I ----
    void SymbolListenAnlegen();
    // Menus show the menu list's size, the bars the button list's, with
    // buttons 34 x 34 at 96 dpi.
    void SymboleAnwenden();
    // ---- private members of block Z ----
    void FesterZoom(double faktor);
    // Whole notches (120 each, signed) in rest + wheelDelta; what is left
    // of a notch stays in rest.
    static int RadRasten(int& rest, int wheelDelta);
    // Wheel delta not yet turned into a zoom step (less than one notch).
    int m_radRest = 0;
    // The display's size in device pixels as the last layout computed it.
    QSize m_anzeigeGroesse;

    // ---- private members of block M ----
    QImage& Leinwand();
    void LeinwandFertig();
    double LeinwandMass();
    // A display position (X, Y as the display widget reports them) in canvas
    // pixels, rounded.
    QPoint LeinwandPunkt(int X, int Y);
    bool FigurDa();
    void FigurGezeichnet();
    void Status(const QString& text);
    void AnzeigeAuffrischen();
    void SchnittBewegen(Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt, int X, int Y);
    void RahmenBewegen(int X, int Y);
    void RahmenZeichnen();
    void RahmenLoeschen();
    void LinieBewegen(int X, int Y);
    qint64 m_figurSchluessel = 0;
    bool m_schnittZieht = false;
    int m_rahmenRadRest = 0;
    bool m_formShowGelaufen = false;
    bool m_geschlossen = false;
};

extern TfrmZelvanoMain* frmZelvanoMain;
