#pragma once
// Unit Global: one header for the shared state and helpers of the
// application core; the code is split by concern into the files named at
// each section below.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QImage>
#include <cstdint>

class TGear;
class TExifDaten;
class TBitmap;
class QTreeWidget;
class TPngImageList;
class QRect;

// ---- Image-format table (GlobalFormate.cpp) -----------------------------
constexpr int FormatZeilenAnzahl = 48;
extern QString FormatTabelle[FormatZeilenAnzahl];
extern QString BildMaske;

void FormatTabelleAufbauen();
// Characters 1-17 of a row: the key by which rows are looked up.
QString FormatSchluessel(const QString& formatZeile);
// Lookups by key (surrounding blanks ignored, letter case counts). A key that
// names no row gives 0 / "" and is reported by FormatZeileGueltig.
bool FormatZeileGueltig(const QString& schluessel);
int FormatSpeicherId(const QString& schluessel);
QString FormatFarbtiefen(const QString& schluessel);
int FormatHoechsteFarbtiefe(const QString& schluessel);
int FormatNiedrigsteFarbtiefe(const QString& schluessel);
QString BildMaskeAufbauen();
// Fills a dialog's type list: mode 1 readable rows, mode 0 writable rows.
void FormatListeFuellen(QTreeWidget* liste, int modus, bool mitBildZeile, bool mitAlleZeile);

// ---- Loading (GlobalLaden.cpp; what it records in the main window's shared
// state: GlobalHauptfenster.cpp) and transfer (GlobalTransfer.cpp) ---------
// The 128 x 128 error picture shown in place of an image that cannot be read.
const QImage& FehlerBild();
// With metadaten given, the file's metadata are read into it (the one read
// of them for this load); otherwise only the comment is kept. True when the
// control holds the file's picture, false when it holds the error picture.
// The part of a damaged picture that was never in the file shows HgFarbe.
bool LadeGearBild(TGear& gear, const QString& pfad, TExifDaten* metadaten = nullptr);
// The shown image is the error picture in place of a file that could not be
// loaded: set by loading, cleared by a load that succeeds, by pasting and by
// scanning, kept through edits and undo (which cannot reach past a load).
extern bool BildLadefehler;
// The shown file (its current page) is damaged and could be read only in part.
extern bool BildBeschaedigt;
// While the shown image stands for a file that could not be loaded: says so,
// with folge as the second sentence, and returns true; the command that would
// write it (or act on the file) then refuses.
bool NichtGeladenMelden(const QString& folge);
// What loading found out about a file besides its picture.
struct TLadeAngaben {
    QString kommentar;   // its comment, empty without one
    QDateTime datum;     // its last change; invalid when it was missing
};
// LadeGearBild for any thread: it reads and sets no shared state. The
// picture's transparent parts are laid on hintergrund, and comment and date
// come back in angaben instead of AktKommentar and AktDateiDatum. The error
// picture must have been made once on the GUI thread (FehlerBild()).
bool LadeGearBild(TGear& gear, const QString& pfad, QRgb hintergrund, TExifDaten* metadaten, TLadeAngaben& angaben);
bool GearZuBitmap(TGear& gear, TBitmap& bmp);
// GearZuBitmap without the warning, for any thread: telling the user of a
// failure is the caller's.
bool GearZuBitmapOhneMeldung(TGear& gear, TBitmap& bmp);
void FarbtiefeVorbereiten(TGear& gear, int tiefe);
void FormatFarbtiefeVorbereiten(TGear& gear, const QString& schluessel);

// ---- Temporary folder (GlobalTemp.cpp, GlobalInstanzen.cpp) and undo store
// (GlobalRueckgaengig.cpp)
// Every file of the program in TempVerzeichnis is created through
// TempDateiAnlegen (or QLockFile, which creates exclusively too). All
// instances of the user share the folder: every name an instance creates
// there starts with its process id (TempEigenerName), its lock is
// "<pid>.lock".
extern QString TempVerzeichnis;
extern QString RueckgaengigPrefix;
// The transfer file of the road from an imaging control into a bitmap; the
// picture passes in memory now and nothing writes it, but it stays one of
// the folder's fixed names, made at start and removed at close.
extern QString TempBitmapDatei;
extern QString TempOptiDatei;
extern int RueckgaengigAnzahl;
// Set once the full store has dropped older steps since the image was loaded
// or saved: undoing every stored step then no longer reaches the file.
extern bool RueckgaengigVerworfen;

