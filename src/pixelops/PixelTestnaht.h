#pragma once
// The seams of the pixel operations for tests and benchmarks: each switches
// a routine from its fast path to the plain one, which gives the same bytes,
// so that both can be checked on one machine. The program itself never sets
// them. GearTestnaht.h of the imaging control includes this header.

// False makes BitmapSkalieren take its plain vector passes even where the
// processor has AVX2.
extern bool SkalierenAvx2Erlaubt;

// False keeps BitmapWeichzeichnen off its fused multiply-add paths.
extern bool WeichzeichnenFmaErlaubt;
