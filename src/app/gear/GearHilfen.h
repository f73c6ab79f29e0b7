#pragma once
#include <QImage>
#include <QList>
#include <QString>
#include <cstdint>
#include "GearSeite.h"

// Shared pieces of the imaging control's coders: allocation with limits,
// colour tables, depth rules and the conversions every coder needs.

// Largest picture a coder allocates; a corrupt header cannot ask for more.
constexpr qint64 GearMaxPixel = qint64(1) << 29;

// A new picture, or a null one with a German reason when the size is not
// sane or the memory is not there.
QImage GearNeuesBild(qint64 breite, qint64 hoehe, QImage::Format format, QString& fehler);

// Depth of a palette with n colours: <= 2 -> 1, <= 16 -> 4, else 8.
int GearTiefeFuerFarben(int n);
// A file's own bit depth as the control reports it: 1 and 8 stay, 2..4 -> 4,
// 5..8 -> 8.
int GearTiefeFuerBits(int bits);

QList<QRgb> GearGrauPalette(int stufen);
bool GearIstGrauRampe(const QList<QRgb>& tabelle);
// Colour table entries become opaque.
QList<QRgb> GearOhneAlpha(QList<QRgb> tabelle);

// Pads the colour table with black so every index in the pixels has a colour.
void GearIndizesAbsichern(QImage& bild);

// Any QImage as a page: BGR888 at 24, Indexed8 by the number of colours.
TGearSeite GearSeiteAusBild(const QImage& bild);

// The page's pixels as BGR888 (palette expanded); a 24-bit page is shared.
QImage GearAlsBgr888(const TGearSeite& seite);

// For bilevel coders: per index (palette) or per pixel, whether it is black.
// A two-colour page takes its darker colour as black; everything else
// thresholds the luminance at 128.
QImage GearAlsSchwarzWeiss(const TGearSeite& seite);   // Indexed8, 0 = white, 1 = black

// Luminance 0..255 of a colour, integer weights as the display uses them.
inline int GearHelligkeit(QRgb c)
{
    return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114 + 500) / 1000;
}

// Reports a percentage when it changes, from row y of hoehe rows mapped into
// the band von..bis.
class TFortschrittsBand {
public:
    TFortschrittsBand(const TFortschritt& fs, int von, int bis, int hoehe)
        : m_fs(fs), m_von(von), m_bis(bis), m_hoehe(hoehe > 0 ? hoehe : 1) {}
    void Zeile(int y)
    {
        if (!m_fs)
            return;
        const int p = m_von + int(qint64(m_bis - m_von) * y / m_hoehe);
        if (p != m_letzter) {
            m_letzter = p;
            m_fs(p);
        }
    }
private:
    const TFortschritt& m_fs;
    int m_von, m_bis, m_hoehe;
    int m_letzter = -1;
};
