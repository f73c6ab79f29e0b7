#pragma once
#include "Bitmap.h"
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// Filtered resampling with integer weights (256 = 1.0), two passes: source
// rows into an intermediate of the new width, then its columns into the new
// height. Filter numbers:
constexpr uint8_t FilterNrKasten = 0;      // box, support 0.5
constexpr uint8_t FilterNrDreieck = 1;     // triangle, 1
constexpr uint8_t FilterNrHermite = 2;     // Hermite, 1
constexpr uint8_t FilterNrGlocke = 3;      // Bell, 1.5
constexpr uint8_t FilterNrBSpline = 4;     // cubic B-spline, 2
constexpr uint8_t FilterNrLanczos3 = 5;    // Lanczos3, 3
constexpr uint8_t FilterNrMitchell = 6;    // Mitchell (B = C = 1/3), 2

// The kernels, evaluated in extended precision and returned as 32-bit floats.
float FilterKasten(float x);
float FilterDreieck(float x);
float FilterHermite(float x);
float FilterGlocke(float x);
float FilterBSpline(float x);
float FilterLanczos3(float x);
float FilterMitchell(float x);
// sin(a) / a with a = x * pi held as a 32-bit float; 1 for x = 0.
float Kardinalsinus(float x);
// The default support of a filter number (0 for numbers above 6).
float FilterStuetze(uint8_t filter);

struct TBeitrag {
    int32_t Gewicht;   // 256 = 1.0
    int32_t Pixel;     // source index, mirrored into the row
};
struct TBeitragsListe {
    int32_t Anzahl = 0;
    std::vector<TBeitrag> Beitrag;
};

// The contributor lists of one direction: one per destination index.
// The first and last source pixels map onto the first and last destination
// pixels; a single destination pixel sits on the source's centre line. A
// list whose weights add up to 0 (reductions stronger than about 1:512)
// becomes the plain average of its window. Throws std::length_error for a
// window too wide to weigh in 32 bits. threads as for BitmapSkalieren (the
// lists do not depend on it).
std::vector<TBeitragsListe> BeitraegeBerechnen(int quellLaenge, int zielLaenge, float support, uint8_t filter,
                                               int threads = 1);

// Called with the German warning when BitmapSkalieren fails; the program sets
// it to its message box. Unset, failures are silent apart from the result.
extern std::function<void(const QString& text)> SkalierenFehlerMelden;

// Resizes bmp in place to neueBreite x neueHoehe with the filter (numbers
// above 6 take Lanczos3) and support (0, negative or NaN: the filter's
// default). A size of 0 or less in either direction leaves an empty bitmap.
// On failure (out of memory, absurd support) the warning "Fehler beim
// Skalieren. Zielbild zu groß." goes once through SkalierenFehlerMelden, bmp
// stays exactly as it was and the result is false.
// threads = 0 picks the number of threads by the image size; every thread
// count gives the same bytes.
bool BitmapSkalieren(TBitmap& bmp, int neueBreite, int neueHoehe, float support = 0,
                     uint8_t filter = FilterNrLanczos3, int threads = 0);
