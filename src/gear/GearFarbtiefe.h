#pragma once
#include "GearSeite.h"

// Colour-depth reductions and promotions of the imaging control. Each works
// on one page in place and leaves its bpp at the depth the method produces.

void GearDiffusionMono(TGearSeite& seite, const TFortschritt& fs = {});   // Floyd-Steinberg to black/white, 1 bit
void GearHalftoneMono(TGearSeite& seite, const TFortschritt& fs = {});    // clustered-dot halftone, 1 bit
void GearBayerMono(TGearSeite& seite, const TFortschritt& fs = {});       // Bayer ordered dither, 1 bit
void GearDiffusionColor(TGearSeite& seite, const TFortschritt& fs = {});  // Floyd-Steinberg onto the 16-colour standard palette, 4 bits
void GearBayerColor(TGearSeite& seite, const TFortschritt& fs = {});      // Bayer dither onto the standard palette, 4 bits
void GearOctree(TGearSeite& seite, int bits, int farben, const TFortschritt& fs = {});
void GearMedianCut(TGearSeite& seite, int farben, const TFortschritt& fs = {});   // median-cut palette with error diffusion, 8 bits
void GearPopularity(TGearSeite& seite, int farben, const TFortschritt& fs = {});  // most frequent colours, nearest colour, 8 bits
void GearPromoteColor(TGearSeite& seite, int tiefe);
void GearGrau(TGearSeite& seite, const TFortschritt& fs = {});
