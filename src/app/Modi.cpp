#include "Modi.h"

bool Ausschneiden = false;
bool Fotoschnitt = false;
bool Festschnitt = false;
bool WinkelMessen = false;
int ZeichenX = -1, ZeichenY = -1;