// Undo store: numbered BMP files at the image's own depth, newest highest.
// RueckgaengigSpeichern stores bild, at farbtiefe bits per pixel, as the
// newest step, written by gear (the main window's Gear1); it returns false
// (and keeps the count) when the step could not be written.
bool RueckgaengigSpeichern(TGear& gear, const TBitmap& bild, int farbtiefe);
void RueckgaengigLoeschen();
// The file of undo step k (1 is the oldest kept).
QString RueckgaengigDatei(int k);
// Takes back the step an edit pushed before it failed, so undo offers no
// step that changes nothing. geschrieben is what RueckgaengigSpeichern
// returned; with undo off no step was written and nothing is removed.
void RueckgaengigSchrittVerwerfen(bool geschrieben);

int Zeitnummer();
// A name in TempVerzeichnis for this instance's own use: "<pid>-" + name.
QString TempEigenerName(const QString& name);
// The user's own temporary folder: "<TempPfad>Zelvano-<uid>/".
QString TempOrdnerPfad();
// Empty when the folder may hold this user's temporary files: a real folder
// (no symbolic link), owned by eigner, with no access for anyone else.
// Otherwise the German reason.
QString TempOrdnerPruefen(const QString& ordner, uint eigner);
// Creates TempVerzeichnis (mode 0700) and the three names, takes this
// instance's lock and removes what instances no longer alive left there. A
// folder that is not safely this user's own is refused with a message; the
// names then stay empty and nothing is written there.
bool TempNamenAnlegen();
// Creates an empty file for this program's own use, refusing to follow or
// reuse anything already at the path (a left-over file of ours is removed
// first; a symbolic link is removed, never followed).
bool TempDateiAnlegen(const QString& pfad);
// Deletes this instance's temporary files and what instances no longer
// alive left, and, when no other instance is alive, the folder.
void TempAufraeumen();
// This instance's share of the folder, for TempNamenAnlegen and
// TempAufraeumen. Anmelden takes the instance's lock in TempVerzeichnis and
// removes what an earlier process with the same id and instances no longer
// alive left; Abmelden removes this instance's files, frees its lock and
// returns the number of other living instances; TempSperreFreigeben only
// frees the lock.
void TempInstanzAnmelden();
int TempInstanzAbmelden();
void TempSperreFreigeben();

// ---- Shared helpers (Global.cpp; busy mode and icon lists:
// GlobalHauptfenster.cpp) -------------------------------------------------
constexpr int CSIDL_PERSONAL = 5;
QString SpezialOrdnerPfad(int csidl);
QString TempPfad();
bool DateinameGueltig(const QString& text);
qint64 DateiGroesse(const QString& pfad);
QString GroesseAlsText(qint64 n);
QString PfadVerbinden(const QString& ordner, const QString& name);
QString MitTrenner(const QString& ordner);
void Tausche(int& a, int& b);
void WarteMs(uint32_t ms);
void SetzeArbeitsModus(bool an);
QString ProgrammVersion(int teile);
int DpiSkalieren(int wert, int teiler);
int DpiSkalieren(int wert, int teiler, int dpi);
// Icon size of the list chosen for a screen: 20, 25, 30, 35 or 40 pixels.
int BilderListenGroesse(int dpi);
// The same for this screen.
int BilderListenGroesse();
// The main window's menu and tool-button icon lists for this screen (before
// it exists, a list of the same icons). A dialog takes a glyph with
// PngAusListe (PngImageList.h) and an index of TSymbol (Symbole.h).
TPngImageList* MenueBilderListe();
TPngImageList* ButtonBilderListe();
// Other living instances: the locks in TempVerzeichnis that their processes
// hold. Removes the files of instances no longer alive on the way.
int EigeneFensterZaehlen();
// Whether a file's owner write bit is clear (true for root too).
bool DateiSchreibgeschuetzt(const QString& pfad);

// ---- Desktop (GlobalDesktop.cpp) -----------------------------------------
// Restored window bounds, moved onto the primary screen's work area when they
// would not overlap any screen by at least 100 x 50 pixels (a monitor since
// unplugged, a hand-edited value); otherwise as given.
QRect FensterAufBildschirm(const QRect& grenzen);
// Whether the desktop has a program set up for the file's type: one of the
// user's or the system's choices for it, or a program whose desktop entry
// lists the type, unless hidden or taken off the type.
bool AnzeigeprogrammEingerichtet(const QString& datei);
