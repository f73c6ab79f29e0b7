#pragma once

// The arithmetic of laying out the display copy inside its box, kept apart
// from the window so that it can be checked without one. All sizes and
// positions are pixels; "round" goes to the nearest integer, ties to even.
struct TAnzeigeLage {
    int BildBreite = 0, BildHoehe = 0;     // the working image, W x H
    int BoxBreite = 0, BoxHoehe = 0;       // the display box, BW x BH
    bool Einpassen = true;
    double ZoomFaktor = 1.0;
    int AltBreite = 0, AltHoehe = 0;       // the display's size before this layout
    int MausX = 0, MausY = 0;              // mouse cursor relative to the display (mx, my)
    int MausBoxX = 0, MausBoxY = 0;        // mouse cursor relative to the box (bx, by)
};

struct TAnzeigeErgebnis {
    bool Gueltig = false;   // false: empty image or box of no area, nothing changes
    int Breite = 0, Hoehe = 0;
    int Links = 0, Oben = 0;
    double ZoomFaktor = 1.0;
};

// Fit mode shrinks the image into the box (never enlarges it); fixed zoom
// scales it by ZoomFaktor and keeps the image point under the mouse cursor
// where it was. The display is at least 2 x 2. An axis wider than the box is
// clamped to [box - size, 0], a narrower one is centred.
TAnzeigeErgebnis AnzeigeLayoutBerechnen(const TAnzeigeLage& lage);

// One wheel step: up multiplies by 7/6, down by 7/8; near 1 it snaps to 1,
// and the result stays within 0.05 .. 10. A delta of 0 changes nothing.
double MausradZoom(double zoom, int delta);

// Panning along one axis: the new Left (or Top) after a mouse move of
// versatz; an axis that fits the box does not move.
int PanPosition(int position, int versatz, int boxGroesse, int bildGroesse);
