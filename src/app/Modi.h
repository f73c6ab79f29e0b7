#pragma once

// The interaction modes on the displayed image. While one of them is on, the
// left button belongs to the mode instead of panning, and the cursor over the
// image is hidden for the cut and frame modes.
extern bool Ausschneiden;   // cut mode
extern bool Fotoschnitt;    // crop frame of a fixed aspect ratio
extern bool Festschnitt;    // crop frame of a fixed size
extern bool WinkelMessen;   // angle line for the rotate dialog
// Where the XOR-drawn figure last stood; -1 = nothing drawn.
extern int ZeichenX, ZeichenY;
