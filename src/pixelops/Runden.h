#pragma once
#include <cmath>
#include <concepts>

// Round as the whole program means it: to the nearest integer, an exact half
// to the even one (2.5 gives 2, 3.5 gives 4, -2.5 gives -2). That is the
// processor's default rounding mode, which nothing in the program changes, so
// nearbyint does it without a branch. The value is rounded in the type it
// comes in: an extended product stays extended, a float stays a float, so
// each caller keeps the precision its arithmetic was worked out in.

// The rounded value in its own type, for values that may lie beyond an int.
template <std::floating_point T> T Gerundet(T wert)
{
    return std::nearbyint(wert);
}

// The rounded value as an int, for values known to fit.
template <std::floating_point T> int Runden(T wert)
{
    return int(Gerundet(wert));
}
