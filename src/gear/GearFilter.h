#pragma once
#include "GearSeite.h"

// Edge and effect filters of the imaging control. They work on a 24-bit
// page in place (a palette page is first promoted to 24 bits).

// n = 1 Prewitt, 2 Roberts, 3 Sobel, 4 Laplacian, 5 horizontal, 6 vertical,
// 7 positive diagonal, 8 negative diagonal.
void GearEdgeMap(TGearSeite& seite, int n, const TFortschritt& fs = {});
void GearEmboss(TGearSeite& seite, int staerke, int richtung, const TFortschritt& fs = {});
void GearDiffuse(TGearSeite& seite, int weite, const TFortschritt& fs = {});
void GearMotion(TGearSeite& seite, int laenge, int richtung, const TFortschritt& fs = {});
void GearStitch(TGearSeite& seite, int staerke, int richtung, const TFortschritt& fs = {});
void GearPosterize(TGearSeite& seite, int stufen, const TFortschritt& fs = {});
// art 1 = twist (swirl), 4 = structured glass.
void GearTwist(TGearSeite& seite, int staerke, int art, const TFortschritt& fs = {});
void GearBlur(TGearSeite& seite, int staerke, const TFortschritt& fs = {});
