#pragma once
#include "Bitmap.h"
#include <cstdint>

// value brought into lo..hi: below lo gives lo, above hi gives hi.
inline int Begrenze(int wert, int lo, int hi)
{
    return wert < lo ? lo : (wert > hi ? hi : wert);
}

// value brought into 0..255.
inline uint8_t BegrenzeByte(int wert)
{
    return uint8_t(Begrenze(wert, 0, 255));
}

// The size BitmapDrehen gives a breite x hoehe bitmap turned by winkel
// degrees: with vergroessern the canvas that holds the whole turned image
// (each side a sum of two truncated products), else the size unchanged.
// Width or height below 1 when the angle makes no canvas (the callers pass
// -90..90).
void DrehenGroesse(int breite, int hoehe, bool vergroessern, double winkel, int& neueBreite, int& neueHoehe);

// Turns the working bitmap by winkel degrees (positive: clockwise on the
// screen) with bilinear interpolation, about its centre. With vergroessern
// the canvas grows to hold the whole turned image (DrehenGroesse); else it
// keeps its size and the corners are cut off. Destination pixels whose
// source lies outside the image are white. Every position is computed from
// the pixel's own coordinates in extended precision, so the bytes do not
// depend on the number of threads.
// An empty bitmap and an angle that is not finite or gives no canvas leave
// the bitmap unchanged. False, with the bitmap unchanged too, when memory
// runs out for the turned image (or for bringing another format to 24 bits
// first); true otherwise.
// threads = 0 picks the number of threads by the image size.
bool BitmapDrehen(TBitmap& bmp, bool vergroessern, double winkel, int threads = 0);
