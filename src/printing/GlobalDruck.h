#pragma once
#include <QString>

class QFont;
class QImage;
class QPainter;
class QPrinter;
class TBitmap;
struct TDruckSchrift;

// Printer geometry for every printing window: page metrics, millimetre
// conversions, and a bitmap or a line of text at a millimetre position.
// Millimetres always count from the physical edge of the paper; the canvas
// origin is the corner of the printable area, so every drawing call
// subtracts the printer's physical offset. Nothing is cached: each call asks
// the printer again, so a change of printer or orientation counts at once.

// The program's one printer (the currently selected printer, its
// orientation and copies). Drawing starts at the printable corner. A job
// the printer refused replaces it by a fresh one with the same settings, so
// callers ask for it anew rather than keep the reference across a job.
QPrinter& Drucker();

// The page metrics of the current printer, in printer dots (dots per inch
// for the first two).
struct TDruckerWerte {
    int DpiX = 0;
    int DpiY = 0;
    int PapierBreite = 0;
    int PapierHoehe = 0;
    int RandLinks = 0;          // unprintable left margin
    int RandOben = 0;           // unprintable top margin
    int RandRechts = 0;         // PapierBreite - DruckbereichBreite - RandLinks
    int RandUnten = 0;          // PapierHoehe - DruckbereichHoehe - RandOben
    int DruckbereichBreite = 0; // printable width
    int DruckbereichHoehe = 0;  // printable height
};

void DruckerWerteErmitteln(int& DpiX, int& DpiY, int& PapierBreite, int& PapierHoehe, int& RandLinks,
                           int& RandOben, int& RandRechts, int& RandUnten, int& DruckbereichBreite,
                           int& DruckbereichHoehe);
void DruckerWerteErmitteln(TDruckerWerte& werte);

// dots / dpi * 25.4, worked out in extended precision.
double DruckpunkteZuMmX(int punkte);
double DruckpunkteZuMmY(int punkte);
// Round(dpi * (mm / 25.4)), a half going to the even integer.
int MmZuDruckpunktenX(double mm);
int MmZuDruckpunktenY(double mm);

// Draws a picture of any pixel format into a rectangle given in millimetres.
// A rectangle of zero width or height draws nothing. A picture wider in
// pixels than the rectangle in dots is reduced first (area averaging), so
// the printer never gets more pixels across than it has dots; a narrower
// one is sent as it is and scaled by the printer.
void BitmapInMmDrucken(const QImage& bild, double x, double y, double breite, double hoehe);
void BitmapInMmDrucken(const TBitmap& bmp, double x, double y, double breite, double hoehe);

// One line of text in the given font at a millimetre position; y is the top
// of the text cell. modus 1 centres the text on x, 2 ends it at x, any other
// value starts it at x. The canvas keeps the font afterwards.
void TextInMmDrucken(int modus, const QFont& schrift, const QString& text, double x, double y);
void TextInMmDrucken(int modus, const TDruckSchrift& schrift, const QString& text, double x, double y);

// Height in printer dots of a sample line in the given font ("Dummy" as the
// printing windows measure it); works with or without an open job.
int DruckTextHoehe(const QFont& schrift, const QString& text = QStringLiteral("Dummy"));
int DruckTextBreite(const QFont& schrift, const QString& text);

// ---- Print jobs -----------------------------------------------------------
// BeginDoc: opens a job on Drucker(). False (and a message) when the printer
// refuses it, e.g. when there is no printer.
bool DruckBeginnen();
// NewPage within the open job.
bool DruckNeueSeite();
// EndDoc: ends the open job; nothing happens without one.
void DruckBeenden();
// The canvas of the open job, nullptr when none is open.
QPainter* DruckerCanvas();
