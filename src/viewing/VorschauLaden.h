#pragma once
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QPoint>
#include <QVector>
#include "Vorlauf.h"

// Thumbnail decoding that needs no window and no imaging control, so it can
// run on worker threads: JPEG through TurboJPEG at a reduced DCT scale, PNG
// through libpng, GIF through giflib, BMP and icons through Qt's readers.

// The road a file's thumbnail takes, chosen by its upper-case extension.
enum class TVorschauWeg {
    Keiner,     // no extension: nothing can be loaded
    Direkt,     // .BMP .GIF .JPG .JPEG .ICO .PNG: decoded here
    Gear,       // every other type: through the imaging control
};
TVorschauWeg VorschauWeg(const QString& dateiName);

// Denominator of the JPEG decoding scale for a picture of w x h at thumbnail
// size s: 1, 2, 4 or 8, the largest whose quotient (div) still covers s on
// both sides.
int JpegSkalierung(int w, int h, int s);

// Size of the thumbnail of a w x h picture at size s; at least 1 x 1 for a
// non-empty picture, empty for an empty one.
QSize VorschauGroesseFuer(int w, int h, int s);

// Number of columns of thumbnails in a scroll area of the given width with
// a vertical bar of the given width; at least 1.
int VorschauSpalten(int breite, int balkenBreite, int s);
// Top-left corner of cell k (0-based) of the image inside the scroll area's
// content, before centring.
QPoint VorschauZelle(int k, int spalten, int s);

// For each entry of a folder's new listing, the index of the same entry in
// the old one when the file is unchanged, else -1. An entry is a file's name
// with what a change of the file alters (see TfrmVorschau's folder state).
QVector<int> VorschauBehalten(const QStringList& alt, const QStringList& neu);

struct TVorschauErgebnis {
    QImage bild;            // BGR888 thumbnail (the picture itself when it fits into s x s)
    QSize groesse;          // size of its image control: VorschauGroesseFuer of the decoded picture
    bool fehler = false;    // nothing usable: show the error picture
    bool gear = false;      // the imaging control must load this file
};

// Picture of a file on the direct road (full size, or the JPEG at its
// reduced scale) as BGR888; null when it cannot be decoded.
QImage VorschauBildDekodieren(const QString& pfad, int s);
// The thumbnail of one file, or what is to be done instead.
TVorschauErgebnis VorschauErzeugen(const QString& pfad, int s);
// The thumbnail of a decoded picture: a copy when it fits into s x s, else
// reduced by area averaging.
QImage VorschauVerkleinern(const QImage& bild, int s, int threads = 1);

// Decodes the files of a list ahead of the window on worker threads; the
// window takes the results strictly in list order. A worker stays at most
// `vorlauf` files ahead of the one the window waits for.
class TVorschauVorlader {
public:
    TVorschauVorlader(QStringList pfade, int s, int threads = 0, int vorlauf = 0);
    // Waits up to ms milliseconds for the result of file k; false when it is
    // not ready yet. Call with k = 0, 1, 2 ... in order.
    bool Holen(int k, TVorschauErgebnis& ergebnis, int ms) { return m_vorlauf.Holen(k, ergebnis, ms); }
    void Stoppen() { m_vorlauf.Stoppen(); }

private:
    TVorlauf<TVorschauErgebnis> m_vorlauf;
};
