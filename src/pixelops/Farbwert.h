#pragma once
#include <QRgb>
#include <cstdint>

// A colour value as the colour routines take it: red in the low byte, then
// green, then blue ($00BBGGRR).
using TFarbwert = uint32_t;

inline int FarbwertRot(TFarbwert farbe) { return int(farbe & 0xFF); }
inline int FarbwertGruen(TFarbwert farbe) { return int((farbe >> 8) & 0xFF); }
inline int FarbwertBlau(TFarbwert farbe) { return int((farbe >> 16) & 0xFF); }

// The toolkit's colour values (settings, dialogs, print fonts) have the same
// layout, blue in the highest byte; these convert them to and from QRgb.
inline QRgb FarbwertZuRgb(int farbwert)
{
    return qRgb(farbwert & 0xFF, (farbwert >> 8) & 0xFF, (farbwert >> 16) & 0xFF);
}
inline int RgbZuFarbwert(QRgb rgb)
{
    return qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16);
}
