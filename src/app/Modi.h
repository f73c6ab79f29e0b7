#pragma once
#include <QRect>
#include <QString>

class QImage;

// The interaction modes on the displayed image. While one of them is on, the
// left button belongs to the mode instead of panning, and the cursor over the
// image is hidden for the cut and frame modes.
extern bool Ausschneiden;   // cut mode
extern bool Fotoschnitt;    // crop frame of a fixed aspect ratio
extern bool Festschnitt;    // crop frame of a fixed size
extern bool WinkelMessen;   // angle line for the rotate dialog
// Where the XOR-drawn figure last stood; -1 = nothing drawn.
extern int ZeichenX, ZeichenY;
// The frame (image pixels): its left and top edge and its size; in the cut
// mode the start corner and the signed size of the dragged rectangle.
extern int SchnittLinks, SchnittOben, SchnittX, SchnittY;
// Width / height of the ratio frame, already turned for the orientation.
extern long double SchnittVerhaeltnis;
// The frame as last drawn, in canvas coordinates.
extern int RahmenLinks, RahmenOben, RahmenRechts, RahmenUnten;
// The frame was last placed by a key or the wheel: the next mouse move
// keeps it where it is instead of centring it on the cursor.
extern bool RahmenPerTaste;
// Start of the measuring line, canvas coordinates.
extern int LinieStartX, LinieStartY;
// The measured or last used rotation angle in degrees.
extern long double DrehWinkel;

// ---- Inverted drawing ---------------------------------------------------------
// Every touched pixel is inverted exactly once, so drawing a figure a second
// time restores the picture byte for byte. Parts outside the picture are
// left out.

// A line from (x0, y0) to (x1, y1), both ends included.
void XorLinie(QImage& bild, int x0, int y0, int x1, int y1);
// The outline of the rectangle between two corners in any order (the right
// and bottom edge exclusive, as a filled rectangle would end). A rectangle
// without width or height draws nothing.
void XorRechteck(QImage& bild, int x0, int y0, int x1, int y1);
// A vertical and a horizontal line through (x, y) across the whole picture.
void XorFadenkreuz(QImage& bild, int x, int y);

// ---- Geometry -------------------------------------------------------------------

// The angle that makes a line from (x0, y0) to (x1, y1) level or upright:
// degrees in [-45, 45], positive for a line rising to the right (y grows
// downwards).
long double WinkelFalten(int x0, int y0, int x1, int y1);
// The angle as the status bar shows it: up to three decimals, no trailing
// zeros, German comma, "°".
QString WinkelText(long double winkel);

// Left (or top) of a frame of size groesse centred on position mitte of an
// image of size bild, kept inside the image where it fits.
int RahmenZentrieren(long double mitte, int groesse, int bild);

// The ratio frame's size after one wheel step: s pixels wider or narrower,
// at least 4 wide, kept inside the image from its left and top edge, the
// height following the ratio (and the width the height after a height clamp).
// Each side is at least 1 pixel.
void RahmenRadGroesse(int& x, int& y, int schritt, bool groesser, int links, int oben, int w, int h,
                      long double verhaeltnis);

// The rectangle a crop takes from a w x h image: corners in any order,
// clipped to the image. Empty when nothing of at least 1 x 1 remains.
QRect SchnittRechteck(int links, int oben, int rechts, int unten, int w, int h);

// Status texts of the modes.
QString PositionsText(int links, int oben);
QString GroessenText(int breite, int hoehe);
QString RahmenText(int links, int oben, int breite, int hoehe);
