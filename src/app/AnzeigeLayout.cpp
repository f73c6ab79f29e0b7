#include "AnzeigeLayout.h"
#include <algorithm>
#include "pixelops/Runden.h"

namespace {

// Left (or Top) along one axis: an axis wider than the box keeps the image
// point under the cursor and never leaves a gap; a narrower one is centred.
int Lage(int box, int groesse, int maus, int mausBox, double faktor)
{
    if (box < groesse)
        return std::max(box - groesse, std::min(0, Runden(mausBox - maus / faktor)));
    return Runden((box - groesse) / 2.0);
}

} // namespace

TAnzeigeErgebnis AnzeigeLayoutBerechnen(const TAnzeigeLage& l)
{
    TAnzeigeErgebnis e;
    if (l.BildBreite <= 0 || l.BildHoehe <= 0 || l.BoxBreite <= 0 || l.BoxHoehe <= 0)
        return e;
    e.Gueltig = true;
    const double W = l.BildBreite, H = l.BildHoehe, BW = l.BoxBreite, BH = l.BoxHoehe;

    if (l.Einpassen) {
        if (BW < W || BH < H) {
            const double r = W / H, b = BW / BH;
            if (r > b) {
                e.Breite = l.BoxBreite;
                e.Hoehe = Runden(BW / r);
                e.ZoomFaktor = BW / W;
            } else {
                e.Hoehe = l.BoxHoehe;
                e.Breite = Runden(BH * r);
                e.ZoomFaktor = BH / H;
            }
        } else {
            // A small image is never enlarged to fit.
            e.Breite = l.BildBreite;
            e.Hoehe = l.BildHoehe;
            e.ZoomFaktor = 1.0;
        }
    } else {
        e.ZoomFaktor = l.ZoomFaktor;
        e.Breite = Runden(W * l.ZoomFaktor);
        e.Hoehe = Runden(H * l.ZoomFaktor);
    }
    // The minimum comes before the factors below divide by the new size: a
    // 1 x 1 image at 0.05 would otherwise divide by 0.
    e.Breite = std::max(e.Breite, 2);
    e.Hoehe = std::max(e.Hoehe, 2);

    // How much the display grew or shrank; with no previous size the point
    // under the cursor keeps the previous position.
    const double fx = l.AltBreite > 0 ? double(l.AltBreite) / e.Breite : 1.0;
    const double fy = l.AltHoehe > 0 ? double(l.AltHoehe) / e.Hoehe : 1.0;
    e.Links = Lage(l.BoxBreite, e.Breite, l.MausX, l.MausBoxX, fx);
    e.Oben = Lage(l.BoxHoehe, e.Hoehe, l.MausY, l.MausBoxY, fy);
    return e;
}

double MausradZoom(double z, int delta)
{
    if (delta > 0)
        z = z + z / 6;
    else if (delta < 0)
        z = z - z / 8;
    if (z > 0.92 && z < 1.08)
        z = 1.0;
    if (z < 0.05)
        z = 0.05;
    if (z > 10.0)
        z = 10.0;
    return z;
}

int PanPosition(int position, int versatz, int boxGroesse, int bildGroesse)
{
    if (boxGroesse >= bildGroesse)
        return position;
    return std::clamp(position + versatz, boxGroesse - bildGroesse, 0);
}
