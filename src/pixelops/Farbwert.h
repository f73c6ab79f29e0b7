#pragma once
#include <cstdint>

// A colour value as the colour routines take it: red in the low byte, then
// green, then blue ($00BBGGRR).
using TFarbwert = uint32_t;

inline int FarbwertRot(TFarbwert farbe) { return int(farbe & 0xFF); }
inline int FarbwertGruen(TFarbwert farbe) { return int((farbe >> 8) & 0xFF); }
inline int FarbwertBlau(TFarbwert farbe) { return int((farbe >> 16) & 0xFF); }
