#pragma once
#include <QFont>
#include <QRect>
#include <QRgb>
#include <QString>
#include <optional>
#include "pixelops/Farbwert.h"

class QSettings;

// One global per stored setting, with the defaults of a first start. The
// main window reads them at start and writes them back at close; other
// windows change them in memory only.

// Position
extern int WinStatus, VonLinks, VonOben, Breit, Hoch;
// Optionen
extern bool BeiStartAlleLaden, OeffnenFensterLaden, BeiStartEinpassen;
extern bool Buttonleiste1, Buttonleiste2, Statusleiste;
extern int Buttonleiste1Pos, Buttonleiste2Pos;
extern int BildPause;
extern bool Endlosschleife;
extern int AnzeigeGamma;
extern int HgFarbe;          // toolkit colour value: blue in the highest byte
extern bool VorschauVollbild, VorschauFensterAus;
extern int VorschauGroesse;
extern int MaxRueck;
extern QString StartVerzLaden, StartVerzSpeichern;
extern bool ExifSchreiben;
// Formatoptionen
extern int JpegTyp, JpegKomp, JpegAufl;
// Vorschau
extern int VorschauVonLinks, VorschauVonOben, VorschauBreit, VorschauHoch;
// Farben, Attribute
extern int FarbenX, FarbenY, AttributeX, AttributeY;
// Speichern, Konvertieren
extern QString SpeichernTyp, KonvertierenTyp;
extern bool SpeichernDatum, KonvertierenDatum;
// EinzelDruckOpt, ArchivDruckOpt
extern bool EinzelDruckEinpassen, EinzelDruckZentrieren, EinzelDruckBildname, EinzelDruckBildgroesse;
extern bool EinzelDruckAlleSeiten;
extern int EinzelDruckTitelPosition;
extern bool ArchivDruckBildname, ArchivDruckBildgroesse;
extern int ArchivDruckTitelPosition, ArchivDruckBilderzahl;

// A print font with its colour (QFont carries none).
struct TDruckSchrift {
    QFont font;
    int farbe = 0;
};
extern TDruckSchrift EinzelDruckSeitenSchrift, EinzelDruckBildSchrift;
extern TDruckSchrift ArchivDruckSeitenSchrift, ArchivDruckBildSchrift;

// The background colour as a QColor-compatible RGB value.
QRgb HgFarbeRgb();
// Toolkit colour value (blue high) <-> QRgb: FarbwertZuRgb and
// RgbZuFarbwert (pixelops/Farbwert.h).

// ---- The settings store ---------------------------------------------------
// An INI file of organisation "QZT", application "Zelvano" in the user's
// config folder; one group per section, every value stored as text.

// Reads every value into its global (or print font). A missing, unreadable or
// garbled file, section or value gives the default; a value outside the range
// its users can handle is clamped into it. Creates the empty file when there
// is none.
void EinstellungenLesen();
void EinstellungenLesen(QSettings& speicher);

// The settings file.
QString EinstellungenDatei();

// The window state as stored: 1 normal, 2 maximised, 3 minimised.
int FensterStatus(Qt::WindowStates zustand);

// Writes every value. WinStatus := winStatus; the four window bounds (in
// the form FormShow restores them with setGeometry) are taken and written
// only when winStatus is 1, so a window closed maximised or
// minimised keeps the bounds of its last normal state. The thumbnail window's
// bounds are taken from vorschauGrenzen when that window exists, else the
// values read at start are written back. False when the file could not be
// written.
bool EinstellungenSchreiben(int winStatus, const QRect& fensterGrenzen,
                            const std::optional<QRect>& vorschauGrenzen = std::nullopt);
bool EinstellungenSchreiben(QSettings& speicher, int winStatus, const QRect& fensterGrenzen,
                            const std::optional<QRect>& vorschauGrenzen = std::nullopt);
